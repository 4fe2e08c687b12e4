#include "frame_trace.h"

#include "cli_errors.h"
#include "local_time.h"
#include "standard_output.h"
#include "text_codes.h"
#include "zel_protocol.h"

namespace {

struct TraceState {
    ZelTransport inner{};
    std::FILE* out = nullptr;
    bool installed = false;
};

// One trace per thread: a thread drives one port, through its own session.
thread_local TraceState g_trace;

void Emit(const std::string& line) {
    if (!g_trace.out) return;
    if (g_trace.out == stderr) {
        WriteErrLine(TraceTimestamp() + " " + Printable(line));
        return;
    }
    std::fputs((TraceTimestamp() + " " + Printable(line) + "\n").c_str(), g_trace.out);
    std::fflush(g_trace.out);
}

ZelResult TraceTransmit(void* context, int address, const uint8_t* bytes, int length) {
    const ZelResult result = g_trace.inner.transmit ? g_trace.inner.transmit(context, address, bytes, length)
                                                    : ZEL_E_TXFUNC_NULL_PNTR;
    std::string line = "TX " + std::to_string(length) + " bytes: " + HexBytes(bytes, length) + "  " +
                       FrameText(bytes, length);
    if (result != ZEL_OK) line += "  -> " + CliResultName(result);
    Emit(line);
    return result;
}

ZelResult TraceReceive(void* context, int address, uint8_t* buffer, int count, int* received, int timeoutMs) {
    int got = 0;
    const ZelResult result = g_trace.inner.receive
                                 ? g_trace.inner.receive(context, address, buffer, count, &got, timeoutMs)
                                 : ZEL_E_RXFUNC_NULL_PNTR;
    if (received) *received = got;
    if (got <= 0) {
        Emit("RX nothing within " + std::to_string(timeoutMs) + " ms (" + CliResultName(result) + ")");
    } else {
        const std::string size = got < count ? std::to_string(got) + " of " + std::to_string(count) + " bytes"
                                             : std::to_string(got) + " bytes";
        Emit("RX " + size + ": " + HexBytes(buffer, got) + "  " + FrameText(buffer, got));
    }
    return result;
}

ZelResult TraceSleep(void* context, int milliseconds) {
    return g_trace.inner.sleep ? g_trace.inner.sleep(context, milliseconds) : ZEL_OK;
}

ZelResult TracePump(void* context) {
    return g_trace.inner.pump ? g_trace.inner.pump(context) : ZEL_OK;
}

}  // namespace

void InstallFrameTrace(std::FILE* out) {
    if (g_trace.installed) RemoveFrameTrace();
    g_trace.inner = ZelGetTransport();
    g_trace.out = out;
    g_trace.installed = true;
    // The engine refuses to run without receive and sleep hooks: keep an absent hook absent.
    ZelSetTransport(TraceTransmit, g_trace.inner.receive ? TraceReceive : nullptr,
                    g_trace.inner.sleep ? TraceSleep : nullptr, TracePump, g_trace.inner.context);
}

void RemoveFrameTrace() {
    if (!g_trace.installed) return;
    ZelSetTransport(g_trace.inner.transmit, g_trace.inner.receive, g_trace.inner.sleep, g_trace.inner.pump,
                    g_trace.inner.context);
    g_trace = TraceState{};
}

void TraceNote(const std::string& text) {
    if (g_trace.installed) Emit(text);
}

std::string TraceTimestamp() {
    return LocalTimeText(false, true);
}

std::string HexBytes(const uint8_t* bytes, int count) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(size_t(count > 0 ? count : 0) * 3);
    for (int i = 0; i < count; ++i) {
        if (i > 0) text.push_back(' ');
        text.push_back(digits[bytes[i] >> 4]);
        text.push_back(digits[bytes[i] & 15]);
    }
    return text;
}

std::string FrameText(const uint8_t* bytes, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        const uint8_t c = bytes[i];
        if (c == ZEL_STX) {
            text += "<STX>";
        } else if (c == ZEL_ETX) {
            text += "<ETX>";
        } else if (c >= 0x20 && c < 0x7F) {
            text.push_back(char(c));
        } else {
            text.push_back('.');
        }
    }
    return text;
}
