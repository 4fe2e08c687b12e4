// Opening, configuring, reading and writing a COM port with the Win32 serial API.
//
// Reads wait inside ReadFile with interval time-outs (a gap of 10 ms after a
// byte ends the read, the total bound is what is left until the deadline):
// the thread sleeps in the driver and never spins. The "return at once" modes
// (ReadIntervalTimeout MAXDWORD), WaitCommEvent and overlapped reads are left
// alone: they do not behave on ports that wine maps to pseudo-terminals, and
// what is waiting is known from ClearCommError instead.
#include "com_link_win32.h"

#include <algorithm>

#include "com_open_failure_win32.h"
#include "com_port.h"
#include "held_ports_win32.h"
#include "local_serial_link.h"

namespace {

// The gap after a byte that ends a read: a reply's bytes follow each other far
// closer than this at 115200 baud.
constexpr DWORD kByteGapMs = 10;
// A read that returns empty this much before its bound has not timed out: the
// far end has gone (wine reads a closed pseudo-terminal as 0 bytes at once).
constexpr int64_t kEarlyEmptyMs = 50;

// "COM3" opens as \\.\COM3; a name given in that form already stays as it is.
std::wstring DevicePath(const std::string& name) {
    if (name.rfind("\\\\.\\", 0) == 0) return WideFromUtf8(name);
    return L"\\\\.\\" + WideFromUtf8(name);
}

// Milliseconds until `deadline`, rounded up so that a wait never ends early.
int64_t MsLeft(SerialLink::Deadline deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(deadline - SerialLink::Clock::now());
    return left.count() <= 0 ? 0 : (left.count() + 999) / 1000;
}

// 115200 8N1, binary, no flow control of either kind, no character
// replacement; RTS and DTR raised for the whole session, as on a terminal.
void ApplyLineSettings(DCB* dcb) {
    dcb->BaudRate = CBR_115200;
    dcb->ByteSize = 8;
    dcb->Parity = NOPARITY;
    dcb->StopBits = ONESTOPBIT;
    dcb->fBinary = TRUE;
    dcb->fParity = FALSE;
    dcb->fOutxCtsFlow = FALSE;
    dcb->fOutxDsrFlow = FALSE;
    dcb->fDtrControl = DTR_CONTROL_ENABLE;
    dcb->fRtsControl = RTS_CONTROL_ENABLE;
    dcb->fDsrSensitivity = FALSE;
    dcb->fOutX = FALSE;
    dcb->fInX = FALSE;
    dcb->fErrorChar = FALSE;
    dcb->fNull = FALSE;
    dcb->fAbortOnError = FALSE;
}

}  // namespace

ComLink::~ComLink() {
    Close();
}

int ComLink::Open(const std::string& name, ComOpenFailure* failure) {
    Close();
    *failure = ComOpenFailure();
    gone_ = false;
    const auto fail = [&](int code) {
        NoteWindowsOpenError(failure, GetLastError(), name);
        return code;
    };
    // Share mode 0: no other program may open the port while it is ours.
    const HANDLE handle = CreateFileW(DevicePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return fail(COM_OPEN_FAILED);
    const int slot = HoldComPort(handle);
    if (slot < 0) {
        CloseHandle(handle);
        failure->problem = ComOpenProblem::TooManyPorts;
        return COM_OPEN_FAILED;
    }
    handle_ = handle;
    heldSlot_ = slot;

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle_, &dcb)) {
        const DWORD error = GetLastError();
        // A file or a device that is no COM port has no line settings.
        NoteWindowsOpenError(failure, error == ERROR_INVALID_HANDLE ? ERROR_INVALID_FUNCTION : error, name);
        if (failure->problem == ComOpenProblem::Other) failure->problem = ComOpenProblem::NotSerial;
        failure->detail.clear();
        return COM_GET_SETTINGS_FAILED;
    }
    COMMTIMEOUTS found{};
    if (!GetCommTimeouts(handle_, &found)) return fail(COM_GET_TIMING_FAILED);
    KeepComStateToRestore(heldSlot_, dcb, found);
    ApplyLineSettings(&dcb);
    if (!SetCommState(handle_, &dcb)) return fail(COM_SET_SETTINGS_FAILED);
    timeouts_ = COMMTIMEOUTS{};
    if (!SetTimeouts(100, 1000)) return fail(COM_SET_TIMING_FAILED);
    // Whatever arrived before the port was ours is no answer to us.
    PurgeComm(handle_, PURGE_RXCLEAR | PURGE_RXABORT | PURGE_TXABORT | PURGE_TXCLEAR);
    return COM_OPEN_OK;
}

