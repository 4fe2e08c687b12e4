// The upgrade transfer against the scripted device: frames byte-exact, the order of reads,
// writes, sleeps and progress reports, and every way the transfer can end.
#include <algorithm>
#include <string>

#include "firmware_progress.h"
#include "upgrade_test_fixture.h"

namespace {

std::vector<uint8_t> Frame(const std::string& body) {
    std::vector<uint8_t> frame{ZEL_STX};
    frame.insert(frame.end(), body.begin(), body.end());
    frame.push_back(ZEL_ETX);
    return frame;
}

std::vector<std::vector<uint8_t>> WriteFrames(const ScriptedDevice& device) {
    std::vector<std::vector<uint8_t>> out;
    for (const ScriptedRequest& r : device.requests)
        if (!r.read) out.push_back(r.frame);
    return out;
}

bool Contains(const std::vector<std::string>& events, const std::string& event) {
    return std::find(events.begin(), events.end(), event) != events.end();
}

// ---------------------------------------------------------------------------
// Encodings

TEST(UpgradeEncoding, AbcInBothEncodings) {
    std::copy_n("abc", 3, ZelPartBuffer);
    ASSERT_EQ(ZelEncode7Bit(3), 4);
    EXPECT_EQ(std::vector<uint8_t>(ZelTransferBuffer, ZelTransferBuffer + 4),
              (std::vector<uint8_t>{0xE1, 0xC4, 0x8D, 0x83}));
    ASSERT_EQ(ZelEncodeHex(3), 6);
    EXPECT_EQ(std::string(ZelTransferBuffer, ZelTransferBuffer + 6), "616263");
}

TEST(UpgradeEncoding, SevenBitLengthsAndRoundTrip) {
    const struct {
        int count;
        int encoded;
    } cases[] = {{1, 2}, {3, 4}, {6, 7}, {7, 8}, {8, 10}, {14, 16}, {15, 18}, {1023, 1170}, {1024, 1171}};
    uint32_t seed = 99;
    for (const auto& c : cases) {
        std::vector<uint8_t> part(c.count);
        for (uint8_t& b : part)
            b = static_cast<uint8_t>((seed = seed * 69069u + 1) >> 24);
        part[0] = 0xFF;  // all ones and all zeros must survive too
        part[part.size() - 1] = 0x00;
        std::copy(part.begin(), part.end(), ZelPartBuffer);
        ASSERT_EQ(ZelEncode7Bit(c.count), c.encoded) << c.count;
        const std::vector<uint8_t> encoded(ZelTransferBuffer, ZelTransferBuffer + c.encoded);
        EXPECT_TRUE(std::all_of(encoded.begin(), encoded.end(), [](uint8_t b) { return b >= 0x80; }));
        EXPECT_EQ(Decode7Bit(encoded, c.count), part) << c.count;
    }
}

TEST(UpgradeEncoding, FullPartInHexFillsTheTransferBuffer) {
    for (int i = 0; i < 1024; ++i)
        ZelPartBuffer[i] = static_cast<uint8_t>(i);
    ASSERT_EQ(ZelEncodeHex(1024), 2048);
    const std::vector<uint8_t> encoded(ZelTransferBuffer, ZelTransferBuffer + 2048);
    EXPECT_EQ(DecodeHex(encoded), std::vector<uint8_t>(ZelPartBuffer, ZelPartBuffer + 1024));
    EXPECT_EQ(std::string(ZelTransferBuffer + 2 * 0xAB, ZelTransferBuffer + 2 * 0xAB + 2), "AB");
}

TEST(UpgradeEncoding, CountsOutsideAPartEncodeNothing) {
    for (int count : {0, -1, 1025}) {
        EXPECT_EQ(ZelEncode7Bit(count), 0);
        EXPECT_EQ(ZelEncodeHex(count), 0);
    }
}

TEST(UpgradeProgressText, PhaseNamesAndWindowText) {
    EXPECT_STREQ(ZelUpgPhaseName(0), "Init");
    EXPECT_STREQ(ZelUpgPhaseName(1), "Uploading");
    EXPECT_STREQ(ZelUpgPhaseName(2), "Programming");
    EXPECT_STREQ(ZelUpgPhaseName(3), "Finished");
    EXPECT_STREQ(ZelUpgPhaseName(4), "Unkown");
    EXPECT_STREQ(ZelUpgPhaseName(-1), "Unkown");
    EXPECT_EQ(FirmwareProgressText(2, 100),
              "Firmware upgrade current phase: Programming, current progress: 100");
    EXPECT_EQ(FirmwareProgressText(9, -56), "Firmware upgrade current phase: Unkown, current progress: -56");
}

// ---------------------------------------------------------------------------
// Type 1 (ZEL-5100)

TEST_F(UpgradeTest, AbcOnFirmware14GoesSevenBitAndEndsWithTheReboot) {
    Device5100(14);
    image = {'a', 'b', 'c'};
    ASSERT_EQ(ZelUpgradeFirmware(3), ZEL_OK);

    const std::vector<std::string> expected = {
        "r01/05",         "progress 0 0",   "r01/05",         "r01/03",        "progress 0 20",
        "w80/04=01",      "progress 0 40",  "w80/07=0001",    "progress 0 60", "w80/08=0400",
        "progress 0 80",  "w80/09=0003",    "progress 0 100", "w80/02#1",      "progress 1 0",
        "w80/03=01",      "progress 2 0",   "sleep 300",      "r80/06",        "r80/05",
        "progress 2 100", "progress 3 100", "w03/05=01",      "w03/05=01",     "w03/05=01",
    };
    EXPECT_EQ(device.events, expected);

    const auto writes = WriteFrames(device);
    ASSERT_GE(writes.size(), 6u);
    EXPECT_EQ(writes[0], (std::vector<uint8_t>{0x02, 0x34, 0x30, 0x38, 0x30, 0x30, 0x34, 0x77, 0x30, 0x30,
                                               0x30, 0x30, 0x30, 0x31, 0x33, 0x38, 0x03}));
    EXPECT_EQ(writes[4], (std::vector<uint8_t>{0x02, 0x34, 0x30, 0x38, 0x30, 0x30, 0x32, 0x77, 0x30, 0x30,
                                               0x30, 0x31, 0xE1, 0xC4, 0x8D, 0x83, 0x45, 0x35, 0x03}));
    EXPECT_EQ(writes.back(), Frame("400305w01FC"));
}

TEST_F(UpgradeTest, AbcOnFirmware13GoesHexWithoutReboot) {
    Device5100(13);
    image = {'a', 'b', 'c'};
    ASSERT_EQ(ZelUpgradeFirmware(3), ZEL_OK);

    const auto parts = device.RequestsTo(0x80, 2, false);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0].frame,
              (std::vector<uint8_t>{0x02, 0x34, 0x30, 0x38, 0x30, 0x30, 0x32, 0x77, 0x30, 0x30, 0x30,
                                    0x31, 0x36, 0x31, 0x36, 0x32, 0x36, 0x33, 0x36, 0x32, 0x03}));
    EXPECT_TRUE(device.RequestsTo(0x03, 5, false).empty());
    EXPECT_EQ(device.events.back(), "progress 3 100");
}

