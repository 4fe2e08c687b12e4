// Standard output, checked: a write the system refuses (a full disk, /dev/full) ends
// the command with exit 1 and the system's words; a reader that went away
// (zelctl dump | head) ends it silently.
#pragma once

#include <string>

// Line by line from here on, so that an interrupt loses no line already printed.
void ShowOutputAsProduced();
void WriteOut(const std::string& text);
void PrintOut(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A note or progress line on stderr, whole; with a unit bound, prefixed as its output is.
void WriteErrLine(const std::string& text);
// Flushes and reports any write that failed since the start (also those made with
// plain printf), throwing as WriteOut does.
void FinishOut();

// While alive, what this thread writes with WriteOut/PrintOut/WriteErrLine belongs to one
// unit of a fleet: each whole line goes out at once with `prefix` before it, so that the
// lines of units working at once never mix. With `capture` standard output is kept
// instead (Captured()), for the unit's --json object.
class UnitOutputScope {
public:
    UnitOutputScope(const std::string& prefix, bool capture);
    ~UnitOutputScope();  // writes out a last unfinished line
    UnitOutputScope(const UnitOutputScope&) = delete;
    UnitOutputScope& operator=(const UnitOutputScope&) = delete;
    const std::string& Captured() const { return captured_; }

private:
    friend void WriteOut(const std::string&);
    friend void WriteErrLine(const std::string&);
    std::string prefix_;
    bool capture_;
    std::string captured_;
    std::string partial_;
};
