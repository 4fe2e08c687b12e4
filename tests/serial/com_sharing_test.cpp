// Sharing a port fairly with other programs and leaving it as found: terminal
// settings put back, lock files as serial programs keep them, an exclusive mode
// left behind by a program that was killed.
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "com_port.h"
#include "foreign_holder.h"
#include "lock_path_of.h"
#include "pty_pair.h"
#include "terminal_link_posix.h"

namespace {

bool Exists(const std::string& path) {
    struct stat file {};
    return ::lstat(path.c_str(), &file) == 0;
}

std::string Contents(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

std::string Hdb(int pid) {
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", pid);
    return text;
}

// A PID that belonged to a process that has ended.
int EndedPid() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return int(child);
}

class LockFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::access("/run/lock", W_OK) != 0) GTEST_SKIP() << "/run/lock takes no files here";
        lockPath_ = LockPathOf(pty.SlaveName());
    }
    void TearDown() override {
        CloseComPort(&port);
        if (!lockPath_.empty()) ::unlink(lockPath_.c_str());
    }

    PtyPair pty;
    ComPort port;
    std::string lockPath_;
};

TEST_F(LockFileTest, WhileOpenTheLockFileNamesThisProcessAndAtCloseItGoes) {
    ASSERT_EQ(OpenComPort(&port, pty.SlaveName()), COM_OPEN_OK) << ComOpenFailureHint(port);
    EXPECT_EQ(port.lockFile, lockPath_);
    EXPECT_EQ(Contents(lockPath_), Hdb(int(::getpid())));
    CloseComPort(&port);
    EXPECT_FALSE(Exists(lockPath_));
}

TEST_F(LockFileTest, ALinkToTheNodeLocksTheNodesName) {
    char folder[] = "/tmp/zel-by-id-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string link = std::string(folder) + "/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    ASSERT_EQ(::symlink(pty.SlaveName().c_str(), link.c_str()), 0);
    EXPECT_EQ(OpenComPort(&port, link), COM_OPEN_OK) << ComOpenFailureHint(port);
    EXPECT_EQ(port.lockFile, lockPath_);
    CloseComPort(&port);
    ::unlink(link.c_str());
    ::rmdir(folder);
}

TEST_F(LockFileTest, ALiveHoldersLockRefusesWithItsNameAndPid) {
    ForeignHolder holder(pty.SlaveName(), ForeignHolder::Hold::Nothing);
    Write(lockPath_, Hdb(holder.Pid()));

    EXPECT_EQ(OpenComPort(&port, pty.SlaveName()), COM_OPEN_FAILED);
    EXPECT_EQ(TerminalDescriptor(port), -1);
    EXPECT_EQ(port.failure.holder.pid, holder.Pid());
    EXPECT_EQ(ComOpenFailureHint(port), "The port is held by zelserial_tests (pid " +
                                            std::to_string(holder.Pid()) + "): close it there first");
    // Not ours to remove, and the port was not touched.
    EXPECT_EQ(Contents(lockPath_), Hdb(holder.Pid()));
    const int other = ::open(pty.SlaveName().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0);
    EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    ::close(other);
}

TEST_F(LockFileTest, AStaleLockIsRemovedAndThePortOpens) {
    for (const std::string& stale : {Hdb(EndedPid()), std::string()}) {
        Write(lockPath_, stale);
        EXPECT_EQ(OpenComPort(&port, pty.SlaveName()), COM_OPEN_OK) << ComOpenFailureHint(port);
        EXPECT_EQ(Contents(lockPath_), Hdb(int(::getpid())));
        CloseComPort(&port);
        EXPECT_FALSE(Exists(lockPath_));
    }
}

TEST_F(LockFileTest, TheLockIsGoneAfterAFailedOpening) {
    ForeignHolder holder(pty.SlaveName(), ForeignHolder::Hold::AdvisoryLock);
    EXPECT_EQ(OpenComPort(&port, pty.SlaveName()), COM_OPEN_FAILED);
    EXPECT_FALSE(Exists(lockPath_));
}

