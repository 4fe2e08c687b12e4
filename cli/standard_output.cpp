#include "standard_output.h"

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "cli_errors.h"

namespace {

[[noreturn]] void Fail(int error) {
    if (error == EPIPE) {
        // The reader is gone: end as SIGPIPE ends the program (the port given back), without a word.
        std::raise(SIGPIPE);
        throw CliError(EXIT_DEVICE_FAILED, std::string());
    }
    throw CliError(EXIT_DEVICE_FAILED,
                   std::string("cannot write to standard output: ") + std::strerror(error ? error : EIO));
}

}  // namespace

void ShowOutputAsProduced() {
    std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
}

void WriteOut(const std::string& text) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::ferror(stdout)) Fail(errno);
}

void PrintOut(const char* format, ...) {
    va_list args;
    va_start(args, format);
    errno = 0;
    const int written = std::vprintf(format, args);
    va_end(args);
    if (written < 0 || std::ferror(stdout)) Fail(errno);
}

void FinishOut() {
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = errno;
        std::clearerr(stdout);
        Fail(error);
    }
}
