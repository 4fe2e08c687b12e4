// Two units driven from one process at once, each port on its own thread and session:
// what each thread reads is what a lone reader of that unit gets.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "com_port.h"
#include "settings_model.h"
#include "sim_process.h"
#include "zel_protocol.h"
#include "zel_setting_ids.h"

namespace {

struct Reading {
    int category;
    int setting;
    ZelResult result;
    uint64_t value;
    bool operator==(const Reading& o) const {
        return category == o.category && setting == o.setting && result == o.result && value == o.value;
    }
};

// Every setting the window shows, read over the port at `path` on the calling thread's
// session. Empty when the port does not open.
std::vector<Reading> DumpUnit(const std::string& path) {
    std::vector<Reading> dump;
    ComPort port;
    if (OpenComPort(&port, path) != COM_OPEN_OK) return dump;
    for (const PanelView& panel : WindowPanels()) {
        for (const SettingView& view : panel.settings) {
            Reading r{view.category, view.setting, ZEL_OK, 0};
            r.result = ZelReadSetting64(view.category, view.setting, &r.value);
            dump.push_back(r);
        }
    }
    CloseComPort(&port);
    ZelSetTransport(nullptr, nullptr, nullptr, nullptr, nullptr);
    return dump;
}

uint64_t ValueOf(const std::vector<Reading>& dump, int category, int setting) {
    for (const Reading& r : dump)
        if (r.category == category && r.setting == setting) return r.value;
    return ~uint64_t{0};
}

TEST(SimSessions, TwoUnitsReadInTwoThreadsGiveEachItsOwnFullDump) {
    SimProcess first({"--mode", "0", "--firmware", "14", "--still-counters"});
    SimProcess second({"--mode", "1", "--firmware", "23", "--still-counters"});
    const std::string paths[2] = {first.FirstLine(), second.FirstLine()};
    ASSERT_FALSE(paths[0].empty()) << first.Error();
    ASSERT_FALSE(paths[1].empty()) << second.Error();

    // What a lone reader gets from each unit, one after the other.
    std::vector<Reading> alone[2];
    for (int unit = 0; unit < 2; ++unit) {
        ZelSession session;
        ZelSessionScope scope(session);
        alone[unit] = DumpUnit(paths[unit]);
        ASSERT_FALSE(alone[unit].empty()) << "port " << paths[unit] << " did not open";
    }
    ASSERT_EQ(ValueOf(alone[0], ZEL_CAT_CONFIGURATION, ZEL_SET_MODE), 0u);
    ASSERT_EQ(ValueOf(alone[1], ZEL_CAT_CONFIGURATION, ZEL_SET_MODE), 1u);

    // Both at once, each thread with a session of its own. Several rounds, so that the
    // two threads' transactions overlap.
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        std::vector<Reading> together[2];
        std::thread threads[2];
        for (int unit = 0; unit < 2; ++unit) {
            threads[unit] = std::thread([&, unit] {
                ZelSession session;
                ZelSessionScope scope(session);
                together[unit] = DumpUnit(paths[unit]);
            });
        }
        for (std::thread& t : threads)
            t.join();
        for (int unit = 0; unit < 2; ++unit) {
            ASSERT_EQ(together[unit].size(), alone[unit].size()) << "unit " << unit;
            for (size_t i = 0; i < alone[unit].size(); ++i)
                EXPECT_EQ(together[unit][i], alone[unit][i])
                    << "unit " << unit << " setting " << alone[unit][i].category << "/"
                    << alone[unit][i].setting << ": " << ZelResultName(together[unit][i].result);
        }
    }
    // The threads' ports never touched the default session.
    EXPECT_EQ(ZelGetTransport().transmit, nullptr);
}

}  // namespace
