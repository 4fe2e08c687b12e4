#include "firmware_stream.h"

#include "firmware_file.h"

FirmwareStream::~FirmwareStream() {
    Close();
}

bool FirmwareStream::Open(const std::string& path) {
    Close();
    file_ = OpenRegularFile(path);
    return file_ != nullptr;
}

void FirmwareStream::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

int64_t FirmwareStream::SizeAndRewind() {
    if (!file_ || !SeekFile(file_, 0, SEEK_END)) return -1;
    const int64_t end = TellFile(file_);
    if (end < 0 || !Rewind()) return -1;
    return end;
}

bool FirmwareStream::Rewind() {
    if (!file_ || !SeekFile(file_, 0, SEEK_SET)) return false;
    std::clearerr(file_);
    return true;
}

bool FirmwareStream::ReadExactly(uint8_t* destination, size_t count) {
    if (!file_) return false;
    if (count == 0) return true;
    return std::fread(destination, 1, count, file_) == count && !std::ferror(file_);
}

ZelResult FirmwareStream::ReadPart(uint8_t* destination, int count) {
    if (!file_ || TellFile(file_) < 0 || count <= 0) return ZEL_E_UPG_FILE_ERROR;
    return ReadExactly(destination, static_cast<size_t>(count)) ? ZEL_OK : ZEL_E_UPG_FILE_ERROR;
}

ZelResult FirmwareStream::ReadPartHook(void* context, uint8_t* destination, int count) {
    if (!context) return ZEL_E_UPG_FILE_ERROR;
    return static_cast<FirmwareStream*>(context)->ReadPart(destination, count);
}
