// The command line as UTF-8, whatever the system hands main(): on Windows its
// argv is in the ANSI code page, which loses port and file names beyond it.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> Utf8Arguments(int argc, char** argv);
// Text written to a console shows as UTF-8 (Windows consoles default to an OEM
// code page); nothing to do elsewhere.
void ShowUtf8OnConsole();
