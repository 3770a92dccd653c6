// Per-part timing table of --bench.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace capture {

struct FrameTiming {
    int32_t part;
    double draw_ms;    // Run(): timeline and frame counter
    double present_ms; // conversion at 2x
};

// Median of the values (mean of the middle two for an even count); 0 when empty. Reorders values.
double Median(std::vector<double>& values);
// Nearest-rank 95th percentile; 0 when empty. Reorders values.
double Percentile95(std::vector<double>& values);
// One line per part in order of first appearance, then the total line.
std::string FormatBench(const std::vector<FrameTiming>& frames);

} // namespace capture