TEST_F(LockFileTest, AFatalSignalsReleaseLeavesThePortAsFound) {
    termios before{};
    ASSERT_EQ(tcgetattr(pty.Master(), &before), 0);
    ASSERT_EQ(OpenComPort(&port, pty.SlaveName()), COM_OPEN_OK) << ComOpenFailureHint(port);
    ComReleaseAllPortsNow();
    EXPECT_FALSE(Exists(lockPath_));
    termios after{};
    ASSERT_EQ(tcgetattr(pty.Master(), &after), 0);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    const int other = ::open(pty.SlaveName().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0);
    int exclusive = 1;
    EXPECT_EQ(ioctl(other, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    ::close(other);
    port = ComPort();  // released already; the process would now end
}

// Makes pseudo-terminals, opens each as a port, lets its far end go and closes
// it: the number is free again at once. How many openings failed.
int OpenAndReleaseFreshPorts(int times) {
    int failed = 0;
    for (int i = 0; i < times; ++i) {
        int master = -1, slave = -1;
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0) return times;
        ComPort port;
        if (OpenComPort(&port, name) != COM_OPEN_OK) ++failed;
        ::close(slave);
        ::close(master);
        CloseComPort(&port);
    }
    return failed;
}

TEST(LockFolderTest, APortAnotherProgramJustReleasedOpensUnderItsReusedNumber) {
    if (::access("/run/lock", W_OK) != 0) GTEST_SKIP() << "/run/lock takes no files here";
    // Two programs in turn on the same pseudo-terminal numbers: the lock file of
    // one must be gone before the other can be given the number it had.
    constexpr int kTimes = 300;
    const pid_t other = ::fork();
    if (other == 0) ::_exit(OpenAndReleaseFreshPorts(kTimes) == 0 ? 0 : 1);
    const int failedHere = OpenAndReleaseFreshPorts(kTimes);
    int status = 0;
    ASSERT_EQ(::waitpid(other, &status, 0), other);
    EXPECT_EQ(failedHere, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other program was locked out";
}

TEST(LockFolderTest, WithoutAWritableLockFolderThePortOpensAndSaysWhy) {
    PtyPair pty;
    ComPort port;
    ::setenv("ZEL_LOCK_DIR", "/nonexistent/zel-lock-folder", 1);
    EXPECT_EQ(OpenComPort(&port, pty.SlaveName()), COM_OPEN_OK) << ComOpenFailureHint(port);
    ::unsetenv("ZEL_LOCK_DIR");
    EXPECT_TRUE(port.lockFile.empty());
    EXPECT_NE(port.lockNote.find("/nonexistent/zel-lock-folder"), std::string::npos) << port.lockNote;
    CloseComPort(&port);
}

TEST(TerminalSettingsTest, APseudoTerminalsSettingsAfterCloseAreThoseBeforeOpen) {
    PtyPair pty;
    // A terminal as a shell leaves it: line editing, echo, 9600 baud.
    termios before{};
    ASSERT_EQ(tcgetattr(pty.Master(), &before), 0);
    before.c_lflag |= ICANON | ECHO | ISIG;
    before.c_oflag |= OPOST;
    cfsetispeed(&before, B9600);
    cfsetospeed(&before, B9600);
    ASSERT_EQ(tcsetattr(pty.Master(), TCSANOW, &before), 0);
    ASSERT_EQ(tcgetattr(pty.Master(), &before), 0);

    ComPort port;
    ASSERT_EQ(OpenComPort(&port, pty.SlaveName()), COM_OPEN_OK) << ComOpenFailureHint(port);
    termios during{};
    ASSERT_EQ(tcgetattr(pty.Master(), &during), 0);
    ASSERT_EQ(cfgetospeed(&during), speed_t(B115200)) << "the port was not set up";
    CloseComPort(&port);

    termios after{};
    ASSERT_EQ(tcgetattr(pty.Master(), &after), 0);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(cfgetispeed(&after), cfgetispeed(&before));
    EXPECT_EQ(cfgetospeed(&after), cfgetospeed(&before));
    for (int i = 0; i < NCCS; ++i)
        EXPECT_EQ(after.c_cc[i], before.c_cc[i]) << "c_cc[" << i << "]";
}

// A program killed on a bare pseudo-terminal: its exclusive mode stays set, and
// nobody has the port open or locked.
void LeaveExclusiveModeBehind(const std::string& slave) {
    const int fd = ::open(slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ioctl(fd, TIOCEXCL), 0);
    ::close(fd);
}

bool MayOverrideExclusiveMode() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) != 0) return false;
    return (data[CAP_SYS_ADMIN / 32].effective & (1u << (CAP_SYS_ADMIN % 32))) != 0;
}

TEST(LeftExclusiveModeTest, WhereTheSystemAllowsThePortOpensAnyway) {
    if (!MayOverrideExclusiveMode()) GTEST_SKIP() << "needs CAP_SYS_ADMIN";
    PtyPair pty;
    LeaveExclusiveModeBehind(pty.SlaveName());
    ComPort port;
    EXPECT_EQ(OpenComPort(&port, pty.SlaveName()), COM_OPEN_OK) << ComOpenFailureHint(port);
    const uint8_t ping[] = {'p'};
    EXPECT_EQ(ComTransmit(&port, ZEL_DEVICE_ADDRESS, ping, 1), ZEL_OK);
    EXPECT_EQ(pty.Read(1), Bytes({'p'}));
    CloseComPort(&port);
}

TEST(LeftExclusiveModeTest, ElsewhereTheUserIsToldWhatClearsIt) {
    PtyPair pty;
    LeaveExclusiveModeBehind(pty.SlaveName());
    // A child without the right to override the mode, as an ordinary user is.
    int words[2];
    ASSERT_EQ(::pipe(words), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(words[0]);
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2] = {};
        syscall(SYS_capget, &header, data);
        data[CAP_SYS_ADMIN / 32].effective &= ~(1u << (CAP_SYS_ADMIN % 32));
        if (syscall(SYS_capset, &header, data) != 0) ::_exit(2);
        ComPort port;
        const int code = OpenComPort(&port, pty.SlaveName());
        const std::string text = std::to_string(code) + " " + ComOpenFailureHint(port);
        ssize_t ignored = ::write(words[1], text.data(), text.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(words[1]);
    std::string text;
    char chunk[512];
    for (ssize_t n; (n = ::read(words[0], chunk, sizeof chunk)) > 0;)
        text.append(chunk, size_t(n));
    ::close(words[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(text.substr(0, 3), "-1 ") << text;
    EXPECT_NE(text.find("left locked by a program that ended"), std::string::npos) << text;
    EXPECT_NE(text.find("restarting the program that serves the pseudo-terminal clears it"),
              std::string::npos)
        << text;
}

}  // namespace
