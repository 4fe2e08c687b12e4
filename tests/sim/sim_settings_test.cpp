// The values the device holds: identity, ranges of writable settings, refusals of
// read-only ones, settings that depend on firmware and model, counters over time.
#include "sim_test_support.h"

#include "sim_settings.h"
#include "zel_engine_internal.h"

namespace {

class SimSettingsTest : public SimTest {
protected:
    void SetUp() override { Start(); }
};

TEST_F(SimSettingsTest, IdentityFollowsTheConfiguration) {
    SimConfig config;
    config.deviceType = 5100;
    config.mode = 0;
    config.firmwareVersion = 14;
    config.serialNumber = 1002345;
    Start(config);
    struct Case {
        int category, setting;
        uint64_t expected;
    };
    const Case cases[] = {
        {1, 1, 7},    {1, 2, 3}, {1, 3, 14}, {1, 4, 1002345},
        {1, 5, 5100}, {1, 7, 4}, {2, 1, 0},  {3, 6, 0x020000123456ULL},
    };
    for (const Case& c : cases) {
        uint64_t value = 0;
        SCOPED_TRACE(testing::Message() << c.category << "/" << c.setting);
        ASSERT_EQ(ZelReadSetting64(c.category, c.setting, &value), ZEL_OK);
        EXPECT_EQ(value, c.expected);
    }
    config.deviceType = 5137;
    Start(config);
    uint32_t type = 0;
    ASSERT_EQ(ZelReadSetting(1, 5, &type), ZEL_OK);
    EXPECT_EQ(type, 5137u);
}

TEST_F(SimSettingsTest, ReadOnlySettingsRefuseWrites) {
    const std::pair<int, int> readOnly[] = {
        {1, 1},     {1, 3},     {1, 4},     {1, 5},    {2, 5},     {0x80, 5}, {0x80, 6}, {0x81, 3},
        {0x81, 14}, {0x81, 19}, {0x81, 25}, {0x82, 7}, {0x82, 11}, {0x83, 4}, {0x84, 3},
    };
    for (auto [category, setting] : readOnly) {
        SCOPED_TRACE(testing::Message() << category << "/" << setting);
        uint32_t before = 0, after = 0;
        ASSERT_EQ(ZelReadSetting(category, setting, &before), ZEL_OK);
        EXPECT_EQ(ZelWriteSetting(category, setting, before + 1), ZEL_E_ERROR_REPLY);
        ASSERT_EQ(ZelReadSetting(category, setting, &after), ZEL_OK);
        EXPECT_EQ(after, before);
    }
}

// The ranges of the window's legends: the ends pass, one beyond is refused.
TEST_F(SimSettingsTest, WritableSettingsCheckTheirRanges) {
    struct Case {
        int category, setting;
        std::vector<uint32_t> accepted;
        std::vector<uint32_t> refused;
    };
    const Case cases[] = {
        {2, 3, {0, 1}, {2}},                                                // volatile storage
        {0x81, 1, {0, 1}, {2}},                                             // addressing
        {0x81, 2, {0, 1}, {2}},                                             // enable
        {0x81, 4, {0, 1}, {2}},                                             // FEC enable
        {0x81, 10, {1, 5004, 65535}, {0}},                                  // UDP port
        {0x81, 11, {1, 9942}, {0, 9943, 20000}},                            // IP-to-output delay
        {0x81, 12, {0xE0000000, 0xEF010203}, {0x0A000001, 0xF0000000, 0}},  // multicast
        {0x81, 22, {0, 3}, {4}},                                            // rate estimation
        {0x82, 1, {0, 1}, {2}},
        {0x82, 4, {1, 20}, {0, 21}},                           // FEC columns
        {0x82, 5, {4, 20}, {3, 21}},                           // FEC rows
        {0x82, 6, {0xEF0A141E, 0x0A000002}, {0, 0xFFFFFFFF}},  // destination
        {0x82, 8, {1, 65535}, {0}},
        {0x82, 9, {1, 7}, {0, 8}},  // packets per IP packet
        {0x82, 10, {0, 1}, {2}},    // protocol
        {0x82, 13, {0, 255}, {}},   // time to live: every byte
        {0x83, 1, {0, 2}, {3}},     // packet size
        {0x83, 7, {0, 2}, {3}},     // input select
        {0x84, 1, {0, 2}, {3}},
        {3, 1, {0x0A000005, 0xC0A80102}, {0, 0x7F000001, 0xE0000001, 0xFFFFFFFF}},
        {3, 2, {0xFFFFFF00, 0xFFFF0000, 0xFFFFFFFF}, {0, 0xFF00FF00, 0x00FFFFFF}},
        {3, 3, {0, 0xC0A80001}, {0xFFFFFFFF, 0x7F000001}},
        {3, 4, {0, 1}, {2}},
    };
    for (const Case& c : cases) {
        for (uint32_t v : c.accepted) {
            SCOPED_TRACE(testing::Message() << c.category << "/" << c.setting << " = " << v);
            EXPECT_EQ(ZelWriteSetting(c.category, c.setting, v), ZEL_OK);
            // The reply carries the value now held.
            EXPECT_EQ(ZelTrans.replyStatus, 0);
            EXPECT_EQ(ZelTrans.size, ZelSettingSize(c.category, c.setting));
        }
        for (uint32_t v : c.refused) {
            SCOPED_TRACE(testing::Message() << c.category << "/" << c.setting << " = " << v);
            uint64_t before = *device->Value(c.category, c.setting);
            EXPECT_EQ(ZelWriteSetting(c.category, c.setting, v), ZEL_E_ERROR_REPLY);
            EXPECT_EQ(*device->Value(c.category, c.setting), before);
        }
    }
}

TEST_F(SimSettingsTest, WriteRepliesCarryTheValueNowHeld) {
    EXPECT_EQ(Text(Exchange(SimFrame("40810Bw00000064"))), Text(SimFrame("40810BW00000064")));
    uint32_t delay = 0;
    ASSERT_EQ(ZelReadSetting(0x81, 11, &delay), ZEL_OK);
    EXPECT_EQ(delay, 100u);
    // Time to live 300 travels as its low byte, 44 (0x2C), and is held as such.
    ASSERT_EQ(ZelWriteSetting(0x82, 13, 300), ZEL_OK);
    uint32_t ttl = 0;
    ASSERT_EQ(ZelReadSetting(0x82, 13, &ttl), ZEL_OK);
    EXPECT_EQ(ttl, 44u);
}

TEST_F(SimSettingsTest, SettingsOfNewerFirmwareAreUnknownToOlderFirmware) {
    struct Case {
        int firmware, category, setting;
        bool known;
    };
    const Case cases[] = {
        {13, 2, 3, false},
        {14, 2, 3, true},  // volatile storage from v1.4
        {22, 0x83, 7, false},
        {23, 0x83, 7, true},  // input select from v2.3
    };
    for (const Case& c : cases) {
        SimConfig config;
        config.firmwareVersion = c.firmware;
        Start(config);
        uint32_t value = 0;
        SCOPED_TRACE(testing::Message() << "v" << c.firmware << " " << c.category << "/" << c.setting);
        EXPECT_EQ(ZelReadSetting(c.category, c.setting, &value), c.known ? ZEL_OK : ZEL_E_ERROR_REPLY);
        EXPECT_EQ(ZelWriteSetting(c.category, c.setting, 1), c.known ? ZEL_OK : ZEL_E_ERROR_REPLY);
    }
}

TEST_F(SimSettingsTest, ReceiverCategoriesBelongToTheZel5137) {
    SimConfig config;
    config.deviceType = 5137;
    Start(config);
    uint32_t value = 0;
    EXPECT_EQ(ZelReadSetting(0x90, 3, &value), ZEL_OK);
    EXPECT_EQ(ZelWriteSetting(0x90, 3, 1300000), ZEL_OK);
    EXPECT_EQ(ZelWriteSetting(0x90, 3, 100), ZEL_E_ERROR_REPLY);
    EXPECT_EQ(ZelReadSetting(1, 6, &value), ZEL_OK);
    EXPECT_EQ(ZelReadSetting(1, 2, &value), ZEL_E_ERROR_REPLY);
}

TEST_F(SimSettingsTest, CountersMoveWithTimeAndGoBeyondThirtyTwoBits) {
    uint64_t lost = 0, valid = 0;
    ASSERT_EQ(ZelReadSetting64(0x81, 8, &lost), ZEL_OK);
    ASSERT_EQ(ZelReadSetting64(0x83, 5, &valid), ZEL_OK);
    EXPECT_GE(lost, 5000000000ULL);
    EXPECT_GE(valid, 5000000000ULL);

    clock.AdvanceMs(10 * 60 * 1000);
    uint64_t lostLater = 0, validLater = 0;
    ASSERT_EQ(ZelReadSetting64(0x81, 8, &lostLater), ZEL_OK);
    ASSERT_EQ(ZelReadSetting64(0x83, 5, &validLater), ZEL_OK);
    EXPECT_GT(lostLater, lost);
    EXPECT_GT(validLater, valid);

    // 32-bit counters move as well.
    uint32_t jitter = 0, jitterLater = 0;
    ASSERT_EQ(ZelReadSetting(0x81, 23, &jitter), ZEL_OK);
    clock.AdvanceMs(10 * 60 * 1000);
    ASSERT_EQ(ZelReadSetting(0x81, 23, &jitterLater), ZEL_OK);
    EXPECT_GT(jitterLater, jitter);
}

TEST_F(SimSettingsTest, FrozenCountersAndPinnedValuesStayPut) {
    SimConfig config;
    config.countersMove = false;
    Start(config);
    clock.AdvanceMs(3600 * 1000);
    uint64_t lost = 0;
    ASSERT_EQ(ZelReadSetting64(0x81, 8, &lost), ZEL_OK);
    EXPECT_EQ(lost, 5000000000ULL);

    device->SetValue(0x81, 25, 1234567);
    uint32_t factor = 0;
    ASSERT_EQ(ZelReadSetting(0x81, 25, &factor), ZEL_OK);
    EXPECT_EQ(factor, 1234567u);
}

TEST_F(SimSettingsTest, DependentValuesAgree) {
    uint32_t status = 9, fecDelay = 9;
    ASSERT_EQ(ZelWriteSetting(0x81, 2, 0), ZEL_OK);
    ASSERT_EQ(ZelReadSetting(0x81, 14, &status), ZEL_OK);
    EXPECT_EQ(status, 1u);  // 1 = Disable
    ASSERT_EQ(ZelWriteSetting(0x81, 2, 1), ZEL_OK);
    ASSERT_EQ(ZelReadSetting(0x81, 14, &status), ZEL_OK);
    EXPECT_EQ(status, 0u);  // 0 = Ok

    ASSERT_EQ(ZelReadSetting(0x81, 3, &fecDelay), ZEL_OK);
    EXPECT_EQ(fecDelay, 0u);  // FEC off
    ASSERT_EQ(ZelWriteSetting(0x81, 4, 1), ZEL_OK);
    ASSERT_EQ(ZelReadSetting(0x81, 3, &fecDelay), ZEL_OK);
    EXPECT_GT(fecDelay, 0u);

    uint32_t writes = 0, writesAfter = 0;
    ASSERT_EQ(ZelReadSetting(2, 5, &writes), ZEL_OK);
    ASSERT_EQ(ZelWriteSetting(2, 4, 1), ZEL_OK);
    ASSERT_EQ(ZelReadSetting(2, 5, &writesAfter), ZEL_OK);
    EXPECT_EQ(writesAfter, writes + 1);
}

TEST(SimSettingRows, EveryRowIsInTheCatalogue) {
    int count = 0;
    const SimSettingSpec* rows = SimSettingRows(&count);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(testing::Message() << rows[i].category << "/" << rows[i].setting);
        int size = ZelSettingSize(rows[i].category, rows[i].setting);
        ASSERT_GT(size, 0);
        if (size < 8) {
            EXPECT_LT(rows[i].initial, uint64_t{1} << (8 * size));
        }
        if (rows[i].check == SimCheck::Range && rows[i].initial != 0) {
            EXPECT_GE(rows[i].initial, rows[i].min);
            EXPECT_LE(rows[i].initial, rows[i].max);
        }
    }
}

}  // namespace
