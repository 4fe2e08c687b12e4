// zel5100-sim as its own process on a pseudo-terminal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>

#include "sim_process.h"
#include "sim_test_support.h"

namespace {

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/zelsim-test-XXXXXX";
        path_ = ::mkdtemp(pattern) ? pattern : "";
    }
    ~TempDir() {
        if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

bool IsSymlink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::string LinkTarget(const std::string& path) {
    char target[256] = {};
    ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
    return n > 0 ? std::string(target, static_cast<size_t>(n)) : "";
}

// Opens the terminal raw, as a plain client would.
int OpenRawTerminal(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    return fd;
}

// Reads until `count` bytes arrived or the time-out ran out.
std::vector<uint8_t> ReadFor(int fd, size_t count, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<uint8_t> got;
    while (got.size() < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) break;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        uint8_t buffer[256];
        ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, count - got.size()));
        if (n > 0)
            got.insert(got.end(), buffer, buffer + n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;
    }
    return got;
}

TEST(SimPty, AnswersOnTheTerminalItPrintsAcrossReopenedClients) {
    SimProcess sim({});
    std::string path = sim.FirstLine();
    ASSERT_FALSE(path.empty()) << sim.ErrorOutput();
    std::vector<uint8_t> request = SimRaw("400201r67");
    std::vector<uint8_t> expected = SimRaw("400201R0126");
    for (int client = 0; client < 3; ++client) {
        SCOPED_TRACE(client);
        int fd = OpenRawTerminal(path);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
        EXPECT_EQ(ReadFor(fd, expected.size(), 5000), expected);
        ::close(fd);
    }
    EXPECT_EQ(sim.Stop(SIGTERM), 0);
}

TEST(SimPty, KeepsTheLinkWhileRunningAndRemovesItOnEitherSignal) {
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        TempDir dir;
        std::string link = dir / "zel-port";
        SimProcess sim({"--link", link, "--mode", "0"});
        std::string path = sim.FirstLine();
        ASSERT_FALSE(path.empty()) << sim.ErrorOutput();
        ASSERT_TRUE(IsSymlink(link));
        EXPECT_EQ(LinkTarget(link), path);

        int fd = OpenRawTerminal(link);
        ASSERT_GE(fd, 0);
        std::vector<uint8_t> request = SimRaw("400201r67");
        ASSERT_EQ(::write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
        std::vector<uint8_t> expected = SimFrame("400201R00");
        EXPECT_EQ(ReadFor(fd, expected.size(), 5000), expected);
        ::close(fd);

        EXPECT_EQ(sim.Stop(signal), 0);
        EXPECT_FALSE(IsSymlink(link));
    }
}

TEST(SimPty, ReplacesAStaleLinkButNotAFile) {
    TempDir dir;
    std::string link = dir / "port";
    ASSERT_EQ(::symlink("/dev/nonexistent", link.c_str()), 0);
    {
        SimProcess sim({"--link", link});
        std::string path = sim.FirstLine();
        ASSERT_FALSE(path.empty()) << sim.ErrorOutput();
        EXPECT_EQ(LinkTarget(link), path);
    }
    std::string file = dir / "file";
    int fd = ::open(file.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    SimProcess sim({"--link", file});
    EXPECT_EQ(sim.Wait(), 1);
    EXPECT_NE(sim.ErrorOutput().find("not a symlink"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::lstat(file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
}

TEST(SimPty, HelpAndBadOptions) {
    {
        SimProcess sim({"--help"});
        EXPECT_EQ(sim.FirstLine(), "Usage: zel5100-sim [options]");
        EXPECT_EQ(sim.Wait(), 0);
    }
    for (const char* bad : {"--mode=7", "--bogus", "--drop"}) {
        SCOPED_TRACE(bad);
        SimProcess sim({bad});
        EXPECT_EQ(sim.Wait(), 2);
        EXPECT_NE(sim.ErrorOutput().find("zel5100-sim: "), std::string::npos);
    }
}

}  // namespace
