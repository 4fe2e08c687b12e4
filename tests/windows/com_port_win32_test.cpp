// What an opening of a COM port tells the user on Windows, from the system's codes.
#include <gtest/gtest.h>

#include "com_open_failure_win32.h"
#include "com_port.h"

namespace {

TEST(ComOpenFailureWin32, EachCodeGivesTheWordsOfItsProblem) {
    struct Case {
        DWORD code;
        const char* words;
    };
    const Case cases[] = {
        {ERROR_FILE_NOT_FOUND, "No such port"},
        {ERROR_PATH_NOT_FOUND, "No such port"},
        // Windows refuses a second opener with "access denied".
        {ERROR_ACCESS_DENIED,
         "The port is held by another program (the window, zelctl, a terminal program): close it there "
         "first"},
        {ERROR_INVALID_FUNCTION, "Not a serial port"},
        {ERROR_GEN_FAILURE, "No serial hardware answers at this port"},
    };
    for (const Case& c : cases) {
        ComPort port;
        NoteWindowsOpenError(&port.failure, c.code, "COM3");
        EXPECT_EQ(ComOpenFailureHint(port), c.words) << c.code;
    }
    ComPort other;
    NoteWindowsOpenError(&other.failure, ERROR_NOT_ENOUGH_MEMORY, "COM3");
    EXPECT_EQ(ComOpenFailureHint(other).rfind("Cannot open COM3: ", 0), 0u) << ComOpenFailureHint(other);
}

TEST(ComPortWin32, APortNotThereIsNamedAndNothingStaysOpen) {
    ComPort port;
    EXPECT_EQ(OpenComPort(&port, "COM199"), COM_OPEN_FAILED);
    EXPECT_EQ(ComOpenFailureHint(port), "No such port");
    EXPECT_FALSE(ComPortIsOpen(port));
    EXPECT_EQ(ResolvePortName("7"), "COM7");
}

}  // namespace
