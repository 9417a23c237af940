// The same facts through WMI: four queries timed in this process over one
// IWbemServices connection to ROOT\CIMV2.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "Stats.h"

struct WmiResult {
    std::string error;         // empty when measured
    double connectMicros = 0;  // the locator and ConnectServer, once
    // "all four queries" (each round's total), then each query, labelled with
    // the number of values it read.
    std::vector<std::pair<std::string, Summary>> rows;
};

// Connects, runs each query once, then times `reps` rounds of the four.
WmiResult MeasureWmi(long reps);
