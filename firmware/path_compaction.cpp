#include "path_compaction.h"

namespace {

const char kEllipsis[] = "...";
constexpr int kEllipsisLength = 3;

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The first `count` characters of UTF-8 text, never cutting one in two.
std::string Utf8Prefix(const std::string& text, int count) {
    size_t end = 0;
    for (int taken = 0; end < text.size() && taken < count; ++taken) {
        ++end;
        while (end < text.size() && IsContinuationByte(text[end]))
            ++end;
    }
    return text.substr(0, end);
}

}  // namespace

int Utf8Length(const std::string& text) {
    int length = 0;
    for (char c : text)
        if (!IsContinuationByte(c)) ++length;
    return length;
}

std::string CompactPath(const std::string& path, int maxChars) {
    if (maxChars < 0) maxChars = 0;
    if (Utf8Length(path) <= maxChars) return path;

    // The file name: the last component, with any trailing separators it has.
    const size_t lastChar = path.find_last_not_of('/');
    const size_t fileSeparator =
        lastChar == std::string::npos ? std::string::npos : path.rfind('/', lastChar);
    const std::string file = fileSeparator == std::string::npos ? path : path.substr(fileSeparator + 1);

    // Keep as many leading folders as fit; at least one folder gives way.
    if (fileSeparator != std::string::npos && fileSeparator > 0) {
        size_t separator = path.rfind('/', fileSeparator - 1);
        while (separator != std::string::npos) {
            const std::string candidate = path.substr(0, separator + 1) + kEllipsis + "/" + file;
            if (Utf8Length(candidate) <= maxChars) return candidate;
            if (separator == 0) break;
            separator = path.rfind('/', separator - 1);
        }
    }
    if (fileSeparator != std::string::npos) {
        const std::string candidate = std::string(kEllipsis) + "/" + file;
        if (Utf8Length(candidate) <= maxChars) return candidate;
    }
    // Not even the file name fits: its start, then the ellipsis.
    if (maxChars <= kEllipsisLength) return std::string(kEllipsis, static_cast<size_t>(maxChars));
    return Utf8Prefix(file, maxChars - kEllipsisLength) + kEllipsis;
}
