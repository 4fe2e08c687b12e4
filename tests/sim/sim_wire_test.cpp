// The device's frames, byte for byte: what it answers, what it refuses, what it ignores.
#include "sim_test_support.h"

#include <cstring>

#include "sim_settings.h"
#include "zel_upgrade.h"

namespace {

class SimWireTest : public SimTest {
protected:
    void SetUp() override { Start(); }
};

TEST_F(SimWireTest, ReadOfModeIsAnsweredWithTheThirteenByteReply) {
    uint32_t mode = 99;
    ASSERT_EQ(ZelReadSetting(2, 1, &mode), ZEL_OK);
    EXPECT_EQ(mode, 1u);

    auto sent = transport->RecordsOf(SimWireRecord::Transmit);
    auto got = transport->RecordsOf(SimWireRecord::Receive);
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(sent[0].bytes, SimRaw("400201r67"));
    EXPECT_EQ(got[0].count, 13);
    EXPECT_EQ(got[0].timeoutMs, 300);
    EXPECT_EQ(got[0].bytes, SimRaw("400201R0126"));
}

TEST_F(SimWireTest, RebootWriteGetsNoReplyAndTheDeviceRestarts) {
    EXPECT_EQ(ZelWriteSetting(3, 5, 1), ZEL_REPLY_IGNORED);
    auto sent = transport->RecordsOf(SimWireRecord::Transmit);
    ASSERT_EQ(sent.size(), 3u);
    for (const auto& s : sent)
        EXPECT_EQ(s.bytes, SimRaw("400305w01FC"));
    for (const auto& r : transport->RecordsOf(SimWireRecord::Receive))
        EXPECT_TRUE(r.bytes.empty());
    EXPECT_TRUE(device->Restarting());
    EXPECT_EQ(device->Stats().restarts, 1u);
}

TEST_F(SimWireTest, RebootWriteOfZeroIsAnsweredAndChangesNothing) {
    EXPECT_EQ(Exchange(SimFrame("400305w00")), SimFrame("400305W00"));
    EXPECT_FALSE(device->Restarting());
}

TEST_F(SimWireTest, FilePartWriteIsAnsweredWithTwoDataBytes) {
    ASSERT_EQ(ZelWriteSetting(0x80, 4, 1), ZEL_OK);
    ASSERT_EQ(ZelWriteSetting(0x80, 7, 1), ZEL_OK);
    ASSERT_EQ(ZelWriteSetting(0x80, 8, 1024), ZEL_OK);
    ASSERT_EQ(ZelWriteSetting(0x80, 9, 3), ZEL_OK);
    transport->ClearRecords();

    std::memcpy(ZelTransferBuffer, "616263", 6);
    ASSERT_EQ(ZelWriteData(0x80, 2, 1, 6), ZEL_OK);
    auto got = transport->RecordsOf(SimWireRecord::Receive);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].count, 19);
    EXPECT_EQ(got[0].bytes, SimFrame("408002W00010001"));
    EXPECT_EQ(got[0].bytes.size(), 19u);
    EXPECT_EQ(device->UpgradeImage(), Bytes("abc"));
}

TEST_F(SimWireTest, ProgrammingDataWriteIsAnsweredWithoutData) {
    SimConfig config;
    config.deviceType = 5137;
    Start(config);
    ASSERT_EQ(ZelWriteSetting(0x85, 2, 1), ZEL_OK);
    clock.AdvanceMs(config.eraseBusyMs);
    transport->ClearRecords();

    const uint8_t abc7[] = {0xE1, 0xC4, 0x8D, 0x83};
    std::memcpy(ZelTransferBuffer, abc7, sizeof abc7);
    ASSERT_EQ(ZelWriteData(0x85, 3, 1, 4), ZEL_OK);
    auto got = transport->RecordsOf(SimWireRecord::Receive);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].bytes, SimFrame("408503W0001"));
    EXPECT_EQ(got[0].bytes.size(), 15u);
    EXPECT_EQ(device->UpgradeImage(), Bytes("abc"));
}

// Every setting the device knows, on both models: the read reply names the same
// setting, echoes the index and carries exactly twice the size in digits.
class SimEveryReadTest : public SimTest, public ::testing::WithParamInterface<int> {};

TEST_P(SimEveryReadTest, ReadRepliesCarryExactlyTwiceTheSizeInDigits) {
    SimConfig config;
    config.deviceType = GetParam();
    Start(config);
    int known = 0;
    for (const ZelSettingEntry& entry : ZelSettingTable) {
        std::optional<uint64_t> value = device->Value(entry.category, entry.setting);
        if (!value) continue;
        ++known;
        int size = ZelSettingSize(entry.category, entry.setting);
        char header[16];
        std::snprintf(header, sizeof header, "40%02X%02X", entry.category, entry.setting);
        std::string index = ZelCategoryIndexed(entry.category) ? "0007" : "";
        std::string digits;
        for (int i = size - 1; i >= 0; --i) {
            char pair[3];
            std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned>((*value >> (8 * i)) & 0xFF));
            digits += pair;
        }
        SCOPED_TRACE(header);
        EXPECT_EQ(Text(Exchange(SimFrame(std::string(header) + "r" + index))),
                  Text(SimFrame(std::string(header) + "R" + index + digits)));
    }
    EXPECT_GT(known, GetParam() == 5137 ? 90 : 60);
}

INSTANTIATE_TEST_SUITE_P(BothModels, SimEveryReadTest, ::testing::Values(5100, 5137));

