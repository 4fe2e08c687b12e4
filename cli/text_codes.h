// Small text codings shared by the readers of user files and command lines.
#pragma once

#include <cstdint>
#include <string>

// Value of one hexadecimal digit, -1 for any other character.
int HexDigitValue(char c);
// Appends a Unicode code point as UTF-8.
void AppendUtf8(std::string* out, uint32_t code);
// Foreign text (from a file, a device or a command line) made safe to quote in a
// message: control characters, C1 ones included, shown as \n, \t, \r or \xNN instead of
// reaching the terminal raw.
std::string Printable(const std::string& text);
// The same, keeping line breaks: for whole messages whose own lines are deliberate.
std::string PrintableLines(const std::string& text);
