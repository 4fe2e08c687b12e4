#include "fleet_runner.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <new>
#include <thread>

#include "cli_errors.h"
#include "json_outcome.h"
#include "standard_output.h"
#include "text_codes.h"
#include "zel_session.h"

namespace {

// The units' threads take the next unit from here; after a failure, when asked, none.
class UnitQueue {
public:
    UnitQueue(size_t count, bool stopAfterFailure) : count_(count), stopAfterFailure_(stopAfterFailure) {}
    bool Next(size_t* index) {
        std::lock_guard<std::mutex> lock(lock_);
        if (next_ >= count_ || (stopAfterFailure_ && failed_)) return false;
        *index = next_++;
        return true;
    }
    void Failed() {
        std::lock_guard<std::mutex> lock(lock_);
        failed_ = true;
    }

private:
    std::mutex lock_;
    size_t count_;
    bool stopAfterFailure_;
    size_t next_ = 0;
    bool failed_ = false;
};

void Fail(UnitOutcome& outcome, int exitCode, const std::string& result, const std::string& message) {
    outcome.exitCode = exitCode;
    outcome.result = result;
    outcome.message = message;
}

// The unit's --json object: what its command printed, or an empty object.
Json CapturedObject(const std::string& text) {
    const size_t start = text.find('{');
    if (start == std::string::npos) return Json::object();
    try {
        Json document = Json::parse(text.substr(start));
        if (document.is_object()) return document;
    } catch (const std::exception&) {
    }
    return Json::object();
}

void RunUnit(const CliOptions& options, const UnitWork& work, UnitOutcome& outcome) {
    outcome.started = true;
    CliOptions unitOptions = options;
    unitOptions.port = outcome.port.name;
    unitOptions.ports = {outcome.port.name};
    unitOptions.portsFile.clear();
    unitOptions.unitLabel = outcome.port.label;
    unitOptions.fleetUnit = true;
    unitOptions.unitSerial = &outcome.serialNumber;
    unitOptions.yes = true;  // asked once for all units before any started

    ZelSession session;
    ZelSessionScope scope(session);
    std::string captured;
    {
        UnitOutputScope output(outcome.port.Display() + ": ", options.json);
        try {
            work(unitOptions);
            outcome.result = "ok";
        } catch (const CliError& error) {
            Fail(outcome, error.ExitCode(), error.Result(), error.what());
        } catch (const std::bad_alloc&) {
            Fail(outcome, EXIT_DEVICE_FAILED, "out-of-memory", "out of memory");
        } catch (const std::exception& error) {
            Fail(outcome, EXIT_DEVICE_FAILED, "failed", error.what());
        }
        if (options.json) {
            try {
                PrintJsonOutcome();  // into the capture
            } catch (const std::exception&) {
            }
            captured = output.Captured();
        }
        if (!outcome.message.empty()) {
            WriteErrLine("zelctl: " + PrintableLines(outcome.message));
        }
    }
    if (options.json) outcome.json = CapturedObject(captured);
}

std::string Padded(const std::string& text, size_t width) {
    return text.size() >= width ? text + " " : text + std::string(width - text.size() + 1, ' ');
}

}  // namespace

std::vector<UnitOutcome> RunOnFleet(const CliOptions& options, const std::vector<FleetPort>& ports,
                                    const UnitWork& work, const FleetPlan& plan) {
    std::vector<UnitOutcome> outcomes(ports.size());
    for (size_t i = 0; i < ports.size(); ++i) {
        outcomes[i].port = ports[i];
        outcomes[i].result = "skipped";
    }
    UnitQueue queue(ports.size(), plan.stopAfterFailure);
    const size_t workers =
        plan.maxParallel > 0 ? std::min(size_t(plan.maxParallel), ports.size()) : ports.size();
    std::vector<std::thread> threads;
    for (size_t w = 0; w < workers; ++w) {
        threads.emplace_back([&] {
            size_t index = 0;
            while (queue.Next(&index)) {
                RunUnit(options, work, outcomes[index]);
                if (outcomes[index].exitCode != 0) queue.Failed();
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (UnitOutcome& outcome : outcomes) {
        if (!outcome.started) {
            outcome.message = "not started: an earlier unit failed";
            outcome.exitCode = EXIT_DEVICE_FAILED;
        }
    }
    return outcomes;
}

int ReportFleet(const CliOptions& options, const std::vector<UnitOutcome>& outcomes) {
    int exitCode = EXIT_OK;
    for (const UnitOutcome& outcome : outcomes)
        if (outcome.exitCode != 0) exitCode = EXIT_DEVICE_FAILED;
    if (options.json) {
        for (const UnitOutcome& outcome : outcomes) {
            Json unit = outcome.json.is_object() ? outcome.json : Json::object();
            unit["port"] = outcome.port.name;
            if (!outcome.port.label.empty()) unit["label"] = outcome.port.label;
            if (!outcome.serialNumber.empty()) {
                unit["serialNumberText"] = outcome.serialNumber;
            } else if (!unit.contains("serialNumberText")) {
                unit["serialNumberText"] = nullptr;
            }
            unit["result"] = outcome.result;
            if (!outcome.message.empty()) unit["message"] = outcome.message;
            unit["exitCode"] = outcome.exitCode;
            WriteOut(JsonText(unit) + "\n");
        }
        return exitCode;
    }
    size_t width = 4;
    for (const UnitOutcome& outcome : outcomes)
        width = std::max(width, outcome.port.Display().size());
    std::string table = Padded("UNIT", width) + Padded("SERIAL", 11) + Padded("RESULT", 16) + "MESSAGE\n";
    int failed = 0;
    for (const UnitOutcome& outcome : outcomes) {
        failed += outcome.exitCode != 0;
        const std::string message = outcome.message.substr(0, outcome.message.find('\n'));
        table += Padded(outcome.port.Display(), width) +
                 Padded(outcome.serialNumber.empty() ? "-" : outcome.serialNumber, 11) +
                 Padded(outcome.result, 16) + Printable(message);
        table.erase(table.find_last_not_of(' ') + 1);
        table += "\n";
    }
    table += std::to_string(outcomes.size() - size_t(failed)) + " of " + std::to_string(outcomes.size()) +
             " units succeeded\n";
    WriteOut("\n" + table);
    return exitCode;
}

std::string FileNameSafe(const std::string& text) {
    std::string name;
    for (char c : text) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          c == '.' || c == '-' || c == '_';
        name.push_back(kept ? c : '_');
    }
    // No hidden file, no "..": the name starts with a letter or digit.
    const size_t first = name.find_first_not_of("._-");
    name = first == std::string::npos ? std::string() : name.substr(first);
    return name.empty() ? "unit" : name;
}
