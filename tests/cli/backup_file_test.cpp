// The backup file on disk: what a restore refuses before it opens the port, and how a
// backup replaces the file it is saved to.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "backup_file.h"
#include "cli_errors.h"
#include "temp_folder.h"
#include "text_codes.h"

namespace {

namespace fs = std::filesystem;

std::string Backup(int mode, const std::string& settings) {
    return "{\"zelctlBackup\": 1, \"deviceType\": 5100, \"firmwareVersion\": 23, \"mode\": " +
           std::to_string(mode) + ", \"settings\": [" + settings + "]}";
}

std::string Entry(int category, int setting, const std::string& value) {
    return "{\"category\": " + std::to_string(category) + ", \"setting\": " + std::to_string(setting) +
           ", \"value\": " + value + "}";
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class BackupFileTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = MakeTempFolder("zel-backup"); }
    void TearDown() override { fs::remove_all(dir_); }
    std::string File(const std::string& name) const { return dir_ + "/" + name; }

    // The refusal's exit code and message for a backup holding `text`.
    int LoadRefusal(const std::string& text, std::string* message) {
        const std::string path = File("backup.json");
        std::ofstream(path, std::ios::binary) << text;
        try {
            LoadBackupFile(path);
        } catch (const CliError& error) {
            *message = error.what();
            return error.ExitCode();
        }
        return 0;
    }

    std::string dir_;
};

TEST_F(BackupFileTest, RestoreRefusesWhatTheDeviceCannotTake) {
    const struct {
        const char* name;
        std::string text;
        const char* says;
    } cases[] = {
        {"mode 2", Backup(1, Entry(2, 1, "2")), "is not 0 or 1"},
        {"application 7", Backup(1, Entry(2, 2, "7")), "is not 0 or 1"},
        {"a mode 1 category in a mode 0 backup", Backup(0, Entry(0x81, 10, "5004")), "not used in mode 0"},
        {"a mode 1 category after switching to mode 0",
         Backup(1, Entry(2, 1, "0") + "," + Entry(0x81, 10, "5004")), "not used in mode 0"},
        {"a repeated member",
         "{\"zelctlBackup\": 1, \"deviceType\": 5137, \"deviceType\": 5100, "
         "\"firmwareVersion\": 23, \"mode\": 1, \"settings\": []}",
         "\"deviceType\" appears twice"},
        {"a repeated member of a setting",
         Backup(1, "{\"category\": 129, \"setting\": 10, \"value\": 1, \"value\": 2}"),
         "\"value\" appears twice"},
    };
    for (const auto& c : cases) {
        std::string message;
        EXPECT_EQ(LoadRefusal(c.text, &message), EXIT_USAGE) << c.name;
        EXPECT_NE(message.find(c.says), std::string::npos) << c.name << ": " << message;
    }

    // What a restore may hold still loads: both values of Mode and a category of its mode.
    std::string message;
    EXPECT_EQ(LoadRefusal(Backup(0, Entry(2, 1, "1") + "," + Entry(0x81, 10, "5004")), &message), 0)
        << message;
    EXPECT_EQ(LoadRefusal(Backup(1, Entry(2, 1, "0") + "," + Entry(2, 2, "1")), &message), 0) << message;
}

TEST_F(BackupFileTest, ControlCharactersFromTheFileAreShownEscaped) {
    std::string message;
    ASSERT_EQ(LoadRefusal(Backup(1, Entry(0x81, 12, "\"\\u001b]0;owned\\u0007\\n\\u009b\"")), &message),
              EXIT_USAGE);
    EXPECT_EQ(message.find_first_of("\x1b\x07\n"), std::string::npos) << message;
    EXPECT_NE(message.find("\\x1b]0;owned\\x07\\n\\x9b"), std::string::npos) << message;
    EXPECT_EQ(Printable("caf\xc3\xa9 \t\x7f"), "caf\xc3\xa9 \\t\\x7f");  // text that prints stays as it is
    EXPECT_EQ(PrintableLines("one\ntwo\x1b"), "one\ntwo\\x1b");
}

#ifndef _WIN32
// Links and file modes are POSIX matters; Windows' file replacement keeps the
// old file's attributes by itself.
TEST_F(BackupFileTest, SavingNeverFollowsALinkPlantedAtATemporaryName) {
    const std::string target = File("unit.json");
    const std::string victim = File("victim");
    std::ofstream(victim) << "keep me";
    std::ofstream(target) << "old backup";
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    // Links at every name a predictable scheme would pick, in the folder and beside it.
    for (const std::string& name : {target + ".tmp", target + ".tmp." + std::to_string(getpid()),
                                    target + "~", File(".unit.json.tmp"), File(".unit.json.XXXXXX")}) {
        ASSERT_EQ(symlink(victim.c_str(), name.c_str()), 0) << name;
    }

    SaveTextFile(target, "{\"new\": true}\n");
    EXPECT_EQ(Slurp(target), "{\"new\": true}\n");
    EXPECT_EQ(Slurp(victim), "keep me");
    struct stat saved {};
    ASSERT_EQ(lstat(target.c_str(), &saved), 0);
    EXPECT_TRUE(S_ISREG(saved.st_mode));
    EXPECT_EQ(saved.st_mode & 07777, 0640u) << "the replaced file's mode is kept";
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(dir_)) {
        ++entries;
        EXPECT_TRUE(entry.path() == target || entry.path() == victim || entry.is_symlink()) << entry.path();
    }
    EXPECT_EQ(entries, 7) << "no temporary file is left behind";
}
#endif

// Names are UTF-8 throughout; on Windows they reach the wide-character file calls.
TEST_F(BackupFileTest, AFileNamedBeyondAsciiIsReplacedWhole) {
    const std::string target = File("Einheit-\xC3\xBC.json");
    SaveTextFile(target, "first\n");
    SaveTextFile(target, "second\n");
    std::ifstream in(fs::u8path(target), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "second\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(BackupFileTest, AFailedSaveLeavesTheOldFileAndNoTemporary) {
    const std::string target = File("unit.json");
    std::ofstream(target) << "old backup";
    ASSERT_TRUE(fs::create_directory(File("folder.json")));
    // A folder cannot be replaced by a file: the rename fails.
    EXPECT_THROW(SaveTextFile(File("folder.json"), "x"), CliError);
    EXPECT_THROW(SaveTextFile(File("missing/unit.json"), "x"), CliError);
    EXPECT_EQ(Slurp(target), "old backup");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

}  // namespace
