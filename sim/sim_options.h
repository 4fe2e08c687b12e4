// Command line of zel5100-sim.
#pragma once

#include <string>
#include <vector>

#include "sim_config.h"

struct SimOptions {
    SimConfig config;
    std::string linkPath;  // stable symlink to the pseudo-terminal; empty: none
    std::string listen;    // tcp://HOST:PORT or rfc2217://HOST:PORT to serve on; empty: none
    std::string imageOut;  // where a finished upgrade image is written; empty: nowhere
    bool verbose = false;  // print every frame on stderr
    bool help = false;
};

// Parses the arguments after the program name. False with a message in *error for an
// unknown option, a missing value or a value out of range.
bool ParseSimOptions(const std::vector<std::string>& args, SimOptions* options, std::string* error);

// The --help text.
std::string SimUsage();

// Start-up noise as typed: \r, \n, \t, \\ and \xHH stand for their bytes.
bool UnescapeSimText(const std::string& text, std::string* bytes);
