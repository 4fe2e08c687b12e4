// What zelctl takes from the user: numbers, settings, values, options, the window's
// settings file and backup files.
#include <gtest/gtest.h>

#include <climits>

#include "backup_file.h"
#include "cli_errors.h"
#include "cli_numbers.h"
#include "cli_options.h"
#include "device_session.h"
#include "json_document.h"
#include "remembered_port.h"
#include "setting_names.h"

namespace {

int UsageExit(const std::function<void()>& action, std::string* message = nullptr) {
    try {
        action();
    } catch (const CliError& error) {
        if (message) *message = error.what();
        return error.ExitCode();
    }
    return 0;
}

TEST(CliNumbers, IntegersAreDecimalOrHexWithoutOverflow) {
    int64_t value = 0;
    ASSERT_TRUE(ParseInteger("129", &value));
    EXPECT_EQ(value, 129);
    ASSERT_TRUE(ParseInteger("0x81", &value));
    EXPECT_EQ(value, 0x81);
    ASSERT_TRUE(ParseInteger("0XfF", &value));
    EXPECT_EQ(value, 255);
    ASSERT_TRUE(ParseInteger("-5", &value));
    EXPECT_EQ(value, -5);
    ASSERT_TRUE(ParseInteger("-9223372036854775808", &value));
    EXPECT_EQ(value, INT64_MIN);
    for (const char* bad :
         {"", "-", "0x", "12a", "1.5", " 1", "9223372036854775808", "0x10000000000000000", "+1"}) {
        EXPECT_FALSE(ParseInteger(bad, &value)) << bad;
    }
}

TEST(CliNumbers, SettingPairsMustBeCatalogued) {
    const SettingAddress udp = ParseSettingAddress("0x81", "10");
    EXPECT_EQ(udp.category, 0x81);
    EXPECT_EQ(udp.setting, 10);
    EXPECT_EQ(udp.Size(), 2);
    EXPECT_EQ(ParseSettingPair("129:0xA").setting, 10);

    std::string message;
    EXPECT_EQ(UsageExit([] { ParseSettingAddress("3", "0"); }, &message), EXIT_USAGE);
    EXPECT_NE(message.find("category 0x03 setting 0 is not in the catalogue"), std::string::npos) << message;
    EXPECT_EQ(UsageExit([] { ParseSettingAddress("0x181", "1"); }), EXIT_USAGE);  // low 8 bits catalogued
    EXPECT_EQ(UsageExit([] { ParseSettingPair("0x81-10"); }), EXIT_USAGE);
    EXPECT_EQ(UsageExit([] { ParseSettingPair("1:2:3"); }), EXIT_USAGE);
}

TEST(CliNumbers, ValuesMustFitTheSetting) {
    EXPECT_EQ(ParseSettingValue(ParseSettingAddress("0x81", "12"), "239.1.2.3"), 0xEF010203u);
    EXPECT_EQ(ParseSettingValue(ParseSettingAddress("0x81", "12"), "0xEF010203"), 0xEF010203u);
    EXPECT_EQ(ParseSettingValue(ParseSettingAddress("0x82", "13"), "255"), 255u);
    EXPECT_EQ(ParseSettingValue(ParseSettingAddress("1", "13"), "-1"), 0xFFFFFFFFu);  // a signed row
    EXPECT_EQ(ParseSettingValue(ParseSettingAddress("1", "4"), "4294967295"), 0xFFFFFFFFu);

    struct Bad {
        const char* category;
        const char* setting;
        const char* value;
    };
    for (const Bad& bad :
         {Bad{"0x82", "13", "256"}, Bad{"0x81", "10", "65536"}, Bad{"0x81", "10", "-1"},
          Bad{"1", "4", "4294967296"}, Bad{"0x81", "12", "239.1.2"}, Bad{"0x81", "10", "1.2.3.4"},
          Bad{"3", "6", "1"}, Bad{"0x81", "8", "1"}, Bad{"0x81", "10", "many"}}) {
        EXPECT_EQ(
            UsageExit([&] { ParseSettingValue(ParseSettingAddress(bad.category, bad.setting), bad.value); }),
            EXIT_USAGE)
            << bad.category << " " << bad.setting << " " << bad.value;
    }
}

CliOptions Parse(std::vector<const char*> words) {
    words.insert(words.begin(), "zelctl");
    return ParseCommandLine(int(words.size()), words.data());
}

TEST(SettingNames, TheModeIsAskedOnlyForASharedNameAndAnUnresolvedOneListsTheCandidates) {
    int asked = 0;
    const UnitModeFn ipToAsi = [&asked] { return ++asked, 1; };
    EXPECT_EQ(ResolveSetting("multicast-address", ipToAsi).category, 0x81);
    EXPECT_EQ(ResolveSetting("0x82:udp-port", ipToAsi).category, 0x82);
    EXPECT_EQ(ResolveSetting("129", "udp-port", ipToAsi).setting, 10);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(ResolveSetting("udp-port", ipToAsi).category, 0x81);
    EXPECT_EQ(ResolveSetting("udp-port", [] { return 0; }).category, 0x82);
    EXPECT_EQ(asked, 1);

    // A mode that is neither of the two chooses no panel.
    try {
        ResolveSetting("udp-port", [] { return 7; });
        ADD_FAILURE() << "resolved";
    } catch (const CliError& error) {
        EXPECT_EQ(error.ExitCode(), EXIT_USAGE);
        EXPECT_NE(std::string(error.what()).find("0x81:udp-port"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("0x82:udp-port"), std::string::npos) << error.what();
    }
}

TEST(CliOptions, GlobalOptionsStandBeforeOrAfterTheCommand) {
    const CliOptions options = Parse({"dump", "--json", "0x81", "--port=/dev/ttyS1", "--quiet", "--trace"});
    EXPECT_EQ(options.command, "dump");
    EXPECT_TRUE(options.json && options.quiet && options.trace);
    EXPECT_EQ(options.port, "/dev/ttyS1");
    EXPECT_EQ(options.args, std::vector<std::string>{"0x81"});

    // A negative value is an argument, and so is anything after "--".
    CliOptions set = Parse({"--port", "3", "set", "1", "13", "-5", "--yes", "--read-only"});
    EXPECT_EQ(set.port, "3");
    EXPECT_TRUE(set.yes && set.readOnly);
    EXPECT_EQ(set.args, (std::vector<std::string>{"1", "13", "-5"}));
    CliOptions literal = Parse({"backup", "--", "--json"});
    EXPECT_FALSE(literal.json);
    EXPECT_EQ(literal.args, std::vector<std::string>{"--json"});
    EXPECT_TRUE(Parse({"--version"}).version);

    for (std::vector<const char*> bad : {std::vector<const char*>{"info", "--port"},
                                         {"--frob", "info"},
                                         {"--port=", "info"},
                                         {"frobnicate"},
                                         {"info", "--dry-run"}}) {
        EXPECT_EQ(UsageExit([&] { Parse(bad); }), EXIT_USAGE) << bad[0];
    }
}

TEST(CliOptions, CommandOptionsAreTakenOutAndUnknownOnesRefused) {
    const CliOptions options = Parse({"monitor", "1:3", "--interval", "0.5", "0x81:8", "--count=4"});
    EXPECT_TRUE(options.Has("--interval") && options.Has("--count"));
    EXPECT_EQ(options.interval, "0.5");
    EXPECT_EQ(options.count, "4");
    EXPECT_EQ(options.args, (std::vector<std::string>{"1:3", "0x81:8"}));
    const CliOptions upgrade = Parse({"upgrade", "--check", "f.zel", "--firmware", "v2.0"});
    EXPECT_TRUE(upgrade.check && upgrade.Has("--firmware"));
    EXPECT_EQ(upgrade.firmware, "v2.0");
    EXPECT_TRUE(Parse({"restore", "--dry-run", "b.json"}).dryRun);

    EXPECT_EQ(UsageExit([] { Parse({"monitor", "1:3", "--every", "2"}); }), EXIT_USAGE);
    EXPECT_EQ(UsageExit([] { Parse({"monitor", "1:3", "--count"}); }), EXIT_USAGE);
}

TEST(PortChoice, ALoneDigitNamesAPortByNumberAsInTheWindow) {
    CliOptions options;
    options.port = "7";
#ifdef _WIN32
    EXPECT_EQ(ChoosePortName(options), "COM7");
#else
    EXPECT_EQ(ChoosePortName(options), "/dev/ttyUSB7");
#endif
    options.port = "17";
    EXPECT_EQ(ChoosePortName(options), "17");
    options.port = "/dev/ttyS1";
    EXPECT_EQ(ChoosePortName(options), "/dev/ttyS1");
}

TEST(RememberedPort, ReadsTheEntryAsQtWritesIt) {
    struct Case {
        const char* text;
        const char* port;
    };
    const Case cases[] = {
        {"[Zel5100Util]\nComPort=/dev/ttyUSB0\n", "/dev/ttyUSB0"},
        {"[General]\nComPort=/dev/wrong\n[Zel5100Util]\r\nComPort = /dev/ttyS1\r\n", "/dev/ttyS1"},
        {"[Zel5100Util]\nComPort=\"/dev/serial/by-id/usb-FTDI, Inc.-if00\"\n",
         "/dev/serial/by-id/usb-FTDI, Inc.-if00"},
        {"[Zel5100Util]\nComPort=/dev/caf\\xe9\n", "/dev/caf\xc3\xa9"},
        {"[Zel5100Util]\nComPort=@@port\n", "@port"},
        {"[Zel5100Util]\nComPort=@String(/dev/ttyACM0)\n", "/dev/ttyACM0"},
        {"[Zel5100Util]\nComPort=7\n", "7"},
        {"[Zel5100Util]\nOther=1\n", ""},
        {"; comment\n[Zel5100Util]\nComPort=\n", ""},
        {"ComPort=/dev/outside\n", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IniValue(c.text, "Zel5100Util", "ComPort"), c.port) << c.text;
}

TEST(JsonDocument, RoundTripsWhatTheCommandsPrint) {
    Json document = Json::object();
    document["counter"] = uint64_t(18446744073709551615ULL);
    document["signed"] = int64_t(-2);
    document["text"] = "tab\there \"quoted\" \\ \x01";
    document["list"] = Json::array({true, nullptr});

    for (bool indented : {false, true}) {
        Json back;
        std::string error;
        ASSERT_TRUE(ParseJsonDocument(JsonText(document, indented), &back, &error)) << error;
        EXPECT_EQ(back["counter"].get<uint64_t>(), 18446744073709551615ULL);
        int64_t negative = 0;
        ASSERT_TRUE(JsonInt64(back["signed"], &negative));
        EXPECT_EQ(negative, -2);
        EXPECT_EQ(back["text"].get<std::string>(), "tab\there \"quoted\" \\ \x01");
        EXPECT_EQ(back["list"].size(), 2u);
    }
    Json unicode;
    ASSERT_TRUE(ParseJsonDocument("\"\\u00e9\\ud83d\\ude00\"", &unicode, nullptr));
    EXPECT_EQ(unicode.get<std::string>(), "\xc3\xa9\xf0\x9f\x98\x80");
    // Bytes that are not UTF-8 (a port's name) still print.
    EXPECT_EQ(JsonText(Json("a\xff")), "\"a\xef\xbf\xbd\"");
}

TEST(JsonDocument, RefusesMalformedDocumentsAndRepeatedKeysWithoutCrashing) {
    const std::string deep(100000, '[');
    for (const std::string& bad :
         {std::string(""), std::string("{"), std::string("{\"a\" 1}"), std::string("[1,]"), std::string("01"),
          std::string("\"\\ud800\""), std::string("\"a\nb\""), std::string("tru"), std::string("1 2"),
          std::string("\"\\x\""), deep, std::string("{\"a\": 1, \"a\": 2}"),
          std::string("[{\"s\": [{\"v\": 1, \"w\": {}, \"v\": 1}]}]")}) {
        Json value;
        std::string error;
        EXPECT_FALSE(ParseJsonDocument(bad, &value, &error)) << bad.substr(0, 20);
        EXPECT_FALSE(error.empty());
    }
    Json value;
    ASSERT_TRUE(ParseJsonDocument("[{\"a\": 1}, {\"a\": 2, \"b\": {\"a\": 3}}]", &value, nullptr));
    ASSERT_TRUE(ParseJsonDocument("1.5e3", &value, nullptr));
    int64_t whole = 0;
    EXPECT_FALSE(JsonInt64(value, &whole));  // not a whole number as written
}

TEST(BackupFile, KeepsAddressesReadableAndChecksEverySetting) {
    Backup backup;
    backup.deviceType = 5100;
    backup.firmwareVersion = 23;
    backup.mode = 1;
    for (auto [category, setting, value] : {std::tuple{0x81, 12, 0xEF010203u}, std::tuple{0x81, 10, 5004u}}) {
        BackupEntry entry;
        entry.address = CataloguedSetting(category, setting);
        entry.view = FindSettingView(category, setting);
        entry.value = value;
        backup.entries.push_back(entry);
    }
    const std::string text = JsonText(BackupToJson(backup), true);
    EXPECT_NE(text.find("\"239.1.2.3\""), std::string::npos) << text;

    Json document;
    ASSERT_TRUE(ParseJsonDocument(text, &document, nullptr));
    const Backup back = BackupFromJson(document);
    ASSERT_EQ(back.entries.size(), 2u);
    EXPECT_EQ(back.entries[0].value, 0xEF010203u);
    EXPECT_EQ(back.entries[1].value, 5004u);
    EXPECT_EQ(back.deviceType, 5100u);

    // A file as earlier versions wrote it (the time without its zone) still reads.
    const std::string earlier =
        "{\n  \"zelctlBackup\": 1,\n  \"deviceType\": 5100,\n  \"deviceTypeText\": \"ZEL-5100\",\n"
        "  \"firmwareVersion\": 23,\n  \"firmwareVersionText\": \"v2.3\",\n  \"mode\": 1,\n"
        "  \"serialNumber\": 1002345,\n  \"serialNumberText\": \"1.002.345\",\n  \"port\": "
        "\"/dev/ttyUSB0\",\n"
        "  \"created\": \"2024-05-01T12:34:56\",\n  \"settings\": [\n"
        "    {\"category\": 2, \"setting\": 1, \"name\": \"Mode\", \"value\": 1},\n"
        "    {\"category\": 129, \"setting\": 12, \"name\": \"Multicast address\", \"value\": "
        "\"239.1.2.3\"}\n"
        "  ]\n}\n";
    Json old;
    ASSERT_TRUE(ParseJsonDocument(earlier, &old, nullptr));
    const Backup kept = BackupFromJson(old);
    ASSERT_EQ(kept.entries.size(), 2u);
    EXPECT_EQ(kept.entries[1].value, 0xEF010203u);
    EXPECT_EQ(kept.serialNumber, 1002345u);

    const std::string head =
        "{\"zelctlBackup\": 1, \"deviceType\": 5100, \"firmwareVersion\": 23, \"mode\": 1, ";
    for (const std::string& bad : {
             head + "\"settings\": [{\"category\": 129, \"setting\": 10, \"value\": 1}, "
                    "{\"category\": 129, \"setting\": 10, \"value\": 2}]}",                // twice
             head + "\"settings\": [{\"category\": 129, \"setting\": 3, \"value\": 1}]}",  // read-only
             head +
                 "\"settings\": [{\"category\": 144, \"setting\": 1, \"value\": 1}]}",  // not in the window
             head + "\"settings\": [{\"category\": 129, \"setting\": 10, \"value\": \"1\"}]}",  // text
             head + "\"settings\": [{\"category\": 129, \"setting\": 10, \"value\": -1}]}",
             head + "\"settings\": {}}",
             std::string("{\"zelctlBackup\": 2, \"deviceType\": 5100, \"firmwareVersion\": 23, \"mode\": 1, "
                         "\"settings\": []}"),
         }) {
        Json parsed;
        ASSERT_TRUE(ParseJsonDocument(bad, &parsed, nullptr)) << bad;
        EXPECT_EQ(UsageExit([&] { BackupFromJson(parsed); }), EXIT_USAGE) << bad;
    }
}

}  // namespace
