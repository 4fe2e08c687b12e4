// The frame engine on the wire: exact request bytes, reply checks, attempts and drains.
#include "scripted_transport.h"
#include "zel_engine_internal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

using Call = ScriptedTransport::Call;

std::vector<uint8_t> bytes(std::initializer_list<int> list) {
    std::vector<uint8_t> v;
    for (int b : list)
        v.push_back(static_cast<uint8_t>(b));
    return v;
}

class Engine : public ::testing::Test {
protected:
    ScriptedTransport line;
    void SetUp() override { line.install(); }
    void TearDown() override { ZelSetTransport(nullptr, nullptr, nullptr, nullptr, nullptr); }

    // Prepares a read transaction the way the typed operations do.
    uint8_t out[16] = {};
    void prepareRead(int category, int setting, int size) {
        std::memset(&ZelTrans, 0, sizeof ZelTrans);
        std::memset(out, 0, sizeof out);
        ZelTrans.address = ZEL_DEVICE_ADDRESS;
        ZelTrans.category = category;
        ZelTrans.setting = setting;
        ZelTrans.read = 1;
        ZelTrans.size = size;
        ZelTrans.output = out;
    }
    // Prepares a write of the one-byte value at `value` the way ZelWriteSetting does.
    void prepareWrite(int category, int setting, const uint8_t* value) {
        prepareRead(category, setting, 1);
        ZelTrans.read = 0;
        ZelTrans.dataLength = 1;
        ZelTrans.hexData = 1;
        ZelTrans.data = value;
    }
};

TEST_F(Engine, ReadOfModeIsElevenBytesAndAsksForThirteen) {
    prepareRead(0x02, 1, 1);
    line.reply(ScriptedTransport::raw("400201R0126"));
    EXPECT_EQ(ZelTransact(0), ZEL_OK);

    ASSERT_EQ(line.calls.size(), 2u);
    EXPECT_EQ(line.calls[0].bytes, bytes({0x02, 0x34, 0x30, 0x30, 0x32, 0x30, 0x31, 0x72, 0x36, 0x37, 0x03}));
    EXPECT_EQ(line.calls[1].count, 13);
    EXPECT_EQ(line.calls[1].timeoutMs, 300);
    EXPECT_EQ(ZelTrans.checksum, 0x67);
    EXPECT_EQ(ZelTrans.size, 1);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(ZelTrans.replyStatus, ZEL_STATUS_READ);
    EXPECT_EQ(ZelTrans.replyChecksum, 0x26);
}

TEST_F(Engine, ErrorReplyEndsAtOnceWithNoData) {
    prepareRead(0x02, 1, 1);
    line.reply(ScriptedTransport::raw("400201E94"));
    EXPECT_EQ(ZelTransact(0), ZEL_E_ERROR_REPLY);
    EXPECT_EQ(line.callsOf(Call::Transmit).size(), 1u);
    EXPECT_EQ(line.drains(), 0);
    EXPECT_EQ(ZelTrans.size, 0);
    EXPECT_EQ(ZelTrans.replyStatus, ZEL_STATUS_ERROR);
}

TEST_F(Engine, BusyReplyEndsAtOnce) {
    prepareRead(0x02, 1, 1);
    line.reply(ScriptedTransport::frame("400201b01"));
    EXPECT_EQ(ZelTransact(0), ZEL_E_B_REPLY);
    EXPECT_EQ(line.callsOf(Call::Transmit).size(), 1u);
    EXPECT_EQ(ZelTrans.replyStatus, ZEL_STATUS_BUSY);
}

TEST_F(Engine, IndexedReadCarriesTheIndexField) {
    prepareRead(0x81, 2, 1);
    ZelTrans.index = 7;
    line.reply(ScriptedTransport::frame("408102R000701"));
    EXPECT_EQ(ZelTransact(0), ZEL_OK);
    EXPECT_EQ(Printable(line.calls[0].bytes), "<STX>408102r000798<ETX>");
    EXPECT_EQ(line.calls[1].count, 17);
    EXPECT_EQ(ZelTrans.replyIndex, 7);
    EXPECT_EQ(out[0], 1);
}

