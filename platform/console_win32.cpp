// A console of Windows: GetConsoleMode answers only for a console handle (a
// redirected stream is a file or a pipe). A progress bar redrawn with a carriage
// return shows right in every console, with or without virtual-terminal mode.
#include <windows.h>

#include "console.h"

namespace {

bool IsConsole(DWORD which) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

}  // namespace

bool StandardInputIsTerminal() {
    return IsConsole(STD_INPUT_HANDLE);
}

bool StandardErrorIsTerminal() {
    return IsConsole(STD_ERROR_HANDLE);
}
