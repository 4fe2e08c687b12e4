#include "process_harness.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

ChildSetup WithEnvironment(const std::vector<std::string>& overrides) {
    ChildSetup setup;
    setup.environment = overrides;
    return setup;
}

}  // namespace

RunningProcess::RunningProcess(const std::vector<std::string>& argv,
                               const std::vector<std::string>& overrides)
    : child_(argv, WithEnvironment(overrides)) {}

bool RunningProcess::WaitUntil(const std::function<bool(const ProcessResult&)>& done, int limitMs) {
    return child_.WaitForOutput(
        [&done](const std::string& out, const std::string& err) {
            ProcessResult sofar;
            sofar.out = out;
            sofar.err = err;
            return done(sofar);
        },
        limitMs);
}

ProcessResult RunningProcess::Finish(int limitMs) {
    ProcessResult result;
    ChildExit exit = child_.Wait(limitMs);
    if (!exit.ended) {
        child_.Signal(SIGKILL);
        exit = child_.Wait(10000);
        result.timedOut = true;
    }
    result.exitCode = exit.code;
    result.signal = exit.signal;
    result.out = child_.Out();
    result.err = child_.Started() ? child_.Err() : child_.StartError();
    return result;
}

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::vector<std::string>& overrides,
                         int limitMs) {
    RunningProcess process(argv, overrides);
    return process.Finish(limitMs);
}

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/zelctl-test-XXXXXX";
    if (::mkdtemp(&pattern[0])) path_ = pattern;
}

TempDir::~TempDir() {
    if (path_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& contents) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << contents;
}
