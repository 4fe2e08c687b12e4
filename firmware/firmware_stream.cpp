#include "firmware_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FirmwareStream::~FirmwareStream() {
    Close();
}

bool FirmwareStream::Open(const std::string& path) {
    Close();
    // Non-blocking, so that a FIFO put where the file was cannot hold the open;
    // only a regular file is kept, and it is read blocking as usual.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return false;
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        return false;
    }
    file_ = file;
    return true;
}

void FirmwareStream::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

int64_t FirmwareStream::SizeAndRewind() {
    if (!file_ || fseeko(file_, 0, SEEK_END) != 0) return -1;
    const off_t end = ftello(file_);
    if (end < 0 || !Rewind()) return -1;
    return static_cast<int64_t>(end);
}

bool FirmwareStream::Rewind() {
    if (!file_ || fseeko(file_, 0, SEEK_SET) != 0) return false;
    std::clearerr(file_);
    return true;
}

bool FirmwareStream::ReadExactly(uint8_t* destination, size_t count) {
    if (!file_) return false;
    if (count == 0) return true;
    return std::fread(destination, 1, count, file_) == count && !std::ferror(file_);
}

ZelResult FirmwareStream::ReadPart(uint8_t* destination, int count) {
    if (!file_ || ftello(file_) < 0 || count <= 0) return ZEL_E_UPG_FILE_ERROR;
    return ReadExactly(destination, static_cast<size_t>(count)) ? ZEL_OK : ZEL_E_UPG_FILE_ERROR;
}

ZelResult FirmwareStream::ReadPartHook(void* context, uint8_t* destination, int count) {
    if (!context) return ZEL_E_UPG_FILE_ERROR;
    return static_cast<FirmwareStream*>(context)->ReadPart(destination, count);
}
