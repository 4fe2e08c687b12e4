// A pseudo-terminal standing in for the serial line: the port under test
// opens the slave by name, the test plays the device on the master.
#pragma once

#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

using Bytes = std::vector<uint8_t>;

inline Bytes ToBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

class PtyPair {
public:
    PtyPair() {
        int slave = -1;
        char name[256] = {};
        if (openpty(&master_, &slave, name, nullptr, nullptr) != 0) {
            ADD_FAILURE() << "openpty failed";
            return;
        }
        slaveName_ = name;
        ::close(slave);  // the port under test opens the slave by name
    }
    ~PtyPair() { CloseMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlaveName() const { return slaveName_; }
    int Master() const { return master_; }

    // The device end going away (cable pulled, adapter unplugged).
    void CloseMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

    void Write(const Bytes& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            ASSERT_GT(n, 0) << "write to the pseudo-terminal master failed";
            done += size_t(n);
        }
    }

    // Reads from the master until `count` bytes came or `limit` ran out.
    Bytes Read(size_t count, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        Bytes got;
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (got.size() < count) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, int(left.count())) <= 0) continue;
            uint8_t chunk[4096];
            size_t want = std::min(sizeof chunk, count - got.size());
            ssize_t n = ::read(master_, chunk, want);
            if (n <= 0) break;  // EIO: no slave open any more
            got.insert(got.end(), chunk, chunk + n);
        }
        return got;
    }

private:
    int master_ = -1;
    std::string slaveName_;
};

// Bytes waiting in a terminal's input queue.
inline int InputQueued(int fd) {
    int n = 0;
    return ::ioctl(fd, FIONREAD, &n) == 0 ? n : -1;
}

// Waits (up to a generous bound) until a condition holds; false if it never did.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline int64_t MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
        .count();
}
