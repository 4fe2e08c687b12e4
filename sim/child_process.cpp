#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <initializer_list>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& overrides) {
    std::vector<std::string> merged;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const std::string& over : overrides)
            replaced = replaced || over.substr(0, over.find('=')) == name;
        if (!replaced) merged.push_back(text);
    }
    merged.insert(merged.end(), overrides.begin(), overrides.end());
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

void CloseAll(std::initializer_list<int> fds) {
    for (int fd : fds)
        if (fd >= 0) ::close(fd);
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const ChildSetup& setup)
    : keepBytes_(setup.keepBytes) {
    outputEnded_ = true;  // until there is a child whose output is read
    if (argv.empty()) {
        startError_ = "no program to run";
        return;
    }
    int out[2] = {-1, -1}, err[2] = {-1, -1}, wake[2] = {-1, -1};
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0 || ::pipe2(wake, O_CLOEXEC) != 0) {
        startError_ = std::string("pipe failed: ") + std::strerror(errno);
        CloseAll({out[0], out[1], err[0], err[1], wake[0], wake[1]});
        return;
    }
    // Everything the child needs is made before the fork: another thread of ours may
    // hold the allocator's lock at that moment.
    std::vector<std::string> args = argv;
    std::vector<std::string> env = MergedEnvironment(setup.environment);
    std::vector<char*> argPointers = Pointers(args);
    std::vector<char*> envPointers = Pointers(env);
    const int nullFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);

    pid_ = ::fork();
    if (pid_ == 0) {
        if (setup.preciseTimers) ::prctl(PR_SET_TIMERSLACK, 1UL);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        if (nullFd >= 0) ::dup2(nullFd, STDIN_FILENO);
        ::execve(argPointers[0], argPointers.data(), envPointers.data());
        ::_exit(127);
    }
    CloseAll({out[1], err[1], nullFd});
    if (pid_ < 0) {
        startError_ = std::string("fork failed: ") + std::strerror(errno);
        CloseAll({out[0], err[0], wake[0], wake[1]});
        return;
    }
    outputEnded_ = false;
    wake_[0] = wake[0];
    wake_[1] = wake[1];
    drain_ = std::thread(&ChildProcess::Drain, this, out[0], err[0], wake[0]);
}

ChildProcess::~ChildProcess() {
    if (Started() && !Reaped()) {
        ::kill(pid_, SIGKILL);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    if (drain_.joinable()) {
        // Whoever else may still hold the pipes (a child of the child), we stop reading.
        const char stop = 0;
        if (::write(wake_[1], &stop, 1) < 0) {
        }
        drain_.join();
    }
    CloseAll({wake_[0], wake_[1]});
}

void ChildProcess::Drain(int outFd, int errFd, int wakeFd) {
    int fds[2] = {outFd, errFd};
    std::string* sinks[2] = {&out_, &err_};
    while (fds[0] >= 0 || fds[1] >= 0) {
        pollfd p[3] = {{fds[0], POLLIN, 0}, {fds[1], POLLIN, 0}, {wakeFd, POLLIN, 0}};
        if (::poll(p, 3, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (p[2].revents != 0) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i] < 0 || (p[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i], buffer, sizeof buffer);
            if (n > 0) {
                std::lock_guard<std::mutex> lock(mutex_);
                std::string& sink = *sinks[i];
                sink.append(buffer,
                            std::min(static_cast<size_t>(n), keepBytes_ - std::min(keepBytes_, sink.size())));
                changed_.notify_all();
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[i]);
                fds[i] = -1;
            }
        }
    }
    CloseAll({fds[0], fds[1]});
    std::lock_guard<std::mutex> lock(mutex_);
    outputEnded_ = true;
    changed_.notify_all();
}

bool ChildProcess::Reaped() {
    if (exit_.ended || !Started()) return exit_.ended;
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == 0 || (done < 0 && errno == EINTR)) return false;
    // A failing waitpid means the child is not ours to wait for any more: gone all the same.
    exit_.ended = true;
    if (done == pid_ && WIFEXITED(status)) exit_.code = WEXITSTATUS(status);
    if (done == pid_ && WIFSIGNALED(status)) exit_.signal = WTERMSIG(status);
    return true;
}

bool ChildProcess::WaitForOutput(
    const std::function<bool(const std::string& out, const std::string& err)>& done, int limitMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_until(lock, deadline, [&] { return outputEnded_ || done(out_, err_); });
    return done(out_, err_);
}

std::string ChildProcess::Out() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return out_;
}

std::string ChildProcess::Err() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return err_;
}

void ChildProcess::Signal(int signal) {
    if (Started() && !exit_.ended) ::kill(pid_, signal);
}

ChildExit ChildProcess::Wait(int limitMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        const bool reaped = Reaped();
        const auto now = Clock::now();
        if ((reaped && outputEnded_) || !Started() || now >= deadline) return exit_;
        // Output wakes us at once; the exit itself is looked for every few milliseconds.
        changed_.wait_until(lock, std::min(deadline, now + std::chrono::milliseconds(5)));
    }
}
