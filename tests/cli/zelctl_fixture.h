// zelctl run against a simulated ZEL-5100 served by zel5100-sim, with a home and
// settings directory of the test's own so that no real settings are read.
#pragma once

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "process_harness.h"
#include "sim_process.h"

// Generous for a loaded machine; a restart wait alone may take several seconds.
constexpr int kZelctlLimitMs = 120000;

class ZelctlTest : public ::testing::Test {
protected:
    // The simulator with these options; its restarts are kept short.
    void StartSimulator(std::vector<std::string> options = {}) {
        options.insert(options.begin(), {"--restart-ms", "400"});
        sim_ = std::make_unique<SimProcess>(options);
        port_ = sim_->FirstLine();
        ASSERT_FALSE(port_.empty()) << sim_->Error();
    }
    const std::string& Port() const { return port_; }
    // One more simulated unit of a fleet, with this serial number, on a pseudo-terminal
    // or over TCP; its port name.
    std::string StartUnit(int serial, bool tcp, std::vector<std::string> options = {}) {
        options.insert(options.begin(), {"--restart-ms", "400", "--serial", std::to_string(serial)});
        if (tcp) options.insert(options.end(), {"--listen", "tcp://127.0.0.1:0"});
        units_.push_back(std::make_unique<SimProcess>(options));
        const std::string name = units_.back()->FirstLine();
        EXPECT_FALSE(name.empty()) << units_.back()->Error();
        return name;
    }
    // A ports file in the home folder with this text.
    std::string PortsFile(const std::string& text) {
        const std::string path = Home().File("ports");
        WriteFile(path, text);
        return path;
    }

    ProcessResult Zelctl(const std::vector<std::string>& args) {
        return Checked(args, RunProcess(Argv(args), Environment(), kZelctlLimitMs));
    }
    // zelctl left running, for tests that interrupt it.
    std::unique_ptr<RunningProcess> StartZelctl(const std::vector<std::string>& args) {
        return std::make_unique<RunningProcess>(Argv(args), Environment());
    }
    ProcessResult Checked(const std::vector<std::string>& args, ProcessResult result) {
        EXPECT_FALSE(result.timedOut) << "zelctl did not finish: " << Describe(args, result);
        // Under the sanitizers a fault would otherwise hide behind an expected exit 1.
        EXPECT_EQ(result.err.find("AddressSanitizer"), std::string::npos) << Describe(args, result);
        EXPECT_EQ(result.err.find("runtime error:"), std::string::npos) << Describe(args, result);
        return result;
    }
    // The same on the simulator's port.
    ProcessResult OnDevice(std::vector<std::string> args) {
        args.insert(args.begin(), {"--port", Port()});
        return Zelctl(args);
    }

    static std::string Describe(const std::vector<std::string>& args, const ProcessResult& result) {
        std::string text = "zelctl";
        for (const std::string& arg : args)
            text += " " + arg;
        return text + "\nexit " + std::to_string(result.exitCode) + "\nstdout:\n" + result.out +
               "\nstderr:\n" + result.err;
    }

    // A shell command line run as a user would, with "$ZELCTL" the tool and "$PORT" the
    // simulator's port: for redirections and pipes.
    ProcessResult InShell(const std::string& command) {
        std::vector<std::string> environment = Environment();
        environment.push_back(std::string("ZELCTL=") + ZELCTL_PATH);
        environment.push_back("PORT=" + port_);
        return Checked({command}, RunProcess({"/bin/sh", "-c", command}, environment, kZelctlLimitMs));
    }

    const TempDir& Home() const { return home_; }
    // "NAME=value" in the environment of every zelctl run from here on, replacing an
    // earlier value of NAME.
    void AddEnvironment(const std::string& entry) {
        const std::string name = entry.substr(0, entry.find('=') + 1);
        for (std::string& earlier : extra_) {
            if (earlier.rfind(name, 0) == 0) {
                earlier = entry;
                return;
            }
        }
        extra_.push_back(entry);
    }

    static std::vector<std::string> Argv(const std::vector<std::string>& args) {
        std::vector<std::string> argv = {ZELCTL_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        return argv;
    }
    std::vector<std::string> Environment() const {
        std::vector<std::string> environment = {"HOME=" + home_.Path(),
                                                "XDG_CONFIG_HOME=" + home_.File("config"),
                                                "XDG_STATE_HOME=" + home_.File("state"), "LC_ALL=C"};
        environment.insert(environment.end(), extra_.begin(), extra_.end());
        return environment;
    }

private:
    TempDir home_;
    std::vector<std::string> extra_;
    std::unique_ptr<SimProcess> sim_;
    std::string port_;
    std::vector<std::unique_ptr<SimProcess>> units_;
};

// The frames of a --trace: direction and bytes of every TX and RX line.
struct TracedFrame {
    std::string direction;  // "TX" or "RX"
    std::string hex;        // "02 34 30 03"
    int count = 0;
};

inline std::vector<TracedFrame> TracedFrames(const std::string& stderrText) {
    static const std::regex line(R"(^\d\d:\d\d:\d\d\.\d{3} (TX|RX) (\d+) bytes: ([0-9A-F ]+?)  .*$)");
    std::vector<TracedFrame> frames;
    size_t start = 0;
    while (start < stderrText.size()) {
        size_t end = stderrText.find('\n', start);
        if (end == std::string::npos) end = stderrText.size();
        std::smatch match;
        const std::string text = stderrText.substr(start, end - start);
        if (std::regex_match(text, match, line)) {
            frames.push_back({match[1], match[3], std::stoi(match[2])});
        }
        start = end + 1;
    }
    return frames;
}

// A request to write a setting: the command letter after STX and the six address digits.
inline bool IsWrite(const TracedFrame& frame) {
    return frame.direction == "TX" && frame.hex.size() > 23 && frame.hex.substr(21, 2) == "77";
}

inline int WritesIn(const std::string& stderrText) {
    int writes = 0;
    for (const TracedFrame& frame : TracedFrames(stderrText))
        writes += IsWrite(frame);
    return writes;
}

inline std::string Trimmed(const std::string& text) {
    const size_t end = text.find_last_not_of("\r\n ");
    return end == std::string::npos ? "" : text.substr(0, end + 1);
}
