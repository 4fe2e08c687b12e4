// Choosing the link from the port name.
#include <gtest/gtest.h>

#include "com_port.h"
#include "terminal_link_posix.h"

namespace {

TEST(SerialLinkFactoryTest, APathOrPlainNameOpensALocalTerminal) {
    for (const char* name :
         {"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI-if00-port0", "ttyS0", "/dev/odd://name"}) {
        std::string refusal;
        std::unique_ptr<SerialLink> link = MakeSerialLink(name, &refusal);
        EXPECT_NE(dynamic_cast<TerminalLink*>(link.get()), nullptr) << name;
        EXPECT_EQ(refusal, "") << name;
    }
}

TEST(SerialLinkFactoryTest, AnUnknownSchemeIsRefusedInPlainWords) {
    std::string refusal;
    EXPECT_EQ(MakeSerialLink("foo://x", &refusal), nullptr);
    EXPECT_NE(refusal.find("\"foo://...\" cannot be opened here"), std::string::npos) << refusal;

    ComPort port;
    EXPECT_EQ(OpenComPort(&port, "foo://x"), COM_OPEN_FAILED);
    EXPECT_FALSE(ComPortIsOpen(port));
    EXPECT_EQ(port.failure.problem, ComOpenProblem::UnknownKind);
    EXPECT_EQ(ComOpenFailureHint(port), refusal);
}

}  // namespace
