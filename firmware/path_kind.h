// What a chosen path is, asked without opening it: a FIFO or a device would
// block or hand over endless bytes where a firmware file is wanted.
#pragma once

#include <string>

enum class PathKind {
    Missing,  // nothing there (or not reachable)
    RegularFile,
    Other,  // a folder, FIFO, device or socket
};

PathKind KindOfPath(const std::string& path);
