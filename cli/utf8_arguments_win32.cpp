#include <windows.h>

#include <shellapi.h>

#include "utf8_arguments.h"
#include "windows_text_win32.h"

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
    return arguments;
}

void ShowUtf8OnConsole() {
    SetConsoleOutputCP(CP_UTF8);
}
