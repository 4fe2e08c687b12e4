// What the settings a unit reports of its stream measure, for tools that watch units
// over time (zelctl's exporter): a count that only grows, a level, or a state code, the
// unit its value is in, and a name for the measure in lower-case words joined by '_'.
// The settings are the model's (by category and short name); the operator's settings
// (those written from a panel) are no measures and have no entry.
#pragma once

#include <string>
#include <vector>

#include "settings_model.h"

enum class MeasureKind {
    Count,  // only grows while the unit runs (lost packets, errors); starts again at a restart
    Level,  // goes up and down (a rate, a delay, a size)
    State,  // a code whose numbers name states ("0 = Ok; 1 = Disable; 2 = Error")
};

// The unit of the value as the window shows it.
enum class MeasureUnit {
    None,
    Milliseconds,
    Microseconds,
    BitsPerSecond,
};

struct SettingMeasure {
    int category;
    const char* setting;  // the model's short name: "lost-before-fec"
    MeasureKind kind;
    MeasureUnit unit;
    const char* name;  // "lost_packets_before_fec": the measure, without its unit
};

// Every measure, panel by panel in the window's order.
const std::vector<SettingMeasure>& SettingMeasures();
// The measure a setting is, or nullptr for a setting that is none.
const SettingMeasure* FindSettingMeasure(const SettingView& view);
// The measure's unit in the base unit's words ("seconds", "bytes_per_second"); "" for none.
const char* BaseUnitName(MeasureUnit unit);
// The value in the base unit as C-locale text: whole numbers exact ("5000000000", "-3"),
// others in their shortest exact form ("0.0125").
std::string MeasureValueText(const SettingView& view, const SettingMeasure& measure, uint64_t value);
