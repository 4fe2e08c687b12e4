// The firmware file check: every outcome, the order of its tests, and the refusals of
// files too short or too inconsistent to check.
#include <gtest/gtest.h>
#include <zlib.h>

#include <sys/stat.h>
#include <unistd.h>

#include "firmware_builder.h"
#include "firmware_check.h"
#include "firmware_stream.h"

namespace {

FirmwareSpec Plain(uint16_t major, uint16_t minor) {
    FirmwareSpec recipe;
    recipe.major = major;
    recipe.minor = minor;
    return recipe;
}

FirmwareSpec Zlib(uint16_t major, uint16_t minor) {
    FirmwareSpec recipe = Plain(major, minor);
    recipe.compressed = true;
    recipe.imageSize = 4000;
    return recipe;
}

FirmwareSpec Lzw() {
    FirmwareSpec recipe = Zlib(1, 0);
    recipe.zlib = false;
    return recipe;
}

FirmwareSpec NoApplications(FirmwareSpec recipe) {
    recipe.applications = 0;
    return recipe;
}

FirmwareCheck Check(const std::vector<uint8_t>& file, int32_t firmwareVersion) {
    // An exact-size heap copy, so a read past the end is caught under AddressSanitizer.
    std::unique_ptr<uint8_t[]> copy(new uint8_t[file.size() ? file.size() : 1]);
    std::copy(file.begin(), file.end(), copy.get());
    return CheckFirmwareData(copy.get(), file.size(), firmwareVersion);
}

struct OutcomeCase {
    const char* name;
    FirmwareSpec recipe;
    int32_t firmwareVersion;
    FirmwareCheckResult expected;
};

void PrintTo(const OutcomeCase& c, std::ostream* os) {
    *os << c.name;
}

class FirmwareCheckOutcome : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(FirmwareCheckOutcome, MatchesTheRules) {
    const OutcomeCase& c = GetParam();
    const std::vector<uint8_t> file = BuildFirmwareFile(c.recipe);
    const FirmwareCheck check = Check(file, c.firmwareVersion);
    EXPECT_EQ(check.result, c.expected) << check.text;
    if (c.expected == FwCheckOk) {
        EXPECT_EQ(check.storedSize, static_cast<int32_t>(file.size()));
        EXPECT_EQ(check.text, "");
    } else {
        EXPECT_EQ(check.text, FirmwareCheckText(c.expected));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, FirmwareCheckOutcome,
    ::testing::Values(
        // Uncompressed 1.x needs nothing of the device, not even a known version.
        OutcomeCase{"plain_1_5_unread", Plain(1, 5), -1, FwCheckOk},
        OutcomeCase{"plain_1_9_unread", Plain(1, 9), -1, FwCheckOk},
        // zlib needs device firmware 1.4.
        OutcomeCase{"zlib_unread", Zlib(1, 5), -1, FwDeviceTooOld14},
        OutcomeCase{"zlib_13", Zlib(1, 5), 13, FwDeviceTooOld14},
        OutcomeCase{"zlib_14", Zlib(1, 5), 14, FwCheckOk},
        // The method test comes before the version test, and both before the count.
        OutcomeCase{"lzw_13", Lzw(), 13, FwLzwNotSupported},
        OutcomeCase{"lzw_unread", Lzw(), -1, FwLzwNotSupported},
        OutcomeCase{"lzw_no_apps", NoApplications(Lzw()), 20, FwLzwNotSupported},
        OutcomeCase{"zlib_13_no_apps", NoApplications(Zlib(2, 1)), 13, FwDeviceTooOld14},
        // Image 2.0 exactly is not newer than 2.0; 2.1 and 3.0 are.
        OutcomeCase{"plain_2_0_unread", Plain(2, 0), -1, FwCheckOk},
        OutcomeCase{"plain_2_1_19", Plain(2, 1), 19, FwDeviceTooOld20},
        OutcomeCase{"plain_2_1_20", Plain(2, 1), 20, FwCheckOk},
        OutcomeCase{"plain_3_0_19", Plain(3, 0), 19, FwDeviceTooOld20},
        OutcomeCase{"plain_3_0_20", Plain(3, 0), 20, FwCheckOk},
        // The version of a zlib file is read from the expanded image.
        OutcomeCase{"zlib_2_1_14", Zlib(2, 1), 14, FwDeviceTooOld20},
        OutcomeCase{"zlib_2_1_20", Zlib(2, 1), 20, FwCheckOk},
        OutcomeCase{"zlib_2_0_14", Zlib(2, 0), 14, FwCheckOk},
        // The application count wins over the version-2.0 test.
        OutcomeCase{"plain_no_apps_2_1", NoApplications(Plain(2, 1)), 19, FwNoApplications},
        OutcomeCase{"zlib_no_apps_2_1", NoApplications(Zlib(2, 1)), 14, FwNoApplications}),
    [](const ::testing::TestParamInfo<OutcomeCase>& info) { return std::string(info.param.name); });

TEST(FirmwareCheck, SizeHandedOnIsTheStoredSizeNotTheExpandedOne) {
    FirmwareSpec recipe = Zlib(1, 5);
    recipe.imageSize = 50000;
    const std::vector<uint8_t> file = BuildFirmwareFile(recipe);
    ASSERT_LT(file.size(), 10000u);
    const FirmwareCheck check = Check(file, 14);
    ASSERT_EQ(check.result, FwCheckOk);
    EXPECT_EQ(check.storedSize, static_cast<int32_t>(file.size()));
}

TEST(FirmwareCheck, FailedExpansionShowsZlibsCode) {
    std::vector<uint8_t> tooLittleRoom = BuildFirmwareFile(Zlib(1, 5));
    PutLe32(tooLittleRoom, 4, 4000 - 1);  // one byte less room than the stream needs
    std::vector<uint8_t> corrupt = BuildFirmwareFile(Zlib(1, 5));
    corrupt[32] ^= 0x0F;  // the zlib wrapper's method byte

    const struct {
        const char* name;
        std::vector<uint8_t> file;
        int code;
        const char* text;
    } cases[] = {
        {"expands beyond its size", tooLittleRoom, Z_BUF_ERROR, "Encountered error -5, during decompression"},
        {"corrupt stream", corrupt, Z_DATA_ERROR, "Encountered error -3, during decompression"},
    };
    for (const auto& c : cases) {
        const FirmwareCheck check = Check(c.file, 14);
        EXPECT_EQ(check.result, FwInflateFailed) << c.name;
        EXPECT_EQ(check.zlibCode, c.code) << c.name;
        EXPECT_EQ(check.text, c.text) << c.name;
    }
}

TEST(FirmwareCheck, CorruptStreamIsNotExpandedForAnOldDevice) {
    std::vector<uint8_t> file = BuildFirmwareFile(Zlib(1, 5));
    file[32] ^= 0x0F;
    EXPECT_EQ(Check(file, 13).result, FwDeviceTooOld14);
}

TEST(FirmwareCheck, HeaderFieldsDecodeLittleEndian) {
    std::vector<uint8_t> bytes(32);
    for (int i = 0; i < 32; ++i)
        bytes[i] = static_cast<uint8_t>(i + 1);
    const FirmwareFileHeader header = FirmwareFileHeader::Parse(bytes.data());
    EXPECT_EQ(header.expandedSize, 0x08070605u);
    EXPECT_EQ(header.storedSize, 0x0C0B0A09u);
    EXPECT_EQ(header.applicationCount, 0x0E0Du);
    EXPECT_EQ(header.flags, 0x100Fu);
    EXPECT_EQ(header.leading[0], 1);
    EXPECT_EQ(header.trailing[15], 32);

    PutLe16(bytes, 14, 0xC000);
    EXPECT_TRUE(FirmwareFileHeader::Parse(bytes.data()).Compressed());
    EXPECT_TRUE(FirmwareFileHeader::Parse(bytes.data()).Zlib());
    PutLe16(bytes, 14, 0x8000);
    EXPECT_FALSE(FirmwareFileHeader::Parse(bytes.data()).Zlib());
}

TEST(FirmwareCheck, EveryOutcomeHasItsText) {
    const struct {
        FirmwareCheckResult result;
        const char* text;
    } cases[] = {
        {FwCheckOk, ""},
        {FwOpenFailed, "Error opening '/fw/new.zel'"},
        {FwOutOfMemory, "Out of memory"},
        {FwLzwNotSupported, "LZW compression is no longer supported for the ZEL-5100"},
        {FwDeviceTooOld14,
         "The firmware version is to old to be updated directly, please upgrade to version 1.4 or higher "
         "first.."},
        {FwInflateFailed, "Encountered error -3, during decompression"},
        {FwNoApplications, "Upgrade file doesn't contain any applications"},
        {FwDeviceTooOld20,
         "The firmware version is to old to be updated directly, please upgrade to version 2.0 first.."},
        {FwReadFailed, "Error reading '/fw/new.zel'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FirmwareCheckText(c.result, "/fw/new.zel", -3), c.text);
    EXPECT_EQ(FirmwareCheckText(FwInflateFailed, "", 2), "Encountered error 2, during decompression");
    // A path that holds a printf directive is shown as it is.
    EXPECT_EQ(FirmwareCheckText(FwOpenFailed, "/fw/100%s.zel"), "Error opening '/fw/100%s.zel'");
}

// Files the rules above do not cover are refused with texts of their own, each reading
// nothing outside the file.
TEST(FirmwareCheck, MalformedFilesAreRefusedWithOwnTexts) {
    const std::vector<uint8_t> zlibFile = BuildFirmwareFile(Zlib(1, 5));
    auto withLe32 = [&](size_t offset, uint32_t value) {
        std::vector<uint8_t> f = zlibFile;
        PutLe32(f, offset, value);
        return f;
    };
    FirmwareSpec tiny = Zlib(1, 5);
    tiny.imageSize = 79;  // expands to an image one byte short of the minor version
    FirmwareSpec plainShort = Plain(1, 5);
    plainShort.imageSize = 79;

    const struct {
        const char* name;
        std::vector<uint8_t> file;
        FirmwareCheckResult expected;
    } cases[] = {
        {"empty", {}, FwHeaderTooShort},
        {"31_bytes", std::vector<uint8_t>(zlibFile.begin(), zlibFile.begin() + 31), FwHeaderTooShort},
        {"expanded_below_32", withLe32(4, 31), FwInvalidSizeField},
        {"stored_below_32", withLe32(8, 31), FwInvalidSizeField},
        {"expanded_absurd", withLe32(4, 0xFFFFFFF0u), FwInvalidSizeField},
        {"stored_beyond_end", withLe32(8, static_cast<uint32_t>(zlibFile.size() + 1)), FwStoredSizeBeyondEnd},
        {"truncated_zlib", std::vector<uint8_t>(zlibFile.begin(), zlibFile.end() - 10),
         FwStoredSizeBeyondEnd},
        {"plain_79_bytes", BuildFirmwareFile(plainShort), FwImageTooShort},
        {"zlib_image_79_bytes", BuildFirmwareFile(tiny), FwImageTooShort},
    };
    for (const auto& c : cases) {
        const FirmwareCheck check = Check(c.file, 20);
        EXPECT_EQ(check.result, c.expected) << c.name;
        EXPECT_FALSE(check.text.empty()) << c.name;
        EXPECT_EQ(check.text, FirmwareCheckText(c.expected)) << c.name;
    }
}

TEST(FirmwareCheck, ExpandedSizeClaimLargerThanTheStreamStillPasses) {
    // The expanded-size field is a capacity; a stream that expands to less is accepted.
    std::vector<uint8_t> file = BuildFirmwareFile(Zlib(1, 5));
    PutLe32(file, 4, 0x7FFFFFF0u);
    EXPECT_EQ(Check(file, 14).result, FwCheckOk);
}

TEST(FirmwareCheck, StoredSizeShorterThanTheFileChecksOnlyThePayloadItNames) {
    std::vector<uint8_t> file = BuildFirmwareFile(Zlib(1, 5));
    file.push_back(0xEE);  // trailing bytes travel with the file but are not expanded
    const FirmwareCheck check = Check(file, 14);
    ASSERT_EQ(check.result, FwCheckOk);
    EXPECT_EQ(check.storedSize, static_cast<int32_t>(file.size()));
}

// ---------------------------------------------------------------------------
// The check on a file on disk, and the stream it leaves open.

std::vector<uint8_t> ReadRest(FirmwareStream& stream) {
    std::vector<uint8_t> out;
    uint8_t byte;
    while (stream.ReadExactly(&byte, 1))
        out.push_back(byte);
    return out;
}

TEST(FirmwareCheckFile, PassingFileIsLeftOpenAtItsFirstByte) {
    const std::vector<uint8_t> contents = BuildFirmwareFile(Zlib(1, 5));
    TempFile file(contents);
    FirmwareStream stream;
    const FirmwareCheck check = CheckFirmwareFile(file.path(), 14, stream);
    ASSERT_EQ(check.result, FwCheckOk) << check.text;
    EXPECT_EQ(check.storedSize, static_cast<int32_t>(contents.size()));
    ASSERT_TRUE(stream.IsOpen());
    EXPECT_EQ(ReadRest(stream), contents);
}

TEST(FirmwareCheckFile, RefusedFileIsClosed) {
    TempFile file(BuildFirmwareFile(Zlib(1, 5)));
    FirmwareStream stream;
    const FirmwareCheck check = CheckFirmwareFile(file.path(), 13, stream);
    EXPECT_EQ(check.result, FwDeviceTooOld14);
    EXPECT_FALSE(stream.IsOpen());
}

TEST(FirmwareCheckFile, MissingFileOrDirectoryCannotBeOpened) {
    TempFile file(BuildFirmwareFile(Plain(1, 5)));
    FirmwareStream stream;
    const std::string missing = file.directory() + "/absent.zel";
    FirmwareCheck check = CheckFirmwareFile(missing, 20, stream);
    EXPECT_EQ(check.result, FwOpenFailed);
    EXPECT_EQ(check.text, "Error opening '" + missing + "'");
    EXPECT_FALSE(stream.IsOpen());
}

#ifndef _WIN32
TEST(FirmwareCheckFile, AFolderFifoOrDeviceIsRefusedBeforeItIsOpened) {
    TempFile file(BuildFirmwareFile(Plain(1, 5)));
    const std::string fifo = file.directory() + "/firmware.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    FirmwareStream stream;
    // Opening the FIFO for reading would wait for a writer that never comes.
    for (const std::string& path : {file.directory(), fifo, std::string("/dev/null")}) {
        const FirmwareCheck check = CheckFirmwareFile(path, 20, stream);
        EXPECT_EQ(check.result, FwNotRegularFile) << path;
        EXPECT_EQ(check.text, "'" + path + "' is not a firmware file: choose a regular file");
        EXPECT_FALSE(stream.IsOpen());
        EXPECT_FALSE(stream.Open(path)) << path;
        EXPECT_EQ(FirmwarePartCount(path), 0) << path;
    }
    ::unlink(fifo.c_str());
}
#endif

TEST(FirmwareCheckFile, FileOfMoreThan65535PartsIsRefusedUnread) {
    TempFile file(BuildFirmwareFile(Plain(1, 5)));
    // A sparse file: the check must refuse it on its size alone.
    ASSERT_EQ(truncate(file.path().c_str(), FIRMWARE_MAX_FILE_SIZE + 1), 0);
    FirmwareStream stream;
    const FirmwareCheck check = CheckFirmwareFile(file.path(), 20, stream);
    EXPECT_EQ(check.result, FwFileTooLarge);
    EXPECT_EQ(check.text, FirmwareCheckText(FwFileTooLarge));
    EXPECT_FALSE(stream.IsOpen());
}

TEST(FirmwareCheckFile, PartCountOfTheChosenFile) {
    const struct {
        size_t size;
        int32_t parts;
    } cases[] = {{0, 0}, {1, 1}, {1024, 1}, {1025, 2}, {4096, 4}};
    for (const auto& c : cases) {
        TempFile file(std::vector<uint8_t>(c.size, 0x5A));
        EXPECT_EQ(FirmwarePartCount(file.path()), c.parts) << c.size;
    }
    EXPECT_EQ(FirmwarePartCount("/nonexistent/dir/file.zel"), 0);
}

TEST(FirmwareStreamParts, SuccessivePartsUpToExactlyTheEnd) {
    std::vector<uint8_t> contents(2048 + 3);
    for (size_t i = 0; i < contents.size(); ++i)
        contents[i] = static_cast<uint8_t>(i * 7);
    TempFile file(contents);
    FirmwareStream stream;
    ASSERT_TRUE(stream.Open(file.path()));

    std::vector<uint8_t> part(1024);
    std::vector<uint8_t> read;
    for (int count : {1024, 1024, 3}) {
        ASSERT_EQ(FirmwareStream::ReadPartHook(&stream, part.data(), count), ZEL_OK);
        read.insert(read.end(), part.begin(), part.begin() + count);
    }
    EXPECT_EQ(read, contents);
    EXPECT_EQ(stream.ReadPart(part.data(), 1), ZEL_E_UPG_FILE_ERROR);  // nothing left
}

TEST(FirmwareStreamParts, ShortOrClosedStreamIsAFileError) {
    TempFile file(std::vector<uint8_t>(100, 1));
    FirmwareStream stream;
    ASSERT_TRUE(stream.Open(file.path()));
    uint8_t part[1024];
    EXPECT_EQ(stream.ReadPart(part, 101), ZEL_E_UPG_FILE_ERROR);
    stream.Close();
    EXPECT_EQ(stream.ReadPart(part, 1), ZEL_E_UPG_FILE_ERROR);
    EXPECT_EQ(FirmwareStream::ReadPartHook(nullptr, part, 1), ZEL_E_UPG_FILE_ERROR);
}

}  // namespace
