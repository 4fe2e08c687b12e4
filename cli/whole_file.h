// A file's contents replaced whole or not at all.
#pragma once

#include <string>

// Writes `text` to a new file of unpredictable name beside `path` (never following a
// link planted there), gives it the mode of the file it replaces, makes it durable and
// renames it over `path`. False with the system's words in `error` when any step fails;
// `path` is then as it was.
bool ReplaceFileContents(const std::string& path, const std::string& text, std::string* error);
