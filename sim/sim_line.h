// The serial line between the host and the simulated device, in one direction:
// when each byte is there. Unpaced, a byte is there at the moment it is sent;
// paced, bytes follow one another at the speed of 115200 baud 8N1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

constexpr int SIM_BAUD_RATE = 115200;
constexpr int SIM_BITS_PER_BYTE = 10;  // start bit, 8 data bits, stop bit

class SimLine {
public:
    explicit SimLine(bool paced = false) : paced_(paced) {}

    // Puts bytes on the line, the first of them leaving no earlier than startUs.
    // Returns the time at which the last of them has arrived (startUs when empty).
    int64_t Send(const uint8_t* bytes, size_t count, int64_t startUs);
    // Arrival time of each of `count` bytes written at startUs, without queueing them
    // (the host's side, whose bytes the device takes at once). Returns the last one.
    int64_t Arrivals(size_t count, int64_t startUs, int64_t* each);

    // Takes the bytes that have arrived by nowUs, up to max.
    size_t Take(uint8_t* buffer, size_t max, int64_t nowUs);
    // Arrival time of the next byte not yet taken; -1 when nothing is on the line.
    int64_t NextArrivalUs() const;
    size_t Pending() const { return bytes_.size(); }
    void Clear() { bytes_.clear(); }

private:
    struct TimedByte {
        uint8_t value;
        int64_t atUs;
    };
    int64_t FirstStart(int64_t startUs) const;
    int64_t ByteEnd(int64_t start, size_t index) const;

    bool paced_;
    int64_t busyUntilUs_ = 0;  // the line carries earlier bytes until then
    std::deque<TimedByte> bytes_;
};
