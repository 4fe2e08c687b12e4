// What stands between a command and a write: --read-only, and the question asked on a
// terminal before an action that takes the unit's channel off air.
#pragma once

#include <string>

#include "cli_options.h"

// With --read-only (or ZELCTL_READ_ONLY=1): a usage error naming `what` would have been
// written; nothing has been sent.
void RefuseWhenReadOnly(const CliOptions& options, const std::string& what);

// Before `action` ("reboot the unit"): asks on the terminal whether to go on, unless --yes
// or standard input is not a terminal (a script has decided already). A usage error
// when the answer is not yes.
void ConfirmOffAir(const CliOptions& options, const std::string& action, const std::string& port);

// ZELCTL_READ_ONLY set to anything but "" or "0".
bool ReadOnlyByEnvironment();
