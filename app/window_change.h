// The window's changes in the change log: which unit, which setting, before and after.
#pragma once

#include <cstdint>
#include <string>

#include "zel_protocol.h"

class Zel5100UtilApp;

class WindowChange {
public:
    // Reads the unit's serial number and, for a setting, the value it holds now, before
    // the change is made (a unit that restarts answers nothing afterwards).
    WindowChange(const Zel5100UtilApp* app, const char* action, int category = -1, int setting = -1);

    // The setting was written with `value`.
    void Written(uint64_t value, ZelResult result);
    // A reboot or an upload: `newValue` says what was sent.
    void Done(const std::string& oldValue, const std::string& newValue, ZelResult result);

private:
    std::string port_;
    std::string action_;
    int category_;
    int setting_;
    bool oldKnown_ = false;
    uint32_t old_ = 0;
    std::string serial_;
};
