// What the exporter answers, apart from HTTP itself: /metrics for every unit, /probe for
// one unit named by its label or port (Prometheus' multi-target pattern), / the page.
#pragma once

#include <string>
#include <vector>

#include "unit_snapshot.h"

struct HttpAnswer {
    int status = 200;
    std::string contentType;
    std::string body;
};

// `target` is the query's target parameter, null when the query has none.
HttpAnswer AnswerRequest(const std::string& path, const std::string* target,
                         const std::vector<UnitSnapshot>& units);

// The unit a probe names: by label first, then by port name; null when none is so named.
const UnitSnapshot* FindProbeTarget(const std::vector<UnitSnapshot>& units, const std::string& target);
