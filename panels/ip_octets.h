// An IPv4 address as four octets, the most significant first. Octets hold
// whatever was typed or scanned (-1 for a missing one) until they are packed.
#pragma once

#include <cstdint>
#include <string>

struct IpOctets {
    int32_t o0 = -1;
    int32_t o1 = -1;
    int32_t o2 = -1;
    int32_t o3 = -1;

    static IpOctets FromValue(uint32_t value);
    // Each octet contributes only its low 8 bits (-1 gives 255, 256 gives 0).
    uint32_t ToValue() const;
    bool IsLinkLocal() const { return o0 == 169 && o1 == 254; }
    bool Equals(int32_t a, int32_t b, int32_t c, int32_t d) const {
        return o0 == a && o1 == b && o2 == c && o3 == d;
    }
    bool Differs(int32_t a, int32_t b, int32_t c, int32_t d) const { return !Equals(a, b, c, d); }
};

inline IpOctets IpOctetsFromValue(uint32_t value) {
    return IpOctets::FromValue(value);
}
inline uint32_t IpOctetsToValue(const IpOctets& octets) {
    return octets.ToValue();
}
inline bool IsLinkLocal(const IpOctets& octets) {
    return octets.IsLinkLocal();
}
inline bool IpOctetsEqual(const IpOctets& octets, int32_t a, int32_t b, int32_t c, int32_t d) {
    return octets.Equals(a, b, c, d);
}
inline bool IpOctetsDiffer(const IpOctets& octets, int32_t a, int32_t b, int32_t c, int32_t d) {
    return octets.Differs(a, b, c, d);
}

// Reads "a.b.c.d" as typed: each number may follow white space and carry a
// sign, every dot must be there, and scanning stops at the first mismatch;
// the octets not reached stay -1. Numbers beyond 32 bits are held at the
// nearest 32-bit value. Only the first 99 characters count.
IpOctets ScanIpOctets(const std::string& text);
