#include "sim_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kStartLimitMs = 10000;
constexpr int kStopLimitMs = 2000;

bool WaitForExit(pid_t pid, int limitMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    for (;;) {
        pid_t done = ::waitpid(pid, nullptr, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        ::usleep(10000);
    }
}

}  // namespace

SimProcess::~SimProcess() {
    Stop();
}

bool SimProcess::Start(const std::string& program, const std::vector<std::string>& options,
                       std::string* error) {
    Stop();
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        *error = "pipe failed";
        return false;
    }
    std::vector<std::string> args{program};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ == 0) {
        // The simulator puts each byte on the line when it is due: its timers must
        // not be rounded by the default 50 us slack (the slack is kept across exec).
        ::prctl(PR_SET_TIMERSLACK, 1UL);
        ::dup2(out[1], STDOUT_FILENO);
        int devNull = ::open("/dev/null", O_WRONLY);
        if (devNull >= 0) ::dup2(devNull, STDERR_FILENO);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    stdoutFd_ = out[0];
    if (pid_ < 0) {
        *error = "fork failed";
        return false;
    }

    // The first line is the terminal's path.
    std::string line;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartLimitMs);
    while (line.find('\n') == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            *error = "the simulator printed no terminal path";
            Stop();
            return false;
        }
        pollfd p{stdoutFd_, POLLIN, 0};
        if (::poll(&p, 1, int(left.count())) <= 0) continue;
        char buffer[256];
        ssize_t n = ::read(stdoutFd_, buffer, sizeof buffer);
        if (n <= 0) {
            *error = "the simulator ended before it served";
            Stop();
            return false;
        }
        line.append(buffer, size_t(n));
    }
    ptyPath_ = line.substr(0, line.find('\n'));
    return true;
}

void SimProcess::Stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        if (!WaitForExit(pid_, kStopLimitMs)) {
            ::kill(pid_, SIGKILL);
            WaitForExit(pid_, kStopLimitMs);
        }
        pid_ = -1;
    }
    if (stdoutFd_ >= 0) ::close(stdoutFd_);
    stdoutFd_ = -1;
    ptyPath_.clear();
}
