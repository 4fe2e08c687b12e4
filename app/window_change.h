// The window's changes in the change log: which unit, which setting, before and after.
// Nothing is read from the unit for it: the value before is the one the window last
// showed, the unit's serial number the one its device panel shows.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

#include "zel_protocol.h"

class Zel5100UtilApp;

class WindowChange {
public:
    // `serial`: the unit's serial number as shown; `oldValue`: the setting's value as
    // last shown, empty when not known.
    WindowChange(const Zel5100UtilApp* app, const QString& serial, const char* action, int category = -1,
                 int setting = -1, const QString& oldValue = QString());

    // The setting was written with `value`.
    void Written(uint64_t value, ZelResult result);
    // A reboot or an upload: what the unit had and what was sent.
    void Done(const std::string& oldValue, const std::string& newValue, ZelResult result);

private:
    std::string port_;
    std::string serial_;
    std::string action_;
    int category_;
    int setting_;
    std::string old_;
};
