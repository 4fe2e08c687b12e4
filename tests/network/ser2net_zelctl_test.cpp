// zelctl through ser2net, raw and with COM Port Control: the same results as on the
// terminal itself, the server's refusals in its own words, a lost server reported.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <regex>
#include <string>

#include "delay_proxy.h"
#include "firmware_builder.h"
#include "ser2net_fixture.h"

namespace {

std::string AsText(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// Several parts long, and full of bytes Telnet has to escape.
std::vector<uint8_t> LargeFirmware(int imageSize) {
    FirmwareSpec recipe;
    recipe.compressed = true;
    recipe.major = 2;
    recipe.minor = 4;
    recipe.imageSize = imageSize;
    recipe.randomPayload = true;
    return BuildFirmwareFile(recipe);
}

// Output with the port's name and the backup's creation time taken out: all that
// may differ between the terminal and the server.
std::string Comparable(std::string text, const std::string& port) {
    for (size_t at = text.find(port); at != std::string::npos; at = text.find(port, at))
        text.replace(at, port.size(), "PORT");
    static const std::regex created(R"re("created": "[^"]*")re");
    return std::regex_replace(text, created, "\"created\": \"\"");
}

class Ser2netCommandTest : public Ser2netTest {};

TEST_P(Ser2netCommandTest, InfoDumpAndBackupReadAsOnTheTerminalAndRestoreWrites) {
    StartBehindSer2net({"--still-counters"});
    if (IsSkipped() || HasFatalFailure()) return;
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"info"}, {"dump"}, {"dump", "--json"}, {"backup", "-"}}) {
        const ProcessResult direct = OnDevice(command);
        const ProcessResult networked = OnServer(command);
        ASSERT_EQ(direct.exitCode, 0) << Describe(command, direct);
        ASSERT_EQ(networked.exitCode, 0) << Describe(command, networked);
        EXPECT_EQ(Comparable(networked.out, Server().PortName()), Comparable(direct.out, Port()))
            << command[0];
    }

    const std::string file = Home().File("unit.json");
    ASSERT_EQ(OnServer({"backup", file}).exitCode, 0);
    const std::string before = Trimmed(OnDevice({"get", "0x81", "10"}).out);
    ASSERT_EQ(OnDevice({"set", "0x81", "10", before == "4321" ? "4322" : "4321"}).exitCode, 0);
    const ProcessResult restore = OnServer({"restore", file});
    ASSERT_EQ(restore.exitCode, 0) << Describe({"restore"}, restore);
    EXPECT_EQ(Trimmed(OnDevice({"get", "0x81", "10"}).out), before);
}

TEST_P(Ser2netCommandTest, AMultiPartUpgradeArrivesByteExact) {
    const std::string received = Home().File("received.zel");
    StartBehindSer2net({"--image-out", received});
    if (IsSkipped() || HasFatalFailure()) return;
    const std::vector<uint8_t> file = LargeFirmware(5000);
    ASSERT_GT(file.size(), 3u * 1024);
    ASSERT_NE(std::count(file.begin(), file.end(), 0xFF), 0) << "no byte for Telnet to escape";
    const std::string path = Home().File("new.zel");
    WriteFile(path, AsText(file));

    const ProcessResult result = OnServer({"upgrade", path});
    ASSERT_EQ(result.exitCode, 0) << Describe({"upgrade"}, result);
    EXPECT_EQ(ReadFile(received), AsText(file));
    EXPECT_EQ(result.out, "v2.4\n");
}

TEST_P(Ser2netCommandTest, ASecondClientIsToldTheServersReason) {
    StartBehindSer2net();
    if (IsSkipped() || HasFatalFailure()) return;
    // ser2net takes connections in the order they came: this one holds the line.
    const int holder = ConnectLoopback(Server().Port());
    ASSERT_GE(holder, 0);
    const ProcessResult result = OnServer({"info"});
    ::close(holder);
    EXPECT_NE(result.exitCode, 0) << Describe({"info"}, result);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("Port already in use"), std::string::npos) << Describe({"info"}, result);
}

