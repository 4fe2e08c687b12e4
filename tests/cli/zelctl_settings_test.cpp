// get, set, dump, info and monitor against the simulator.
#include <cstdint>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "json_document.h"
#include "zelctl_fixture.h"

namespace {

class SettingsTest : public ZelctlTest {
protected:
    void SetUp() override { StartSimulator(); }
};

TEST_F(SettingsTest, GetModeTracesExactlyOneRequestAndItsReply) {
    const ProcessResult result = OnDevice({"--trace", "get", "2", "1"});
    ASSERT_EQ(result.exitCode, 0) << Describe({"get 2 1"}, result);
    EXPECT_EQ(result.out, "1\n");

    const std::vector<TracedFrame> frames = TracedFrames(result.err);
    ASSERT_EQ(frames.size(), 2u) << result.err;
    EXPECT_EQ(frames[0].direction, "TX");
    EXPECT_EQ(frames[0].count, 11);
    EXPECT_EQ(frames[0].hex, "02 34 30 30 32 30 31 72 36 37 03");
    EXPECT_EQ(frames[1].direction, "RX");
    EXPECT_EQ(frames[1].count, 13);
    EXPECT_EQ(frames[1].hex, "02 34 30 30 32 30 31 52 30 31 32 36 03");
    // The text column names the frame's delimiters.
    EXPECT_NE(result.err.find("<STX>400201r67<ETX>"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("<STX>400201R0126<ETX>"), std::string::npos) << result.err;
}

struct FormattedGet {
    const char* category;
    const char* setting;
    const char* expected;
};

TEST_F(SettingsTest, GetShowsAddressesMacAndDecimalByTheSettingsType) {
    const FormattedGet cases[] = {
        {"3", "1", "192.168.0.10"}, {"3", "2", "255.255.255.0"}, {"0x03", "6", "02.00.00.12.34.56"},
        {"1", "3", "23"},           {"1", "5", "5100"},
    };
    for (const FormattedGet& c : cases) {
        const ProcessResult result = OnDevice({"get", c.category, c.setting});
        EXPECT_EQ(result.exitCode, 0) << Describe({"get", c.category, c.setting}, result);
        EXPECT_EQ(result.out, std::string(c.expected) + "\n") << c.category << " " << c.setting;
    }
}

TEST_F(SettingsTest, GetOfAnEightByteCounterPrintsAllSixtyFourBits) {
    const ProcessResult result = OnDevice({"get", "0x81", "8"});
    ASSERT_EQ(result.exitCode, 0) << Describe({"get 0x81 8"}, result);
    const uint64_t counter = std::stoull(Trimmed(result.out));
    EXPECT_GT(counter, uint64_t(UINT32_MAX)) << result.out;

    const ProcessResult json = OnDevice({"--json", "get", "0x81", "8"});
    Json document;
    std::string error;
    ASSERT_TRUE(ParseJsonDocument(json.out, &document, &error)) << error << "\n" << json.out;
    ASSERT_TRUE(document.contains("value") && document["value"].is_number_unsigned());
    EXPECT_GE(document["value"].get<uint64_t>(), counter);
    EXPECT_EQ(document["name"], "IP lost after FEC");
}

TEST_F(SettingsTest, PairsNotInTheCatalogueAreUsageErrorsThatNameThem) {
    struct Case {
        std::vector<std::string> args;
        const char* named;
    };
    const Case cases[] = {
        {{"get", "3", "0"}, "0x03 setting 0"},       {{"get", "0x82", "2"}, "0x82 setting 2"},
        {{"get", "4", "1"}, "category 4"},           {{"set", "3", "0", "1"}, "0x03 setting 0"},
        {{"monitor", "0x81:99"}, "0x81 setting 99"}, {{"get", "two", "1"}, "'two'"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "--trace");
        const ProcessResult result = OnDevice(args);
        EXPECT_EQ(result.exitCode, 2) << Describe(args, result);
        EXPECT_NE(result.err.find(c.named), std::string::npos) << Describe(args, result);
        // Refused before anything went to the device.
        EXPECT_TRUE(TracedFrames(result.err).empty()) << result.err;
        EXPECT_TRUE(result.out.empty());
    }
}

TEST_F(SettingsTest, SetPrintsTheValueTheDeviceHoldsAfterwards) {
    ProcessResult result = OnDevice({"set", "0x81", "10", "6000"});
    ASSERT_EQ(result.exitCode, 0) << Describe({"set 0x81 10 6000"}, result);
    EXPECT_EQ(result.out, "6000\n");
    EXPECT_EQ(OnDevice({"get", "0x81", "10"}).out, "6000\n");

    result = OnDevice({"set", "0x81", "10", "5004"});
    ASSERT_EQ(result.exitCode, 0) << Describe({"set 0x81 10 5004"}, result);
    EXPECT_EQ(result.out, "5004\n");

    result = OnDevice({"set", "0x81", "12", "239.1.2.99"});
    ASSERT_EQ(result.exitCode, 0) << Describe({"set 0x81 12 239.1.2.99"}, result);
    EXPECT_EQ(result.out, "239.1.2.99\n");

    result = OnDevice({"set", "0x81", "0xA", "0x1389"});
    ASSERT_EQ(result.exitCode, 0) << Describe({"set 0x81 0xA 0x1389"}, result);
    EXPECT_EQ(result.out, "5001\n");
}

TEST_F(SettingsTest, AValueTheDeviceRefusesExitsOneNamingTheResult) {
    const std::string before = OnDevice({"get", "0x81", "11"}).out;
    // IP-to-output delay takes 1..9942.
    const ProcessResult result = OnDevice({"set", "0x81", "11", "20000"});
    EXPECT_EQ(result.exitCode, 1) << Describe({"set 0x81 11 20000"}, result);
    // One line, naming the result once, in the user's words.
    EXPECT_EQ(result.err,
              "zelctl: writing 0x81 11 (IP-to-output delay) failed: ZEL_E_ERROR_REPLY "
              "(the device refused the request or the value)\n");
    EXPECT_TRUE(result.out.empty());
    EXPECT_EQ(OnDevice({"get", "0x81", "11"}).out, before);
}

TEST_F(SettingsTest, ValuesThatDoNotFitTheSettingAreRefusedNotCut) {
    const std::vector<std::vector<std::string>> cases = {
        {"set", "0x82", "13", "300"},          // one byte: 300 would go out as 44
        {"set", "0x81", "10", "65536"},        // two bytes
        {"set", "0x81", "12", "239.1.2"},      // three octets
        {"set", "0x81", "12", "239.1.2.300"},  // an octet beyond 255
        {"set", "3", "6", "1"},                // the 6-byte MAC address
        {"set", "0x81", "10", "-1"},
    };
    for (const std::vector<std::string>& args : cases) {
        const ProcessResult result = OnDevice(args);
        EXPECT_EQ(result.exitCode, 2) << Describe(args, result);
    }
}

TEST_F(SettingsTest, DumpShowsThePanelsOfTheCurrentModeAsTheWindowDoes) {
    const ProcessResult text = OnDevice({"dump"});
    ASSERT_EQ(text.exitCode, 0) << Describe({"dump"}, text);
    const std::regex line(R"(^0x([0-9A-F]{2}) +(\d+)  (.+?) +(\S+)$)");
    std::map<std::string, std::string> values;
    std::istringstream lines(text.out);
    for (std::string l; std::getline(lines, l);) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(l, match, line)) << l;
        values["0x" + match[1].str() + " " + match[2].str()] = match[4];
    }
    EXPECT_EQ(values["0x01 1"], "v7");
    EXPECT_EQ(values["0x01 3"], "v2.3");
    EXPECT_EQ(values["0x01 4"], "1.002.345");
    EXPECT_EQ(values["0x01 5"], "ZEL-5100");
    EXPECT_EQ(values["0x03 1"], "192.168.0.10");
    EXPECT_EQ(values["0x03 6"], "02.00.00.12.34.56");
    // The delay factor in microseconds, from thousandths.
    EXPECT_TRUE(std::regex_match(values["0x81 25"], std::regex(R"(\d+(\.\d{1,3})?)"))) << values["0x81 25"];
    // Mode 1: the IP receive and ASI/SPI output panels, not transmit and input.
    EXPECT_TRUE(values.count("0x84 3"));
    EXPECT_FALSE(values.count("0x82 1"));
    EXPECT_FALSE(values.count("0x83 1"));

