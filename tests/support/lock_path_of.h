// The lock file serial programs look for, worked out independently of the code under
// test: "/dev/pts/3" (or a link to it) -> "/run/lock/LCK..pts_3"; "" when the name
// leads to no node.
#pragma once

#include <climits>
#include <cstdlib>
#include <string>

inline std::string LockPathOf(const std::string& port) {
    char real[PATH_MAX];
    if (!::realpath(port.c_str(), real)) return "";
    std::string name = std::string(real).substr(5);
    for (char& c : name)
        c = c == '/' ? '_' : c;
    return "/run/lock/LCK.." + name;
}