void ComLink::Close() {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    ReleaseHeldComPort(heldSlot_);
    heldSlot_ = -1;
    handle_ = INVALID_HANDLE_VALUE;
}

bool ComLink::SetTimeouts(DWORD readConstantMs, DWORD writeConstantMs) {
    // Setting them costs a call into the driver: only when they change.
    if (timeouts_.ReadIntervalTimeout == kByteGapMs && timeouts_.ReadTotalTimeoutConstant == readConstantMs &&
        timeouts_.WriteTotalTimeoutConstant == writeConstantMs)
        return true;
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = kByteGapMs;
    t.ReadTotalTimeoutMultiplier = 0;
    t.ReadTotalTimeoutConstant = readConstantMs;
    t.WriteTotalTimeoutMultiplier = 0;
    t.WriteTotalTimeoutConstant = writeConstantMs;
    if (!SetCommTimeouts(handle_, &t)) return false;
    timeouts_ = t;
    return true;
}

int ComLink::Waiting() const {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(handle_, &errors, &status)) return -1;
    return int(std::min<DWORD>(status.cbInQue, 1 << 20));
}

bool ComLink::Write(const uint8_t* bytes, int length, Deadline deadline) {
    if (handle_ == INVALID_HANDLE_VALUE || gone_) return false;
    int sent = 0;
    while (sent < length) {
        const int64_t left = MsLeft(deadline);
        if (left <= 0) return false;
        if (!SetTimeouts(timeouts_.ReadTotalTimeoutConstant, DWORD(left))) return false;
        DWORD written = 0;
        if (!WriteFile(handle_, bytes + sent, DWORD(length - sent), &written, nullptr)) {
            gone_ = true;
            return false;
        }
        sent += int(written);
    }
    return true;
}

int ComLink::Read(uint8_t* into, int count, Deadline deadline) {
    if (handle_ == INVALID_HANDLE_VALUE || !into || count <= 0) return 0;
    int got = 0;
    while (got < count && !gone_) {
        const int64_t left = MsLeft(deadline);
        if (left <= 0) {
            // Past the deadline: only what is here already, without a wait.
            const int waiting = Waiting();
            if (waiting < 0) gone_ = true;
            if (waiting <= 0) break;
            DWORD n = 0;
            if (!ReadFile(handle_, into + got, DWORD(std::min(waiting, count - got)), &n, nullptr))
                gone_ = true;
            got += int(n);
            break;
        }
        if (!SetTimeouts(DWORD(left), timeouts_.WriteTotalTimeoutConstant)) {
            gone_ = true;
            break;
        }
        const Clock::time_point started = Clock::now();
        DWORD n = 0;
        if (!ReadFile(handle_, into + got, DWORD(count - got), &n, nullptr)) {
            gone_ = true;
            break;
        }
        got += int(n);
        if (n == 0) {
            const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
            if (took.count() + kEarlyEmptyMs < left) gone_ = true;
        }
    }
    return got;
}

// Bounded, so that a line that never stops talking cannot hold the request back.
void ComLink::DiscardInput() {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    PurgeComm(handle_, PURGE_RXCLEAR);
    uint8_t scratch[256];
    for (int round = 0; round < 64; ++round) {
        const int waiting = Waiting();
        if (waiting <= 0) return;
        DWORD n = 0;
        if (!ReadFile(handle_, scratch, DWORD(std::min<int>(waiting, sizeof scratch)), &n, nullptr) || n == 0)
            return;
    }
}

bool ComLink::LineGone() const {
    return handle_ == INVALID_HANDLE_VALUE || gone_ || Waiting() < 0;
}

std::unique_ptr<SerialLink> MakeLocalSerialLink() {
    return std::make_unique<ComLink>();
}

void ComReleaseAllPortsNow() {
    ReleaseAllHeldComPorts();
}
