#include "sim_telnet_side.h"

std::vector<uint8_t> SimTelnetSide::Handle(const uint8_t* bytes, int length, std::vector<uint8_t>* data) {
    using namespace telnet;
    std::vector<Event> events;
    decoder_.Feed(bytes, length, data, &events);
    std::vector<uint8_t> out;
    const auto add = [&out](const std::vector<uint8_t>& b) { out.insert(out.end(), b.begin(), b.end()); };
    for (const Event& e : events) {
        if (e.kind == Event::Negotiation) {
            const bool ours = e.option == kOptionBinary || e.option == kOptionComPort;
            // Answers only a request: agreeing again to an agreement would loop.
            if (e.verb == kWill && ours && agreedDo_.insert(e.option).second) add(Negotiation(kDo, e.option));
            if (e.verb == kDo && ours && agreedWill_.insert(e.option).second)
                add(Negotiation(kWill, e.option));
            if (e.verb == kWill && !ours) add(Negotiation(kDont, e.option));
            if (e.verb == kDo && !ours) add(Negotiation(kWont, e.option));
        } else if (e.kind == Event::Subnegotiation && e.option == kOptionComPort && !e.payload.empty()) {
            std::vector<uint8_t> answer = e.payload;
            answer[0] = uint8_t(answer[0] + kServerOffset);
            add(Subnegotiation(kOptionComPort, answer));
        }
    }
    return out;
}

std::vector<uint8_t> SimTelnetSide::Greeting() {
    using namespace telnet;
    agreedWill_.insert(kOptionBinary);
    agreedDo_.insert(kOptionBinary);
    agreedDo_.insert(kOptionComPort);
    std::vector<uint8_t> out = Negotiation(kWill, kOptionBinary);
    for (uint8_t b : Negotiation(kDo, kOptionBinary))
        out.push_back(b);
    for (uint8_t b : Negotiation(kDo, kOptionComPort))
        out.push_back(b);
    return out;
}
