// Text between the program's UTF-8 and the wide characters of the Windows API.
#pragma once

#include <windows.h>

#include <string>

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);
// The system's words for an error code, in UTF-8, without the trailing line
// end ("Access is denied."); the number itself when the system has none.
std::string WindowsErrorText(DWORD code);
