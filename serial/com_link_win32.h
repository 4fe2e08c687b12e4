// A COM port of Windows, opened by \\.\COMn (so that COM10 and above open too),
// for this process alone, as Windows gives every COM port.
#pragma once

#include <windows.h>

#include "serial_link.h"

class ComLink final : public SerialLink {
public:
    ~ComLink() override;

    int Open(const std::string& name, ComOpenFailure* failure) override;
    bool IsOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }
    void Close() override;

    bool Write(const uint8_t* bytes, int length, Deadline deadline) override;
    int Read(uint8_t* into, int count, Deadline deadline) override;
    void DiscardInput() override;
    bool LineGone() const override;

private:
    // Bytes the driver holds already; -1 when the port no longer answers.
    int Waiting() const;
    bool SetTimeouts(DWORD readConstantMs, DWORD writeConstantMs);

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    int heldSlot_ = -1;
    bool gone_ = false;
    COMMTIMEOUTS timeouts_{};
};
