#include "bench.h"

#include <algorithm>
#include <cstdio>

namespace capture {

double Median(std::vector<double>& values) {
    if (values.empty()) return 0.0;
    const size_t mid = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + mid, values.end());
    const double upper = values[mid];
    if (values.size() % 2 == 1) return upper;
    const double lower = *std::max_element(values.begin(), values.begin() + mid);
    return (lower + upper) / 2.0;
}

double Percentile95(std::vector<double>& values) {
    if (values.empty()) return 0.0;
    // Rank ceil(0.95 n), counted from 1.
    const size_t rank = (values.size() * 95 + 99) / 100;
    std::nth_element(values.begin(), values.begin() + (rank - 1), values.end());
    return values[rank - 1];
}

std::string FormatBench(const std::vector<FrameTiming>& frames) {
    std::vector<int32_t> order;
    for (const FrameTiming& f : frames) {
        if (std::find(order.begin(), order.end(), f.part) == order.end()) order.push_back(f.part);
    }
    std::string out;
    char line[160];
    std::vector<double> draw;
    std::vector<double> present;
    for (const int32_t p : order) {
        draw.clear();
        present.clear();
        for (const FrameTiming& f : frames) {
            if (f.part != p) continue;
            draw.push_back(f.draw_ms);
            present.push_back(f.present_ms);
        }
        const size_t n = draw.size();
        const double draw_median = Median(draw);
        const double draw_p95 = Percentile95(draw);
        std::snprintf(line, sizeof(line),
                      "part %d frames %zu draw_median_ms %.3f draw_p95_ms %.3f present_median_ms %.3f\n",
                      static_cast<int>(p), n, draw_median, draw_p95, Median(present));
        out += line;
    }
    draw.clear();
    for (const FrameTiming& f : frames)
        draw.push_back(f.draw_ms);
    std::snprintf(line, sizeof(line), "total frames %zu draw_median_ms %.3f\n", frames.size(), Median(draw));
    out += line;
    return out;
}

} // namespace capture
