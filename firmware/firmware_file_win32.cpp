#include <windows.h>

#include <sys/stat.h>

#include "firmware_file.h"
#include "windows_text_win32.h"

std::FILE* OpenRegularFile(const std::string& path) {
    const std::wstring wide = WideFromUtf8(path);
    std::FILE* file = _wfopen(wide.c_str(), L"rb");
    if (!file) return nullptr;
    struct _stat64 info {};
    if (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

bool SeekFile(std::FILE* file, int64_t offset, int whence) {
    return _fseeki64(file, offset, whence) == 0;
}

int64_t TellFile(std::FILE* file) {
    return _ftelli64(file);
}
