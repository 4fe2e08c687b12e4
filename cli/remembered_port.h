// The COM port the window remembers, read (never written) from where Qt keeps the
// window's settings. On POSIX systems that is the settings file
// that Qt keeps for organisation "Taviro": $XDG_CONFIG_HOME/Taviro/<application>.conf
// (~/.config when unset), INI format, section [Zel5100Util], key ComPort; the
// application is "Zel5100Util". On Windows it is the registry: key
// HKCU\Software\Taviro\Zel5100Util\Zel5100Util, string value ComPort.
#pragma once

#include <string>

// The window's settings file; "" when neither XDG_CONFIG_HOME nor a home is known.
std::string WindowSettingsPath();

// The remembered port, "" when there is none (no file, no entry, empty entry).
std::string RememberedComPort();

// The value of `key` in `section` of INI text as Qt writes it: quoting and escapes
// undone, Qt's "@String(...)" and "@@" forms unwrapped. "" when absent.
std::string IniValue(const std::string& text, const std::string& section, const std::string& key);
