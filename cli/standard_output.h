// Standard output, checked: a write the system refuses (a full disk, /dev/full) ends
// the command with exit 1 and the system's words; a reader that went away
// (zelctl dump | head) ends it silently.
#pragma once

#include <string>

// Line by line from here on, so that an interrupt loses no line already printed.
void ShowOutputAsProduced();
void WriteOut(const std::string& text);
void PrintOut(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Flushes and reports any write that failed since the start (also those made with
// plain printf), throwing as WriteOut does.
void FinishOut();
