// Choosing and opening the port, a device that does not answer, help and usage.
#include <fcntl.h>
#include <linux/capability.h>
#include <poll.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <string>
#include <thread>

#include "lock_path_of.h"
#include "zelctl_fixture.h"

namespace {

bool Exists(const std::string& path) {
    struct stat file {};
    return ::lstat(path.c_str(), &file) == 0;
}

std::string Hdb(int pid) {
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", pid);
    return text;
}

// The lock file of `port`; empty when /run/lock takes no files here.
std::string WritableLockPathOf(const std::string& port) {
    if (::access("/run/lock", W_OK) != 0) return "";
    return LockPathOf(port);
}

// The lock file a --trace says it took.
std::string TracedLockFile(const std::string& err) {
    const std::string mark = "lock file ";
    const size_t at = err.find(mark);
    if (at == std::string::npos) return "";
    return err.substr(at + mark.size(), err.find('\n', at) - at - mark.size());
}

int EndedPid() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return int(child);
}

bool MayOverrideExclusiveMode() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) != 0) return false;
    return (data[CAP_SYS_ADMIN / 32].effective & (1u << (CAP_SYS_ADMIN % 32))) != 0;
}

// A pseudo-terminal with nothing but the test behind its master side.
struct BarePty {
    BarePty() {
        int slave = -1;
        char path[256] = {};
        if (openpty(&master, &slave, path, nullptr, nullptr) == 0) ::close(slave);
        name = path;
    }
    ~BarePty() { ::close(master); }
    // Waits until the port has sent something. Until a program opens the slave
    // side the master reports a hang-up at once, so the wait goes in steps.
    bool Heard(int limitMs) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 10) == 1 && (p.revents & POLLIN)) return true;
            if (p.revents & POLLHUP) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }
    int master = -1;
    std::string name;
};

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
    EXPECT_NE(held.err.find("held by zelctl_tests (pid " + std::to_string(::getpid()) + ")"),
              std::string::npos)
        << held.err;
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
    // After the trace, one error line naming the result once.
    const size_t line = result.err.rfind("zelctl: ");
    ASSERT_NE(line, std::string::npos) << result.err;
    EXPECT_EQ(result.err.substr(line),
              "zelctl: reading 0x02 1 (Mode) failed: ZEL_E_RX_FAILED (no reply after 3 "
              "attempts: is the device powered and connected to this port?)\n");
    int sent = 0;
    for (const TracedFrame& frame : TracedFrames(result.err))
        sent += frame.direction == "TX";
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
    for (char c : text)
        lines += c == '\n';
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
    for (std::string line; std::getline(lines, line);)
        EXPECT_NE(line.find(" 0x02:1=1"), std::string::npos) << line;

    const ProcessResult after = OnDevice({"get", "2", "1"});
    EXPECT_EQ(after.exitCode, 0) << Describe({"get"}, after);
}

TEST_F(PortTest, AnInterruptedWaitStillGivesThePortBack) {
    StartSimulator();
    auto reboot = StartZelctl({"--port", Port(), "reboot"});
    ASSERT_TRUE(reboot->WaitUntil(
        [](const ProcessResult& r) { return r.err.find("Waiting for the device") != std::string::npos; },
        60000));
    reboot->Signal(SIGTERM);
    const ProcessResult result = Checked({"reboot"}, reboot->Finish(60000));
    EXPECT_EQ(result.signal, SIGTERM) << Describe({"reboot"}, result);

    // The port is not left marked as held; the device answers once it has restarted.
    const ProcessResult after = OnDevice({"get", "2", "1"});
    EXPECT_EQ(after.err.find("held by"), std::string::npos) << after.err;
    EXPECT_EQ(after.exitCode, 0) << Describe({"get"}, after);
}

TEST_F(PortTest, ALockFileIsHeldWhileOpenAndGoneAfterSuccessAnErrorAndSigterm) {
    StartSimulator();
    const std::string lock = WritableLockPathOf(Port());
    if (lock.empty()) GTEST_SKIP() << "/run/lock takes no files here";

    const ProcessResult done = OnDevice({"--trace", "get", "2", "1"});
    EXPECT_EQ(done.exitCode, 0) << Describe({"get"}, done);
    EXPECT_EQ(TracedLockFile(done.err), lock) << done.err;
    EXPECT_FALSE(Exists(lock));

    BarePty silent;
    const ProcessResult failed = Zelctl({"--port", silent.name, "--trace", "get", "2", "1"});
    EXPECT_EQ(failed.exitCode, 1) << Describe({"get"}, failed);
    EXPECT_EQ(TracedLockFile(failed.err), WritableLockPathOf(silent.name)) << failed.err;
    EXPECT_FALSE(Exists(WritableLockPathOf(silent.name)));

    auto reboot = StartZelctl({"--port", Port(), "reboot"});
    ASSERT_TRUE(reboot->WaitUntil(
        [](const ProcessResult& r) { return r.err.find("Waiting for the device") != std::string::npos; },
        60000));
    EXPECT_TRUE(Exists(lock));
    reboot->Signal(SIGTERM);
    const ProcessResult ended = Checked({"reboot"}, reboot->Finish(60000));
    EXPECT_EQ(ended.signal, SIGTERM) << Describe({"reboot"}, ended);
    EXPECT_FALSE(Exists(lock));
}