TEST_F(UpgradeTest, PartCountRemainingAndUploadReports) {
    const struct {
        size_t size;
        const char* parts;
        const char* remaining;
        std::vector<int> uploading;
    } cases[] = {
        {1024, "w80/07=0001", "w80/09=0400", {0}},
        {1025, "w80/07=0002", "w80/09=0001", {0, 50}},
        {3 * 1024 + 17, "w80/07=0004", "w80/09=0011", {0, 25, 50, 75}},
    };
    for (const auto& c : cases) {
        device.events.clear();
        device.requests.clear();
        reports.clear();
        Device5100(14);
        UseImage(c.size);
        ASSERT_EQ(ZelUpgradeFirmware(static_cast<int32_t>(c.size)), ZEL_OK) << c.size;
        EXPECT_TRUE(Contains(device.events, c.parts)) << c.size;
        EXPECT_TRUE(Contains(device.events, "w80/08=0400")) << c.size;
        EXPECT_TRUE(Contains(device.events, c.remaining)) << c.size;
        EXPECT_EQ(PercentsOf(ZEL_UPG_PHASE_UPLOADING), c.uploading) << c.size;
        EXPECT_EQ(Reassembled(0x80, 2, true), image) << c.size;
    }
}

TEST_F(UpgradeTest, MultiPartImageArrivesWholeInEitherEncoding) {
    for (int firmware : {13, 14}) {
        device.requests.clear();
        Device5100(firmware);
        UseImage(5 * 1024 + 333, static_cast<uint32_t>(firmware));
        ASSERT_EQ(ZelUpgradeFirmware(static_cast<int32_t>(image.size())), ZEL_OK);
        const auto parts = device.RequestsTo(0x80, 2, false);
        ASSERT_EQ(parts.size(), 6u);
        for (size_t k = 0; k < parts.size(); ++k)
            EXPECT_EQ(parts[k].index, static_cast<int>(k + 1));
        EXPECT_EQ(parts[0].data.size(), firmware >= 14 ? 1171u : 2048u);
        EXPECT_EQ(Reassembled(0x80, 2, firmware >= 14), image) << firmware;
    }
}

