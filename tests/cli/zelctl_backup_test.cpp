// backup, restore and reboot against the simulator.
#include <regex>
#include <string>

#include "json_document.h"
#include "zelctl_fixture.h"

namespace {

class BackupTest : public ZelctlTest {
protected:
    void SetUp() override { StartSimulator(); }

    std::string Get(const std::string& category, const std::string& setting) {
        const ProcessResult result = OnDevice({"get", category, setting});
        EXPECT_EQ(result.exitCode, 0) << Describe({"get", category, setting}, result);
        return Trimmed(result.out);
    }

    void Set(const std::string& category, const std::string& setting, const std::string& value) {
        const ProcessResult result = OnDevice({"set", category, setting, value});
        ASSERT_EQ(result.exitCode, 0) << Describe({"set", category, setting, value}, result);
    }

    Json ParseFile(const std::string& path) {
        Json document;
        std::string error;
        EXPECT_TRUE(ParseJsonDocument(ReadFile(path), &document, &error)) << error;
        return document;
    }
};

TEST_F(BackupTest, RestoreGivesBackTheBackedUpValues) {
    const std::string file = Home().File("unit.json");
    ProcessResult result = OnDevice({"backup", file});
    ASSERT_EQ(result.exitCode, 0) << Describe({"backup"}, result);
    const Json backup = ParseFile(file);
    EXPECT_EQ(backup.value("deviceType", 0), 5100);
    EXPECT_EQ(backup.value("firmwareVersion", 0), 23);
    EXPECT_EQ(backup.value("mode", -1), 1);
    ASSERT_TRUE(backup.contains("settings") && backup["settings"].is_array());
    // Local time with its offset from UTC.
    EXPECT_TRUE(std::regex_match(backup.value("created", ""),
                                 std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)")))
        << backup.value("created", "");

    const std::string port = Get("0x81", "10");
    const std::string multicast = Get("0x81", "12");
    const std::string packetSize = Get("0x84", "1");
    const std::string storage = Get("2", "3");
    Set("0x81", "10", port == "4321" ? "4322" : "4321");
    Set("0x81", "12", multicast == "239.9.9.9" ? "239.9.9.8" : "239.9.9.9");
    Set("0x84", "1", packetSize == "0" ? "1" : "0");
    Set("2", "3", storage == "0" ? "1" : "0");
    ASSERT_NE(Get("0x81", "10"), port);

    result = OnDevice({"restore", file});
    ASSERT_EQ(result.exitCode, 0) << Describe({"restore"}, result);
    EXPECT_EQ(Get("0x81", "10"), port);
    EXPECT_EQ(Get("0x81", "12"), multicast);
    EXPECT_EQ(Get("0x84", "1"), packetSize);
    EXPECT_EQ(Get("2", "3"), storage);
}

TEST_F(BackupTest, RestoreSwitchesTheModeAndWaitsForTheDevice) {
    const std::string file = Home().File("mode1.json");
    ASSERT_EQ(OnDevice({"backup", file}).exitCode, 0);
    const std::string port = Get("0x81", "10");

    // Mode 0 restarts the device; set waits for it and reads the mode back.
    ProcessResult result = OnDevice({"set", "2", "1", "0"});
    ASSERT_EQ(result.exitCode, 0) << Describe({"set 2 1 0"}, result);
    EXPECT_EQ(result.out, "0\n");
    Set("0x81", "10", port == "4321" ? "4322" : "4321");  // written in mode 0, put back in mode 1

    result = OnDevice({"restore", file});
    ASSERT_EQ(result.exitCode, 0) << Describe({"restore"}, result);
    EXPECT_EQ(Get("2", "1"), "1");
    EXPECT_EQ(Get("0x81", "10"), port);
}

TEST_F(BackupTest, RestoreRefusesABackupOfAnotherDeviceType) {
    const std::string file = Home().File("unit.json");
    ASSERT_EQ(OnDevice({"backup", file}).exitCode, 0);
    std::string text = ReadFile(file);
    const size_t at = text.find("\"deviceType\": 5100");
    ASSERT_NE(at, std::string::npos) << text;
    text.replace(at, 18, "\"deviceType\": 5137");
    WriteFile(file, text);
    const std::string changed = Get("0x81", "10") == "4321" ? "4322" : "4321";
    Set("0x81", "10", changed);

    const ProcessResult result = OnDevice({"restore", file});
    EXPECT_EQ(result.exitCode, 2) << Describe({"restore"}, result);
    EXPECT_NE(result.err.find("ZEL-5137"), std::string::npos) << result.err;
    EXPECT_EQ(Get("0x81", "10"), changed);  // nothing written
}

TEST_F(BackupTest, RestoreRefusesFilesThatAreNotUsableBackups) {
    const std::string file = Home().File("bad.json");
    const char* documents[] = {
        "",
        "{\"zelctlBackup\": 1, \"deviceType\": 5100",  // cut short
        "[1, 2]",
        "{\"zelctlBackup\": 1, \"deviceType\": 5100, \"firmwareVersion\": 23, \"mode\": 1, \"settings\": "
        "[{\"category\": 1, \"setting\": 3, \"value\": 30}]}",  // a read-only setting
        "{\"zelctlBackup\": 1, \"deviceType\": 5100, \"firmwareVersion\": 23, \"mode\": 1, \"settings\": "
        "[{\"category\": 129, \"setting\": 10, \"value\": 70000}]}",  // too large for 2 bytes
        "{\"zelctlBackup\": 1, \"deviceType\": 5100, \"firmwareVersion\": 23, \"mode\": 1, \"settings\": "
        "[{\"category\": 129, \"setting\": 12, \"value\": \"239.1\"}]}",
    };
    for (const char* document : documents) {
        WriteFile(file, document);
        const ProcessResult result = OnDevice({"restore", file});
        EXPECT_EQ(result.exitCode, 2) << document << "\n" << Describe({"restore"}, result);
    }
    const ProcessResult missing = OnDevice({"restore", Home().File("none.json")});
    EXPECT_EQ(missing.exitCode, 2) << Describe({"restore"}, missing);
}

class NetworkRestoreTest : public BackupTest {
protected:
    void SetUp() override { StartSimulator({"--dhcp"}); }
};

std::string NetworkBackup(const std::string& settings) {
    return "{\"zelctlBackup\": 1, \"deviceType\": 5100, \"firmwareVersion\": 23, \"mode\": 1,\n"
           " \"settings\": [" +
           settings + "]}\n";
}

TEST_F(NetworkRestoreTest, AStaticAddressReplacesDhcpAndDhcpComesBack) {
    ASSERT_EQ(Get("3", "4"), "1");
    const std::string file = Home().File("network.json");
    WriteFile(file, NetworkBackup("{\"category\": 3, \"setting\": 1, \"value\": \"10.20.30.40\"},"
                                  "{\"category\": 3, \"setting\": 2, \"value\": \"255.255.0.0\"},"
                                  "{\"category\": 3, \"setting\": 3, \"value\": \"10.20.0.1\"},"
                                  "{\"category\": 3, \"setting\": 4, \"value\": 0}"));
    ProcessResult result = OnDevice({"restore", file});
    ASSERT_EQ(result.exitCode, 0) << Describe({"restore"}, result);
    EXPECT_EQ(Get("3", "4"), "0");
    EXPECT_EQ(Get("3", "1"), "10.20.30.40");
    EXPECT_EQ(Get("3", "2"), "255.255.0.0");
    EXPECT_EQ(Get("3", "3"), "10.20.0.1");

    // Under DHCP the addresses are the lease's: only DHCP enabled is restored and compared.
    WriteFile(file, NetworkBackup("{\"category\": 3, \"setting\": 1, \"value\": \"0.0.0.0\"},"
                                  "{\"category\": 3, \"setting\": 4, \"value\": 1}"));
    result = OnDevice({"restore", file});
    ASSERT_EQ(result.exitCode, 0) << Describe({"restore"}, result);
    EXPECT_EQ(Get("3", "4"), "1");
}

TEST_F(BackupTest, RebootWaitsUntilTheDeviceAnswersAgain) {
    const ProcessResult result = OnDevice({"--trace", "reboot"});
    ASSERT_EQ(result.exitCode, 0) << Describe({"reboot"}, result);
    EXPECT_EQ(result.out, "ZEL-5100 mode 1\n");
    const std::vector<TracedFrame> frames = TracedFrames(result.err);
    ASSERT_FALSE(frames.empty());
    // The serial number is read first, for the change log; then the reboot write, which
    // awaits no reply ("400305w01FC").
    ASSERT_GE(frames.size(), 3u);
    EXPECT_EQ(frames[0].hex, "02 34 30 30 31 30 34 72 36 35 03");
    EXPECT_EQ(frames[2].hex, "02 34 30 30 33 30 35 77 30 31 46 43 03");
    EXPECT_EQ(Get("2", "1"), "1");
}

}  // namespace