// A unit that answers late leaves one exchange's reply to be read as the next one's:
// a reply of the other direction, or for another index, is a failed attempt.
TEST_F(Engine, RepliesBelongingToAnotherExchangeAreRetried) {
    struct Case {
        const char* what;
        int category;
        int index;
        bool read;
        std::string reply;
        ZelResult expected;
    } cases[] = {
        {"W answering a read", 0x02, 0, true, "400201W01", ZEL_E_INCORRECT_REPLY},
        {"w answering a read", 0x02, 0, true, "400201w01", ZEL_E_INCORRECT_REPLY},
        {"R answering a write", 0x02, 0, false, "400201R01", ZEL_E_INCORRECT_REPLY},
        {"r answering a write", 0x02, 0, false, "400201r01", ZEL_E_INCORRECT_REPLY},
        {"another index, read", 0x81, 5, true, "408102R000401", ZEL_E_INCORRECT_REPLY},
        {"another index, write", 0x81, 5, false, "408102w000601", ZEL_E_INCORRECT_REPLY},
        {"R answering a read", 0x02, 0, true, "400201R01", ZEL_OK},
        {"w answering a write", 0x02, 0, false, "400201w01", ZEL_OK},
        {"another letter answering a read", 0x02, 0, true, "400201X01", ZEL_OK},
        {"another letter answering a write", 0x02, 0, false, "400201K01", ZEL_OK},
        {"same index", 0x81, 5, false, "408102W000501", ZEL_OK},
        {"E answering a write", 0x02, 0, false, "400201E", ZEL_E_ERROR_REPLY},
        {"e answering a read", 0x81, 5, true, "408102e", ZEL_E_ERROR_REPLY},
        {"B answering a read", 0x02, 0, true, "400201B", ZEL_E_B_REPLY},
    };
    static const uint8_t one = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        line.calls.clear();
        line.replies.clear();
        for (int i = 0; i < 3; ++i) {
            line.reply(ScriptedTransport::frame(c.reply));
            line.silence();  // the drain after a failed attempt
        }
        prepareRead(c.category, c.category == 0x81 ? 2 : 1, 1);
        ZelTrans.index = c.index;
        if (!c.read) {
            ZelTrans.read = 0;
            ZelTrans.dataLength = 1;
            ZelTrans.hexData = 1;
            ZelTrans.data = &one;
        }
        EXPECT_EQ(ZelTransact(0), c.expected);
        const bool refused = c.expected == ZEL_E_INCORRECT_REPLY;
        EXPECT_EQ(line.callsOf(Call::Transmit).size(), refused ? 3u : 1u);
    }
}

// The buffer still holds the request when a short reply arrives: its bytes are no reply.
TEST_F(Engine, OnlyTheBytesReceivedAreTakenForTheReply) {
    // A write of Mode with checksum 00: the request ends in "00" and ETX.
    static const uint8_t value = 0x20;
    prepareWrite(0x02, 1, &value);
    for (int i = 0; i < 3; ++i) {
        line.reply(bytes({ZEL_STX}));
        line.silence();
    }
    EXPECT_EQ(ZelTransact(0), ZEL_E_INCOMPLETE_MSG);
    EXPECT_EQ(Printable(line.calls[0].bytes), "<STX>400201w2000<ETX>");
    EXPECT_EQ(line.callsOf(Call::Transmit).size(), 3u);
}

TEST_F(Engine, IndexTravelsAsItsLowSixteenBits) {
    prepareRead(0x81, 2, 1);
    ZelTrans.index = 0x1ABCD;
    line.reply(ScriptedTransport::frame("408102RABCD01"));
    EXPECT_EQ(ZelTransact(0), ZEL_OK);
    EXPECT_EQ(Printable(line.calls[0].bytes).substr(0, 16), "<STX>408102rABCD");
}

TEST_F(Engine, EchoOfTheRequestPassesWithNoData) {
    prepareRead(0x02, 1, 1);
    line.reply(ScriptedTransport::raw("400201r67"));
    EXPECT_EQ(ZelTransact(0), ZEL_OK);
    EXPECT_EQ(ZelTrans.size, 0);
}

TEST_F(Engine, ReplyForAnotherCategoryIsRefusedButAnotherAddressIsNot) {
    prepareRead(0x02, 1, 1);
    for (int i = 0; i < 3; ++i) {
        line.reply(ScriptedTransport::frame("400301R01"));
        line.silence();  // the drain
    }
    EXPECT_EQ(ZelTransact(0), ZEL_E_INCORRECT_REPLY);

    line.calls.clear();
    prepareRead(0x02, 1, 1);
    line.reply(ScriptedTransport::frame("410201R01"));
    EXPECT_EQ(ZelTransact(0), ZEL_OK);
    EXPECT_EQ(ZelTrans.replyAddress, 0x41);
}

TEST_F(Engine, RebootWriteGoesOutThreeTimesWithoutWaitingForAReply) {
    static const uint8_t one = 1;
    prepareWrite(0x03, 5, &one);
    EXPECT_EQ(ZelTransact(1), ZEL_REPLY_IGNORED);

    ASSERT_EQ(line.calls.size(), 6u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(line.calls[2 * i].kind, Call::Transmit);
        EXPECT_EQ(Printable(line.calls[2 * i].bytes), "<STX>400305w01FC<ETX>");
    }
    EXPECT_EQ(line.drains(), 3);
}

