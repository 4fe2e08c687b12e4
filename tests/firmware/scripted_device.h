// A stand-in for the device at the far end of the transport hooks: records every frame the
// engine transmits, and answers each from a per-setting script, so tests can check the
// upgrade's frames, sleeps and progress reports in order.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "zel_protocol.h"

struct ScriptedReply {
    bool silent = false;      // nothing comes back
    char status = 0;          // 0: R answering a read, W a write
    bool defaultData = true;  // echo a write's data, or zeroes of the setting's size for a read
    std::string digits;       // data digits when defaultData is false

    static ScriptedReply Value(uint64_t value, int size);
    static ScriptedReply Error();  // "E" reply without data
    static ScriptedReply Silence();
};

struct ScriptedRequest {
    int category = 0;
    int setting = 0;
    bool read = false;
    int index = 0;
    std::vector<uint8_t> data;   // data bytes exactly as sent
    std::vector<uint8_t> frame;  // the whole frame, STX to ETX
};

class ScriptedDevice {
public:
    ScriptedDevice();
    ~ScriptedDevice();

    // Registers this device's hooks with the engine.
    void Install();

    // Replies for one setting: each request takes the front one, the last one repeats.
    void Script(int category, int setting, std::vector<ScriptedReply> replies);
    void SetValue(int category, int setting, uint64_t value);

    std::vector<ScriptedRequest> requests;  // every frame transmitted, in order
    // Every transmit ("r01/05", "w80/04=01", "w80/02#3"), sleep ("sleep 300") and any
    // line the test adds (progress reports), in the order they happened.
    std::vector<std::string> events;
    bool logEvents = true;
    int64_t sleptMs = 0;
    int pumps = 0;
    int receives = 0;
    // The line goes away after this many requests: every later transmit fails. -1 never.
    int lineGoneAfter = -1;

    void Log(const std::string& event) {
        if (logEvents) events.push_back(event);
    }
    // Requests to one setting, in order.
    std::vector<ScriptedRequest> RequestsTo(int category, int setting, bool read) const;

private:
    static ZelResult Transmit(void* context, int address, const uint8_t* bytes, int length);
    static ZelResult Receive(void* context, int address, uint8_t* buffer, int count, int* received,
                             int timeoutMs);
    static ZelResult Sleep(void* context, int milliseconds);
    static ZelResult Pump(void* context);

    std::vector<uint8_t> BuildReply(const ScriptedRequest& request, const ScriptedReply& reply) const;

    std::map<std::pair<int, int>, std::deque<ScriptedReply>> script_;
    std::vector<uint8_t> pending_;
};

// Frame helpers shared by the tests.
int TestChecksum(const uint8_t* bytes, size_t count);
std::string HexDigits(uint64_t value, int size);
// The body of a frame (between STX and ETX) as text, bytes >= 0x80 as "\xHH".
std::string FrameText(const std::vector<uint8_t>& frame);
// Decoders of the two part encodings, written independently of the module's encoders.
std::vector<uint8_t> Decode7Bit(const std::vector<uint8_t>& encoded, size_t count);
std::vector<uint8_t> DecodeHex(const std::vector<uint8_t>& encoded);
