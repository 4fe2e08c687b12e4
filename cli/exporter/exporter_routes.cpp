#include "exporter_routes.h"

#include "metrics_text.h"
#include "status_page.h"
#include "text_codes.h"

namespace {

constexpr const char* kPlainText = "text/plain; charset=utf-8";

HttpAnswer Plain(int status, const std::string& text) {
    return {status, kPlainText, text + "\n"};
}

std::string UnitNames(const std::vector<UnitSnapshot>& units) {
    std::string names;
    for (const UnitSnapshot& unit : units)
        names += (names.empty() ? "" : ", ") + unit.port.Display();
    return names;
}

}  // namespace

const UnitSnapshot* FindProbeTarget(const std::vector<UnitSnapshot>& units, const std::string& target) {
    for (const UnitSnapshot& unit : units)
        if (!unit.port.label.empty() && unit.port.label == target) return &unit;
    for (const UnitSnapshot& unit : units)
        if (unit.port.name == target) return &unit;
    return nullptr;
}

HttpAnswer AnswerRequest(const std::string& path, const std::string* target,
                         const std::vector<UnitSnapshot>& units) {
    if (path == "/metrics") return {200, METRICS_CONTENT_TYPE, MetricsText(units)};
    if (path == "/probe") {
        if (!target || target->empty())
            return Plain(400,
                         "probe needs ?target=LABEL: a unit's label or port name (" + UnitNames(units) + ")");
        const UnitSnapshot* unit = FindProbeTarget(units, *target);
        if (!unit)
            return Plain(404, "no unit '" + Printable(*target) + "' here; the units are " + UnitNames(units));
        return {200, METRICS_CONTENT_TYPE, MetricsText({*unit})};
    }
    if (path == "/") return {200, "text/html; charset=utf-8", StatusPage(units)};
    return Plain(404, "not found: the exporter serves /metrics, /probe?target=LABEL and /");
}
