#include "firmware_stream.h"

#include <sys/stat.h>

FirmwareStream::~FirmwareStream() { Close(); }

bool FirmwareStream::Open(const std::string& path) {
    Close();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    // A directory opens for reading here but holds no bytes to send.
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
        std::fclose(file);
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
