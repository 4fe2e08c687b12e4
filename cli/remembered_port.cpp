#include "remembered_port.h"

#include <sstream>

#include "text_codes.h"

namespace {

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// Qt writes a string value bare when it can and in double quotes when it holds
// characters with a meaning in INI files; backslash escapes may appear in both, and
// characters beyond ASCII as \xhhhh. A comma outside quotes separates list items:
// the first item is the value.
std::string Unescape(const std::string& raw) {
    std::string out;
    bool quoted = false;
    for (size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (c == ',' && !quoted) break;
        if (c != '\\' || i + 1 >= raw.size()) {
            out.push_back(c);
            continue;
        }
        const char e = raw[++i];
        switch (e) {
            case 'a': out.push_back('\a'); break;
            case 'b': out.push_back('\b'); break;
            case 'f': out.push_back('\f'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'v': out.push_back('\v'); break;
            case 'x': {
                unsigned code = 0;
                int digits = 0;
                while (digits < 4 && i + 1 < raw.size() && HexDigitValue(raw[i + 1]) >= 0) {
                    code = code * 16 + unsigned(HexDigitValue(raw[++i]));
                    ++digits;
                }
                AppendUtf8(&out, code);
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    unsigned code = unsigned(e - '0');
                    int digits = 1;
                    while (digits < 3 && i + 1 < raw.size() && raw[i + 1] >= '0' && raw[i + 1] <= '7') {
                        code = code * 8 + unsigned(raw[++i] - '0');
                        ++digits;
                    }
                    AppendUtf8(&out, code);
                } else {
                    out.push_back(e);  // \" \' \? \\ and anything unknown: the character itself
                }
        }
    }
    // Qt marks strings that begin with '@' by doubling it, and may wrap a plain
    // string as @String(...).
    if (out.rfind("@@", 0) == 0) return out.substr(1);
    if (out.rfind("@String(", 0) == 0 && !out.empty() && out.back() == ')') {
        return out.substr(8, out.size() - 9);
    }
    return out;
}

}  // namespace

std::string IniValue(const std::string& text, const std::string& section, const std::string& key) {
    std::istringstream lines(text);
    std::string line;
    bool inSection = false;
    std::string found;
    while (std::getline(lines, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            const size_t close = line.find(']');
            inSection = close != std::string::npos && line.substr(1, close - 1) == section;
            continue;
        }
        if (!inSection) continue;
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        if (Trim(line.substr(0, equals)) != key) continue;
        found = Unescape(Trim(line.substr(equals + 1)));  // the last entry wins
    }
    return found;
}
