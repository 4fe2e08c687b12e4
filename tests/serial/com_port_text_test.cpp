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

TEST(ComOpenFailureHintTest, NamesTheCauseInPlainWords) {
    EXPECT_EQ(ComOpenFailureHint(0), "");
    EXPECT_EQ(ComOpenFailureHint(ENOENT), "No such port");
    EXPECT_EQ(ComOpenFailureHint(ENXIO), "No such port");
    EXPECT_EQ(ComOpenFailureHint(EBUSY), "The port is in use by another program");
    EXPECT_EQ(ComOpenFailureHint(ENOTTY), "Not a serial port");
    for (int denied : {EACCES, EPERM}) {
        std::string hint = ComOpenFailureHint(denied);
        EXPECT_NE(hint.find("Permission denied"), std::string::npos) << hint;
        EXPECT_NE(hint.find("dialout"), std::string::npos) << hint;
    }
    EXPECT_FALSE(ComOpenFailureHint(ENOMEM).empty());
}

}  // namespace
