// Port names as typed, the status texts of a failed opening, and the hints.
#include <cerrno>

#include <gtest/gtest.h>

#include "com_open_failure_posix.h"
#include "com_port.h"

namespace {

TEST(ResolvePortNameTest, LoneDigitNamesTheNumberedUsbPort) {
    EXPECT_EQ(ResolvePortName("0"), "/dev/ttyUSB0");
    EXPECT_EQ(ResolvePortName("7"), "/dev/ttyUSB7");
    EXPECT_EQ(ResolvePortName("9"), "/dev/ttyUSB9");
}

TEST(ResolvePortNameTest, EverythingElsePassesUnchanged) {
    for (const char* text : {"", "10", "07", " 7", "7 ", "a", "COM7", "/dev/ttyS0", "ttyUSB1",
                             "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"}) {
        EXPECT_EQ(ResolvePortName(text), text);
    }
}

TEST(ComOpenStatusTextTest, EachFailureCodeHasItsText) {
    EXPECT_STREQ(ComOpenStatusText(-1), "Can't open COM port");
    EXPECT_STREQ(ComOpenStatusText(-2), "Error: Can't retrieve COM-port settings!");
    EXPECT_STREQ(ComOpenStatusText(-3), "Error: Can't write COM-port settings!");
    EXPECT_STREQ(ComOpenStatusText(-4), "Error: Can't retrieve COM-port timing!");
    EXPECT_STREQ(ComOpenStatusText(-5), "Error: Can't write COM-port timing!");
    for (int other : {0, 1, -6, 1000})
        EXPECT_STREQ(ComOpenStatusText(other), "");
}

ComPort FailedWith(ComOpenProblem problem, ComPortHolder holder = {}, bool leftLocked = false) {
    ComPort port;
    port.name = "/dev/no-such-serial-port";
    port.failure.problem = problem;
    port.failure.holder = holder;
    port.failure.leftLocked = leftLocked;
    return port;
}

TEST(ComOpenFailureHintTest, NamesTheCauseInPlainWords) {
    EXPECT_EQ(ComOpenFailureHint(FailedWith(ComOpenProblem::None)), "");
    EXPECT_EQ(ComOpenFailureHint(FailedWith(ComOpenProblem::NoSuchPort)), "No such port");
    EXPECT_EQ(ComOpenFailureHint(FailedWith(ComOpenProblem::NotSerial)), "Not a serial port");
    const std::string denied = ComOpenFailureHint(FailedWith(ComOpenProblem::NoPermission));
    EXPECT_NE(denied.find("Permission denied"), std::string::npos) << denied;
    EXPECT_NE(denied.find("typically dialout"), std::string::npos) << denied;
    ComPort owned = FailedWith(ComOpenProblem::NoPermission);
    owned.failure.accessGroup = "uucp";
    EXPECT_NE(ComOpenFailureHint(owned).find("sudo usermod -aG uucp $USER"), std::string::npos);
}

// The system's error numbers at opening, turned into the facts the hint is made from.
TEST(ComOpenFailureHintTest, SystemErrorsAtOpeningNameTheirCause) {
    const struct {
        int error;
        ComOpenProblem problem;
    } cases[] = {
        {ENOENT, ComOpenProblem::NoSuchPort},   {ENXIO, ComOpenProblem::NoSuchPort},
        {ENODEV, ComOpenProblem::NoSuchPort},   {EBUSY, ComOpenProblem::Held},
        {EACCES, ComOpenProblem::NoPermission}, {EPERM, ComOpenProblem::NoPermission},
        {ENOTTY, ComOpenProblem::NotSerial},    {EINVAL, ComOpenProblem::LineSettingsRefused},
        {EIO, ComOpenProblem::NoHardware},      {EMFILE, ComOpenProblem::TooManyPorts},
        {ENOMEM, ComOpenProblem::Other},
    };
    for (const auto& c : cases) {
        ComPort port;
        port.name = "/dev/no-such-serial-port";
        NoteOpenError(&port.failure, c.error, port.name);
        EXPECT_EQ(port.failure.problem, c.problem) << c.error;
        EXPECT_FALSE(ComOpenFailureHint(port).empty()) << c.error;
    }
}

TEST(ComOpenFailureHintTest, AHeldPortNamesItsHolderWhereKnown) {
    EXPECT_EQ(ComOpenFailureHint(FailedWith(ComOpenProblem::Held, {4711, "picocom"})),
              "The port is held by picocom (pid 4711): close it there first");
    EXPECT_NE(ComOpenFailureHint(FailedWith(ComOpenProblem::Held, {4711, ""}))
                  .find("held by another program (pid 4711)"),
              std::string::npos);
    EXPECT_NE(ComOpenFailureHint(FailedWith(ComOpenProblem::Held)).find("held by another program"),
              std::string::npos);
    const std::string left = ComOpenFailureHint(FailedWith(ComOpenProblem::Held, {}, true));
    EXPECT_NE(left.find("left locked by a program that ended"), std::string::npos) << left;
    EXPECT_NE(left.find("restarting the program that serves the pseudo-terminal clears it"),
              std::string::npos)
        << left;
}

}  // namespace
