#include <sys/stat.h>

#include "path_kind.h"
#include "windows_text_win32.h"

PathKind KindOfPath(const std::string& path) {
    struct _stat64 info {};
    if (_wstat64(WideFromUtf8(path).c_str(), &info) != 0) return PathKind::Missing;
    return (info.st_mode & _S_IFMT) == _S_IFREG ? PathKind::RegularFile : PathKind::Other;
}
