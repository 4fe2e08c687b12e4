// The system's side of reading a firmware file: opening only what is a regular
// file, and positions beyond 2 GiB wherever long is 32 bits wide (Windows).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Opens `path` (UTF-8) for reading in binary; null when it cannot be opened or
// is no regular file. A FIFO put where the file was cannot hold the opening.
std::FILE* OpenRegularFile(const std::string& path);
bool SeekFile(std::FILE* file, int64_t offset, int whence);
int64_t TellFile(std::FILE* file);
