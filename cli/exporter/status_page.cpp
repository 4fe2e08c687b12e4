#include "status_page.h"

#include <charconv>
#include <ctime>

#include "settings_model.h"
#include "text_codes.h"
#include "value_format.h"

namespace {

// A query parameter's value: everything but unreserved characters percent-encoded.
std::string UrlComponent(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
            c == '-' || c == '.' || c == '_' || c == '~') {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0xF]);
        }
    }
    return out;
}

std::string UtcTime(double secondsSince1970) {
    const std::time_t seconds = std::time_t(secondsSince1970);
    std::tm utc{};
#if defined(_WIN32)
    gmtime_s(&utc, &seconds);
#else
    gmtime_r(&seconds, &utc);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc);
    return text;
}

std::string Cell(const std::string& text) {
    return "<td>" + EscapedHtml(Printable(text)) + "</td>";
}

std::string UnitRow(const UnitSnapshot& unit) {
    std::string row = "<tr class=\"" + std::string(UnitStateName(unit.state)) + "\">";
    row += Cell(unit.port.label) + Cell(unit.port.name) + Cell(UnitStateName(unit.state));
    const bool up = unit.state == UnitState::Up;
    const UnitIdentity& id = unit.identity;
    row += Cell(up ? FormatSerialNumber(id.serialNumber) : "");
    row += Cell(up ? std::to_string(id.mode) + " " + ModeName(id.mode) : "");
    row += Cell(up ? FormatVersionTenths(uint32_t(id.firmwareVersion)) : "");
    if (unit.state == UnitState::Waiting) {
        row += Cell("") + Cell("");
    } else {
        char duration[32];
        const std::to_chars_result end = std::to_chars(duration, duration + sizeof duration, unit.pollSeconds,
                                                       std::chars_format::fixed, 3);
        row += Cell(UtcTime(unit.finishedAt) + " (" + std::string(duration, end.ptr) + " s)");
        row += Cell(unit.problem);
    }
    row += "<td><a href=\"probe?target=" + EscapedHtml(UrlComponent(unit.port.Display())) +
           "\">metrics</a></td>";
    return row + "</tr>\n";
}

}  // namespace

std::string EscapedHtml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out.push_back(c);
        }
    }
    return out;
}

std::string StatusPage(const std::vector<UnitSnapshot>& units) {
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>ZEL-5100 exporter</title>\n"
        "<style>body{font-family:sans-serif}table{border-collapse:collapse}"
        "td,th{border:1px solid #aaa;padding:2px 6px;text-align:left}"
        "tr.up td{background:#e6f4e6}tr.down td{background:#f8e0e0}tr.busy td{background:#fdf3d8}</style>\n"
        "</head>\n<body>\n<h1>ZEL-5100 exporter</h1>\n"
        "<p><a href=\"metrics\">Metrics</a> of every unit; one unit's alone at "
        "<code>probe?target=LABEL</code>.</p>\n"
        "<table>\n<tr><th>Label</th><th>Port</th><th>State</th><th>Serial number</th><th>Mode</th>"
        "<th>Firmware</th><th>Last poll</th><th>Problem</th><th></th></tr>\n";
    for (const UnitSnapshot& unit : units)
        page += UnitRow(unit);
    return page + "</table>\n</body>\n</html>\n";
}
