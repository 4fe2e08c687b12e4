// What keeps zelctl from touching a unit unasked: set only of writable settings,
// --read-only, dry runs, checks without a port, and the question on a terminal.
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "firmware_builder.h"
#include "json_document.h"
#include "zel_version.h"
#include "zelctl_fixture.h"

extern char** environ;

namespace {

std::string AsText(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

class SafetyTest : public ZelctlTest {};

TEST_F(SafetyTest, SetOfASettingTheWindowDoesNotWriteSendsNoFrame) {
    StartSimulator();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"set", "1", "3", "5"},  // firmware version: shown only
          {"set", "firmware-version", "5"},                // the same by name
          {"set", "0x81", "3", "1"},                       // FEC delay: shown only
          {"set", "3", "5", "1"},                          // reboot: zelctl reboot does that
          {"set", "0x80", "3", "1"}}) {                    // the upgrade's own commands
        std::vector<std::string> traced = {"--trace"};
        traced.insert(traced.end(), args.begin(), args.end());
        const ProcessResult result = OnDevice(traced);
        EXPECT_EQ(result.exitCode, 2) << Describe(traced, result);
        EXPECT_TRUE(TracedFrames(result.err).empty()) << Describe(traced, result);
        EXPECT_NE(result.err.find("cannot be written"), std::string::npos) << result.err;
    }
}

TEST_F(SafetyTest, ReadOnlyRefusesEveryWriteAndSendsNone) {
    StartSimulator();
    const std::string backup = Home().File("unit.json");
    ASSERT_EQ(OnDevice({"backup", backup}).exitCode, 0);
    const std::string firmware = Home().File("new.zel");
    WriteFile(firmware, AsText(BuildFirmwareFile(FirmwareSpec())));
    const std::string before = OnDevice({"get", "0x81", "10"}).out;

    const std::vector<std::vector<std::string>> writes = {{"set", "udp-port", "4000"},
                                                          {"set", "2", "1", "0"},
                                                          {"reboot"},
                                                          {"restore", backup},
                                                          {"upgrade", firmware}};
    for (bool byEnvironment : {false, true}) {
        if (byEnvironment) AddEnvironment("ZELCTL_READ_ONLY=1");
        for (std::vector<std::string> args : writes) {
            args.insert(args.begin(), "--trace");
            if (!byEnvironment) args.insert(args.begin(), "--read-only");
            const ProcessResult result = OnDevice(args);
            EXPECT_EQ(result.exitCode, 2) << Describe(args, result);
            EXPECT_EQ(WritesIn(result.err), 0) << Describe(args, result);
            EXPECT_NE(result.err.find("read-only"), std::string::npos) << result.err;
        }
        // Reading stays possible.
        EXPECT_EQ(OnDevice({"get", "0x81", "10"}).out, before);
        EXPECT_EQ(OnDevice({"restore", "--dry-run", backup}).exitCode, 0);
    }
}

TEST_F(SafetyTest, RestoreDryRunReadsTheDeviceAndWritesNothing) {
    StartSimulator();
    const std::string backup = Home().File("unit.json");
    ASSERT_EQ(OnDevice({"backup", backup}).exitCode, 0);
    const std::string port = Trimmed(OnDevice({"get", "0x81", "10"}).out);
    const std::string changed = port == "4321" ? "4322" : "4321";
    ASSERT_EQ(OnDevice({"set", "0x81", "10", changed}).exitCode, 0);

    const ProcessResult result = OnDevice({"--trace", "restore", "--dry-run", backup});
    ASSERT_EQ(result.exitCode, 0) << Describe({"restore --dry-run"}, result);
    EXPECT_EQ(WritesIn(result.err), 0) << result.err;
    EXPECT_FALSE(TracedFrames(result.err).empty());
    EXPECT_EQ(result.out, "0x81 10 (UDP port): device " + changed + ", backup " + port + "\n");
    EXPECT_EQ(Trimmed(OnDevice({"get", "0x81", "10"}).out), changed);

    const ProcessResult json = OnDevice({"--json", "restore", "--dry-run", backup});
    ASSERT_EQ(json.exitCode, 0) << Describe({"--json restore --dry-run"}, json);
    Json document;
    std::string error;
    ASSERT_TRUE(ParseJsonDocument(json.out, &document, &error)) << error << "\n" << json.out;
    ASSERT_EQ(document["changes"].size(), 1u) << json.out;
    EXPECT_EQ(document["changes"][0]["backup"], port);
}

