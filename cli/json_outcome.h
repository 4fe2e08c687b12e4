// With --json a command prints one object at its end. Commands that report an outcome
// (dump, reboot, restore, upgrade) leave it here as they go; a failure adds its result,
// message and exit code to it, so that a script always reads exactly one object.
#pragma once

#include "json_document.h"

// The object so far (created empty on first use).
Json& JsonOutcome();
void IndentJsonOutcome();  // printed over several lines, for long documents
// Prints the object, when there is one, and forgets it.
void PrintJsonOutcome();
// Adds a failure's members (to an empty object when there is none yet) and prints it.
void PrintJsonFailure(const std::string& result, const std::string& message, int exitCode);
