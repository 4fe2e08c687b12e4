// Port names as typed, the status texts of a failed opening, and the hints.
#include <cerrno>

#include <gtest/gtest.h>

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
    for (int other : {0, 1, -6, 1000}) EXPECT_STREQ(ComOpenStatusText(other), "");
}

ComPort FailedWith(int error, ComPortHolder holder = {}, bool leftLocked = false) {
    ComPort port;
    port.name = "/dev/no-such-serial-port";
    port.lastErrno = error;
    port.holder = holder;
    port.leftLocked = leftLocked;
    return port;
}

TEST(ComOpenFailureHintTest, NamesTheCauseInPlainWords) {
    EXPECT_EQ(ComOpenFailureHint(FailedWith(0)), "");
    EXPECT_EQ(ComOpenFailureHint(FailedWith(ENOENT)), "No such port");
    EXPECT_EQ(ComOpenFailureHint(FailedWith(ENXIO)), "No such port");
    EXPECT_EQ(ComOpenFailureHint(FailedWith(ENOTTY)), "Not a serial port");
    for (int denied : {EACCES, EPERM}) {
        std::string hint = ComOpenFailureHint(FailedWith(denied));
        EXPECT_NE(hint.find("Permission denied"), std::string::npos) << hint;
        EXPECT_NE(hint.find("dialout"), std::string::npos) << hint;
    }
    EXPECT_FALSE(ComOpenFailureHint(FailedWith(ENOMEM)).empty());
}

TEST(ComOpenFailureHintTest, AHeldPortNamesItsHolderWhereKnown) {
    EXPECT_EQ(ComOpenFailureHint(FailedWith(EBUSY, {4711, "picocom"})),
              "The port is held by picocom (pid 4711): close it there first");
    EXPECT_NE(ComOpenFailureHint(FailedWith(EBUSY, {4711, ""})).find("held by another program (pid 4711)"),
              std::string::npos);
    EXPECT_NE(ComOpenFailureHint(FailedWith(EBUSY)).find("held by another program"), std::string::npos);
    const std::string left = ComOpenFailureHint(FailedWith(EBUSY, {}, true));
    EXPECT_NE(left.find("left locked by a program that ended"), std::string::npos) << left;
    EXPECT_NE(left.find("restarting the program that serves the pseudo-terminal clears it"), std::string::npos)
        << left;
}

}  // namespace
