#include "metrics_text.h"

#include <charconv>

#include "text_codes.h"
#include "value_format.h"
#include "zel_protocol.h"

namespace {

constexpr const char* kPrefix = "zel5100_";

// The text with each byte that does not belong to well-formed UTF-8 as U+FFFD.
std::string WellFormedUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80           ? 1
                           : (lead >> 5) == 0x6  ? 2
                           : (lead >> 4) == 0xE  ? 3
                           : (lead >> 3) == 0x1E ? 4
                                                 : 0;
        bool good = length > 0 && i + size_t(length) <= text.size();
        uint32_t code = length == 1   ? lead
                        : length == 2 ? lead & 0x1Fu
                        : length == 3 ? lead & 0x0Fu
                                      : lead & 0x07u;
        for (int k = 1; good && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + size_t(k)]);
            good = (next & 0xC0) == 0x80;
            code = code << 6 | (next & 0x3Fu);
        }
        // Overlong forms, surrogates and code points beyond Unicode are no UTF-8 either.
        static const uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        good = good && code >= kLeast[length] && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
        if (good) {
            out.append(text, i, size_t(length));
            i += size_t(length);
        } else {
            AppendUtf8(&out, 0xFFFD);
            ++i;
        }
    }
    return out;
}

// HELP text escapes backslash and line feed; a label value also the double quote.
std::string Escaped(const std::string& text, bool quotes) {
    std::string out;
    for (char c : WellFormedUtf8(text)) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '"' && quotes)
            out += "\\\"";
        else if (c == '\n')
            out += "\\n";
        else
            out.push_back(c);
    }
    return out;
}

std::string EscapedHelp(const std::string& text) {
    return Escaped(text, false);
}

std::string NumberText(double value) {
    char text[64];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end.ptr);
}

struct Label {
    const char* name;
    std::string value;
};

// The labels every series of a unit carries.
std::vector<Label> UnitLabels(const UnitSnapshot& unit) {
    std::vector<Label> labels{{"port", unit.port.name}};
    if (!unit.port.label.empty()) labels.push_back({"label", unit.port.label});
    return labels;
}

std::string LabelText(const std::vector<Label>& labels) {
    std::string text = "{";
    for (size_t i = 0; i < labels.size(); ++i) {
        if (i > 0) text += ",";
        text += std::string(labels[i].name) + "=\"" + EscapedLabelValue(labels[i].value) + "\"";
    }
    return text + "}";
}

// One metric family: its lines are written only when some unit has a sample.
class Family {
public:
    Family(std::string name, const char* type, std::string help)
        : name_(kPrefix + std::move(name)), type_(type), help_(std::move(help)) {}

    void Add(const std::vector<Label>& labels, const std::string& value) {
        samples_ += name_ + LabelText(labels) + " " + value + "\n";
    }
    void AppendTo(std::string* out) const {
        if (samples_.empty()) return;
        *out += "# HELP " + name_ + " " + EscapedHelp(help_) + "\n";
        *out += "# TYPE " + name_ + " " + type_ + "\n";
        *out += samples_;
    }

private:
    std::string name_;
    const char* type_;
    std::string help_;
    std::string samples_;
};

std::string MeasureMetricName(const SettingMeasure& measure) {
    std::string name = measure.name;
    const std::string unit = BaseUnitName(measure.unit);
    if (!unit.empty()) name += "_" + unit;
    if (measure.kind == MeasureKind::Count) name += "_total";
    return name;
}

std::string MeasureHelp(const SettingView& view, const SettingMeasure& measure) {
    const ZelCategoryEntry* category = ZelFindCategory(view.category);
    std::string help = std::string(view.caption) + " (" + QualifiedName(view) + ", " +
                       (category ? category->name : "") + ")";
    switch (measure.kind) {
        case MeasureKind::Count: help += ", a count since the unit started"; break;
        case MeasureKind::State: help += ", the unit's code"; break;
        case MeasureKind::Level: break;
    }
    if (measure.unit == MeasureUnit::Milliseconds || measure.unit == MeasureUnit::Microseconds)
        help += ", in seconds";
    if (measure.unit == MeasureUnit::BitsPerSecond) help += ", in bytes per second";
    return help + ".";
}

}  // namespace

std::string EscapedLabelValue(const std::string& text) {
    return Escaped(text, true);
}

std::string MetricsText(const std::vector<UnitSnapshot>& units) {
    Family up("up", "gauge", "Whether the unit answered its last poll (1) or not (0).");
    Family busy("port_busy", "gauge",
                "Whether the unit's port was held by another program at its last poll (1) or not (0).");
    Family duration("poll_duration_seconds", "gauge", "How long the unit's last poll took.");
    Family finished("last_poll_timestamp_seconds", "gauge", "When the unit's last poll ended, in Unix time.");
    Family info("unit_info", "gauge", "The unit's identity: type, serial number and versions; always 1.");
    Family mode("mode", "gauge", "The unit's operational mode: 0 = ASI to IP; 1 = IP to ASI.");
    Family firmware("firmware_version", "gauge", "The unit's firmware version (2.3 for v2.3).");
    std::vector<Family> measures;
    for (const SettingMeasure& measure : SettingMeasures()) {
        const SettingView* view = nullptr;
        for (const SettingView& candidate : FindPanel(measure.category)->settings)
            if (FindSettingMeasure(candidate) == &measure) view = &candidate;
        measures.emplace_back(MeasureMetricName(measure),
                              measure.kind == MeasureKind::Count ? "counter" : "gauge",
                              MeasureHelp(*view, measure));
    }

    for (const UnitSnapshot& unit : units) {
        if (unit.state == UnitState::Waiting) continue;
        const std::vector<Label> labels = UnitLabels(unit);
        up.Add(labels, unit.state == UnitState::Up ? "1" : "0");
        busy.Add(labels, unit.state == UnitState::Busy ? "1" : "0");
        duration.Add(labels, NumberText(unit.pollSeconds));
        finished.Add(labels, NumberText(unit.finishedAt));
        if (unit.state != UnitState::Up) continue;
        const UnitIdentity& id = unit.identity;
        std::vector<Label> identity = labels;
        identity.push_back({"type", FormatDeviceType(id.type)});
        identity.push_back({"serial_number", FormatSerialNumber(id.serialNumber)});
        identity.push_back({"firmware_version", FormatVersionTenths(uint32_t(id.firmwareVersion))});
        identity.push_back({"hardware_version", FormatVersion(id.hardwareVersion)});
        identity.push_back({"fpga_version", FormatVersion(id.fpgaVersion)});
        identity.push_back({"mode_name", ModeName(id.mode)});
        info.Add(identity, "1");
        mode.Add(labels, std::to_string(id.mode));
        firmware.Add(labels, NumberText(id.firmwareVersion / 10.0));
        for (const MeasuredSetting& measured : unit.measured) {
            const size_t at = size_t(measured.measure - SettingMeasures().data());
            measures[at].Add(labels, MeasureValueText(*measured.view, *measured.measure, measured.value));
        }
    }

    std::string out;
    for (const Family* family : {&up, &busy, &duration, &finished, &info, &mode, &firmware})
        family->AppendTo(&out);
    for (const Family& family : measures)
        family.AppendTo(&out);
    return out;
}
