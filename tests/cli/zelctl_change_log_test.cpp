// The change log: what set, restore and reboot changed, and zelctl log reading it back.
#include <sstream>
#include <string>
#include <vector>

#include "change_log.h"
#include "json_document.h"
#include "zelctl_fixture.h"

namespace {

class ChangeLogTest : public ZelctlTest {
protected:
    std::string LogPath() const { return Home().File("state") + "/zel5100util/changes.jsonl"; }
    std::vector<ChangeRecord> Records() const {
        std::vector<ChangeRecord> records;
        std::string error;
        EXPECT_TRUE(ReadChangeLog(LogPath(), &records, &error)) << error;
        return records;
    }
    // The records of one action on one setting.
    std::vector<ChangeRecord> Of(const std::string& action, const std::string& setting) const {
        std::vector<ChangeRecord> found;
        for (const ChangeRecord& record : Records())
            if (record.action == action && record.setting == setting) found.push_back(record);
        return found;
    }
};

TEST_F(ChangeLogTest, SetRestoreAndRebootAreRecordedWithOldAndNewValues) {
    StartSimulator({"--serial", "1002345"});
    ASSERT_EQ(OnDevice({"set", "udp-port", "1111"}).exitCode, 0);
    ASSERT_EQ(OnDevice({"set", "multicast-address", "239.1.1.1"}).exitCode, 0);
    const std::vector<ChangeRecord> writes = Of("write", "0x81:udp-port");
    ASSERT_EQ(writes.size(), 1u);
    const ChangeRecord& write = writes[0];
    EXPECT_EQ(write.program, "zelctl");
    EXPECT_EQ(write.port, Port());
    EXPECT_EQ(write.serialNumber, "1.002.345");
    EXPECT_EQ(write.newValue, "1111");
    EXPECT_FALSE(write.oldValue.empty());
    EXPECT_NE(write.oldValue, "1111");
    EXPECT_EQ(write.outcome, "ok");
    EXPECT_FALSE(write.user.empty());
    EXPECT_EQ(write.time.size(), 20u) << write.time;  // 2026-12-10T15:52:47Z
    EXPECT_EQ(write.time.back(), 'Z');
    const std::vector<ChangeRecord> address = Of("write", "0x81:multicast-address");
    ASSERT_EQ(address.size(), 1u);
    EXPECT_EQ(address[0].newValue, "239.1.1.1");

    const std::string backup = Home().File("unit.json");
    ASSERT_EQ(OnDevice({"backup", backup}).exitCode, 0);
    ASSERT_EQ(OnDevice({"set", "udp-port", "2222"}).exitCode, 0);
    ASSERT_EQ(OnDevice({"--yes", "restore", backup}).exitCode, 0);
    const std::vector<ChangeRecord> restored = Of("restore", "0x81:udp-port");
    ASSERT_EQ(restored.size(), 1u);
    EXPECT_EQ(restored[0].oldValue, "2222");
    EXPECT_EQ(restored[0].newValue, "1111");
    EXPECT_EQ(restored[0].serialNumber, "1.002.345");
    // Settings already as in the backup are not written, and not recorded.
    EXPECT_TRUE(Of("restore", "0x81:multicast-address").empty());

    ASSERT_EQ(OnDevice({"--yes", "reboot"}).exitCode, 0);
    const std::vector<ChangeRecord> reboots = Of("reboot", "");
    ASSERT_EQ(reboots.size(), 1u);
    EXPECT_EQ(reboots[0].serialNumber, "1.002.345");
    EXPECT_EQ(reboots[0].outcome, "ok");
}

TEST_F(ChangeLogTest, ALogThatCannotBeWrittenWarnsOnceAndTheWriteStillHappens) {
    StartSimulator();
    // A file where the state folder should be.
    WriteFile(Home().File("state"), "not a folder");
    const ProcessResult set = OnDevice({"set", "udp-port", "1234"});
    EXPECT_EQ(set.exitCode, 0) << Describe({"set"}, set);
    EXPECT_EQ(Trimmed(set.out), "1234");
    EXPECT_NE(set.err.find("warning: the change log"), std::string::npos) << set.err;
    EXPECT_EQ(OnDevice({"get", "udp-port"}).out, "1234\n");
}

TEST_F(ChangeLogTest, LogFiltersByUnitAndTime) {
    const auto record = [](const char* time, const char* serial, const char* value) {
        ChangeRecord r;
        r.time = time;
        r.user = "op";
        r.host = "rack";
        r.program = "zelctl";
        r.action = "write";
        r.port = "/dev/ttyUSB0";
        r.serialNumber = serial;
        r.setting = "0x81:udp-port";
        r.oldValue = "5004";
        r.newValue = value;
        r.outcome = "ok";
        return ChangeRecordLine(r) + "\n";
    };
    ASSERT_EQ(RunProcess({"/bin/mkdir", "-p", Home().File("state") + "/zel5100util"}, {}, 10000).exitCode, 0);
    WriteFile(LogPath(), record("2026-12-01T08:00:00Z", "1.002.345", "1") +
                             record("2026-12-05T12:30:00Z", "0.000.077", "2") + "not a record\n" +
                             record("2026-12-05T23:59:30Z", "1.002.345", "3") +
                             record("2026-12-09T00:00:00Z", "1.002.345", "4"));
    const struct {
        std::vector<std::string> filter;
        std::vector<std::string> values;
    } cases[] = {
        {{}, {"1", "2", "3", "4"}},
        {{"--unit", "1002345"}, {"1", "3", "4"}},
        {{"--unit", "77"}, {"2"}},
        {{"--since", "2026-12-05"}, {"2", "3", "4"}},
        {{"--until", "2026-12-05"}, {"1", "2", "3"}},
        {{"--since", "2026-12-05T12:31", "--until", "2026-12-08"}, {"3"}},
        {{"--unit", "1.002.345", "--since", "2026-12-05T23:59:31Z"}, {"4"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"log", "--json"};
        args.insert(args.end(), c.filter.begin(), c.filter.end());
        const ProcessResult result = Zelctl(args);
        ASSERT_EQ(result.exitCode, 0) << Describe(args, result);
        const Json document = Json::parse(result.out);
        std::vector<std::string> values;
        for (const Json& change : document["changes"])
            values.push_back(change["newValue"]);
        EXPECT_EQ(values, c.values) << Describe(args, result);
    }
    const ProcessResult table = Zelctl({"log", "--unit", "77"});
    EXPECT_NE(table.out.find("2026-12-05T12:30:00Z op@rack"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("5004 -> 2  ok"), std::string::npos) << table.out;
    EXPECT_EQ(Zelctl({"log", "--since", "last week"}).exitCode, 2);
    EXPECT_EQ(Zelctl({"log", "--unit", "abc"}).exitCode, 2);
}

}  // namespace