TEST_F(UpgradeTest, LostReplyMidTransferIsRecoveredByTheEngine) {
    Device5100(14);
    UseImage(4 * 1024 + 5);
    ScriptedReply answered;
    device.Script(0x80, 2, {answered, answered, ScriptedReply::Silence(), answered});
    ASSERT_EQ(ZelUpgradeFirmware(static_cast<int32_t>(image.size())), ZEL_OK);

    std::vector<int> indexes;
    for (const ScriptedRequest& r : device.RequestsTo(0x80, 2, false))
        indexes.push_back(r.index);
    EXPECT_EQ(indexes, (std::vector<int>{1, 2, 3, 3, 4, 5}));
    EXPECT_EQ(Reassembled(0x80, 2, true), image);
}

TEST_F(UpgradeTest, FailedErrorReadIsNotAnError) {
    Device5100(14);
    image = {1, 2, 3};
    device.Script(0x80, 6,
                  {ScriptedReply::Silence(), ScriptedReply::Silence(), ScriptedReply::Silence(),
                   ScriptedReply::Value(0, 1)});
    EXPECT_EQ(ZelUpgradeFirmware(3), ZEL_OK);
    EXPECT_EQ(device.RequestsTo(0x80, 6, true).size(), 3u);  // one read: the engine's three attempts
    EXPECT_EQ(PercentsOf(ZEL_UPG_PHASE_FINISHED), std::vector<int>{100});
}

TEST_F(UpgradeTest, FailedProgressReadCostsOneMillisecondAndNoReport) {
    Device5100(14);
    image = {1, 2, 3};
    device.Script(0x80, 5, {ScriptedReply::Error(), ScriptedReply::Value(100, 1)});
    ASSERT_EQ(ZelUpgradeFirmware(3), ZEL_OK);

    auto from = std::find(device.events.begin(), device.events.end(), "progress 2 0");
    ASSERT_NE(from, device.events.end());
    const std::vector<std::string> programming(from, from + 11);
    EXPECT_EQ(programming, (std::vector<std::string>{"progress 2 0", "sleep 300", "r80/06", "r80/05",
                                                     "sleep 1", "sleep 300", "r80/06", "r80/05",
                                                     "progress 2 100", "progress 3 100", "w03/05=01"}));
}

TEST_F(UpgradeTest, ProgressOf100EndsThePolls) {
    Device5100(14);
    image = {1, 2, 3};
    // 200 reads as -56: still short of 100.
    device.Script(0x80, 5,
                  {ScriptedReply::Value(40, 1), ScriptedReply::Value(200, 1), ScriptedReply::Value(100, 1),
                   ScriptedReply::Value(7, 1)});
    ASSERT_EQ(ZelUpgradeFirmware(3), ZEL_OK);
    EXPECT_EQ(PercentsOf(ZEL_UPG_PHASE_PROGRAMMING), (std::vector<int>{0, 40, -56, 100}));
    EXPECT_EQ(device.RequestsTo(0x80, 5, true).size(), 3u);
    EXPECT_EQ(reports.back(), std::make_pair(int{ZEL_UPG_PHASE_FINISHED}, 100));
}

TEST_F(UpgradeTest, DeviceErrorWhileProgrammingFailsTheUpgrade) {
    Device5100(14);
    image = {1, 2, 3};
    device.Script(0x80, 6, {ScriptedReply::Value(0, 1), ScriptedReply::Value(3, 1)});
    device.SetValue(0x80, 5, 50);
    EXPECT_EQ(ZelUpgradeFirmware(3), ZEL_E_UPG_FAILED);
    EXPECT_TRUE(PercentsOf(ZEL_UPG_PHASE_FINISHED).empty());
    EXPECT_TRUE(device.RequestsTo(0x03, 5, false).empty());
    EXPECT_TRUE(device.RequestsTo(0x80, 4, false).size() == 1u);  // no Abort on the way out
}

