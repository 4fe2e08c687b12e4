// Numbers as typed on the command line: categories, settings, values, intervals.
// Every function that takes user text throws a usage error (exit 2) that names the
// text it could not use.
#pragma once

#include <cstdint>
#include <string>

#include "value_format.h"  // ParseInteger
#include "zel_protocol.h"

struct SettingAddress {
    int category = 0;
    int setting = 0;
    const ZelSettingEntry* entry = nullptr;  // catalogue entry: name, value type
    int Size() const { return ZelTypeSize(entry ? entry->type : -1); }
};

// A catalogued category.
int ParseCategory(const std::string& text);
// A catalogued (category, setting) pair.
SettingAddress ParseSettingAddress(const std::string& category, const std::string& setting);
// The same from one word "CAT:SETTING".
SettingAddress ParseSettingPair(const std::string& pair);
// A catalogued pair given as numbers (for settings the program itself names).
SettingAddress CataloguedSetting(int category, int setting);

// A value to write: decimal or 0x hex, or a dotted IPv4 address for an address setting.
// It must fit the setting's size; 6- and 8-byte settings cannot be written.
uint32_t ParseSettingValue(const SettingAddress& address, const std::string& text);

// Seconds between polls, from `least` to a day; "0.5" in any locale.
double ParseIntervalSeconds(const std::string& command, const std::string& text, double least);

// "0x81"
std::string CategoryText(int category);
// "0x81 10 (UDP port)"
std::string SettingText(const SettingAddress& address);
