// What a session holds stays with it: hooks registered while one is bound are that
// session's, and the session bound before comes back when a scope ends.
#include <gtest/gtest.h>

#include "zel_protocol.h"
#include "zel_upgrade.h"

namespace {

ZelResult Transmit(void*, int, const uint8_t*, int) {
    return ZEL_OK;
}

ZelResult ReadPart(void*, uint8_t*, int) {
    return ZEL_OK;
}

TEST(Session, HooksBelongToTheSessionBoundWhenTheyWereRegistered) {
    int outerContext = 0, innerContext = 0;
    ZelSession outer, inner;
    {
        ZelSessionScope outerScope(outer);
        ZelSetTransport(Transmit, nullptr, nullptr, nullptr, &outerContext);
        ZelPartBuffer[0] = 0x11;
        {
            ZelSessionScope innerScope(inner);
            EXPECT_EQ(&ZelCurrentSession(), &inner);
            EXPECT_EQ(ZelGetTransport().transmit, nullptr);
            ZelSetTransport(Transmit, nullptr, nullptr, nullptr, &innerContext);
            EXPECT_EQ(ZelPartBuffer[0], 0);
            ZelPartBuffer[0] = 0x22;
        }
        EXPECT_EQ(&ZelCurrentSession(), &outer);
        EXPECT_EQ(ZelGetTransport().context, &outerContext);
        EXPECT_EQ(ZelPartBuffer[0], 0x11);
    }
    EXPECT_EQ(&ZelCurrentSession(), &ZelDefaultSession());
    EXPECT_EQ(ZelGetTransport().transmit, nullptr);
    {
        ZelSessionScope again(inner);
        EXPECT_EQ(ZelGetTransport().context, &innerContext);
        EXPECT_EQ(ZelPartBuffer[0], 0x22);
    }
}

// Upgrade hooks too: an upgrade on a session without a reader is refused before anything
// is sent, whatever another session has registered.
TEST(Session, UpgradeHooksAreTheSessionsOwn) {
    ZelSession other;
    {
        ZelSessionScope scope(other);
        ZelSetUpgradeHooks(ReadPart, nullptr, nullptr, nullptr);
    }
    EXPECT_EQ(ZelUpgradeFirmware(1024), ZEL_E_INVALID_PARAMETER);
}

}  // namespace
