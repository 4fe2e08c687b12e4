// The units of a fleet command: --port given several times and the ports file.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "cli_errors.h"
#include "cli_options.h"
#include "fleet_ports.h"
#include "temp_folder.h"

namespace fs = std::filesystem;

namespace {

class FleetPortsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = MakeTempFolder("zel-fleet");
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string PortsFile(const std::string& text) {
        const std::string path = dir_ + "/ports";
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    static CliOptions Parse(std::vector<const char*> words) {
        words.insert(words.begin(), "zelctl");
        return ParseCommandLine(int(words.size()), words.data());
    }
    // The usage error's message, or "" when none was thrown.
    static std::string Refusal(const std::function<void()>& action) {
        try {
            action();
        } catch (const CliError& error) {
            EXPECT_EQ(error.ExitCode(), EXIT_USAGE) << error.what();
            return error.what();
        }
        return "";
    }

    std::string dir_;
};

TEST_F(FleetPortsTest, LinesHoldAPortAndAnOptionalLabelWithCommentsAndBlanksSkipped) {
    const std::string path = PortsFile(
        "# rack 3\n"
        "\n"
        "/dev/ttyUSB0   studio-a   # top unit\n"
        "  tcp://10.0.0.7:4001\r\n"
        "\t/dev/ttyUSB1\tstudio-b\n"
        "   # indented comment\n"
        "/dev/ttyUSB2#no space before the comment");
    const std::vector<FleetPort> ports = ReadPortsFile(path);
    ASSERT_EQ(ports.size(), 4u);
    EXPECT_EQ(ports[0].name, "/dev/ttyUSB0");
    EXPECT_EQ(ports[0].label, "studio-a");
    EXPECT_EQ(ports[0].Display(), "studio-a");
    EXPECT_EQ(ports[1].name, "tcp://10.0.0.7:4001");
    EXPECT_EQ(ports[1].label, "");
    EXPECT_EQ(ports[1].Display(), "tcp://10.0.0.7:4001");
    EXPECT_EQ(ports[2].label, "studio-b");
    EXPECT_EQ(ports[3].name, "/dev/ttyUSB2");
}

TEST_F(FleetPortsTest, BadFilesAreRefusedNamingFileAndLine) {
    const struct {
        const char* text;
        const char* words;
    } cases[] = {
        {"/dev/ttyUSB0 a\n/dev/ttyUSB1 b extra\n", "ports:2"},
        {"/dev/ttyUSB0 a\n\n/dev/ttyUSB0 b\n", "ports:3: port /dev/ttyUSB0 is listed twice"},
        {"/dev/ttyUSB0 a\n/dev/ttyUSB1 a\n", "ports:2: label a is given to two ports"},
    };
    for (const auto& c : cases) {
        const std::string path = PortsFile(c.text);
        const std::string message = Refusal([&] { ReadPortsFile(path); });
        EXPECT_NE(message.find(c.words), std::string::npos) << c.text << "\n" << message;
    }
    const std::string missing = dir_ + "/none";
    EXPECT_NE(Refusal([&] { ReadPortsFile(missing); }).find(missing), std::string::npos);
}

TEST_F(FleetPortsTest, PortOptionsComeFirstThenTheFileAndTheFirstPortStaysThePort) {
    const std::string path = PortsFile("/dev/ttyUSB5 five\n");
    const CliOptions options =
        Parse({"--port", "/dev/ttyUSB1", "info", "--port=/dev/ttyUSB2", "--ports-file", path.c_str()});
    EXPECT_EQ(options.port, "/dev/ttyUSB1");
    const std::vector<FleetPort> ports = FleetPortsFromOptions(options);
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].name, "/dev/ttyUSB1");
    EXPECT_EQ(ports[1].name, "/dev/ttyUSB2");
    EXPECT_EQ(ports[2].Display(), "five");

    EXPECT_TRUE(FleetPortsFromOptions(Parse({"info"})).empty());
    EXPECT_EQ(FleetPortsFromOptions(Parse({"--port", "/dev/ttyS0", "info"})).size(), 1u);
    // The same port from the command line and the file would be two threads on one line.
    const std::string again = PortsFile("/dev/ttyS0\n");
    EXPECT_NE(
        Refusal([&] {
            FleetPortsFromOptions(Parse({"--port", "/dev/ttyS0", "--ports-file", again.c_str(), "info"}));
        }).find("listed twice"),
        std::string::npos);
    const std::string empty = PortsFile("# nothing yet\n");
    EXPECT_NE(Refusal([&] {
                  FleetPortsFromOptions(Parse({"--ports-file", empty.c_str(), "info"}));
              }).find("lists no port"),
              std::string::npos);
    EXPECT_NE(Refusal([] { Parse({"info", "--ports-file"}); }).find("--ports-file"), std::string::npos);
}

}  // namespace
