// The window's writes in the change log, with the value it showed before and the new one.
#include <gtest/gtest.h>

#include "change_log.h"
#include "control_ids.h"
#include "sim_window_fixture.h"

namespace {

class WindowChangeLogTest : public SimWindowTest {};

TEST_F(WindowChangeLogTest, APlainWriteIsRecordedWithTheUnitAndTheOldAndNewValue) {
    SimConfig config;
    config.mode = 1;
    config.countersMove = false;
    Connect(config);
    const QString before = window_->Edit(Idc::Cat81UdpPort)->text();
    std::vector<ChangeRecord> earlier;
    std::string error;
    ASSERT_TRUE(ReadChangeLog(ChangeLogPath(), &earlier, &error)) << error;

    Type(Idc::Cat81UdpPort, QStringLiteral("1024"));
    Press(Idc::Cat81UdpPortWrite);
    std::vector<ChangeRecord> records;
    ASSERT_TRUE(ReadChangeLog(ChangeLogPath(), &records, &error)) << error;
    ASSERT_EQ(records.size(), earlier.size() + 1);
    const ChangeRecord& write = records.back();
    EXPECT_EQ(write.program, "zel5100util");
    EXPECT_EQ(write.action, "write");
    EXPECT_EQ(write.setting, "0x81:udp-port");
    EXPECT_EQ(write.oldValue, before.toStdString());
    EXPECT_EQ(write.newValue, "1024");
    EXPECT_EQ(write.serialNumber, "1.002.345");
    EXPECT_EQ(write.outcome, "ok");
}

}  // namespace
