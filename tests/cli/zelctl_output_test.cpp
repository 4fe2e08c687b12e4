// Where zelctl's output goes: a full disk, a reader that leaves, an interrupt.
#include <algorithm>
#include <csignal>
#include <cstring>
#include <string>

#include "zelctl_fixture.h"

namespace {

class OutputTest : public ZelctlTest {};

size_t TracedReplies(const std::string& trace) {
    size_t replies = 0;
    for (const TracedFrame& frame : TracedFrames(trace))
        replies += frame.direction == "RX";
    return replies;
}

TEST_F(OutputTest, AFullDiskEndsEveryCommandWithTheSystemsWords) {
    StartSimulator();
    const std::string full = std::strerror(ENOSPC);
    for (const char* command : {"backup -", "dump", "dump --json", "info", "info --json", "get 2 1"}) {
        const std::string line = "\"$ZELCTL\" --port \"$PORT\" " + std::string(command) + " >/dev/full";
        const ProcessResult result = InShell(line);
        EXPECT_EQ(result.exitCode, 1) << Describe({line}, result);
        EXPECT_NE(result.err.find("zelctl: cannot write to standard output: " + full), std::string::npos)
            << Describe({line}, result);
        EXPECT_EQ(result.err.find("Saved"), std::string::npos) << Describe({line}, result);
    }
}

TEST_F(OutputTest, AReaderThatLeavesEarlyEndsDumpSilently) {
    StartSimulator();
    const ProcessResult result = InShell("\"$ZELCTL\" --port \"$PORT\" dump | head -n 1");
    EXPECT_EQ(result.exitCode, 0) << Describe({"dump | head -n 1"}, result);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 1) << result.out;
}

TEST_F(OutputTest, CtrlCDuringDumpKeepsTheLinesAlreadyPrinted) {
    // Slow replies, so that the dump is still reading when the interrupt comes.
    StartSimulator({"--pacing", "--turnaround-us", "40000"});
    auto dump = StartZelctl({"--port", Port(), "--trace", "dump"});
    // Twelve replies: the identity and at least eight settings, whose lines were printed.
    constexpr size_t kReplies = 12;
    ASSERT_TRUE(dump->WaitUntil([](const ProcessResult& r) { return TracedReplies(r.err) >= kReplies; },
                                kZelctlLimitMs))
        << "the dump ended early";
    dump->Signal(SIGINT);
    const ProcessResult result = dump->Finish(kZelctlLimitMs);
    EXPECT_TRUE(result.signal == SIGINT || result.exitCode == 130) << Describe({"dump"}, result);
    EXPECT_GE(std::count(result.out.begin(), result.out.end(), '\n'), 8) << Describe({"dump"}, result);
    ASSERT_FALSE(result.out.empty());
    EXPECT_EQ(result.out.back(), '\n') << "a line was cut: " << result.out;
}

}  // namespace
