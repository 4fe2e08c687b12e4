#include "standard_output.h"

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "cli_errors.h"

namespace {

[[noreturn]] void Fail(int error) {
    if (error == EPIPE) {
        // The reader is gone: end as SIGPIPE ends the program (the port given back), without a word.
        // Windows has no SIGPIPE: there the program ends through the error, as quietly.
#ifdef SIGPIPE
        std::raise(SIGPIPE);
#endif
        throw CliError(EXIT_DEVICE_FAILED, std::string());
    }
    throw CliError(EXIT_DEVICE_FAILED,
                   std::string("cannot write to standard output: ") + std::strerror(error ? error : EIO));
}

thread_local UnitOutputScope* t_unit = nullptr;
std::mutex g_lineLock;  // one whole line at a time from the units' threads

// Each line with the prefix, in one write under the lock.
void WritePrefixedLines(std::FILE* stream, const std::string& prefix, const std::string& lines) {
    std::string text;
    size_t start = 0;
    while (start < lines.size()) {
        size_t end = lines.find('\n', start);
        if (end == std::string::npos) end = lines.size() - 1;
        text += prefix + lines.substr(start, end - start + 1);
        start = end + 1;
    }
    if (!text.empty() && text.back() != '\n') text.push_back('\n');
    std::lock_guard<std::mutex> lock(g_lineLock);
    errno = 0;
    const bool written =
        std::fwrite(text.data(), 1, text.size(), stream) == text.size() && !std::ferror(stream);
    std::fflush(stream);
    if (!written && stream == stdout) Fail(errno);
}

}  // namespace

UnitOutputScope::UnitOutputScope(const std::string& prefix, bool capture)
    : prefix_(prefix), capture_(capture) {
    t_unit = this;
}

UnitOutputScope::~UnitOutputScope() {
    t_unit = nullptr;
    try {
        if (!partial_.empty()) WritePrefixedLines(stdout, prefix_, partial_);
    } catch (const CliError&) {
        // Standard output is gone; the summary says what became of the unit.
    }
}

void WriteErrLine(const std::string& text) {
    if (t_unit) {
        WritePrefixedLines(stderr, t_unit->prefix_, text + "\n");
        return;
    }
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

void ShowOutputAsProduced() {
    std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
}

void WriteOut(const std::string& text) {
    if (t_unit && t_unit->capture_) {
        t_unit->captured_ += text;
        return;
    }
    if (t_unit) {
        std::string& partial = t_unit->partial_;
        partial += text;
        const size_t end = partial.rfind('\n');
        if (end == std::string::npos) return;
        const std::string lines = partial.substr(0, end + 1);
        partial.erase(0, end + 1);
        WritePrefixedLines(stdout, t_unit->prefix_, lines);
        return;
    }
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::ferror(stdout)) Fail(errno);
}

void PrintOut(const char* format, ...) {
    va_list args;
    if (t_unit) {
        va_start(args, format);
        const int size = std::vsnprintf(nullptr, 0, format, args);
        va_end(args);
        std::vector<char> buffer(size_t(size > 0 ? size : 0) + 1);
        va_start(args, format);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        WriteOut(std::string(buffer.data(), size_t(size > 0 ? size : 0)));
        return;
    }
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