TEST_P(Ser2netCommandTest, InfoAndDumpWorkWithARoundTripOf150Ms) {
    StartBehindSer2net({"--still-counters"});
    if (IsSkipped() || HasFatalFailure()) return;
    DelayProxy proxy(Server().Port(), 75);
    ASSERT_GT(proxy.Port(), 0);
    const std::string scheme = GetParam() == Ser2netMode::kRfc2217 ? "rfc2217://" : "tcp://";
    const std::string far = scheme + "127.0.0.1:" + std::to_string(proxy.Port());
    for (const std::vector<std::string>& command : {std::vector<std::string>{"info"}, {"dump"}}) {
        const ProcessResult direct = OnDevice(command);
        const ProcessResult networked = Through(far, command);
        ASSERT_EQ(networked.exitCode, 0) << Describe(command, networked);
        EXPECT_EQ(Comparable(networked.out, far), Comparable(direct.out, Port())) << command[0];
    }
}

// The server gone in the middle of an operation: a clear error, within the engine's
// bounded attempts, never a hang.
void ExpectLostServerReported(const ProcessResult& result, const std::string& what) {
    EXPECT_FALSE(result.timedOut) << what;
    EXPECT_GT(result.exitCode, 0) << what << "\n" << result.err;
    EXPECT_FALSE(Trimmed(result.err).empty()) << what;
    EXPECT_EQ(result.err.find("Finished"), std::string::npos) << what << "\n" << result.err;
}

TEST_P(Ser2netCommandTest, KillingTheServerMidDumpEndsWithAnError) {
    // Slow replies, so that the dump is still reading when the server goes.
    StartBehindSer2net({"--pacing", "--turnaround-us", "40000"});
    if (IsSkipped() || HasFatalFailure()) return;
    auto dump = StartZelctl({"--port", Server().PortName(), "dump"});
    ASSERT_TRUE(dump->WaitUntil(
        [](const ProcessResult& r) { return std::count(r.out.begin(), r.out.end(), '\n') >= 4; },
        kZelctlLimitMs))
        << "the dump ended early";
    Server().Kill();
    ExpectLostServerReported(Checked({"dump"}, dump->Finish(kZelctlLimitMs)), "dump");
}

TEST_P(Ser2netCommandTest, KillingTheServerMidUpgradeEndsWithAnError) {
    StartBehindSer2net({"--pacing", "--turnaround-us", "40000"});
    if (IsSkipped() || HasFatalFailure()) return;
    const std::string path = Home().File("new.zel");
    WriteFile(path, AsText(LargeFirmware(60000)));
    auto upgrade = StartZelctl({"--port", Server().PortName(), "upgrade", path});
    ASSERT_TRUE(upgrade->WaitUntil(
        [](const ProcessResult& r) { return r.err.find("Uploading, current progress") != std::string::npos; },
        kZelctlLimitMs))
        << "the upload did not start";
    Server().Kill();
    ExpectLostServerReported(Checked({"upgrade"}, upgrade->Finish(kZelctlLimitMs)), "upgrade");
}

INSTANTIATE_TEST_SUITE_P(Ser2net, Ser2netCommandTest,
                         ::testing::Values(Ser2netMode::kRaw, Ser2netMode::kRfc2217), ModeName);

// COM Port Control sets the line: ser2net opens it at 9600 7E2, the tool asks for the
// device's 115200 8N1 without flow control.
class Rfc2217LineTest : public Ser2netTest {};

TEST_P(Rfc2217LineTest, TheClientSetsTheDevicesLineSettings) {
    StartBehindSer2net({}, "9600e72");
    if (IsSkipped() || HasFatalFailure()) return;
    // Held open by the test, the terminal keeps what was last set on it.
    const int terminal = ::open(Port().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(terminal, 0);
    const ProcessResult result = OnServer({"info"});
    termios line{};
    ASSERT_EQ(::tcgetattr(terminal, &line), 0);
    ::close(terminal);
    ASSERT_EQ(result.exitCode, 0) << Describe({"info"}, result);
    EXPECT_EQ(cfgetospeed(&line), B115200);
    EXPECT_EQ(cfgetispeed(&line), B115200);
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & PARENB, 0u);
    EXPECT_EQ(line.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(line.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF), 0u);
}

INSTANTIATE_TEST_SUITE_P(Ser2net, Rfc2217LineTest, ::testing::Values(Ser2netMode::kRfc2217), ModeName);

}  // namespace
