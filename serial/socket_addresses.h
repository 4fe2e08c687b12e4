// The addresses getaddrinfo found, kept as SocketAddress: the same on every system,
// whose addrinfo differs only in where it is declared.
#pragma once

#include <cstring>
#include <vector>

#include "tcp_socket.h"

template <typename AddressInfo>
std::vector<SocketAddress> CopyAddresses(const AddressInfo* found) {
    std::vector<SocketAddress> addresses;
    for (const AddressInfo* a = found; a; a = a->ai_next) {
        SocketAddress address;
        if (a->ai_addrlen > sizeof address.bytes) continue;
        address.family = a->ai_family;
        address.type = a->ai_socktype;
        address.protocol = a->ai_protocol;
        address.length = int(a->ai_addrlen);
        std::memcpy(address.bytes, a->ai_addr, a->ai_addrlen);
        addresses.push_back(address);
    }
    return addresses;
}
