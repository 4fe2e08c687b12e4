// OpenComPort and CloseComPort on pseudo-terminals: line settings, hook
// registration, exclusive use, and closing the port held before.
#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <cerrno>
#include <cstdlib>

#include <memory>

#include "com_port.h"
#include "foreign_holder.h"
#include "pty_pair.h"
#include "terminal_link_posix.h"

namespace {

const char kNoSuchPort[] = "/dev/no-such-serial-port";

// Whether another program could take the port now: it is neither locked nor
// in exclusive mode. (Asked without OpenComPort, which would take over the
// protocol's transport.)
bool FreeForOthers(const std::string& name) {
    int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
#ifdef TIOCGEXCL
    int exclusive = 0;
    free = free && ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive == 0;
#endif
    ::close(fd);
    return free;
}

TEST(ComOpenTest, SetsTheLineTo115200EightNoneOneRaw) {
    PtyPair pty;
    ComPort port;
    ASSERT_EQ(OpenComPort(&port, pty.SlaveName()), COM_OPEN_OK) << ComOpenFailureHint(port);
    EXPECT_GE(TerminalDescriptor(port), 0);
    EXPECT_EQ(port.failure.problem, ComOpenProblem::None);

    termios tio{};
    ASSERT_EQ(tcgetattr(TerminalDescriptor(port), &tio), 0);
    EXPECT_EQ(cfgetispeed(&tio), speed_t(B115200));
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B115200));
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u) << "parity, 2 stop bits or CTS flow";
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | INLCR | ISTRIP), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    CloseComPort(&port);
    EXPECT_EQ(TerminalDescriptor(port), -1);
}

