// Settings by the model's names, the settings listing, and failures as JSON.
#include <string>
#include <vector>

#include "json_document.h"
#include "settings_model.h"
#include "zelctl_fixture.h"

namespace {

class NamesTest : public ZelctlTest {};

// The name a user would type: the bare name when the mode resolves it, else the qualified one.
std::string NameToType(const SettingView& view, int mode) {
    const NamedSetting bare = FindSettingByName(view.name, mode);
    return bare.outcome == NameLookup::Found && bare.view == &view ? view.name : QualifiedName(view);
}

TEST_F(NamesTest, GetByNameEqualsGetByNumberForEverySettingOfTheUnitsMode) {
    for (int mode : {1, 0}) {
        StartSimulator({"--mode", std::to_string(mode), "--still-counters"});
        int compared = 0;
        for (int category : UsableCategories(mode)) {
            for (const SettingView& view : FindPanel(category)->settings) {
                if (!SettingOffered(view, 23)) continue;
                const std::vector<std::string> byNumber = {"get", std::to_string(view.category),
                                                           std::to_string(view.setting)};
                const std::vector<std::string> byName = {"get", NameToType(view, mode)};
                const ProcessResult number = OnDevice(byNumber);
                const ProcessResult name = OnDevice(byName);
                ASSERT_EQ(number.exitCode, 0) << Describe(byNumber, number);
                ASSERT_EQ(name.exitCode, 0) << Describe(byName, name);
                EXPECT_EQ(name.out, number.out) << byName[1];
                ++compared;
            }
        }
        EXPECT_GT(compared, 20) << "mode " << mode;
    }
    // The name in a category and CAT NAME as two words are the same setting too.
    EXPECT_EQ(OnDevice({"get", "0x82:udp-port"}).out, OnDevice({"get", "0x82", "udp-port"}).out);
}

TEST_F(NamesTest, SetAndMonitorTakeNamesAndTheModeChoosesASharedOne) {
    StartSimulator({"--still-counters"});
    ProcessResult result = OnDevice({"set", "multicast-address", "239.1.2.3"});
    ASSERT_EQ(result.exitCode, 0) << Describe({"set multicast-address"}, result);
    EXPECT_EQ(OnDevice({"get", "0x81", "12"}).out, "239.1.2.3\n");

    // udp-port is in 0x81 (mode 1) and 0x82 (mode 0): the unit runs mode 1.
    result = OnDevice({"set", "udp-port", "4711"});
    ASSERT_EQ(result.exitCode, 0) << Describe({"set udp-port"}, result);
    EXPECT_EQ(OnDevice({"get", "0x81", "10"}).out, "4711\n");

    result = OnDevice({"monitor", "lost-before-fec", "lock-errors", "--count", "1"});
    ASSERT_EQ(result.exitCode, 0) << Describe({"monitor"}, result);
    EXPECT_TRUE(std::regex_search(result.out, std::regex(R"( 0x81:\d+=\d+ 0x81:\d+=\d+\n$)"))) << result.out;
}

TEST_F(NamesTest, UnknownOrAmbiguousNamesAreUsageErrorsThatSayWhatToType) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"get", "no-such-setting"},
                                                 {"get", "0x81:no-such-setting"},
                                                 {"get", "10"},
                                                 {"monitor", "udp-port:3"},
                                                 {"set", "0x81", "nothing", "1"}}) {
        const ProcessResult result = Zelctl(args);
        EXPECT_EQ(result.exitCode, 2) << Describe(args, result);
        EXPECT_NE(result.err.find("zelctl: "), std::string::npos) << Describe(args, result);
    }
}

TEST_F(NamesTest, SettingsListsTheWholeModelWithoutAPort) {
    size_t total = 0;
    for (const PanelView& panel : WindowPanels())
        total += panel.settings.size();

    const ProcessResult json = Zelctl({"settings", "--json"});
    ASSERT_EQ(json.exitCode, 0) << Describe({"settings --json"}, json);
    Json document;
    std::string error;
    ASSERT_TRUE(ParseJsonDocument(json.out, &document, &error)) << error;
    ASSERT_EQ(document["settings"].size(), total);
    const Json& first = document["settings"][0];
    for (const char* key : {"category", "setting", "name", "caption", "format", "writable", "minFirmware"}) {
        EXPECT_TRUE(first.contains(key)) << key;
    }
    const SettingView* port = FindSettingView(0x81, 10);
    bool found = false;
    for (const Json& item : document["settings"]) {
        if (item["category"] == 0x81 && item["setting"] == 10) {
            found = true;
            EXPECT_EQ(item["name"], port->name);
            EXPECT_EQ(item["writable"], true);
        }
    }
    EXPECT_TRUE(found);

    const ProcessResult text = Zelctl({"settings", "0x81"});
    ASSERT_EQ(text.exitCode, 0) << Describe({"settings 0x81"}, text);
    EXPECT_NE(text.out.find("udp-port"), std::string::npos) << text.out;
    EXPECT_EQ(text.out.find("0x82"), std::string::npos) << text.out;
    EXPECT_EQ(Zelctl({"settings", "0x90"}).exitCode, 2);

    // The words completion scripts offer.
    const ProcessResult words = Zelctl({"_words", "settings"});
    EXPECT_NE(words.out.find("\n0x81:udp-port\n"), std::string::npos) << words.out;
    EXPECT_NE(Zelctl({"_words", "commands"}).out.find("settings\n"), std::string::npos);
    EXPECT_NE(Zelctl({"_words", "options", "upgrade"}).out.find("--check\n"), std::string::npos);
}

TEST_F(NamesTest, AFailureWithJsonIsOneObjectOnStdoutWithTheSameExitStatus) {
    StartSimulator();
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* result;
    };
    const Case cases[] = {
        {{"--json", "frobnicate"}, 2, "usage-error"},
        {{"get", "no-such-setting", "--json"}, 2, "usage-error"},
        {{"--json", "--port", Home().File("no-such-port"), "info"}, 1, "port-unavailable"},
        {{"--json", "--port", Port(), "set", "0x81", "11", "20000"}, 1, "ZEL_E_ERROR_REPLY"},
        {{"--json", "--port", Port(), "set", "1", "3", "5"}, 2, "not-writable"},
        {{"--json", "--port", Port(), "--read-only", "reboot"}, 2, "read-only"},
    };
    for (const Case& c : cases) {
        const ProcessResult result = Zelctl(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << Describe(c.args, result);
        Json document;
        std::string error;
        ASSERT_TRUE(ParseJsonDocument(result.out, &document, &error)) << error << "\n"
                                                                      << Describe(c.args, result);
        EXPECT_EQ(document["result"], c.result) << result.out;
        EXPECT_EQ(document["exitCode"], c.exitCode) << result.out;
        EXPECT_FALSE(document["message"].get<std::string>().empty()) << result.out;
    }
}

}  // namespace
