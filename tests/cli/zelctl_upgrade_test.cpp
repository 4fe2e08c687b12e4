// upgrade against the simulator: the transfer arrives byte-exact, refusals exit 3.
#include <string>
#include <vector>

#include "firmware_builder.h"
#include "zelctl_fixture.h"

namespace {

std::string AsText(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

class UpgradeTest : public ZelctlTest {};

TEST_F(UpgradeTest, AMultiPartZlibFileArrivesByteExactAndTheNewVersionIsShown) {
    const std::string received = Home().File("received.zel");
    StartSimulator({"--image-out", received});
    FirmwareSpec recipe;
    recipe.compressed = true;
    recipe.major = 2;
    recipe.minor = 4;
    recipe.imageSize = 5000;
    recipe.randomPayload = true;  // stays several parts long after compression
    const std::vector<uint8_t> file = BuildFirmwareFile(recipe);
    ASSERT_GT(file.size(), 3u * 1024);
    const std::string path = Home().File("new.zel");
    WriteFile(path, AsText(file));

    const ProcessResult result = OnDevice({"upgrade", path});
    ASSERT_EQ(result.exitCode, 0) << Describe({"upgrade"}, result);
    EXPECT_EQ(ReadFile(received), AsText(file));
    EXPECT_EQ(result.out, "v2.4\n");
    // Not a terminal: plain progress lines.
    EXPECT_NE(result.err.find("Firmware upgrade current phase: Uploading, current progress: 0"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("Firmware upgrade current phase: Finished, current progress: 100"),
              std::string::npos)
        << result.err;

    const ProcessResult quiet = OnDevice({"--quiet", "upgrade", path});
    ASSERT_EQ(quiet.exitCode, 0) << Describe({"--quiet upgrade"}, quiet);
    EXPECT_EQ(quiet.err, "");
}

struct Refusal {
    std::vector<std::string> simulatorOptions;
    FirmwareSpec recipe;
    const char* text;
};

FirmwareSpec Recipe(bool compressed, bool zlib, uint16_t applications, uint16_t major, uint16_t minor) {
    FirmwareSpec recipe;
    recipe.compressed = compressed;
    recipe.zlib = zlib;
    recipe.applications = applications;
    recipe.major = major;
    recipe.minor = minor;
    return recipe;
}

TEST_F(UpgradeTest, ARefusedFileExitsThreeWithTheWindowsText) {
    const Refusal refusals[] = {
        {{}, Recipe(true, false, 1, 1, 5), "LZW compression is no longer supported for the ZEL-5100"},
        {{"--firmware", "13"},
         Recipe(true, true, 1, 1, 5),
         "The firmware version is to old to be updated directly, please upgrade to version 1.4 or higher "
         "first.."},
        {{"--firmware", "19"},
         Recipe(false, true, 1, 2, 1),
         "The firmware version is to old to be updated directly, please upgrade to version 2.0 first.."},
        {{}, Recipe(false, true, 0, 1, 5), "Upgrade file doesn't contain any applications"},
    };
    for (const Refusal& refusal : refusals) {
        const std::string received = Home().File("received.zel");
        std::vector<std::string> options = refusal.simulatorOptions;
        options.insert(options.end(), {"--image-out", received});
        StartSimulator(options);
        const std::string path = Home().File("refused.zel");
        WriteFile(path, AsText(BuildFirmwareFile(refusal.recipe)));

        const ProcessResult result = OnDevice({"--trace", "upgrade", path});
        EXPECT_EQ(result.exitCode, 3) << Describe({"upgrade"}, result);
        EXPECT_NE(result.err.find(refusal.text), std::string::npos) << result.err;
        // Only the identification was read: nothing of the upgrade category 0x80 was sent.
        for (const TracedFrame& frame : TracedFrames(result.err)) {
            EXPECT_NE(frame.hex.rfind("02 34 30 38 30", 0), 0u) << frame.hex;
        }
    }

    const ProcessResult missing = OnDevice({"upgrade", Home().File("absent.zel")});
    EXPECT_EQ(missing.exitCode, 3) << Describe({"upgrade absent"}, missing);
    EXPECT_NE(missing.err.find("Error opening '" + Home().File("absent.zel") + "'"), std::string::npos)
        << missing.err;
}

}  // namespace
