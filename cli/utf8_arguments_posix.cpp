#include "utf8_arguments.h"

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void ShowUtf8OnConsole() {}
