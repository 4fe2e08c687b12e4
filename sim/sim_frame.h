// Frames as the device sees them: requests taken apart, replies put together.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct SimRequest {
    int address = 0;
    int category = 0;
    int setting = 0;
    bool read = false;
    bool indexed = false;  // the frame carries an index field
    int index = 0;
    std::vector<uint8_t> data;  // the data field as it came, verbatim
};

enum class SimParseResult {
    Ok,
    Ignore,  // not a request for us: checksum wrong, too short, unreadable header
    Refuse,  // a request for us that cannot be served as sent: answer "E"
};

// Takes apart the characters between STX and ETX. The index field is expected when
// the catalogue marks the category as indexed.
SimParseResult ParseSimRequest(const uint8_t* content, size_t length, SimRequest* request);

// A whole reply frame, STX to ETX. status is the character at offset 7 ('R', 'W',
// 'E', 'B'); valueBytes of value travel as 2 x valueBytes digits, most significant
// first (0: no data field).
std::vector<uint8_t> BuildSimReply(const SimRequest& request, char status, uint64_t value, int valueBytes);

// One hex digit, -1 when the character is none.
int SimHexDigit(uint8_t c);
