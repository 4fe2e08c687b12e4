#include <windows.h>

#include <cstdlib>

#include "change_log_platform.h"

namespace {

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) return "";
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(size_t(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), &text[0], size, nullptr, nullptr);
    return text;
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return L"";
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(size > 0 ? size : 0), L'\0');
    if (size > 0) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), int(text.size()), &wide[0], size);
    return wide;
}

std::string SystemWords(DWORD code) {
    wchar_t* buffer = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string words = buffer ? Narrow(buffer) : "error " + std::to_string(code);
    if (buffer) LocalFree(buffer);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == '.'))
        words.pop_back();
    return words;
}

}  // namespace

std::string PlatformChangeLogPath() {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (!local || !*local) return "";
    return Narrow(local) + "\\Zel5100Util\\changes.jsonl";
}

std::string PlatformUserName() {
    wchar_t name[256] = {};
    DWORD size = 256;
    if (GetUserNameW(name, &size)) return Narrow(name);
    const wchar_t* user = _wgetenv(L"USERNAME");
    return user ? Narrow(user) : "";
}

std::string PlatformHostName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? Narrow(name) : "";
}

std::tm PlatformUtcTime(std::time_t when) {
    std::tm utc{};
    gmtime_s(&utc, &when);
    return utc;
}

bool PlatformAppendLine(const std::string& path, const std::string& line, std::string* error) {
    const std::wstring wide = Wide(path);
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
