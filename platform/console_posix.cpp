#include <unistd.h>

#include "console.h"

bool StandardInputIsTerminal() {
    return ::isatty(STDIN_FILENO) != 0;
}

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) != 0;
}
