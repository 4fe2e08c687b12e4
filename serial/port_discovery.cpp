// What the port list shares on every platform: its order and the plain list of names.
#include "port_discovery.h"

bool NaturalNameLess(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            size_t iEnd = i, jEnd = j;
            while (iEnd < a.size() && isDigit(a[iEnd]))
                ++iEnd;
            while (jEnd < b.size() && isDigit(b[jEnd]))
                ++jEnd;
            size_t iStart = i, jStart = j;
            while (iStart + 1 < iEnd && a[iStart] == '0')
                ++iStart;
            while (jStart + 1 < jEnd && b[jStart] == '0')
                ++jStart;
            std::string x = a.substr(iStart, iEnd - iStart), y = b.substr(jStart, jEnd - jStart);
            if (x.size() != y.size()) return x.size() < y.size();
            if (x != y) return x < y;
            i = iEnd;
            j = jEnd;
        } else {
            if (a[i] != b[j]) return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    if ((a.size() - i) != (b.size() - j)) return (a.size() - i) < (b.size() - j);
    return a < b;  // "ttyS01" and "ttyS1": any fixed order
}

void EnumerateComPorts(std::vector<std::string>& portNames) {
    for (const ComPortInfo& port : DiscoverComPorts())
        portNames.push_back(port.name);
}
