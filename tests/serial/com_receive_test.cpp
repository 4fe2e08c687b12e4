// ComReceive over a real pseudo-terminal: counts, time-outs, the first read,
// a line that goes away, signals, and a wait that costs no CPU.
#include <pthread.h>
#include <atomic>
#include <csignal>
#include <ctime>

#include "port_on_pty.h"

namespace {

class ComReceiveTest : public PortOnPty {
protected:
    ZelResult Receive(int count, int timeoutMs) {
        buffer.assign(size_t(count > 0 ? count : 1), 0xEE);
        received = -7;
        return ComReceive(&port, ZEL_DEVICE_ADDRESS, buffer.data(), count, &received, timeoutMs);
    }
    Bytes Got() const { return Bytes(buffer.begin(), buffer.begin() + std::max(received, 0)); }

    Bytes buffer;
    int received = -7;
};

// The 11-byte error reply STX 400201E94 ETX, two bytes short of a 13-byte reply.
const Bytes kShortReply = {0x02, '4', '0', '0', '2', '0', '1', 'E', '9', '4', 0x03};
const Bytes kFullReply = {0x02, '4', '0', '0', '2', '0', '1', 'R', '0', '1', '2', '6', 0x03};

TEST_F(ComReceiveTest, FewerBytesThanAskedReturnsThemAfterTheTimeOut) {
    Arrive(kShortReply);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Receive(13, 300), ZEL_OK);
    EXPECT_GE(MsSince(start), 300);
    EXPECT_EQ(received, 11);
    EXPECT_EQ(Got(), kShortReply);
}

TEST_F(ComReceiveTest, NothingArrivingReturnsRxFailedWithNoneAfterTheTimeOut) {
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Receive(13, 200), ZEL_E_RX_FAILED);
    EXPECT_GE(MsSince(start), 200);
    EXPECT_EQ(received, 0);
}

TEST_F(ComReceiveTest, ZeroOrNegativeTimeOutStillMakesTheFirstRead) {
    for (int timeoutMs : {0, -5}) {
        SCOPED_TRACE(timeoutMs);
        Arrive({0x02, '4', '0'});
        EXPECT_EQ(Receive(13, timeoutMs), ZEL_OK);
        EXPECT_EQ(Got(), Bytes({0x02, '4', '0'}));

        EXPECT_EQ(Receive(13, timeoutMs), ZEL_E_RX_FAILED);
        EXPECT_EQ(received, 0);
    }
}

TEST_F(ComReceiveTest, CountAlreadyWaitingReturnsAtOnceAndLeavesTheRestQueued) {
    Bytes line = kFullReply;
    line.insert(line.end(), {'x', 'y'});
    Arrive(line);

    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Receive(13, 30000), ZEL_OK);
    EXPECT_LT(MsSince(start), 15000);
    EXPECT_EQ(Got(), kFullReply);

    // What came after the reply belongs to the next read.
    EXPECT_EQ(Receive(2, 0), ZEL_OK);
    EXPECT_EQ(Got(), Bytes({'x', 'y'}));
}

TEST_F(ComReceiveTest, BytesArrivingDuringTheWaitEndItWhenTheCountIsReached) {
    std::thread device([&] {
        pty.Write(Bytes(kFullReply.begin(), kFullReply.begin() + 5));
        // Only once the first part has been taken does the rest follow.
        WaitUntil([&] { return InputQueued(TerminalDescriptor(port)) == 0; });
        pty.Write(Bytes(kFullReply.begin() + 5, kFullReply.end()));
    });
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Receive(13, 30000), ZEL_OK);
    EXPECT_LT(MsSince(start), 15000);
    device.join();
    EXPECT_EQ(Got(), kFullReply);
}

TEST_F(ComReceiveTest, FarEndAlreadyClosedEndsALongReceiveAtOnce) {
    pty.CloseMaster();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Receive(13, 30000), ZEL_E_RX_FAILED);
    EXPECT_LT(MsSince(start), 15000);
    EXPECT_EQ(received, 0);
}

TEST_F(ComReceiveTest, FarEndClosingDuringTheWaitEndsItWithWhatArrived) {
    Arrive({0x02, '4', '0'});
    std::thread device([&] {
        // Hang up once the receive has taken the three bytes and waits for more.
        WaitUntil([&] { return InputQueued(TerminalDescriptor(port)) == 0; });
        pty.CloseMaster();
    });
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Receive(13, 30000), ZEL_OK);
    EXPECT_LT(MsSince(start), 15000);
    device.join();
    EXPECT_EQ(Got(), Bytes({0x02, '4', '0'}));
}

TEST_F(ComReceiveTest, ClosedPortOrNoPortReturnsRxFailedAtOnce) {
    CloseComPort(&port);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Receive(13, 30000), ZEL_E_RX_FAILED);
    EXPECT_EQ(received, 0);

    received = -7;
    EXPECT_EQ(ComReceive(nullptr, ZEL_DEVICE_ADDRESS, buffer.data(), 13, &received, 30000), ZEL_E_RX_FAILED);
    EXPECT_EQ(received, 0);
    EXPECT_LT(MsSince(start), 15000);
}

TEST_F(ComReceiveTest, ZeroCountReceivesNothing) {
    Arrive({'z'});
    EXPECT_EQ(Receive(0, 0), ZEL_E_RX_FAILED);
    EXPECT_EQ(received, 0);
    EXPECT_EQ(InputQueued(TerminalDescriptor(port)), 1);
}

void IgnoreSignal(int) {}

TEST_F(ComReceiveTest, SignalsDuringTheWaitDoNotEndIt) {
    struct sigaction action {};
    struct sigaction previous {};
    action.sa_handler = IgnoreSignal;  // no SA_RESTART: poll() comes back with EINTR
    sigemptyset(&action.sa_mask);
    ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);

    pthread_t receiver = pthread_self();
    std::atomic<bool> done{false};
    std::thread device([&] {
        for (int i = 0; i < 20 && !done; ++i) {
            pthread_kill(receiver, SIGUSR1);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        pty.Write(kFullReply);
    });
    EXPECT_EQ(Receive(13, 30000), ZEL_OK);
    done = true;
    device.join();
    sigaction(SIGUSR1, &previous, nullptr);
    EXPECT_EQ(Got(), kFullReply);
}

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

TEST_F(ComReceiveTest, WaitingForAReplyUsesNoCpu) {
    double before = ThreadCpuMs();
    EXPECT_EQ(Receive(13, 500), ZEL_E_RX_FAILED);
    // A loop of reads would burn most of the 500 ms; a wait in poll() burns nothing.
    EXPECT_LT(ThreadCpuMs() - before, 100.0);
}

}  // namespace
