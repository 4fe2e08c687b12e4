// Shortens a file path for a field of limited width: whole folder names in the
// middle give way to "...", the file name stays. Plain C++ over UTF-8 text.
#pragma once

#include <string>

// The path itself when it has at most `maxChars` characters (code points);
// otherwise the longest "<leading folders>/.../<file name>" that fits, then
// ".../<file name>", and for a file name that cannot fit even so, its start
// followed by "...". The result never has more than `maxChars` characters.
std::string CompactPath(const std::string& path, int maxChars);

// Number of characters (code points) of UTF-8 text.
int Utf8Length(const std::string& text);
