// The frame engine: builds a request frame, exchanges it over the transport,
// checks the reply and decodes its data; a transaction is up to three attempts.
#include "zel_engine_internal.h"

#include <cstring>

namespace {

const uint8_t hexDigits[] = "0123456789ABCDEF";

// -1 for a character that is not a hex digit.
int digitValue(uint8_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Decodes a pair of digits; a non-digit takes the value of the digit before it
// in the pair, or 0 as the first of the pair.
uint8_t pairValue(uint8_t high, uint8_t low)
{
    int h = digitValue(high);
    if (h < 0) h = 0;
    int l = digitValue(low);
    if (l < 0) l = h;
    return static_cast<uint8_t>((h << 4) | l);
}

void pump(const ZelTransport& transport)
{
    if (transport.pump)
        transport.pump(transport.context);
}

int32_t classifyStatus(uint8_t c)
{
    switch (c) {
    case 'E': case 'e': return ZEL_STATUS_ERROR;
    case 'B': case 'b': return ZEL_STATUS_BUSY;
    case 'R': case 'r': return ZEL_STATUS_READ;
    default: return 0;
    }
}

// R or r answers a read, W or w a write; any other letter answers either.
bool AnswersOtherDirection(uint8_t status, bool read)
{
    const uint8_t other = read ? 'W' : 'R';
    return status == other || status == other + ('a' - 'A');
}

void putHexByte(uint8_t* at, int value)
{
    at[0] = hexDigits[(value >> 4) & 0xF];
    at[1] = hexDigits[value & 0xF];
}

// The request frame: STX, address, category, setting, r/w, [index], data, checksum, ETX.
// Its length, or 0 when the transaction's data does not fit a frame.
int BuildRequest(ZelTransaction& t, bool indexed, uint8_t* frame)
{
    const int dataChars = t.dataLength > 0 ? (t.hexData ? 2 * t.dataLength : t.dataLength) : 0;
    const int header = indexed ? 12 : 8;
    if (t.dataLength < 0 || header + dataChars + 3 > ZEL_FRAME_BUFFER_SIZE
        || (dataChars > 0 && !t.data))
        return 0;

    int n = 0;
    frame[n++] = ZEL_STX;
    putHexByte(frame + n, t.address); n += 2;
    putHexByte(frame + n, t.category); n += 2;
    putHexByte(frame + n, t.setting); n += 2;
    frame[n++] = t.read == 1 ? 'r' : 'w';
    if (indexed) {
        putHexByte(frame + n, (t.index >> 8) & 0xFF); n += 2;
        putHexByte(frame + n, t.index & 0xFF); n += 2;
    }
    if (dataChars > 0) {
        if (t.hexData)
            ZelBytesToHex(t.data, t.dataLength, frame + n);
        else
            std::memcpy(frame + n, t.data, static_cast<size_t>(t.dataLength));
        n += dataChars;
    }
    t.checksum = ZelChecksum(frame + 1, n - 1);
    putHexByte(frame + n, t.checksum); n += 2;
    frame[n++] = ZEL_ETX;
    return n;
}

ZelResult SendRequest(const ZelTransport& transport, const ZelTransaction& t, const uint8_t* frame,
                      int length)
{
    pump(transport);
    const ZelResult result = transport.transmit(transport.context, t.address, frame, length);
    if (result == ZEL_OK)
        pump(transport);
    return result;
}

// Collects up to `expected` bytes into the frame buffer; `got` is what counts of them.
ZelResult ReceiveReply(const ZelTransport& transport, const ZelTransaction& t, uint8_t* frame,
                       int expected, int timeoutMs, int* got)
{
    frame[expected] = 0;
    *got = 0;
    const ZelResult result =
        transport.receive(transport.context, t.address, frame, expected, got, timeoutMs);
    if (*got < 0) *got = 0;
    if (*got > expected) *got = expected;
    return result;
}

// Checks the reply's framing and checksum and that it answers this request; on ZEL_OK
// `etx` is the offset of its ETX and the reply header fields are filled.
ZelResult CheckReply(ZelTransaction& t, bool indexed, const uint8_t* frame, int got, int* etx)
{
    // Only the bytes received count: the rest of the buffer still holds the request.
    if (got < 1 || frame[0] != ZEL_STX)
        return ZEL_E_INCOMPLETE_MSG;
    int end = -1;
    for (int i = 1; i < got; ++i) {
        if (frame[i] == ZEL_ETX) {
            end = i;
            break;
        }
    }
    // An ETX at offset 1 or 2 leaves no room for the two checksum digits.
    if (end < 3)
        return ZEL_E_INCOMPLETE_MSG;

    t.replyChecksum = pairValue(frame[end - 2], frame[end - 1]);
    if (ZelChecksum(frame + 1, end - 3) != t.replyChecksum)
        return ZEL_E_INCORRECT_CHECKSUM;

    t.replyAddress = pairValue(frame[1], frame[2]);
    t.replyCategory = pairValue(frame[3], frame[4]);
    t.replySetting = pairValue(frame[5], frame[6]);
    if (t.replyCategory != (t.category & 0xFF) || t.replySetting != (t.setting & 0xFF))
        return ZEL_E_INCORRECT_REPLY;
    // A reply of the other direction belongs to another exchange (one the unit answered late).
    if (AnswersOtherDirection(frame[7], t.read == 1))
        return ZEL_E_INCORRECT_REPLY;

    t.replyStatus = classifyStatus(frame[7]);
    const bool refusal = t.replyStatus == ZEL_STATUS_ERROR || t.replyStatus == ZEL_STATUS_BUSY;
    if (indexed) {
        t.replyIndex = ZelHexToInt(frame + 8, 4);
        // Another index is another part's or row's reply; a refusal need not carry one.
        if (!refusal && t.replyIndex != (t.index & 0xFFFF))
            return ZEL_E_INCORRECT_REPLY;
    }
    *etx = end;
    return ZEL_OK;
}

// Decodes the reply's data into the output and turns its status into the result.
ZelResult DecodeReply(ZelTransaction& t, bool indexed, const uint8_t* frame, int etx)
{
    const int dataStart = indexed ? 12 : 8;
    const int digits = etx - dataStart - 2;
    // The digits between the header and the checksum fit the expected size by
    // construction (ETX lies within the expected length), so the output never overflows.
    t.size = (digits > 0 && t.output) ? ZelHexToBytes(frame + dataStart, digits, t.output) : 0;
    if (t.replyStatus == ZEL_STATUS_ERROR)
        return ZEL_E_ERROR_REPLY;
    if (t.replyStatus == ZEL_STATUS_BUSY)
        return ZEL_E_B_REPLY;
    return ZEL_OK;
}

} // namespace

void ZelSetTransport(ZelTransmitFn transmit, ZelReceiveFn receive, ZelSleepFn sleep,
                     ZelPumpFn pumpFn, void* context)
{
    ZelCurrentState().transport = {transmit, receive, sleep, pumpFn, context};
    // A purge belongs to the line it was set for: hooks wrapped around the
    // same context (a trace) keep it, hooks for another line drop it.
    if (ZelCurrentState().purgeContext != context) {
        ZelCurrentState().purge = nullptr;
        ZelCurrentState().purgeContext = nullptr;
    }
}

void ZelSetTransportPurge(ZelPurgeFn purge, void* context)
{
    ZelCurrentState().purge = purge;
    ZelCurrentState().purgeContext = context;
}

ZelTransport ZelGetTransport()
{
    return ZelCurrentState().transport;
}

int ZelChecksum(const uint8_t* bytes, int count)
{
    if (!bytes || count <= 0)
        return 0;
    unsigned sum = 0;
    for (int i = 0; i < count; ++i)
        sum += bytes[i];
    return (256 - (sum & 0xFF)) & 0xFF;
}

int ZelBytesToHex(const uint8_t* source, int count, uint8_t* destination)
{
    if (count <= 0)
        return 0;
    for (int i = 0; i < count; ++i)
        putHexByte(destination + 2 * i, source[count - 1 - i]);
    return 2 * count;
}

int ZelHexToBytes(const uint8_t* text, int digits, uint8_t* destination)
{
    if (digits <= 0)
        return 0;
    int bytes = (digits + 1) / 2;
    // Walk from the last pair backwards: the last two digits are byte 0.
    int end = digits;
    for (int i = 0; i < bytes; ++i) {
        if (end >= 2) {
            destination[i] = pairValue(text[end - 2], text[end - 1]);
            end -= 2;
        } else {
            // An odd count leaves one leading digit: it alone is the top byte.
            int v = digitValue(text[0]);
            destination[i] = static_cast<uint8_t>(v < 0 ? 0 : v);
            end = 0;
        }
    }
    return bytes;
}

int ZelHexToInt(const uint8_t* text, int digits)
{
    int value = 0;
    int previous = 0;
    for (int i = 0; i < digits; ++i) {
        int v = digitValue(text[i]);
        if (v < 0) v = previous;
        previous = v;
        value = (value << 4) | v;
    }
    return value;
}

int ZelExpectedReplyLength(int category, int size)
{
    if (ZelCategoryTimeout(category) < 0)
        return 0;
    return (ZelCategoryIndexed(category) ? 15 : 11) + 2 * size;
}

ZelResult ZelExchange(int noReply)
{
    ZelSessionState& session = ZelCurrentState();
    const ZelTransport& transport = session.transport;
    ZelTransaction& t = session.transaction;
    uint8_t* frame = session.frameBuffer;

    if (!transport.transmit)
        return ZEL_E_TXFUNC_NULL_PNTR;
    if (!transport.receive || !transport.sleep)
        return ZEL_E_RXFUNC_NULL_PNTR;
    pump(transport);

    const int timeout = ZelCategoryTimeout(t.category);
    if (timeout == -1)
        return ZEL_E_INVALID_PARAMETER;
    const bool indexed = ZelCategoryIndexed(t.category) != 0;

    int expected = 0;
    if (!noReply) {
        expected = ZelExpectedReplyLength(t.category, t.size);
        // The reply lands in the frame buffer, with a terminating zero after it.
        if (t.size < 0 || expected >= ZEL_FRAME_BUFFER_SIZE)
            return ZEL_E_INVALID_PARAMETER;
    }

    const int length = BuildRequest(t, indexed, frame);
    if (length == 0)
        return ZEL_E_INVALID_PARAMETER;
    ZelResult result = SendRequest(transport, t, frame, length);
    if (result != ZEL_OK)
        return result;
    if (noReply)
        return ZEL_REPLY_IGNORED;

    int got = 0;
    result = ReceiveReply(transport, t, frame, expected, timeout, &got);
    if (result != ZEL_OK)
        return result;
    int etx = 0;
    result = CheckReply(t, indexed, frame, got, &etx);
    if (result != ZEL_OK)
        return result;
    result = DecodeReply(t, indexed, frame, etx);
    pump(transport);
    return result;
}

bool ZelLineGone(ZelResult result)
{
    return result == ZEL_E_TX_FAILED || result == ZEL_E_PORT_CLOSED;
}

ZelResult ZelTransact(int noReply)
{
    ZelResult result = ZEL_OK;
    for (int attempt = 0; attempt < ZEL_ATTEMPTS; ++attempt) {
        result = ZelExchange(noReply);
        if (result == ZEL_OK || result == ZEL_E_ERROR_REPLY || result == ZEL_E_B_REPLY)
            return result;
        const ZelTransport transport = ZelGetTransport();
        if (ZelCurrentState().purge)
            ZelCurrentState().purge(ZelCurrentState().purgeContext);
        if (transport.receive) {
            uint8_t scratch[ZEL_DRAIN_BYTES];
            int drained = 0;
            transport.receive(transport.context, ZelTrans.address, scratch, ZEL_DRAIN_BYTES,
                              &drained, ZEL_DRAIN_TIMEOUT_MS);
        }
    }
    return result;
}
