// zelctl against a simulated unit that answers late, ignores writes or loses its line:
// never a wrong value, never a false success, never a wait on a line that is gone.
#include <chrono>
#include <csignal>
#include <cstdint>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "firmware_builder.h"
#include "zelctl_fixture.h"

namespace {

class LineFaultTest : public ZelctlTest {
protected:
    std::string FirmwareFile(size_t imageSize) {
        FirmwareSpec recipe;
        recipe.major = 2;
        recipe.minor = 4;
        recipe.imageSize = imageSize;
        const std::vector<uint8_t> file = BuildFirmwareFile(recipe);
        const std::string path = Home().File("new.zel");
        WriteFile(path, std::string(file.begin(), file.end()));
        return path;
    }
};

// The unit answers each request only when the next one arrives: every reply a request
// gets first is the previous request's.
TEST_F(LineFaultTest, HeldRepliesNeverGiveAWrongValueOrAFalseSuccess) {
    StartSimulator({"--hold-replies"});
    const ProcessResult set = OnDevice({"set", "0x81", "10", "5004"});
    EXPECT_EQ(set.exitCode, 0) << Describe({"set 0x81 10 5004"}, set);
    EXPECT_EQ(set.out, "5004\n");
    const ProcessResult get = OnDevice({"get", "0x81", "11"});
    EXPECT_EQ(get.exitCode, 0) << Describe({"get 0x81 11"}, get);
    EXPECT_EQ(get.out, "100\n");

    // The write's own reply must not pass for the read back of a unit that kept its value.
    StartSimulator({"--hold-replies", "--ignore-writes"});
    const ProcessResult ignored = OnDevice({"set", "0x81", "10", "5004"});
    EXPECT_EQ(ignored.exitCode, 1) << Describe({"set 0x81 10 5004"}, ignored);
    EXPECT_EQ(ignored.out, "1234\n");
}

TEST_F(LineFaultTest, AWriteTheUnitIgnoresExitsOneNamingBothValues) {
    StartSimulator({"--ignore-writes"});
    const ProcessResult result = OnDevice({"set", "0x81", "10", "5004"});
    EXPECT_EQ(result.exitCode, 1) << Describe({"set 0x81 10 5004"}, result);
    EXPECT_EQ(result.out, "1234\n");
    EXPECT_NE(result.err.find("1234"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("5004"), std::string::npos) << result.err;

    // A network setting applies at the next restart: its read back may differ.
    const ProcessResult network = OnDevice({"set", "3", "1", "10.0.0.5"});
    EXPECT_EQ(network.exitCode, 0) << Describe({"set 3 1 10.0.0.5"}, network);
}

TEST_F(LineFaultTest, AMultiPartUpgradeWhoseLastPartIsRefusedFailsAlsoWithHeldReplies) {
    const std::string path = FirmwareFile(3000);  // three parts
    for (const bool held : {false, true}) {
        SCOPED_TRACE(held ? "held replies" : "prompt replies");
        std::vector<std::string> options = {"--refuse-last-part"};
        if (held) options.push_back("--hold-replies");
        StartSimulator(options);
        const ProcessResult result = OnDevice({"upgrade", path});
        EXPECT_EQ(result.exitCode, 1) << Describe({"upgrade"}, result);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find("ZEL_E_ERROR_REPLY"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("nothing was programmed"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("zelctl --port " + Port() + " upgrade " + path), std::string::npos)
            << result.err;
    }
}

// Seconds since midnight of a monitor line's time stamp.
double StampSeconds(const std::string& stamp) {
    const std::regex time(R"(T(\d\d):(\d\d):(\d\d\.\d{3}))");
    std::smatch match;
    if (!std::regex_search(stamp, match, time)) return -1;
    return std::stoi(match[1]) * 3600.0 + std::stoi(match[2]) * 60.0 + std::stod(match[3]);
}

// Each reply comes after the time-out and the drain: the second attempt takes the first
// one's reply, and the second attempt's own reply is still on its way when the poll ends.
// It must not be shown by the next poll. The counter read grows ten a second, so a value
// belongs to a time; a stale one lags its poll's time stamp by most of the interval.
TEST_F(LineFaultTest, MonitorNeverShowsAReplyLeftFromTheDelayedPollBefore) {
    StartSimulator({"--delay", "100", "--delay-past-ms", "200"});
    const ProcessResult result = OnDevice({"monitor", "--interval", "2", "--count", "4", "0x81:9"});
    ASSERT_EQ(result.exitCode, 0) << Describe({"monitor"}, result);

    std::vector<double> lag;  // counter time minus stamp, both in seconds
    std::istringstream lines(result.out);
    std::string line;
    const std::regex poll(R"(^(\S+) 0x81:9=(\d+)$)");
    while (std::getline(lines, line)) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, poll)) << result.out;
        lag.push_back(double(std::stoull(match[2])) / 10.0 - StampSeconds(match[1]));
    }
    ASSERT_EQ(lag.size(), 4u) << result.out;
    for (size_t i = 1; i < lag.size(); ++i) {
        // A stale value lags by 1.6 s or more; a fresh one by no more than the load adds.
        EXPECT_LT(lag[0] - lag[i], 0.8) << "poll " << i << " shows an older value\n" << result.out;
    }
}

