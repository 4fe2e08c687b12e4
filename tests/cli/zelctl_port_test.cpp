// Choosing and opening the port, a device that does not answer, help and usage.
#include <fcntl.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <ctime>
#include <sstream>
#include <string>

#include "zelctl_fixture.h"

namespace {

class PortTest : public ZelctlTest {};

TEST_F(PortTest, APortThatDoesNotExistAndOneHeldElsewhereFailWithDistinctReasons) {
    StartSimulator();
    const ProcessResult missing = Zelctl({"--port", Home().File("ttyNone"), "get", "2", "1"});
    EXPECT_EQ(missing.exitCode, 1) << Describe({"get"}, missing);
    EXPECT_NE(missing.err.find("no such port"), std::string::npos) << missing.err;

    // Another program holding the port, as serial programs do, with an exclusive lock.
    const int holder = ::open(Port().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    const ProcessResult held = OnDevice({"get", "2", "1"});
    ::close(holder);
    EXPECT_EQ(held.exitCode, 1) << Describe({"get"}, held);
    EXPECT_NE(held.err.find("held by another program"), std::string::npos) << held.err;
    EXPECT_EQ(held.err.find("no such port"), std::string::npos) << held.err;

    // Released, the port serves again.
    EXPECT_EQ(OnDevice({"get", "2", "1"}).out, "1\n");
}

TEST_F(PortTest, ADeviceThatDoesNotAnswerFailsAfterTheEnginesThreeAttempts) {
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    ::close(slave);

    const ProcessResult result = Zelctl({"--port", name, "--trace", "get", "2", "1"});
    ::close(master);
    EXPECT_EQ(result.exitCode, 1) << Describe({"get"}, result);
    EXPECT_NE(result.err.find("ZEL_E_RX_FAILED"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("ZelHandler error code: ZEL_E_RX_FAILED"), std::string::npos) << result.err;
    int sent = 0;
    for (const TracedFrame& frame : TracedFrames(result.err)) sent += frame.direction == "TX";
    EXPECT_EQ(sent, 3) << result.err;
    EXPECT_TRUE(result.out.empty());
}

TEST_F(PortTest, ThePortTheWindowRemembersIsTheDefault) {
    StartSimulator();
    const ProcessResult none = Zelctl({"get", "2", "1"});
    EXPECT_EQ(none.exitCode, 2) << Describe({"get"}, none);
    EXPECT_NE(none.err.find("--port"), std::string::npos) << none.err;

    ASSERT_EQ(::mkdir(Home().File("config").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(Home().File("config/Taviro").c_str(), 0700), 0);
    const std::string store = Home().File("config/Taviro/Zel5100Util.conf");
    // As Qt writes it: other groups around, the value in quotes.
    WriteFile(store, "[General]\nComPort=/dev/elsewhere\n\n[Zel5100Util]\nComPort=\"" + Port() + "\"\n");
    const ProcessResult remembered = Zelctl({"get", "2", "1"});
    EXPECT_EQ(remembered.exitCode, 0) << Describe({"get"}, remembered);
    EXPECT_EQ(remembered.out, "1\n");

    // --port still wins, and the settings files are left as they were.
    const std::string before = ReadFile(store);
    const ProcessResult given = Zelctl({"--port", Home().File("ttyNone"), "get", "2", "1"});
    EXPECT_EQ(given.exitCode, 1);
    EXPECT_EQ(ReadFile(store), before);
}

int CountLines(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

TEST_F(PortTest, CtrlCEndsMonitorCleanlyAndThePortServesAgain) {
    StartSimulator();
    auto monitor = StartZelctl({"--port", Port(), "monitor", "2:1", "--interval", "0.05"});
    ASSERT_TRUE(monitor->WaitUntil([](const ProcessResult& r) { return CountLines(r.out) >= 2; }, 60000));
    monitor->Signal(SIGINT);
    const ProcessResult result = Checked({"monitor"}, monitor->Finish(60000));
    EXPECT_EQ(result.exitCode, 0) << Describe({"monitor"}, result);
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) EXPECT_NE(line.find(" 0x02:1=1"), std::string::npos) << line;

    const ProcessResult after = OnDevice({"get", "2", "1"});
    EXPECT_EQ(after.exitCode, 0) << Describe({"get"}, after);
}

TEST_F(PortTest, AnInterruptedWaitStillGivesThePortBack) {
    StartSimulator();
    auto reboot = StartZelctl({"--port", Port(), "reboot"});
    ASSERT_TRUE(reboot->WaitUntil(
        [](const ProcessResult& r) { return r.err.find("Waiting for the device") != std::string::npos; }, 60000));
    reboot->Signal(SIGTERM);
    const ProcessResult result = Checked({"reboot"}, reboot->Finish(60000));
    EXPECT_EQ(result.signal, SIGTERM) << Describe({"reboot"}, result);

    // The port is not left marked as held; the device answers once it has restarted.
    const ProcessResult after = OnDevice({"get", "2", "1"});
    EXPECT_EQ(after.err.find("held by another program"), std::string::npos) << after.err;
    EXPECT_EQ(after.exitCode, 0) << Describe({"get"}, after);
}

TEST_F(PortTest, HelpDescribesEveryCommandAndOption) {
    const ProcessResult general = Zelctl({"--help"});
    EXPECT_EQ(general.exitCode, 0);
    for (const char* word : {"--port", "--trace", "--json", "--quiet", "ports", "info", "get", "set", "dump",
                             "backup", "restore", "reboot", "upgrade", "monitor", "exit status"}) {
        EXPECT_NE(general.out.find(word), std::string::npos) << word;
    }
    for (const char* command : {"ports", "info", "get", "set", "dump", "backup", "restore", "reboot", "upgrade",
                                "monitor"}) {
        const ProcessResult help = Zelctl({command, "--help"});
        EXPECT_EQ(help.exitCode, 0) << command;
        EXPECT_NE(help.out.find(std::string("usage: zelctl ") + command), std::string::npos) << help.out;
    }
    EXPECT_NE(Zelctl({"monitor", "--help"}).out.find("--interval"), std::string::npos);

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"frobnicate"}, {"get", "1"}, {"--bogus", "info"}, {"monitor", "1:3", "--every", "2"},
          {"monitor", "1:3", "--interval", "-1"}, {"monitor", "1:3", "--count", "0"}, {"--port"}}) {
        const ProcessResult usage = Zelctl(args);
        EXPECT_EQ(usage.exitCode, 2) << Describe(args, usage);
        EXPECT_FALSE(usage.err.empty());
    }
}

}  // namespace
