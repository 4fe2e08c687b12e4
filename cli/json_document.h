// JSON as zelctl prints it and reads its backup files: nlohmann/json, with members
// kept in the order they were set and 64-bit counters kept whole.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

using Json = nlohmann::ordered_json;

// Parses a whole document; false with a message naming the place on error. A key that
// appears twice in one object is refused: the library would keep the last one
// silently, and a hand-edited backup must not lose a value that way.
bool ParseJsonDocument(const std::string& text, Json* value, std::string* error);

// Compact on one line, or indented by two spaces per level. Text that is not UTF-8
// (a port name, say) is printed with U+FFFD in place of the bad bytes.
std::string JsonText(const Json& value, bool indented = false);

// Integral numbers only (no fraction, no exponent), in range.
bool JsonInt64(const Json& value, int64_t* number);
