// The exporter's front page: a short HTML table of the units and their state, with
// links to the metrics and to each unit's probe. Every text from outside is escaped.
#pragma once

#include <string>
#include <vector>

#include "unit_snapshot.h"

std::string StatusPage(const std::vector<UnitSnapshot>& units);

// Text made safe inside HTML elements and quoted attributes.
std::string EscapedHtml(const std::string& text);