TEST(ComOpenTest, RegistersTheFourHooksWithThePortAsContext) {
    PtyPair pty;
    ComPort port;
    ZelSetTransport(nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(OpenComPort(&port, pty.SlaveName()), COM_OPEN_OK) << ComOpenFailureHint(port);
    ZelTransport hooks = ZelGetTransport();
    EXPECT_EQ(hooks.transmit, &ComTransmit);
    EXPECT_EQ(hooks.receive, &ComReceive);
    EXPECT_EQ(hooks.sleep, &ComSleep);
    EXPECT_EQ(hooks.pump, &ComPumpMessages);
    EXPECT_EQ(hooks.context, &port);
    CloseComPort(&port);
}

TEST(ComOpenTest, MissingPortFailsWithMinusOneAndSaysWhy) {
    PtyPair pty;
    ComPort earlier;
    ASSERT_EQ(OpenComPort(&earlier, pty.SlaveName()), COM_OPEN_OK) << ComOpenFailureHint(earlier);

    ComPort port;
    EXPECT_EQ(OpenComPort(&port, kNoSuchPort), COM_OPEN_FAILED);
    EXPECT_EQ(TerminalDescriptor(port), -1);
    EXPECT_EQ(port.failure.problem, ComOpenProblem::NoSuchPort);
    EXPECT_STREQ(ComOpenStatusText(COM_OPEN_FAILED), "Can't open COM port");
    EXPECT_EQ(ComOpenFailureHint(port), "No such port");
    // A failed opening leaves the hooks of the earlier one in place.
    EXPECT_EQ(ZelGetTransport().context, &earlier);
    CloseComPort(&earlier);
}

TEST(ComOpenTest, SomethingThatIsNoTerminalFailsReadingTheSettingsAndStaysOpen) {
    // A character device that is no terminal gets as far as the settings.
    const char path[] = "/dev/null";

    ComPort port;
    EXPECT_EQ(OpenComPort(&port, path), COM_GET_SETTINGS_FAILED);
    EXPECT_GE(TerminalDescriptor(port), 0);
    EXPECT_EQ(port.failure.problem, ComOpenProblem::NotSerial);
    // The caller closes what was opened.
    CloseComPort(&port);
    EXPECT_EQ(TerminalDescriptor(port), -1);
}

enum class Holder { AnotherComPort, ProgramWithLock, ProgramWithExclusiveMode };

class HeldPortTest : public ::testing::TestWithParam<Holder> {};

TEST_P(HeldPortTest, PortHeldElsewhereFailsWithMinusOne) {
    PtyPair pty;
    ComPort holder;
    std::unique_ptr<ForeignHolder> foreign;
    int holderPid = int(::getpid());
    if (GetParam() == Holder::AnotherComPort) {
        ASSERT_EQ(OpenComPort(&holder, pty.SlaveName()), COM_OPEN_OK) << ComOpenFailureHint(holder);
    } else {
        foreign = std::make_unique<ForeignHolder>(pty.SlaveName(), GetParam() == Holder::ProgramWithLock
                                                                       ? ForeignHolder::Hold::AdvisoryLock
                                                                       : ForeignHolder::Hold::ExclusiveMode);
        holderPid = foreign->Pid();
    }

    ComPort port;
    EXPECT_EQ(OpenComPort(&port, pty.SlaveName()), COM_OPEN_FAILED);
    EXPECT_EQ(TerminalDescriptor(port), -1);
    EXPECT_EQ(port.failure.problem, ComOpenProblem::Held);
    EXPECT_STREQ(ComOpenStatusText(COM_OPEN_FAILED), "Can't open COM port");
    EXPECT_EQ(ComOpenFailureHint(port), "The port is held by zelserial_tests (pid " +
                                            std::to_string(holderPid) + "): close it there first");

    if (GetParam() == Holder::AnotherComPort) {
        // The holder keeps a working line.
        const uint8_t ping[] = {'p'};
        EXPECT_EQ(ComTransmit(&holder, ZEL_DEVICE_ADDRESS, ping, 1), ZEL_OK);
        EXPECT_EQ(pty.Read(1), Bytes({'p'}));
        CloseComPort(&holder);
    } else {
        foreign->Release();
    }
    // Once released, the port opens.
    EXPECT_EQ(OpenComPort(&port, pty.SlaveName()), COM_OPEN_OK) << ComOpenFailureHint(port);
    CloseComPort(&port);
}

std::string HolderName(const ::testing::TestParamInfo<Holder>& info) {
    switch (info.param) {
        case Holder::AnotherComPort: return "AnotherComPort";
        case Holder::ProgramWithLock: return "ProgramWithLock";
        case Holder::ProgramWithExclusiveMode: return "ProgramWithExclusiveMode";
    }
    return "Unknown";
}

INSTANTIATE_TEST_SUITE_P(Holders, HeldPortTest,
                         ::testing::Values(Holder::AnotherComPort, Holder::ProgramWithLock,
                                           Holder::ProgramWithExclusiveMode),
                         HolderName);

TEST(ComOpenTest, OpeningAnotherPortClosesTheFirst) {
    PtyPair first, second;
    ComPort port;
    ASSERT_EQ(OpenComPort(&port, first.SlaveName()), COM_OPEN_OK) << ComOpenFailureHint(port);
    ASSERT_FALSE(FreeForOthers(first.SlaveName()));

    EXPECT_EQ(OpenComPort(&port, second.SlaveName()), COM_OPEN_OK) << ComOpenFailureHint(port);
    EXPECT_TRUE(FreeForOthers(first.SlaveName()));
    EXPECT_FALSE(FreeForOthers(second.SlaveName()));
    EXPECT_EQ(ZelGetTransport().context, &port);
    CloseComPort(&port);
}

TEST(ComOpenTest, OpeningAnotherPortClosesTheFirstAlsoWhenTheSecondFails) {
    PtyPair first;
    ComPort port;
    ASSERT_EQ(OpenComPort(&port, first.SlaveName()), COM_OPEN_OK) << ComOpenFailureHint(port);

    EXPECT_EQ(OpenComPort(&port, kNoSuchPort), COM_OPEN_FAILED);
    EXPECT_EQ(TerminalDescriptor(port), -1);
    EXPECT_TRUE(FreeForOthers(first.SlaveName()));

    // The hooks stay registered and now act on a closed port.
    EXPECT_EQ(ZelGetTransport().context, &port);
    const uint8_t frame[] = {0x02, 0x03};
    uint8_t reply[13];
    int received = -1;
    EXPECT_EQ(ComTransmit(&port, ZEL_DEVICE_ADDRESS, frame, 2), ZEL_E_TX_FAILED);
    EXPECT_EQ(ComReceive(&port, ZEL_DEVICE_ADDRESS, reply, 13, &received, 100), ZEL_E_RX_FAILED);
    EXPECT_EQ(received, 0);
}

TEST(ComOpenTest, ReopeningThePortHeldSucceeds) {
    PtyPair pty;
    ComPort port;
    ASSERT_EQ(OpenComPort(&port, pty.SlaveName()), COM_OPEN_OK) << ComOpenFailureHint(port);
    EXPECT_EQ(OpenComPort(&port, pty.SlaveName()), COM_OPEN_OK) << ComOpenFailureHint(port);
    const uint8_t ping[] = {'p'};
    EXPECT_EQ(ComTransmit(&port, ZEL_DEVICE_ADDRESS, ping, 1), ZEL_OK);
    EXPECT_EQ(pty.Read(1), Bytes({'p'}));
    CloseComPort(&port);
}

#ifdef TIOCGEXCL
TEST(ComOpenTest, ClosingGivesUpTheExclusiveMode) {
    // A pseudo-terminal outlives the port's descriptor; the exclusive mode
    // must not stay behind and lock every later user out.
    PtyPair pty;
    ComPort port;
    ASSERT_EQ(OpenComPort(&port, pty.SlaveName()), COM_OPEN_OK) << ComOpenFailureHint(port);
    int exclusive = 0;
    ASSERT_EQ(ioctl(TerminalDescriptor(port), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    CloseComPort(&port);

    int fd = ::open(pty.SlaveName().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(fd);
}
#endif

TEST(ComOpenTest, ClosingAPortThatIsNotOpenDoesNothing) {
    ComPort port;
    CloseComPort(&port);
    CloseComPort(&port);
    CloseComPort(nullptr);
    EXPECT_EQ(TerminalDescriptor(port), -1);
}

}  // namespace