TEST_F(SafetyTest, UpgradeCheckNeedsNoPortAndNamesTheLowestUnitFirmware) {
    struct Case {
        FirmwareSpec recipe;
        std::string unitFirmware;  // --firmware; "" for none
        int exitCode;
        const char* text;  // in stdout for 0, in stderr otherwise
    };
    FirmwareSpec plain;
    plain.major = 1;
    plain.minor = 5;
    FirmwareSpec zlib = plain;
    zlib.compressed = true;
    FirmwareSpec newer = plain;
    newer.major = 2;
    newer.minor = 1;
    FirmwareSpec lzw = zlib;
    lzw.zlib = false;
    const Case cases[] = {
        {plain, "", 0, "unit firmware needed: any"},
        {zlib, "", 0, "unit firmware needed: v1.4 or newer"},
        {newer, "", 0, "unit firmware needed: v2.0 or newer"},
        {lzw, "", 3, "LZW compression is no longer supported for the ZEL-5100"},
        {zlib, "13", 3, "please upgrade to version 1.4 or higher first"},
        {newer, "19", 3, "please upgrade to version 2.0 first"},
        {newer, "v2.3", 0, "A unit with firmware v2.3 can take it."},
    };
    // No --port, no ZELCTL_PORT and no port remembered: none is needed.
    for (const Case& c : cases) {
        const std::string path = Home().File("check.zel");
        WriteFile(path, AsText(BuildFirmwareFile(c.recipe)));
        std::vector<std::string> args = {"upgrade", "--check", path};
        if (!c.unitFirmware.empty()) args.insert(args.end(), {"--firmware", c.unitFirmware});
        const ProcessResult result = Zelctl(args);
        EXPECT_EQ(result.exitCode, c.exitCode) << Describe(args, result);
        EXPECT_NE((c.exitCode == 0 ? result.out : result.err).find(c.text), std::string::npos)
            << Describe(args, result);
    }
    const std::string path = Home().File("check.zel");
    WriteFile(path, AsText(BuildFirmwareFile(newer)));
    const ProcessResult json = Zelctl({"--json", "upgrade", "--check", path});
    Json document;
    ASSERT_TRUE(ParseJsonDocument(json.out, &document, nullptr)) << json.out;
    EXPECT_EQ(document["minUnitFirmware"], 20);
    EXPECT_EQ(Zelctl({"upgrade", "--check", path, "--firmware", "two"}).exitCode, 2);
}

TEST_F(SafetyTest, ThePortComesFromZelctlPortUnlessGivenOnTheCommandLine) {
    StartSimulator();
    AddEnvironment("ZELCTL_PORT=" + Port());
    ProcessResult result = Zelctl({"get", "2", "1"});
    EXPECT_EQ(result.exitCode, 0) << Describe({"get 2 1"}, result);
    EXPECT_EQ(result.out, "1\n");

    AddEnvironment("ZELCTL_PORT=" + Home().File("no-such-port"));
    result = Zelctl({"get", "2", "1"});
    EXPECT_EQ(result.exitCode, 1) << Describe({"get 2 1"}, result);
    EXPECT_NE(result.err.find(Home().File("no-such-port")), std::string::npos) << result.err;
    result = OnDevice({"get", "2", "1"});
    EXPECT_EQ(result.exitCode, 0) << Describe({"--port get 2 1"}, result);
}

// zelctl with a pseudo-terminal as its standard input, output and error, as in a
// terminal window; every wait is bounded.
class TerminalRun {
public:
    TerminalRun(std::vector<std::string> words, const std::vector<std::string>& environment) {
        // Everything the child needs is made before the fork.
        std::vector<std::string> entries = environment;
        for (char** entry = environ; *entry; ++entry)
            entries.push_back(*entry);
        std::vector<char*> argv, envp;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        for (std::string& entry : entries)
            envp.push_back(entry.data());
        envp.push_back(nullptr);  // the first of two equal names wins in getenv
        pid_ = forkpty(&master_, nullptr, nullptr, nullptr);
        if (pid_ == 0) {
            execve(argv[0], argv.data(), envp.data());
            _exit(127);
        }
    }
    ~TerminalRun() {
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0) close(master_);
    }

    bool Started() const { return pid_ > 0; }
    // Reads until `text` has appeared or the output ended or the limit ran out.
    bool WaitFor(const std::string& text, int limitMs) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        while (output_.find(text) == std::string::npos && std::chrono::steady_clock::now() < end) {
            if (ReadSome(100) == Closed) break;
        }
        return output_.find(text) != std::string::npos;
    }
    void Type(const std::string& text) {
        ASSERT_EQ(write(master_, text.data(), text.size()), ssize_t(text.size()));
    }
    // The exit status once the program has ended; -1 when it did not within the limit.
    int Finish(int limitMs) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        while (std::chrono::steady_clock::now() < end) {
            ReadSome(100);
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                ended_ = true;
                while (ReadSome(0) == Read) {
                }
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
        }
        return -1;
    }
    const std::string& Output() const { return output_; }

