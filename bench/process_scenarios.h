// Scenarios that run zelctl itself, as a user runs it, over several simulators each
// paced at the line's speed: a fleet command and the exporter.
#pragma once

#include <string>
#include <vector>

struct UnitsSetup {
    std::string simulator;
    std::string zelctl;
    int turnaroundUs = 1000;
    int firmware = 23;
};

struct FleetBackupRun {
    int units = 0;
    std::vector<double> oneUnitSeconds;   // zelctl --port A backup FILE, each run
    std::vector<double> allUnitsSeconds;  // zelctl --port A --port B ... backup DIR, each run
    std::string failure;                  // empty when every backup succeeded
};

// Backs up one unit, then all `units` at once, `repeats` times in turn.
FleetBackupRun TimeFleetBackup(const UnitsSetup& setup, int units, int repeats);

struct ScrapeRun {
    std::vector<double> scrapeSeconds;  // each GET /metrics, connection included
    double silentPollSeconds = 0;       // how long the silent unit's last poll took, as exported
    std::string failure;
};

// The exporter on one unit that answers and one whose every reply is lost, so that
// the silent one's line is always waiting out its time-outs; `scrapes` GETs of
// /metrics meanwhile, one every 10 ms.
ScrapeRun TimeScrapesBesideSilentUnit(const UnitsSetup& setup, int scrapes);

// The median of the values; 0 for none.
double Median(std::vector<double> values);