// Every value the window shows reads back through the engine on a ZEL-5100.
TEST_F(SimWireTest, EverySettingTheWindowShowsIsServed) {
    struct Shown {
        int category;
        std::vector<int> settings;
    };
    const Shown shown[] = {
        {0x01, {1, 2, 3, 4, 5}},
        {0x02, {1, 2, 3}},
        {0x03, {1, 2, 3, 4, 6}},
        {0x81, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}},
        {0x82, {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
        {0x83, {1, 2, 3, 4, 5, 6, 7}},
        {0x84, {1, 2, 3}},
    };
    for (const Shown& group : shown) {
        for (int setting : group.settings) {
            SCOPED_TRACE(testing::Message() << "category " << group.category << " setting " << setting);
            uint64_t value = 0;
            EXPECT_EQ(ZelReadSetting64(group.category, setting, &value), ZEL_OK);
        }
    }
}

TEST_F(SimWireTest, RequestsTheDeviceDoesNotKnowAreRefused) {
    struct Case {
        const char* request;
        const char* reply;
    };
    const Case cases[] = {
        {"400100r", "400100E"},          // "All settings": catalogued, not served
        {"400300r", "400300E"},          // not in the catalogue
        {"400401r", "400401E"},          // no such category
        {"409001r0000", "409001E0000"},  // receiver settings: a ZEL-5137 only
        {"408501r0000", "408501E0000"},  // upgrade type 2: a ZEL-5137 only
        {"400106r", "400106E"},          // the ZEL-5137's hardware version
        {"400201x", "400201E"},          // neither read nor write
        {"408102r", "408102E0000"},      // indexed category without its index
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        EXPECT_EQ(Text(Exchange(SimFrame(c.request))), Text(SimFrame(c.reply)));
    }
    uint32_t value = 0;
    EXPECT_EQ(ZelReadSetting(0x90, 1, &value), ZEL_E_ERROR_REPLY);
}

TEST_F(SimWireTest, MalformedValuesAreRefused) {
    const char* cases[] = {
        "40810Bw000064",      // two digits for a two-byte setting
        "40810Bw0000000064",  // six digits
        "40810Bw00000G64",    // not a digit
        "400201r01",          // a read with data
        "408002r0001",        // File part cannot be read
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        std::vector<uint8_t> reply = Exchange(SimFrame(c));
        ASSERT_GE(reply.size(), 8u);
        EXPECT_EQ(reply[7], 'E');
    }
}

TEST_F(SimWireTest, FramesThatAreNotForTheDeviceGetNoReply) {
    EXPECT_TRUE(Exchange(SimRaw("400201r68")).empty());  // checksum off by one
    EXPECT_TRUE(Exchange(SimRaw("400201r6")).empty());   // one checksum digit
    EXPECT_TRUE(Exchange(SimRaw("40")).empty());         // too short
    EXPECT_TRUE(Exchange(SimFrame("410201r")).empty());  // another address
    EXPECT_TRUE(Exchange(SimRaw("")).empty());
    EXPECT_EQ(device->Stats().replies, 0u);
    EXPECT_EQ(device->Stats().ignored, 5u);
    // Still listening afterwards.
    EXPECT_EQ(Exchange(SimRaw("400201r67")), SimRaw("400201R0126"));
}

TEST_F(SimWireTest, FramesSplitAcrossReadsAndSurroundedByNoiseAreReassembled) {
    std::vector<uint8_t> stream = Bytes("junk\x03more");
    std::vector<uint8_t> frame = SimRaw("400201r67");
    stream.insert(stream.end(), frame.begin(), frame.end());
    stream.push_back('z');
    // A frame cut short by a new STX is given up for the new one.
    std::vector<uint8_t> cut = {ZEL_STX, '4', '0', '0'};
    stream.insert(stream.end(), cut.begin(), cut.end());
    stream.insert(stream.end(), frame.begin(), frame.end());

    std::vector<uint8_t> replies;
    for (uint8_t b : stream) {
        std::vector<uint8_t> out = Exchange({b}, 1);
        replies.insert(replies.end(), out.begin(), out.end());
    }
    std::vector<uint8_t> expected = SimRaw("400201R0126");
    std::vector<uint8_t> twice = expected;
    twice.insert(twice.end(), expected.begin(), expected.end());
    EXPECT_EQ(replies, twice);
}

TEST_F(SimWireTest, IndexedRepliesEchoTheIndex) {
    EXPECT_EQ(Text(Exchange(SimFrame("408102r0005"))), Text(SimFrame("408102R000501")));
    EXPECT_EQ(Text(Exchange(SimFrame("40810Aw00AB138C"))), Text(SimFrame("40810AW00AB138C")));
}

TEST_F(SimWireTest, LowerCaseDigitsInARequestAreAccepted) {
    EXPECT_EQ(Text(Exchange(SimFrame("40810aw0000138c"))), Text(SimFrame("40810AW0000138C")));
    EXPECT_EQ(device->Value(0x81, 10), 0x138Cu);
}

TEST_F(SimWireTest, SixAndEightByteValuesTravelInFull) {
    uint64_t mac = 0;
    ASSERT_EQ(ZelReadSetting64(3, 6, &mac), ZEL_OK);
    EXPECT_EQ(mac, 0x020000123456ULL);
    uint32_t narrow = 0;
    EXPECT_EQ(ZelReadSetting(3, 6, &narrow), ZEL_E_INVALID_PARAMETER);
}

}  // namespace