TEST_F(Engine, FailedAttemptsAreRetriedThreeTimesWithADrainAfterEach) {
    const std::vector<uint8_t> good = ScriptedTransport::raw("400201R0126");
    struct Case {
        const char* what;
        std::vector<uint8_t> reply;
        ZelResult transmit;
        ZelResult expected;
    } cases[] = {
        {"no STX", {0x00, '4', '0'}, ZEL_OK, ZEL_E_INCOMPLETE_MSG},
        {"no ETX", bytes({0x02, '4', '0', '0', '2', '0', '1', 'R', '0', '1', '2', '6', '0'}), ZEL_OK,
         ZEL_E_INCOMPLETE_MSG},
        {"ETX at offset 1", bytes({0x02, 0x03}), ZEL_OK, ZEL_E_INCOMPLETE_MSG},
        {"ETX at offset 2", bytes({0x02, '4', 0x03}), ZEL_OK, ZEL_E_INCOMPLETE_MSG},
        {"bad checksum", ScriptedTransport::raw("400201R0127"), ZEL_OK, ZEL_E_INCORRECT_CHECKSUM},
        {"other setting", ScriptedTransport::frame("400202R01"), ZEL_OK, ZEL_E_INCORRECT_REPLY},
        {"nothing", {}, ZEL_OK, ZEL_E_RX_FAILED},
        {"transmit failed", good, ZEL_E_TX_FAILED, ZEL_E_TX_FAILED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        line.calls.clear();
        line.replies.clear();
        line.transmitResult = c.transmit;
        for (int i = 0; i < 3; ++i) {
            if (c.transmit == ZEL_OK) {
                if (c.reply.empty())
                    line.silence();
                else
                    line.reply(c.reply);
            }
            line.silence();  // the drain after the attempt
        }
        prepareRead(0x02, 1, 1);
        EXPECT_EQ(ZelTransact(0), c.expected);
        EXPECT_EQ(line.callsOf(Call::Transmit).size(), 3u);
        EXPECT_EQ(line.drains(), 3);
    }
    line.transmitResult = ZEL_OK;
}

TEST_F(Engine, RecoversOnTheSecondAttempt) {
    prepareRead(0x02, 1, 1);
    line.silence();
    line.silence();  // drain
    line.reply(ScriptedTransport::raw("400201R0126"));
    EXPECT_EQ(ZelTransact(0), ZEL_OK);
    EXPECT_EQ(line.callsOf(Call::Transmit).size(), 2u);
    EXPECT_EQ(line.drains(), 1);
    EXPECT_EQ(out[0], 1);
}

TEST_F(Engine, MissingHooksAreReportedBeforeAnythingIsSent) {
    prepareRead(0x02, 1, 1);
    line.install(false);
    EXPECT_EQ(ZelTransact(0), ZEL_E_RXFUNC_NULL_PNTR);
    EXPECT_TRUE(line.calls.empty());  // no frame, no drains

    ZelSetTransport(nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(ZelTransact(0), ZEL_E_TXFUNC_NULL_PNTR);
}

TEST_F(Engine, UncataloguedCategoryIsRefusedBeforeSending) {
    prepareRead(0x04, 1, 1);
    EXPECT_EQ(ZelTransact(0), ZEL_E_INVALID_PARAMETER);
    EXPECT_TRUE(line.callsOf(Call::Transmit).empty());
}

TEST_F(Engine, PumpIsCalledBetweenTheSteps) {
    static int pumps;
    pumps = 0;
    ZelTransport t = ZelGetTransport();
    ZelSetTransport(
        t.transmit, t.receive, t.sleep,
        [](void*) -> ZelResult {
            ++pumps;
            return ZEL_OK;
        },
        t.context);
    prepareRead(0x02, 1, 1);
    line.reply(ScriptedTransport::raw("400201R0126"));
    EXPECT_EQ(ZelTransact(0), ZEL_OK);
    EXPECT_EQ(pumps, 4);
}

// Whatever arrives, decoding stays within the frame buffer and the caller's output.
TEST_F(Engine, AnyReplyBytesStayInsideTheBuffers) {
    std::mt19937 random(5100);
    const char alphabet[] = "0123456789ABCDEFabcdefRrEeBbWw\x02\x03\xff 4";
    for (int round = 0; round < 3000; ++round) {
        const int category = (round % 2) ? 0x81 : 0x02;
        const int size = 1 + static_cast<int>(random() % 8);
        std::vector<uint8_t> reply;
        const int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i)
            reply.push_back(static_cast<uint8_t>(alphabet[random() % (sizeof alphabet - 1)]));
        if (!reply.empty() && random() % 2) reply[0] = ZEL_STX;

        line.calls.clear();
        line.replies.clear();
        for (int i = 0; i < 6; ++i)
            line.reply(reply);

        std::vector<uint8_t> output(static_cast<size_t>(size) + 4, 0xA5);
        std::memset(&ZelTrans, 0, sizeof ZelTrans);
        ZelTrans.address = ZEL_DEVICE_ADDRESS;
        ZelTrans.category = category;
        ZelTrans.setting = 1;
        ZelTrans.read = 1;
        ZelTrans.size = size;
        ZelTrans.output = output.data();
        ZelResult r = ZelTransact(0);
        EXPECT_TRUE(r >= 0 && r <= ZEL_REPLY_IGNORED);
        EXPECT_LE(ZelTrans.size, size);
        for (int i = size; i < size + 4; ++i)
            ASSERT_EQ(output[static_cast<size_t>(i)], 0xA5) << "decoded past the expected size";
    }
}

TEST(Checksum, WorkedExampleAndEmptyInput) {
    const uint8_t text[] = "400201r";
    EXPECT_EQ(ZelChecksum(text, 7), 0x67);
    EXPECT_EQ(ZelChecksum(text, 0), 0);
    EXPECT_EQ(ZelChecksum(text, -3), 0);
}

TEST(HexText, ConversionsBothWays) {
    const uint8_t value[] = {0x34, 0x12};
    uint8_t text[4];
    EXPECT_EQ(ZelBytesToHex(value, 2, text), 4);
    EXPECT_EQ(std::string(text, text + 4), "1234");

    uint8_t out[4] = {};
    EXPECT_EQ(ZelHexToBytes(reinterpret_cast<const uint8_t*>("1234"), 4, out), 2);
    EXPECT_EQ(out[0], 0x34);
    EXPECT_EQ(out[1], 0x12);

    EXPECT_EQ(ZelHexToBytes(reinterpret_cast<const uint8_t*>("ABC"), 3, out), 2);
    EXPECT_EQ(out[0], 0xBC);
    EXPECT_EQ(out[1], 0x0A);

    EXPECT_EQ(ZelHexToBytes(reinterpret_cast<const uint8_t*>("ab"), 2, out), 1);
    EXPECT_EQ(out[0], 0xAB);
    EXPECT_EQ(ZelHexToBytes(reinterpret_cast<const uint8_t*>("ab"), 0, out), 0);

    // A non-digit takes the value of the digit before it in the pair, 0 when first.
    EXPECT_EQ(ZelHexToBytes(reinterpret_cast<const uint8_t*>("7Z"), 2, out), 1);
    EXPECT_EQ(out[0], 0x77);
    EXPECT_EQ(ZelHexToBytes(reinterpret_cast<const uint8_t*>("Z7"), 2, out), 1);
    EXPECT_EQ(out[0], 0x07);

    EXPECT_EQ(ZelHexToInt(reinterpret_cast<const uint8_t*>("00fF"), 4), 0xFF);
    EXPECT_EQ(ZelHexToInt(reinterpret_cast<const uint8_t*>("1Z"), 2), 0x11);
}

}  // namespace

