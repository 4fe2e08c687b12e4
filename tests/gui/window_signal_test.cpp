// The window run as its own process against zel5100-sim, ended by a signal as a
// session's end, a closed terminal or Ctrl+C would: it goes, and leaves the port
// free, without its lock file.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "child_process.h"
#include "lock_path_of.h"
#include "sim_process.h"

namespace {

bool Exists(const std::string& path) {
    struct stat file {};
    return ::lstat(path.c_str(), &file) == 0;
}

// Whether /proc/locks lists an advisory lock on the port: looked at from outside,
// without opening the port and getting in the window's way.
bool Locked(const std::string& port) {
    struct stat node {};
    if (::stat(port.c_str(), &node) != 0) return false;
    char key[64];
    std::snprintf(key, sizeof key, " %02x:%02x:%llu ", major(node.st_dev), minor(node.st_dev),
                  static_cast<unsigned long long>(node.st_ino));
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        if (line.find("FLOCK") != std::string::npos && line.find(key) != std::string::npos) return true;
    }
    return false;
}

bool FreeForOthers(const std::string& port) {
    const int fd = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    int exclusive = 0;
    free = free && ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive == 0;
    ::close(fd);
    return free;
}

template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class WindowSignalTest : public ::testing::TestWithParam<int> {};

TEST_P(WindowSignalTest, AnEndingSignalReleasesThePortAndItsLock) {
    if (::access("/run/lock", W_OK) != 0) GTEST_SKIP() << "/run/lock takes no files here";
    SimProcess sim({});
    const std::string port = sim.FirstLine();
    ASSERT_FALSE(port.empty()) << sim.Error();
    const std::string lock = LockPathOf(port);

    char home[] = "/tmp/zel-window-home-XXXXXX";
    ASSERT_NE(::mkdtemp(home), nullptr);
    struct RemovedAtEnd {
        const char* path;
        ~RemovedAtEnd() { std::filesystem::remove_all(path); }
    } removed{home};
    ChildSetup setup;
    setup.environment = {"QT_QPA_PLATFORM=offscreen", std::string("HOME=") + home,
                         std::string("XDG_CONFIG_HOME=") + home};
    ChildProcess window({ZEL5100UTIL_PATH, "--port", port}, setup);
    ASSERT_TRUE(window.Started()) << window.StartError();
    ASSERT_TRUE(WaitUntil([&] { return Exists(lock) && Locked(port); }, std::chrono::seconds(60)))
        << "the window did not open the port\n"
        << window.Err();

    window.Signal(GetParam());
    const ChildExit exit = window.Wait(30000);
    EXPECT_TRUE(exit.ended);
    EXPECT_EQ(exit.signal, GetParam());
    EXPECT_FALSE(Exists(lock));
    EXPECT_TRUE(FreeForOthers(port));
}

INSTANTIATE_TEST_SUITE_P(Signals, WindowSignalTest, ::testing::Values(SIGTERM, SIGHUP, SIGINT),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGTERM  ? "Sigterm"
                                                : info.param == SIGHUP ? "Sighup"
                                                                       : "Sigint");
                         });

}  // namespace
