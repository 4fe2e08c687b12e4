#include <windows.h>

#include <cstdlib>

#include "change_log_platform.h"
#include "windows_text_win32.h"

namespace {

// The system's words without the closing full stop, as the log's messages go on after them.
std::string SystemWords(DWORD code) {
    std::string words = WindowsErrorText(code);
    while (!words.empty() && words.back() == '.')
        words.pop_back();
    return words;
}

}  // namespace

std::string PlatformChangeLogPath() {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (!local || !*local) return "";
    return Utf8FromWide(local) + "\\Zel5100Util\\changes.jsonl";
}

std::string PlatformUserName() {
    wchar_t name[256] = {};
    DWORD size = 256;
    if (GetUserNameW(name, &size)) return Utf8FromWide(name);
    const wchar_t* user = _wgetenv(L"USERNAME");
    return user ? Utf8FromWide(user) : "";
}

std::string PlatformHostName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? Utf8FromWide(name) : "";
}

std::tm PlatformUtcTime(std::time_t when) {
    std::tm utc{};
    gmtime_s(&utc, &when);
    return utc;
}

bool PlatformAppendLine(const std::string& path, const std::string& line, std::string* error) {
    const std::wstring wide = WideFromUtf8(path);
    const size_t folderEnd = wide.rfind(L'\\');
    if (folderEnd != std::wstring::npos) CreateDirectoryW(wide.substr(0, folderEnd).c_str(), nullptr);
    // FILE_APPEND_DATA alone: every write goes to the end, as O_APPEND does.
    HANDLE file = CreateFileW(wide.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = SystemWords(GetLastError());
        return false;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file, line.data(), DWORD(line.size()), &written, nullptr);
    const DWORD code = GetLastError();
    CloseHandle(file);
    if (!ok || written != line.size()) {
        *error = ok ? "the line was written short" : SystemWords(code);
        return false;
    }
    return true;
}
