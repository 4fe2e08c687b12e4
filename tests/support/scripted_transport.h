// A transport for tests: records every hook call and plays back scripted replies.
#pragma once

#include "zel_protocol.h"

#include <deque>
#include <string>
#include <vector>

struct ScriptedTransport {
    struct Call {
        enum Kind { Transmit, Receive, Sleep } kind;
        std::vector<uint8_t> bytes;  // transmitted, or delivered by a receive
        int count = 0;               // receive: bytes asked for
        int timeoutMs = 0;           // receive: time-out given; sleep: duration
    };
    struct Reply {
        std::vector<uint8_t> bytes;
        ZelResult result;
    };

    std::vector<Call> calls;
    std::deque<Reply> replies;  // consumed by receive calls, drains included
    ZelResult transmitResult = ZEL_OK;

    // Registers this object's hooks; `withReceive` false leaves the receive hook absent.
    void install(bool withReceive = true);

    // A reply frame around `text` (STX + text + checksum digits + ETX).
    static std::vector<uint8_t> frame(const std::string& text);
    // STX + text + ETX, as given.
    static std::vector<uint8_t> raw(const std::string& text);

    void reply(const std::vector<uint8_t>& bytes) { replies.push_back({bytes, ZEL_OK}); }
    void silence() { replies.push_back({{}, ZEL_E_RX_FAILED}); }

    std::vector<Call> callsOf(Call::Kind kind) const;
    int drains() const;  // receive calls for 100 bytes within 100 ms
};

std::string Printable(const std::vector<uint8_t>& bytes);
