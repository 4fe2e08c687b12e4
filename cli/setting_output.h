// One setting's value as the commands print it, in text and in JSON.
#pragma once

#include <cstdint>

#include "cli_numbers.h"
#include "json_document.h"
#include "value_format.h"

// The catalogue's format for the setting (address, MAC, signed or unsigned decimal).
ValueFormat SettingFormat(const SettingAddress& address);

// {"category": 129, "setting": 10, "name": "UDP port", "value": 5004, "text": "5004"}:
// value is the number (signed for signed settings), text as the window shows it.
Json SettingJson(const SettingAddress& address, uint64_t value, ValueFormat format);
// {"category": .., "setting": .., "name": .., "error": "ZEL_E_ERROR_REPLY"}
Json SettingErrorJson(const SettingAddress& address, ZelResult result);
