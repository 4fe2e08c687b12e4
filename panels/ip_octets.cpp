#include "ip_octets.h"

IpOctets IpOctets::FromValue(uint32_t value)
{
    IpOctets octets;
    octets.o0 = static_cast<int32_t>((value >> 24) & 0xFF);
    octets.o1 = static_cast<int32_t>((value >> 16) & 0xFF);
    octets.o2 = static_cast<int32_t>((value >> 8) & 0xFF);
    octets.o3 = static_cast<int32_t>(value & 0xFF);
    return octets;
}

uint32_t IpOctets::ToValue() const
{
    return (static_cast<uint32_t>(o0) << 24) + ((static_cast<uint32_t>(o1) & 0xFF) << 16) +
           ((static_cast<uint32_t>(o2) & 0xFF) << 8) + (static_cast<uint32_t>(o3) & 0xFF);
}
