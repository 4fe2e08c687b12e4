// The COM port the window remembers, read (never written) from the settings file
// that Qt keeps for organisation "Taviro": $XDG_CONFIG_HOME/Taviro/<application>.conf
// (~/.config when unset), INI format, section [Zel5100Util], key ComPort. Qt names the
// file after the application, which the window takes from its program file
// (zel5100util.conf); Zel5100Util.conf is the name of the same store under the
// application's own name.
#pragma once

#include <string>
#include <vector>

// The settings files the window may keep; empty when neither XDG_CONFIG_HOME nor a
// home is known.
std::vector<std::string> WindowSettingsPaths();

// The remembered port, "" when there is none (no file, no entry, empty entry). When
// more than one file holds an entry, the one written last wins.
std::string RememberedComPort();

// The value of `key` in `section` of INI text as Qt writes it: quoting and escapes
// undone, Qt's "@String(...)" and "@@" forms unwrapped. "" when absent.
std::string IniValue(const std::string& text, const std::string& section, const std::string& key);
