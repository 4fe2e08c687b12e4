// Typed reads and writes: catalogue checks, value placement and result codes.
#include "scripted_transport.h"

#include <gtest/gtest.h>

namespace {

using Call = ScriptedTransport::Call;

class Access : public ::testing::Test {
protected:
    ScriptedTransport line;
    void SetUp() override { line.install(); }
    void TearDown() override { ZelSetTransport(nullptr, nullptr, nullptr, nullptr, nullptr); }
};

TEST_F(Access, ReadsFillTheVariableZeroExtended) {
    uint32_t value = 0xFFFFFFFF;
    line.reply(ScriptedTransport::raw("400201R0126"));
    EXPECT_EQ(ZelReadSetting(0x02, 1, &value), ZEL_OK);
    EXPECT_EQ(value, 1u);

    line.reply(ScriptedTransport::frame("400103R80000017"));
    EXPECT_EQ(ZelReadSetting(0x01, 3, &value), ZEL_OK);
    EXPECT_EQ(value, 0x80000017u);

    uint64_t counter = 0;
    line.reply(ScriptedTransport::frame("408108R0000000000012A05F200"));
    EXPECT_EQ(ZelReadSetting64(0x81, 8, &counter), ZEL_OK);
    EXPECT_EQ(counter, 5000000000ull);

    line.reply(ScriptedTransport::frame("400306R020000123456"));
    EXPECT_EQ(ZelReadSetting64(0x03, 6, &counter), ZEL_OK);
    EXPECT_EQ(counter, 0x020000123456ull);
}

TEST_F(Access, ArgumentsOutsideTheCatalogueSendNothing) {
    uint32_t value = 7;
    uint64_t wide = 0;
    EXPECT_EQ(ZelReadSetting(0x03, 6, &value), ZEL_E_INVALID_PARAMETER);  // 6 bytes need the 64-bit form
    EXPECT_EQ(ZelReadSetting(0x03, 0, &value), ZEL_E_INVALID_PARAMETER);
    EXPECT_EQ(ZelReadSetting(0x02, 1, nullptr), ZEL_E_INVALID_PARAMETER);
    EXPECT_EQ(ZelReadSetting64(0x03, 0, &wide), ZEL_E_INVALID_PARAMETER);
    EXPECT_EQ(ZelWriteSetting(0x81, 8, 1), ZEL_E_INVALID_PARAMETER);  // 8-byte counter
    EXPECT_EQ(ZelWriteData(0x80, 2, 0, 0), ZEL_E_INVALID_PARAMETER);
    EXPECT_EQ(ZelWriteData(0x80, 2, 0, 2049), ZEL_E_INVALID_PARAMETER);
    EXPECT_EQ(value, 7u);
    EXPECT_TRUE(line.calls.empty());

    line.reply(ScriptedTransport::frame("400306R020000123456"));
    EXPECT_EQ(ZelReadSetting64(0x03, 6, &wide), ZEL_OK);
}

TEST_F(Access, WrongAmountOfDataIsReported) {
    uint32_t value = 0;
    line.reply(ScriptedTransport::frame("400103R7F"));  // one byte for a 4-byte setting
    EXPECT_EQ(ZelReadSetting(0x01, 3, &value), ZEL_GOT_LESS_DATA);
    EXPECT_EQ(value, 0x7Fu);

    line.reply(ScriptedTransport::raw("400201r67"));  // an echo of the request
    EXPECT_EQ(ZelReadSetting(0x02, 1, &value), ZEL_GOT_NO_DATA);

    // A shorter, complete reply of a 2-byte setting carrying three digits.
    line.reply(ScriptedTransport::frame("408001R0000ABC"));
    EXPECT_EQ(ZelReadSetting(0x80, 1, &value), ZEL_OK);
    EXPECT_EQ(value, 0x0ABCu);
}

TEST_F(Access, ErrorAndBusyRepliesAreReturnedWithoutLookingAtData) {
    uint32_t value = 0;
    line.reply(ScriptedTransport::raw("400201E94"));
    EXPECT_EQ(ZelReadSetting(0x02, 1, &value), ZEL_E_ERROR_REPLY);
    line.reply(ScriptedTransport::frame("400201B"));
    EXPECT_EQ(ZelReadSetting(0x02, 1, &value), ZEL_E_B_REPLY);
}

TEST_F(Access, WriteSendsOnlyTheSettingsSizeMostSignificantFirst) {
    line.reply(ScriptedTransport::frame("40810AW00000005"));
    EXPECT_EQ(ZelWriteSetting(0x81, 10, 0xABCD0005), ZEL_OK);
    EXPECT_EQ(Printable(line.calls[0].bytes),
              "<STX>40810Aw00000005" + Printable({line.calls[0].bytes.end() - 3, line.calls[0].bytes.end()}));
    EXPECT_EQ(line.calls[1].count, 19);

    line.calls.clear();
    line.reply(ScriptedTransport::frame("40810AW0000138C"));
    EXPECT_EQ(ZelWriteSetting(0x81, 10, 5004), ZEL_OK);
    EXPECT_EQ(Printable(line.calls[0].bytes), "<STX>40810Aw0000138CAC<ETX>");
    EXPECT_EQ(line.calls[1].timeoutMs, 300);

    line.calls.clear();
    line.reply(ScriptedTransport::frame("40810Ar0000138C"));
    uint32_t value = 0;
    EXPECT_EQ(ZelReadSetting(0x81, 10, &value), ZEL_OK);
    EXPECT_EQ(Printable(line.calls[0].bytes), "<STX>40810Ar000090<ETX>");
    EXPECT_EQ(value, 5004u);
}

TEST_F(Access, RebootWriteAwaitsNoReply) {
    EXPECT_EQ(ZelWriteSetting(0x03, 5, 1), ZEL_REPLY_IGNORED);
    const auto sent = line.callsOf(Call::Transmit);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(Printable(sent[2].bytes), "<STX>400305w01FC<ETX>");
    EXPECT_EQ(line.drains(), 3);
}

TEST_F(Access, WriteDataFramesAndExpectedReplies) {
    for (int i = 0; i < ZEL_TRANSFER_BUFFER_SIZE; ++i)
        ZelTransferBuffer[i] = static_cast<uint8_t>(0x80 | (i & 0x7F));

    line.reply(ScriptedTransport::frame("408002W00070000"));
    EXPECT_EQ(ZelWriteData(0x80, 2, 7, 2048), ZEL_OK);
    const auto sent = line.callsOf(Call::Transmit);
    ASSERT_EQ(sent[0].bytes.size(), 2063u);
    EXPECT_EQ(std::string(sent[0].bytes.begin() + 1, sent[0].bytes.begin() + 12), "408002w0007");
    EXPECT_TRUE(std::equal(sent[0].bytes.begin() + 12, sent[0].bytes.begin() + 12 + 2048, ZelTransferBuffer));

    struct Case {
        int category, setting, n, expected;
    } cases[] = {
        {0x80, 2, 100, 19},
        {0x85, 3, 100, 15},
        {0x85, 3, 2048, 15},
        {0x80, 1, 100, 115},
    };
    for (const Case& c : cases) {
        line.calls.clear();
        line.replies.clear();
        ZelWriteData(c.category, c.setting, 0, c.n);
        EXPECT_EQ(line.callsOf(Call::Receive)[0].count, c.expected) << c.category << "/" << c.setting;
    }
}

TEST(ResultNames, NamesAndTheErrorMessage) {
    EXPECT_STREQ(ZelResultName(0), "ZEL_OK");
    EXPECT_STREQ(ZelResultName(11), "ZEL_E_RX_FAILED");
    EXPECT_STREQ(ZelResultName(25), "ZEL_REPLY_IGNORED");
    EXPECT_STREQ(ZelResultName(21), "UNKOWN");
    EXPECT_STREQ(ZelResultName(26), "UNKOWN");
    EXPECT_STREQ(ZelResultName(-1), "UNKOWN");
    EXPECT_EQ(ZelErrorMessage(11),
              "An error occurred during communication with the ZEL-51xx device.\n"
              "ZelHandler error code: ZEL_E_RX_FAILED");
    EXPECT_EQ(ZelErrorMessage(21).substr(ZelErrorMessage(21).size() - 6), "UNKOWN");
}

}  // namespace
