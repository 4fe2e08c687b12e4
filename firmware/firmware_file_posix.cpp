#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "firmware_file.h"

std::FILE* OpenRegularFile(const std::string& path) {
    // Non-blocking, so that a FIFO put where the file was cannot hold the open;
    // only a regular file is kept, and it is read blocking as usual.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) ::close(fd);
    return file;
}

bool SeekFile(std::FILE* file, int64_t offset, int whence) {
    return fseeko(file, off_t(offset), whence) == 0;
}

int64_t TellFile(std::FILE* file) {
    return int64_t(ftello(file));
}
