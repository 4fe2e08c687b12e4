#include "sim_process.h"

#include <csignal>

#ifndef ZEL_SIM_PROGRAM
#error "ZEL_SIM_PROGRAM names the zel5100-sim executable"
#endif

namespace {

// Enough for any diagnosis; a long run with --verbose must not fill the memory.
constexpr size_t kKeptOutputBytes = 1 << 20;

ChildSetup ChildSetupFor(const SimProcessSetup& setup) {
    ChildSetup child;
    child.preciseTimers = setup.preciseTimers;
    child.keepBytes = kKeptOutputBytes;
    return child;
}

std::vector<std::string> Argv(const SimProcessSetup& setup, const std::vector<std::string>& options) {
    std::vector<std::string> argv{setup.program};
    argv.insert(argv.end(), options.begin(), options.end());
    return argv;
}

}  // namespace

std::string BuiltSimulatorPath() {
    return ZEL_SIM_PROGRAM;
}

SimProcess::SimProcess(const std::vector<std::string>& options, const SimProcessSetup& setup)
    : child_(Argv(setup, options), ChildSetupFor(setup)) {}

SimProcess::~SimProcess() {
    // Whatever is left running after this, the child's own destructor kills.
    Stop(SIGTERM, 5000);
}

std::string SimProcess::FirstLine(int timeoutMs) {
    const bool got = child_.WaitForOutput(
        [](const std::string& out, const std::string&) { return out.find('\n') != std::string::npos; },
        timeoutMs);
    const std::string out = child_.Out();
    if (got) {
        problem_.clear();
        return out.substr(0, out.find('\n'));
    }
    if (!child_.Started()) {
        problem_ = "zel5100-sim did not start: " + child_.StartError();
        return "";
    }
    // A moment more, so that a simulator which has just ended is told from one that hangs.
    const ChildExit exit = child_.Wait(1000);
    if (exit.ended)
        problem_ = "zel5100-sim ended (exit " + std::to_string(exit.code) + ", signal " +
                   std::to_string(exit.signal) + ") before it printed a line";
    else
        problem_ = "zel5100-sim printed no line within " + std::to_string(timeoutMs) + " ms";
    if (!out.empty()) problem_ += "; it printed: " + out;
    return "";
}

std::string SimProcess::Error() const {
    const std::string err = child_.Err();
    return err.empty() ? problem_ : problem_ + "\nstderr:\n" + err;
}

int SimProcess::Stop(int signal, int timeoutMs) {
    child_.Signal(signal);
    return Wait(timeoutMs);
}

int SimProcess::Wait(int timeoutMs) {
    const ChildExit exit = child_.Wait(timeoutMs);
    return exit.ended ? exit.code : -1;
}
