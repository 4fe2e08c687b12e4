// Fuzz target: the Telnet decoder takes any bytes in pieces of any size and splits
// them the same way as whole; data encoded for the stream decodes to itself.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "telnet_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t split = data[0] % size;
    const uint8_t* stream = data + 1;
    const int length = static_cast<int>(size - 1);

    std::vector<uint8_t> wholeData, pieceData;
    std::vector<telnet::Event> wholeEvents, pieceEvents;
    telnet::Decoder whole, pieces;
    whole.Feed(stream, length, &wholeData, &wholeEvents);
    const int first = static_cast<int>(split) < length ? static_cast<int>(split) : length;
    pieces.Feed(stream, first, &pieceData, &pieceEvents);
    pieces.Feed(stream + first, length - first, &pieceData, &pieceEvents);
    if (wholeData != pieceData || !(wholeEvents == pieceEvents))
        std::abort();

    std::vector<uint8_t> encoded;
    telnet::AppendData(&encoded, stream, length);
    std::vector<uint8_t> decoded;
    std::vector<telnet::Event> events;
    telnet::Decoder again;
    again.Feed(encoded.data(), static_cast<int>(encoded.size()), &decoded, &events);
    if (decoded != std::vector<uint8_t>(stream, stream + length) || !events.empty())
        std::abort();
    return 0;
}
