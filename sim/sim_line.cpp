#include "sim_line.h"

int64_t SimLine::FirstStart(int64_t startUs) const {
    return startUs > busyUntilUs_ ? startUs : busyUntilUs_;
}

int64_t SimLine::ByteEnd(int64_t start, size_t index) const {
    if (!paced_) return start;
    // Computed from the start of the run so the rounding does not add up.
    return start + static_cast<int64_t>((index + 1) * SIM_BITS_PER_BYTE * 1000000ULL / SIM_BAUD_RATE);
}

int64_t SimLine::Arrivals(size_t count, int64_t startUs, int64_t* each) {
    int64_t start = FirstStart(startUs);
    int64_t last = start;
    for (size_t i = 0; i < count; ++i) {
        last = ByteEnd(start, i);
        if (each) each[i] = last;
    }
    busyUntilUs_ = last;
    return last;
}

int64_t SimLine::Send(const uint8_t* bytes, size_t count, int64_t startUs) {
    int64_t start = FirstStart(startUs);
    int64_t last = start;
    for (size_t i = 0; i < count; ++i) {
        last = ByteEnd(start, i);
        bytes_.push_back({bytes[i], last});
    }
    busyUntilUs_ = last;
    return last;
}

size_t SimLine::Take(uint8_t* buffer, size_t max, int64_t nowUs) {
    size_t n = 0;
    while (n < max && !bytes_.empty() && bytes_.front().atUs <= nowUs) {
        buffer[n++] = bytes_.front().value;
        bytes_.pop_front();
    }
    return n;
}

int64_t SimLine::NextArrivalUs() const {
    return bytes_.empty() ? -1 : bytes_.front().atUs;
}
