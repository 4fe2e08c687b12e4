// Turning the system's error codes at opening a COM port into the facts of a failure.
#pragma once

#include <windows.h>

#include <string>

#include "com_open_failure.h"
#include "windows_text_win32.h"

// Sets the problem from the GetLastError() code of a failed step of opening `name`.
void NoteWindowsOpenError(ComOpenFailure* failure, DWORD error, const std::string& name);