    const ProcessResult json = OnDevice({"dump", "--json", "0x82"});
    ASSERT_EQ(json.exitCode, 0) << Describe({"dump --json 0x82"}, json);
    Json document;
    std::string error;
    ASSERT_TRUE(ParseJsonDocument(json.out, &document, &error)) << error << "\n" << json.out;
    const Json& settings = document["settings"];
    ASSERT_TRUE(settings.is_array());
    ASSERT_EQ(settings.size(), 12u);
    const Json& address = settings[4];
    EXPECT_EQ(address["setting"], 6);
    EXPECT_EQ(address["name"], "IP address");
    EXPECT_TRUE(std::regex_match(address["text"].get<std::string>(), std::regex(R"(\d+\.\d+\.\d+\.\d+)")));
}

TEST_F(SettingsTest, InfoShowsTheIdentityInTheWindowsFormats) {
    const ProcessResult text = OnDevice({"info"});
    ASSERT_EQ(text.exitCode, 0) << Describe({"info"}, text);
    for (const char* expected : {"ZEL-5100", "1 (IP to ASI)", "v7", "v3", "v2.3", "1.002.345"}) {
        EXPECT_NE(text.out.find(expected), std::string::npos) << expected << "\n" << text.out;
    }
    const ProcessResult json = OnDevice({"info", "--json"});
    Json document;
    std::string error;
    ASSERT_TRUE(ParseJsonDocument(json.out, &document, &error)) << error << "\n" << json.out;
    EXPECT_EQ(document["type"], 5100);
    EXPECT_EQ(document["firmwareVersionText"], "v2.3");
    EXPECT_EQ(document["serialNumberText"], "1.002.345");
}

TEST_F(SettingsTest, MonitorPrintsOneTimestampedLinePerPoll) {
    const ProcessResult text = OnDevice({"monitor", "0x81:8", "3:1", "--interval", "0.05", "--count", "3"});
    ASSERT_EQ(text.exitCode, 0) << Describe({"monitor"}, text);
    const std::regex line(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3} 0x81:8=\d{10,} 0x03:1=192\.168\.0\.10$)");
    std::istringstream lines(text.out);
    int count = 0;
    for (std::string l; std::getline(lines, l); ++count)
        EXPECT_TRUE(std::regex_match(l, line)) << l;
    EXPECT_EQ(count, 3);

    const ProcessResult json = OnDevice({"--json", "monitor", "0x81:9", "--count=2", "--interval=0"});
    ASSERT_EQ(json.exitCode, 0) << Describe({"monitor --json"}, json);
    std::istringstream jsonLines(json.out);
    count = 0;
    for (std::string l; std::getline(jsonLines, l); ++count) {
        Json document;
        std::string error;
        ASSERT_TRUE(ParseJsonDocument(l, &document, &error)) << error << "\n" << l;
        ASSERT_TRUE(document.contains("values") && document["values"].size() == 1);
        EXPECT_TRUE(document["time"].is_string());
    }
    EXPECT_EQ(count, 2);
}

}  // namespace