// The requests a clean upgrade of `path` makes before it first reads Progress.
int RequestsBeforeProgramming(const std::string& stderrText) {
    int requests = 0;
    for (const TracedFrame& frame : TracedFrames(stderrText)) {
        if (frame.direction != "TX") continue;
        if (frame.hex.rfind("02 34 30 38 30 30 35 72", 0) == 0) return requests;  // <STX>408005r
        ++requests;
    }
    return -1;
}

TEST_F(LineFaultTest, AHangUpWhileTheUnitProgramsEndsTheUpgradeAtOnce) {
    const std::string path = FirmwareFile(1500);
    StartSimulator({"--progress-steps", "20"});
    const ProcessResult clean = OnDevice({"--trace", "upgrade", path});
    ASSERT_EQ(clean.exitCode, 0) << Describe({"upgrade"}, clean);
    const int before = RequestsBeforeProgramming(clean.err);
    ASSERT_GT(before, 0) << clean.err;

    StartSimulator({"--progress-steps", "20", "--hang-up-after", std::to_string(before + 6)});
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult result = OnDevice({"upgrade", path});
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(result.exitCode, 1) << Describe({"upgrade"}, result);
    EXPECT_NE(result.err.find("the line to the device is gone"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("may still be doing so"), std::string::npos) << result.err;
    // Waiting on the line instead took ten minutes: this bound only tells the two apart.
    EXPECT_LT(seconds, 60) << result.err;
}

TEST_F(LineFaultTest, MonitorEndsWhenTheLineIsHungUpButPollsASilentUnitOn) {
    StartSimulator({"--hang-up-after", "2"});
    const ProcessResult gone = OnDevice({"monitor", "--interval", "0.2", "0x81:10"});
    EXPECT_EQ(gone.exitCode, 1) << Describe({"monitor"}, gone);
    EXPECT_NE(gone.err.find("the line to the device is gone"), std::string::npos) << gone.err;
    EXPECT_NE(gone.out.find("0x81:10=1234"), std::string::npos) << gone.out;

    StartSimulator({"--silent-after", "1"});
    const ProcessResult silent = OnDevice({"monitor", "--interval", "0.2", "--count", "3", "0x81:10"});
    EXPECT_EQ(silent.exitCode, 1) << Describe({"monitor"}, silent);
    EXPECT_EQ(silent.err.find("the line to the device is gone"), std::string::npos) << silent.err;
    // Every poll is made and shown: the first answered, the others failed.
    EXPECT_NE(silent.out.find("0x81:10=1234"), std::string::npos) << silent.out;
    size_t failed = 0;
    for (size_t at = silent.out.find("ZEL_E_RX_FAILED"); at != std::string::npos;
         at = silent.out.find("ZEL_E_RX_FAILED", at + 1))
        ++failed;
    EXPECT_EQ(failed, 2u) << silent.out;
}

// The first Ctrl+C only warns, with the unit's state; a second one soon after ends the
// upgrade with the state and the command that tries again.
TEST_F(LineFaultTest, CtrlCDuringAnUpgradeWarnsFirstAndASecondOneEndsIt) {
    const std::string path = FirmwareFile(1500);
    StartSimulator({"--progress-steps", "100"});
    auto upgrade = StartZelctl({"--port", Port(), "upgrade", path});
    ASSERT_TRUE(upgrade->WaitUntil(
        [](const ProcessResult& r) { return r.err.find("phase: Programming") != std::string::npos; }, 60000));
    upgrade->Signal(SIGINT);
    ASSERT_TRUE(upgrade->WaitUntil(
        [](const ProcessResult& r) { return r.err.find("Press Ctrl+C again") != std::string::npos; }, 60000));
    upgrade->Signal(SIGINT);
    const ProcessResult result = Checked({"upgrade"}, upgrade->Finish(60000));
    EXPECT_EQ(result.signal, SIGINT) << Describe({"upgrade"}, result);
    EXPECT_NE(result.err.find("stopping now ends the upgrade unfinished"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("upgrade interrupted"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("may still be doing so"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("zelctl --port " + Port() + " upgrade " + path), std::string::npos)
        << result.err;
}

}  // namespace
