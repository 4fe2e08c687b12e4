#include "sim_process.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#ifndef ZEL_SIM_EXE
#error "ZEL_SIM_EXE names the zel5100-sim executable"
#endif

namespace {

int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& options)
{
    // Everything the child needs is made before the fork.
    std::string exe = ZEL_SIM_EXE;
    std::vector<std::string> copies = options;
    std::vector<char*> argv;
    argv.push_back(exe.data());
    for (std::string& o : copies)
        argv.push_back(o.data());
    argv.push_back(nullptr);

    int out[2], err[2];
    if (::pipe(out) != 0)
        return;
    if (::pipe(err) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        ::close(out[0]);
        ::close(err[0]);
        ::execv(exe.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    stdout_ = out[0];
    stderr_ = err[0];
    ::fcntl(stderr_, F_SETFL, ::fcntl(stderr_, F_GETFL) | O_NONBLOCK);
}

SimProcess::~SimProcess()
{
    if (pid_ > 0 && Stop(SIGTERM, 5000) < 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (stdout_ >= 0)
        ::close(stdout_);
    if (stderr_ >= 0)
        ::close(stderr_);
}

std::string SimProcess::FirstLine(int timeoutMs)
{
    if (haveLine_)
        return firstLine_;
    int64_t deadline = NowMs() + timeoutMs;
    std::string line;
    while (stdout_ >= 0) {
        int64_t left = deadline - NowMs();
        if (left <= 0)
            return "";
        pollfd p{stdout_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        char c;
        ssize_t n = ::read(stdout_, &c, 1);
        if (n <= 0)
            return "";
        if (c == '\n')
            break;
        line.push_back(c);
    }
    firstLine_ = line;
    haveLine_ = true;
    return firstLine_;
}

int SimProcess::Wait(int timeoutMs)
{
    if (pid_ <= 0)
        return -1;
    int64_t deadline = NowMs() + timeoutMs;
    for (;;) {
        int status = 0;
        pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (done < 0 || NowMs() >= deadline)
            return -1;
        ::usleep(5000);
    }
}

int SimProcess::Stop(int signal, int timeoutMs)
{
    if (pid_ <= 0)
        return -1;
    ::kill(pid_, signal);
    return Wait(timeoutMs);
}

std::string SimProcess::ErrorOutput()
{
    std::string text;
    char buffer[1024];
    ssize_t n;
    while (stderr_ >= 0 && (n = ::read(stderr_, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

int OpenRawTerminal(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    return fd;
}

std::vector<uint8_t> ReadFor(int fd, size_t count, int timeoutMs)
{
    std::vector<uint8_t> got;
    int64_t deadline = NowMs() + timeoutMs;
    while (got.size() < count) {
        int64_t left = deadline - NowMs();
        if (left <= 0)
            break;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        uint8_t buffer[256];
        ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, count - got.size()));
        if (n > 0)
            got.insert(got.end(), buffer, buffer + n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;
    }
    return got;
}
