// Replacing a file whole on Windows: rename() there refuses an existing target,
// so the new contents go to a file of their own beside it, which ReplaceFileW
// puts in its place (keeping the old file's attributes and permissions), or
// MoveFileExW where there is no old file yet.
#include <windows.h>

#include <algorithm>
#include <atomic>

#include "whole_file.h"
#include "windows_text_win32.h"

namespace {

std::wstring DirectoryOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash == 0 ? 1 : slash);
}

std::wstring NameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// CREATE_NEW never opens a name that exists, so a file planted there is never written.
HANDLE CreateTemporaryBeside(const std::wstring& path, std::wstring* temporary) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = DirectoryOf(path) + L"\\." + NameOf(path) + L"." +
                     std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(counter++) + L".tmp";
        const HANDLE file = CreateFileW(temporary->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, const std::string& text, std::string* error) {
    const std::wstring target = WideFromUtf8(path);
    // ReplaceFileW would put the file in place of a folder of that name.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *error = "it is a folder";
        return false;
    }
    std::wstring temporary;
    const HANDLE file = CreateTemporaryBeside(target, &temporary);
    if (file == INVALID_HANDLE_VALUE) {
        *error = WindowsErrorText(GetLastError());
        return false;
    }
    bool ok = true;
    size_t done = 0;
    while (ok && done < text.size()) {
        DWORD written = 0;
        const DWORD chunk = DWORD(std::min<size_t>(text.size() - done, 1 << 20));
        ok = WriteFile(file, text.data() + done, chunk, &written, nullptr) && written > 0;
        done += written;
    }
    ok = ok && FlushFileBuffers(file);
    DWORD failure = ok ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    if (ok) {
        const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
        ok = exists ? ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                    : MoveFileExW(temporary.c_str(), target.c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        if (!ok) failure = GetLastError();
    }
    if (!ok) {
        DeleteFileW(temporary.c_str());
        *error = WindowsErrorText(failure);
        return false;
    }
    return true;
}
