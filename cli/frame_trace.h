// --trace: every frame sent and received, with a millisecond timestamp, as hex bytes
// and as text, so that a session can be pasted into a support request.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Puts a tracing layer around the transport registered now; frames go to `out`.
// Register the port's transport first. The layer stays until RemoveFrameTrace.
void InstallFrameTrace(std::FILE* out);
// Restores the transport that was traced.
void RemoveFrameTrace();
// A free-form note in the trace ("open /dev/ttyUSB0"), when tracing.
void TraceNote(const std::string& text);

// "12:34:56.789", local time of day.
std::string TraceTimestamp();
// "02 34 30 03"
std::string HexBytes(const uint8_t* bytes, int count);
// Printable characters as they are, STX and ETX named, anything else as '.'.
std::string FrameText(const uint8_t* bytes, int count);
