#include "write_guard.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli_errors.h"
#include "console.h"

void RefuseWhenReadOnly(const CliOptions& options, const std::string& what) {
    if (!options.readOnly) return;
    throw CliError(EXIT_USAGE, "read-only: refused to write " + what + "; nothing was sent", "read-only");
}

bool ReadOnlyByEnvironment() {
    const char* value = std::getenv("ZELCTL_READ_ONLY");
    return value && *value && std::strcmp(value, "0") != 0;
}

void ConfirmOffAir(const CliOptions& options, const std::string& action, const std::string& port) {
    if (options.yes || !StandardInputIsTerminal()) return;
    std::fflush(stdout);
    std::fprintf(stderr, "zelctl: this will %s on %s and take its channel off air. Continue? [y/N] ",
                 action.c_str(), port.c_str());
    std::fflush(stderr);
    char answer[64] = {};
    const bool read = std::fgets(answer, sizeof answer, stdin) != nullptr;
    if (read && (std::strcmp(answer, "y\n") == 0 || std::strcmp(answer, "yes\n") == 0 ||
                 std::strcmp(answer, "Y\n") == 0 || std::strcmp(answer, "YES\n") == 0 ||
                 std::strcmp(answer, "Yes\n") == 0)) {
        return;
    }
    if (!read) std::fputc('\n', stderr);
    throw CliError(EXIT_USAGE, "not confirmed: nothing was written (--yes skips the question)",
                   "not-confirmed");
}
