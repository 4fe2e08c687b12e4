// A setting and its values as the change log names them, the same for window and zelctl.
#pragma once

#include <cstdint>
#include <string>

// "0x81:udp-port"; "0x81:26" for a setting the model does not name.
std::string LoggedSettingName(int category, int setting);
// The value as the window and zelctl show it ("192.168.0.10", "5004").
std::string LoggedValue(int category, int setting, uint64_t value);
