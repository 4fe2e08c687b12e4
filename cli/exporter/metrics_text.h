// The units' snapshots in the Prometheus text exposition format, version 0.0.4: every
// family once, with its HELP and TYPE lines, its samples for every unit together,
// labelled with the unit's port (and label).
#pragma once

#include <string>
#include <vector>

#include "unit_snapshot.h"

constexpr const char* METRICS_CONTENT_TYPE = "text/plain; version=0.0.4; charset=utf-8";

// A unit that has not finished a round yet has no series; one that is down or busy has
// its up, busy and poll series only.
std::string MetricsText(const std::vector<UnitSnapshot>& units);

// A label value as the format quotes it: \, " and line breaks escaped, bytes that are no
// UTF-8 replaced.
std::string EscapedLabelValue(const std::string& text);
