// What `zelctl --help` and `zelctl COMMAND --help` print.
#pragma once

#include <string>

std::string GeneralHelp();
// The one-screen synopsis printed after a usage error.
std::string UsageSummary();
std::string CommandHelp(const std::string& command);