TEST_F(UpgradeTest, ProgrammingThatNeverEndsTimesOut) {
    Device5100(14);
    image = {1, 2, 3};
    device.SetValue(0x80, 5, 99);
    EXPECT_EQ(ZelUpgradeFirmware(3), ZEL_E_TIME_OUT);
    EXPECT_GE(device.sleptMs, ZEL_PROGRAMMING_LIMIT_MS);
    EXPECT_LT(device.sleptMs, ZEL_PROGRAMMING_LIMIT_MS + 400);
    EXPECT_TRUE(PercentsOf(ZEL_UPG_PHASE_FINISHED).empty());
    EXPECT_GT(device.pumps, 2 * ZEL_PROGRAMMING_LIMIT_MS / 300);  // the window kept being served
}

// Failed reads while the unit programs are asked again, and their silence is shown.
TEST_F(UpgradeTest, SilenceWhileProgrammingIsShownAsItLasts) {
    static std::vector<int> silences;
    silences.clear();
    ZelSetUpgradeSilenceHook([](void*, int ms) { silences.push_back(ms); }, nullptr);
    Device5100(14);
    image = {1, 2, 3};
    device.Script(0x80, 5,
                  {ScriptedReply::Silence(), ScriptedReply::Silence(), ScriptedReply::Silence(),
                   ScriptedReply::Silence(), ScriptedReply::Silence(), ScriptedReply::Silence(),
                   ScriptedReply::Value(100, 1)});
    EXPECT_EQ(ZelUpgradeFirmware(3), ZEL_OK);
    ASSERT_EQ(silences.size(), 3u);  // two silent polls, then the answer
    EXPECT_GT(silences[0], 0);
    EXPECT_GT(silences[1], silences[0]);
    EXPECT_EQ(silences[2], 0);
    ZelSetUpgradeSilenceHook(nullptr, nullptr);
}

TEST_F(UpgradeTest, ALineGoneWhileTheUnitProgramsEndsTheUpgradeAtOnce) {
    Device5100(14);
    image = {1, 2, 3};
    device.SetValue(0x80, 5, 50);  // programming never ends on its own
    const auto programming = [&] {
        for (size_t i = 0; i < device.requests.size(); ++i)
            if (device.requests[i].category == 0x80 && device.requests[i].setting == 5) return int(i);
        return -1;
    };
    // Once the unit has answered a poll, the line is pulled two requests later.
    static ScriptedDevice* line;
    line = &device;
    ZelSetUpgradeHooks(
        ReadPart, this,
        [](void* context, int phase, int percent) {
            Progress(context, phase, percent);
            if (phase == ZEL_UPG_PHASE_PROGRAMMING && percent == 50 && line->lineGoneAfter < 0)
                line->lineGoneAfter = int(line->requests.size()) + 2;
        },
        this);
    EXPECT_EQ(ZelUpgradeFirmware(3), ZEL_E_TX_FAILED);
    EXPECT_GE(programming(), 0);
    EXPECT_LT(device.sleptMs, 2000);  // not the ten minutes of a silent unit
}

TEST_F(UpgradeTest, ReadPartFailureEndsTheTransfer) {
    Device5100(14);
    UseImage(3000);
    failReadAt = 2;
    EXPECT_EQ(ZelUpgradeFirmware(3000), ZEL_E_UPG_FILE_ERROR);
    EXPECT_EQ(device.events.back(), "progress 1 0");  // nothing sent after part 1
}

TEST_F(UpgradeTest, WriteFailureEndsTheTransferWithItsResult) {
    Device5100(14);
    UseImage(3000);
    device.Script(0x80, 8, {ScriptedReply::Error()});
    EXPECT_EQ(ZelUpgradeFirmware(3000), ZEL_E_ERROR_REPLY);
    EXPECT_EQ(device.events.back(), "w80/08=0400");
}

TEST_F(UpgradeTest, ArgumentsAreRefusedBeforeAnythingIsSent) {
    Device5100(14);
    for (int32_t size : {0, -1, ZEL_MAX_PARTS * ZEL_PART_SIZE + 1, INT32_MAX}) {
        EXPECT_EQ(ZelUpgradeFirmware(size), ZEL_E_INVALID_PARAMETER) << size;
    }
    ZelSetUpgradeHooks(nullptr, nullptr, Progress, this);
    EXPECT_EQ(ZelUpgradeFirmware(3), ZEL_E_INVALID_PARAMETER);
    EXPECT_TRUE(device.requests.empty());
    EXPECT_TRUE(reports.empty());

    // The largest image that can be numbered is accepted (its device type is not).
    ZelSetUpgradeHooks(ReadPart, this, Progress, this);
    device.SetValue(0x01, 5, 5200);
    EXPECT_EQ(ZelUpgradeFirmware(ZEL_MAX_PARTS * ZEL_PART_SIZE), ZEL_E_NOT_SUPPORTED);
    EXPECT_EQ(device.events, std::vector<std::string>{"r01/05"});
}

