// Small text codings shared by the readers of user files and command lines.
#pragma once

#include <cstdint>
#include <string>

// Value of one hexadecimal digit, -1 for any other character.
int HexDigitValue(char c);
// Appends a Unicode code point as UTF-8.
void AppendUtf8(std::string* out, uint32_t code);
