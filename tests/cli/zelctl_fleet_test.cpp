// Many units at once: --ports-file with simulators on pseudo-terminals and over TCP.
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "firmware_builder.h"
#include "json_document.h"
#include "zelctl_fixture.h"

namespace fs = std::filesystem;

namespace {

class FleetTest : public ZelctlTest {
protected:
    ProcessResult On(const std::string& port, std::vector<std::string> args) {
        args.insert(args.begin(), {"--port", port});
        return Zelctl(args);
    }
    std::string UdpPort(const std::string& port) { return Trimmed(On(port, {"get", "udp-port"}).out); }

    // The summary line of a unit: "NAME SERIAL RESULT ...".
    static std::string SummaryLine(const std::string& out, const std::string& unit) {
        std::istringstream lines(out);
        std::string line;
        while (std::getline(lines, line))
            if (line.rfind(unit + " ", 0) == 0 && line.find(" units succeeded") == std::string::npos)
                return line;
        return "";
    }
};

TEST_F(FleetTest, BackupOfFourUnitsSavesThreeAndRestoreFindsEachUnitsOwnFileBySerialNumber) {
    const std::string a = StartUnit(1001, false);
    const std::string b = StartUnit(1002, false);
    const std::string c = StartUnit(1003, true);
    const std::string dead = StartUnit(1004, true, {"--drop", "100"});  // answers nothing
    const std::string units[] = {a, b, c};
    const char* values[] = {"1111", "2222", "3333"};
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(On(units[i], {"set", "udp-port", values[i]}).exitCode, 0);

    const std::string dir = Home().File("backups");
    const std::string ports = PortsFile("# the rack\n" + a + " studio-a\n" + b + "   # no label\n" + c +
                                        " studio/c\n" + dead + " dead\n");
    const ProcessResult backup = Zelctl({"--ports-file", ports, "backup", dir});
    EXPECT_EQ(backup.exitCode, 1) << Describe({"backup"}, backup);
    std::vector<std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    const std::string bName = b.substr(b.find_first_not_of('/'));
    std::string bFile = bName;
    for (char& ch : bFile)
        if (ch == '/') ch = '_';
    EXPECT_EQ(files,
              (std::vector<std::string>{bFile + "-1002.json", "studio-a-1001.json", "studio_c-1003.json"}))
        << Describe({"backup"}, backup);
    EXPECT_NE(SummaryLine(backup.out, "dead").find("ZEL_E_RX_FAILED"), std::string::npos) << backup.out;
    EXPECT_NE(SummaryLine(backup.out, "studio-a").find("0.001.001 "), std::string::npos) << backup.out;
    EXPECT_NE(backup.out.find("3 of 4 units succeeded"), std::string::npos) << backup.out;
    // Every line a unit writes names it.
    EXPECT_NE(backup.err.find("studio-a: Saved 15 settings"), std::string::npos) << backup.err;
    EXPECT_NE(backup.err.find("dead: zelctl: reading the serial number failed"), std::string::npos)
        << backup.err;

    // Re-cabled: the ports file lists the units in another order with other labels.
    for (const std::string& unit : units)
        ASSERT_EQ(On(unit, {"set", "udp-port", "7"}).exitCode, 0);
    const std::string shuffled = PortsFile(c + " studio-a\n" + a + " studio-b\n" + b + "\n");
    const ProcessResult restore = Zelctl({"--ports-file", shuffled, "--yes", "restore", dir});
    EXPECT_EQ(restore.exitCode, 0) << Describe({"restore"}, restore);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(UdpPort(units[i]), values[i]) << units[i];

    // A unit without a backup is reported and left alone; the others are restored.
    const std::string stranger = StartUnit(1005, false);
    ASSERT_EQ(On(stranger, {"set", "udp-port", "4444"}).exitCode, 0);
    ASSERT_EQ(On(a, {"set", "udp-port", "8"}).exitCode, 0);
    const ProcessResult partly = Zelctl({"--port", a, "--port", stranger, "--yes", "--json", "restore", dir});
    EXPECT_EQ(partly.exitCode, 1) << Describe({"restore"}, partly);
    EXPECT_EQ(UdpPort(a), "1111");
    EXPECT_EQ(UdpPort(stranger), "4444");
    // --json: one object a line, one line per unit, in the order given.
    std::istringstream lines(partly.out);
    std::string line;
    std::vector<Json> objects;
    while (std::getline(lines, line))
        objects.push_back(Json::parse(line));
    ASSERT_EQ(objects.size(), 2u) << partly.out;
    EXPECT_EQ(objects[0]["port"], a);
    EXPECT_EQ(objects[0]["result"], "ok");
    EXPECT_EQ(objects[0]["written"], 1);
    EXPECT_EQ(objects[1]["port"], stranger);
    EXPECT_EQ(objects[1]["result"], "no-backup");
    EXPECT_EQ(objects[1]["exitCode"], 1);

    // Two backups of one unit: which one to write back would be left to chance.
    fs::copy_file(dir + "/studio-a-1001.json", dir + "/spare-1001.json");
    const ProcessResult twice = Zelctl({"--ports-file", shuffled, "--yes", "restore", dir});
    EXPECT_EQ(twice.exitCode, 2) << Describe({"restore"}, twice);
    EXPECT_NE(twice.err.find("are both backups of the unit with serial number 0.001.001"), std::string::npos)
        << twice.err;
}

std::string AsText(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST_F(FleetTest, UpgradeOfTwoUnitsAtOnceDeliversBothImagesAndAFailureStartsNoFurtherUnit) {
    FirmwareSpec recipe;
    recipe.compressed = true;
    recipe.major = 2;
    recipe.minor = 4;
    recipe.imageSize = 5000;
    recipe.randomPayload = true;
    const std::vector<uint8_t> file = BuildFirmwareFile(recipe);
    const std::string path = Home().File("new.zel");
    WriteFile(path, AsText(file));

    const std::string first = Home().File("first.zel");
    const std::string second = Home().File("second.zel");
    const std::string a = StartUnit(2001, false, {"--image-out", first});
    const std::string b = StartUnit(2002, true, {"--image-out", second});
    const ProcessResult both = Zelctl({"--port", a, "--port", b, "upgrade", "--max-parallel", "2", path});
    ASSERT_EQ(both.exitCode, 0) << Describe({"upgrade"}, both);
    EXPECT_EQ(ReadFile(first), AsText(file));
    EXPECT_EQ(ReadFile(second), AsText(file));
    EXPECT_NE(both.out.find(a + ": v2.4\n"), std::string::npos) << both.out;
    EXPECT_NE(both.out.find(b + ": v2.4\n"), std::string::npos) << both.out;

    // One at a time (the default): after the failing unit none is started.
    const std::string failing = StartUnit(2003, false, {"--fail-upgrade"});
    const std::string untouched = Home().File("untouched.zel");
    const std::string later = StartUnit(2004, false, {"--image-out", untouched});
    const ProcessResult stopped = Zelctl({"--quiet", "--port", failing, "--port", later, "upgrade", path});
    EXPECT_EQ(stopped.exitCode, 1) << Describe({"upgrade"}, stopped);
    EXPECT_NE(SummaryLine(stopped.out, later).find("skipped"), std::string::npos) << stopped.out;
    EXPECT_FALSE(fs::exists(untouched));
}

}  // namespace
