#include "path_kind.h"

#include <sys/stat.h>

PathKind KindOfPath(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return PathKind::Missing;
    return S_ISREG(info.st_mode) ? PathKind::RegularFile : PathKind::Other;
}
