// A small file whose stream expands to nearly 2 GiB is checked in little memory.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "firmware_builder.h"
#include "firmware_check.h"
#include "firmware_stream.h"

namespace {

constexpr uint32_t kExpandedSize = 0x7FFF0000;  // header included; the largest the check takes is INT32_MAX
constexpr long kMemoryLimitKiB = 64 * 1024;

// Header and a zlib payload of zeros, compressed a chunk at a time so that the test
// itself never holds more than a few megabytes.
std::vector<uint8_t> BuildBomb() {
    std::vector<uint8_t> file(FIRMWARE_HEADER_SIZE, 0);
    PutLe32(file, 4, kExpandedSize);
    file[12] = 1;  // one application
    PutLe16(file, 14, FirmwareFileHeader::FLAG_COMPRESSED | FirmwareFileHeader::FLAG_ZLIB);
    z_stream stream{};
    EXPECT_EQ(deflateInit(&stream, 9), Z_OK);
    const std::vector<uint8_t> zeros(1 << 20, 0);
    std::vector<uint8_t> out(1 << 16);
    uint64_t left = kExpandedSize - FIRMWARE_HEADER_SIZE;
    int code = Z_OK;
    while (code != Z_STREAM_END) {
        const uInt chunk = static_cast<uInt>(std::min<uint64_t>(left, zeros.size()));
        stream.next_in = const_cast<Bytef*>(zeros.data());
        stream.avail_in = chunk;
        left -= chunk;
        do {
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            code = deflate(&stream, left == 0 ? Z_FINISH : Z_NO_FLUSH);
            file.insert(file.end(), out.data(), out.data() + (out.size() - stream.avail_out));
        } while (stream.avail_out == 0 || (left == 0 && code != Z_STREAM_END));
    }
    deflateEnd(&stream);
    PutLe32(file, 8, static_cast<uint32_t>(file.size()));
    return file;
}

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

TEST(FirmwareBomb, NearlyTwoGibibytesAreCheckedInUnder64MiB) {
    const std::vector<uint8_t> bomb = BuildBomb();
    ASSERT_LT(bomb.size(), 4u << 20) << "not a bomb: the payload should compress about 1000 to 1";
    const TempFile file(bomb, "bomb.zel");

    // In a child of its own, so that what the check takes shows as that process's peak.
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(channel[0]);
        const long before = PeakKiB();
        FirmwareStream stream;
        const FirmwareCheck check = CheckFirmwareFile(file.path(), 23, stream);
        const long report[2] = {long(check.result), PeakKiB() - before};
        const ssize_t written = write(channel[1], report, sizeof report);
        _exit(written == ssize_t(sizeof report) ? 0 : 1);
    }
    close(channel[1]);
    long report[2] = {-1, -1};
    const ssize_t got = read(channel[0], report, sizeof report);
    close(channel[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(got, ssize_t(sizeof report)) << "the check's process ended early, status " << status;
    EXPECT_EQ(report[0], long(FwCheckOk));
    EXPECT_LT(report[1], kMemoryLimitKiB) << "the check grew the process by " << report[1] << " KiB";
}