namespace {

// Each purge with the number of line calls made before it.
std::vector<size_t> purgesAt;

ZelResult RecordPurge(void* context) {
    purgesAt.push_back(static_cast<ScriptedTransport*>(context)->calls.size());
    return ZEL_OK;
}

}  // namespace

// A far end's purge comes only where the engine drains after a failed attempt,
// never before an ordinary request, and belongs to the hooks it was set for.
TEST_F(Engine, ThePurgeHookRunsBeforeEachDrainOnly) {
    purgesAt.clear();
    ZelSetTransportPurge(RecordPurge, &line);
    prepareRead(0x02, 1, 1);
    line.reply(ScriptedTransport::raw("400201R0126"));
    EXPECT_EQ(ZelTransact(0), ZEL_OK);
    EXPECT_TRUE(purgesAt.empty());

    // Unanswered three times: transmit, receive, then purge and drain, each time.
    line.calls.clear();
    prepareRead(0x02, 1, 1);
    EXPECT_EQ(ZelTransact(0), ZEL_E_RX_FAILED);
    EXPECT_EQ(purgesAt, (std::vector<size_t>{2, 5, 8}));

    // Wrapped hooks around the same line keep it; hooks for another line drop it.
    const ZelTransport hooks = ZelGetTransport();
    ZelSetTransport(hooks.transmit, hooks.receive, hooks.sleep, hooks.pump, hooks.context);
    purgesAt.clear();
    prepareRead(0x02, 1, 1);
    ZelTransact(0);
    EXPECT_EQ(purgesAt.size(), 3u);
    ScriptedTransport other;
    other.install();
    purgesAt.clear();
    prepareRead(0x02, 1, 1);
    ZelTransact(0);
    EXPECT_TRUE(purgesAt.empty());
}
