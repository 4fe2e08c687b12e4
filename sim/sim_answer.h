// What the device decides to send back for one request.
#pragma once

#include <cstdint>

struct SimAnswer {
    enum Kind {
        Value,   // success, carrying `bytes` bytes of value (0: no data field)
        Error,   // "E": refused
        Busy,    // "B": not now
        Silent,  // no reply at all
    };
    Kind kind = Value;
    uint64_t value = 0;
    int bytes = 0;

    static SimAnswer Of(uint64_t value, int bytes) { return {Value, value, bytes}; }
    static SimAnswer Refused() { return {Error, 0, 0}; }
    static SimAnswer NotNow() { return {Busy, 0, 0}; }
    static SimAnswer None() { return {Silent, 0, 0}; }
};