TEST_F(UpgradeTest, UpgradeTypeByDevice) {
    const struct {
        uint32_t deviceType;
        ZelResult result;
        int32_t upgradeType;
    } cases[] = {
        {5100, ZEL_OK, 1}, {5137, ZEL_OK, 2}, {5200, ZEL_E_NOT_SUPPORTED, 0}, {0, ZEL_E_NOT_SUPPORTED, 0}};
    for (const auto& c : cases) {
        device.SetValue(0x01, 5, c.deviceType);
        int32_t upgradeType = 0;
        EXPECT_EQ(ZelGetUpgradeType(&upgradeType), c.result) << c.deviceType;
        EXPECT_EQ(upgradeType, c.upgradeType) << c.deviceType;
    }
    device.Script(0x01, 5, {ScriptedReply::Error()});
    EXPECT_EQ(ZelGetUpgradeType(nullptr), ZEL_E_ERROR_REPLY);
}

TEST_F(UpgradeTest, MissingTransportFailsTheFirstRead) {
    ZelSetTransport(nullptr, nullptr, nullptr, nullptr, nullptr);
    image = {1};
    EXPECT_EQ(ZelUpgradeFirmware(1), ZEL_E_TXFUNC_NULL_PNTR);
    EXPECT_EQ(ZelWaitWhileBusy(), ZEL_E_RXFUNC_NULL_PNTR);
    EXPECT_TRUE(reports.empty());
}

// ---------------------------------------------------------------------------
// Type 2 (ZEL-5137)

TEST_F(UpgradeTest, Type2ErasesWaitsSendsSevenBitAndVerifies) {
    Device5137();
    UseImage(2 * 1024 + 100);
    // An error reply to Busy is no answer: the wait goes on.
    device.Script(0x01, 12, {ScriptedReply::Error(), ScriptedReply::Value(1, 1), ScriptedReply::Value(0, 1)});
    ASSERT_EQ(ZelUpgradeFirmware(static_cast<int32_t>(image.size())), ZEL_OK);

    const std::vector<std::string> expected = {
        "r01/05",       "progress 0 0", "r01/05",         "r01/07",        "r85/01",   "w85/02=01",
        "r01/0C",       "sleep 1",      "r01/0C",         "sleep 1",       "r01/0C",   "progress 0 20",
        "w85/03#1",     "progress 1 0", "w85/03#2",       "progress 1 33", "w85/03#3", "progress 1 66",
        "progress 2 0", "r85/04",       "progress 3 100",
    };
    EXPECT_EQ(device.events, expected);
    EXPECT_EQ(Reassembled(0x85, 3, true), image);
}

TEST_F(UpgradeTest, Type2InModeZeroStopsBeforeTheErase) {
    Device5137();
    device.SetValue(0x85, 1, 0);
    image = {1, 2, 3};
    EXPECT_EQ(ZelUpgradeFirmware(3), ZEL_E_INVALID_MODE);
    EXPECT_TRUE(WriteFrames(device).empty());
    EXPECT_EQ(device.events.back(), "r85/01");
}

TEST_F(UpgradeTest, Type2VerifyOtherThanOneFails) {
    for (uint32_t verify : {0u, 2u}) {
        reports.clear();
        readOffset = 0;
        Device5137();
        device.SetValue(0x85, 4, verify);
        image = {1, 2, 3};
        EXPECT_EQ(ZelUpgradeFirmware(3), ZEL_E_UPG_VERIFY_FAILED) << verify;
        EXPECT_TRUE(PercentsOf(ZEL_UPG_PHASE_FINISHED).empty());
    }
}

TEST_F(UpgradeTest, BusyThatNeverClearsTimesOut) {
    Device5137();
    device.SetValue(0x01, 12, 1);
    device.logEvents = false;
    image = {1, 2, 3};
    EXPECT_EQ(ZelUpgradeFirmware(3), ZEL_E_TIME_OUT);
    EXPECT_GE(device.sleptMs, ZEL_BUSY_LIMIT_MS);
    EXPECT_LT(device.sleptMs, ZEL_BUSY_LIMIT_MS + 10);
    EXPECT_TRUE(device.RequestsTo(0x85, 3, false).empty());
}

}  // namespace
