// A ComPort opened on a fresh pseudo-terminal, for the tests of the hooks.
#pragma once

#include "com_port.h"
#include "pty_pair.h"
#include "terminal_link_posix.h"

class PortOnPty : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(OpenComPort(&port, pty.SlaveName()), 0); }
    void TearDown() override { CloseComPort(&port); }

    // Puts bytes on the line and waits until the port has them queued, so a
    // test can rely on "already waiting" without sleeping.
    void Arrive(const Bytes& bytes) {
        int before = InputQueued(TerminalDescriptor(port));
        pty.Write(bytes);
        ASSERT_TRUE(
            WaitUntil([&] { return InputQueued(TerminalDescriptor(port)) >= before + int(bytes.size()); }));
    }

    PtyPair pty;
    ComPort port;
};