TEST_F(PortTest, ALiveHoldersLockRefusesWithItsNameAndPidAndAStaleOneIsRemoved) {
    StartSimulator();
    const std::string lock = WritableLockPathOf(Port());
    if (lock.empty()) GTEST_SKIP() << "/run/lock takes no files here";

    WriteFile(lock, Hdb(int(::getpid())));
    const ProcessResult held = OnDevice({"get", "2", "1"});
    EXPECT_EQ(held.exitCode, 1) << Describe({"get"}, held);
    EXPECT_NE(held.err.find("held by zelctl_tests (pid " + std::to_string(::getpid()) + ")"),
              std::string::npos)
        << held.err;
    EXPECT_EQ(ReadFile(lock), Hdb(int(::getpid())));

    WriteFile(lock, Hdb(EndedPid()));
    const ProcessResult stale = OnDevice({"get", "2", "1"});
    EXPECT_EQ(stale.exitCode, 0) << Describe({"get"}, stale);
    EXPECT_EQ(stale.out, "1\n");
    EXPECT_FALSE(Exists(lock));
}

TEST_F(PortTest, AZelctlKilledMidDumpLeavesAPortTheNextOneOpensAtOnce) {
    BarePty pty;
    auto dump = StartZelctl({"--port", pty.name, "dump"});
    ASSERT_TRUE(pty.Heard(60000)) << "zelctl dump sent nothing";
    dump->Signal(SIGKILL);
    const ProcessResult killed = dump->Finish(60000);
    ASSERT_EQ(killed.signal, SIGKILL) << Describe({"dump"}, killed);
    if (MayOverrideExclusiveMode()) {
        // What the kill leaves: the exclusive mode, with nobody behind it.
        const int look = ::open(pty.name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        int exclusive = 0;
        EXPECT_EQ(::ioctl(look, TIOCGEXCL, &exclusive), 0);
        EXPECT_EQ(exclusive, 1);
        ::close(look);
    }

    const ProcessResult next = Zelctl({"--port", pty.name, "--trace", "get", "2", "1"});
    if (MayOverrideExclusiveMode()) {
        // Opened at the first try: the requests go out, and nobody answers them.
        EXPECT_NE(next.err.find("opened " + pty.name), std::string::npos) << next.err;
        EXPECT_NE(next.err.find("ZEL_E_RX_FAILED"), std::string::npos) << next.err;
        EXPECT_EQ(next.err.find("held by"), std::string::npos) << next.err;
    } else {
        EXPECT_NE(next.err.find("left locked by a program that ended"), std::string::npos) << next.err;
    }
    const std::string lock = WritableLockPathOf(pty.name);
    if (!lock.empty()) {
        EXPECT_FALSE(Exists(lock));
    }
}

TEST_F(PortTest, HelpDescribesEveryCommandAndOption) {
    const ProcessResult general = Zelctl({"--help"});
    EXPECT_EQ(general.exitCode, 0);
    for (const char* word : {"--port", "--trace", "--json", "--quiet", "ports", "info", "get", "set", "dump",
                             "backup", "restore", "reboot", "upgrade", "monitor", "exit status"}) {
        EXPECT_NE(general.out.find(word), std::string::npos) << word;
    }
    for (const char* command :
         {"ports", "info", "get", "set", "dump", "backup", "restore", "reboot", "upgrade", "monitor"}) {
        const ProcessResult help = Zelctl({command, "--help"});
        EXPECT_EQ(help.exitCode, 0) << command;
        EXPECT_NE(help.out.find(std::string("usage: zelctl ") + command), std::string::npos) << help.out;
    }
    EXPECT_NE(Zelctl({"monitor", "--help"}).out.find("--interval"), std::string::npos);

    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"frobnicate"},
                                                 {"get", "1"},
                                                 {"--bogus", "info"},
                                                 {"monitor", "1:3", "--every", "2"},
                                                 {"monitor", "1:3", "--interval", "-1"},
                                                 {"monitor", "1:3", "--count", "0"},
                                                 {"--port"}}) {
        const ProcessResult usage = Zelctl(args);
        EXPECT_EQ(usage.exitCode, 2) << Describe(args, usage);
        EXPECT_FALSE(usage.err.empty());
    }
}

}  // namespace
