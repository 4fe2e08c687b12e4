#include "process_harness.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& overrides) {
    std::vector<std::string> merged;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const std::string& over : overrides) replaced = replaced || over.substr(0, over.find('=')) == name;
        if (!replaced) merged.push_back(text);
    }
    merged.insert(merged.end(), overrides.begin(), overrides.end());
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(&s[0]);
    pointers.push_back(nullptr);
    return pointers;
}

// Waits for the child for at most `limitMs`, then kills it.
void Reap(pid_t pid, int limitMs, int* status, bool* killed) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    for (;;) {
        const pid_t done = ::waitpid(pid, status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) return;
        if (Clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, status, 0);
            *killed = true;
            return;
        }
        // The child has closed its output already; its exit is a moment away.
        ::usleep(2000);
    }
}

}  // namespace

RunningProcess::RunningProcess(const std::vector<std::string>& argv, const std::vector<std::string>& overrides) {
    int outPipe[2], errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0) return;
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return;
    }
    std::vector<std::string> args = argv;
    std::vector<std::string> env = MergedEnvironment(overrides);
    std::vector<char*> argPointers = Pointers(args);
    std::vector<char*> envPointers = Pointers(env);

    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        const int nullFd = ::open("/dev/null", O_RDONLY);
        if (nullFd >= 0) ::dup2(nullFd, STDIN_FILENO);
        ::execve(argPointers[0], argPointers.data(), envPointers.data());
        _exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    fds_[0] = outPipe[0];
    fds_[1] = errPipe[0];
}

RunningProcess::~RunningProcess() {
    if (pid_ > 0) Finish(0);
}

bool RunningProcess::Collect(int waitMs) {
    pollfd fds[2] = {{fds_[0], POLLIN, 0}, {fds_[1], POLLIN, 0}};
    if (fds_[0] < 0 && fds_[1] < 0) return false;
    const int ready = ::poll(fds, 2, waitMs);
    if (ready < 0 && errno != EINTR) return false;
    std::string* sinks[2] = {&result_.out, &result_.err};
    for (int i = 0; i < 2; ++i) {
        if (fds_[i] < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        char buffer[4096];
        const ssize_t n = ::read(fds_[i], buffer, sizeof buffer);
        if (n > 0) {
            sinks[i]->append(buffer, size_t(n));
        } else if (n == 0 || errno != EINTR) {
            ::close(fds_[i]);
            fds_[i] = -1;
        }
    }
    return fds_[0] >= 0 || fds_[1] >= 0;
}

bool RunningProcess::WaitUntil(const std::function<bool(const ProcessResult&)>& done, int limitMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    while (!done(result_)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || !Collect(int(left))) return done(result_);
    }
    return true;
}

void RunningProcess::Signal(int signal) {
    if (pid_ > 0) ::kill(pid_, signal);
}

ProcessResult RunningProcess::Finish(int limitMs) {
    if (pid_ <= 0) return result_;
    const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            ::kill(pid_, SIGKILL);
            result_.timedOut = true;
            break;
        }
        if (!Collect(int(left))) break;
    }
    for (int& fd : fds_) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    int status = 0;
    bool killed = false;
    Reap(pid_, 10000, &status, &killed);
    pid_ = -1;
    result_.timedOut = result_.timedOut || killed;
    if (WIFEXITED(status)) result_.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result_.signal = WTERMSIG(status);
    return result_;
}

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::vector<std::string>& overrides,
                         int limitMs) {
    RunningProcess process(argv, overrides);
    return process.Finish(limitMs);
}

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/zelctl-test-XXXXXX";
    if (::mkdtemp(&pattern[0])) path_ = pattern;
}

TempDir::~TempDir() {
    if (path_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

SimulatorProcess::SimulatorProcess(const std::vector<std::string>& options) {
    int outPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0) {
        error_ = "pipe failed";
        return;
    }
    std::vector<std::string> args = {ZELSIM_PATH};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argPointers = Pointers(args);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::execv(argPointers[0], argPointers.data());
        _exit(127);
    }
    ::close(outPipe[1]);
    stdoutFd_ = outPipe[0];

    // The first line is the terminal's path; the simulator prints it once it serves.
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    std::string text;
    while (text.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            error_ = "the simulator printed no path within 20 s";
            return;
        }
        pollfd p{stdoutFd_, POLLIN, 0};
        if (::poll(&p, 1, int(left)) < 0 && errno != EINTR) break;
        char buffer[256];
        const ssize_t n = ::read(stdoutFd_, buffer, sizeof buffer);
        if (n == 0) {
            error_ = "the simulator ended before it printed its path: " + text;
            return;
        }
        if (n > 0) text.append(buffer, size_t(n));
    }
    path_ = text.substr(0, text.find('\n'));
    // Whatever else the simulator prints is read and dropped, so that it never blocks.
    const int fd = stdoutFd_;
    drain_ = std::thread([fd] {
        char buffer[4096];
        while (::read(fd, buffer, sizeof buffer) > 0) {
        }
    });
}

SimulatorProcess::~SimulatorProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        bool killed = false;
        Reap(pid_, 10000, &status, &killed);
    }
    if (drain_.joinable()) drain_.join();
    if (stdoutFd_ >= 0) ::close(stdoutFd_);
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& contents) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << contents;
}
