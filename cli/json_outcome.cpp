#include "json_outcome.h"

#include <memory>

#include "standard_output.h"

namespace {

// Per thread: each unit of a fleet builds its own object.
thread_local std::unique_ptr<Json> outcome;
thread_local bool indented = false;

}  // namespace

Json& JsonOutcome() {
    if (!outcome) outcome = std::make_unique<Json>(Json::object());
    return *outcome;
}

void IndentJsonOutcome() {
    indented = true;
}

void PrintJsonOutcome() {
    if (!outcome) return;
    const std::string text = JsonText(*outcome, indented) + "\n";
    outcome.reset();
    WriteOut(text);
}

void PrintJsonFailure(const std::string& result, const std::string& message, int exitCode) {
    Json& document = JsonOutcome();
    document["result"] = result;
    document["message"] = message;
    document["exitCode"] = exitCode;
    PrintJsonOutcome();
}