private:
    enum Outcome { Read, Nothing, Closed };
    Outcome ReadSome(int waitMs) {
        pollfd ready{master_, POLLIN, 0};
        if (poll(&ready, 1, waitMs) <= 0) return Nothing;
        char buffer[4096];
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n <= 0) return Closed;  // EIO: the program's side has closed
        output_.append(buffer, size_t(n));
        return Read;
    }

    pid_t pid_ = -1;
    int master_ = -1;
    bool ended_ = false;
    std::string output_;
};

TEST_F(SafetyTest, OffAirActionsAreConfirmedOnATerminalUnlessYes) {
    StartSimulator();
    {
        // Declined: nothing written, the unit stays up.
        TerminalRun run(Argv({"--port", Port(), "--trace", "reboot"}), Environment());
        ASSERT_TRUE(run.Started());
        ASSERT_TRUE(run.WaitFor("[y/N]", kZelctlLimitMs)) << run.Output();
        run.Type("n\n");
        EXPECT_EQ(run.Finish(kZelctlLimitMs), 2) << run.Output();
        EXPECT_EQ(WritesIn(run.Output()), 0) << run.Output();
        EXPECT_NE(run.Output().find("not confirmed"), std::string::npos) << run.Output();
    }
    {
        TerminalRun run(Argv({"--port", Port(), "set", "mode", "0"}), Environment());
        ASSERT_TRUE(run.WaitFor("[y/N]", kZelctlLimitMs)) << run.Output();
        run.Type("y\n");
        EXPECT_EQ(run.Finish(kZelctlLimitMs), 0) << run.Output();
        EXPECT_NE(run.Output().find("The device answers again"), std::string::npos) << run.Output();
    }
    {
        TerminalRun run(Argv({"--port", Port(), "--yes", "reboot"}), Environment());
        EXPECT_EQ(run.Finish(kZelctlLimitMs), 0) << run.Output();
        EXPECT_EQ(run.Output().find("[y/N]"), std::string::npos) << run.Output();
    }
    // Plain settings are not asked for.
    TerminalRun plain(Argv({"--port", Port(), "set", "0x82:udp-port", "4000"}), Environment());
    EXPECT_EQ(plain.Finish(kZelctlLimitMs), 0) << plain.Output();
    EXPECT_EQ(plain.Output().find("[y/N]"), std::string::npos) << plain.Output();
}

// Runs a program to its end with nothing but `args`.
ProcessResult RunAlone(const std::string& program, const std::vector<std::string>& args) {
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv, {"QT_QPA_PLATFORM=offscreen", "LC_ALL=C"}, kZelctlLimitMs);
}

TEST(Programs, VersionAndHelpExitZeroWithTheOneVersion) {
    std::vector<std::pair<std::string, std::string>> programs = {{ZELCTL_PATH, "zelctl"},
                                                                 {ZEL_SIM_PATH, "zel5100-sim"}};
#ifdef ZEL5100UTIL_PATH
    programs.emplace_back(ZEL5100UTIL_PATH, "zel5100util");
#endif
    for (const auto& [path, name] : programs) {
        const ProcessResult version = RunAlone(path, {"--version"});
        EXPECT_EQ(version.exitCode, 0) << name << "\n" << version.err;
        EXPECT_EQ(version.out, name + " " + ZEL_VERSION_TEXT + "\n");
        const ProcessResult help = RunAlone(path, {"--help"});
        EXPECT_EQ(help.exitCode, 0) << name << "\n" << help.err;
        EXPECT_NE(help.out.find("--help"), std::string::npos) << help.out;
        EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;
    }
}

}  // namespace
