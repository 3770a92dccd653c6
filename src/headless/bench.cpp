#include "headless/bench.h"

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace headless {
namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Ratio(double value, double floor) {
    return floor > 0.0 ? value / floor : 0.0;
}

// Median of one field over the frames, or over one part's frames when part >= 0.
double FieldMedian(const std::vector<FrameTiming>& frames, double FrameTiming::*field, int32_t part,
                   std::vector<double>& scratch) {
    scratch.clear();
    for (const FrameTiming& f : frames) {
        if (part < 0 || f.part == part) scratch.push_back(f.*field);
    }
    return Median(scratch);
}

} // namespace

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
    std::vector<double> scratch;
    const double floor2 = FieldMedian(frames, &FrameTiming::memset_ms, -1, scratch);
    const double floor1 = FieldMedian(frames, &FrameTiming::memset1_ms, -1, scratch);
    std::string out;
    char line[200];
    for (const int32_t p : order) {
        scratch.clear();
        for (const FrameTiming& f : frames) {
            if (f.part == p) scratch.push_back(f.draw_ms);
        }
        const size_t n = scratch.size();
        const double draw_median = Median(scratch);
        const double draw_p95 = Percentile95(scratch);
        const double present = FieldMedian(frames, &FrameTiming::present_ms, p, scratch);
        std::snprintf(line, sizeof(line),
                      "part %d frames %zu draw_median_ms %.3f draw_p95_ms %.3f present_median_ms %.3f "
                      "present_floor_ratio %.1f\n",
                      static_cast<int>(p), n, draw_median, draw_p95, present, Ratio(present, floor2));
        out += line;
    }
    std::snprintf(line, sizeof(line), "total frames %zu draw_median_ms %.3f\n", frames.size(),
                  FieldMedian(frames, &FrameTiming::draw_ms, -1, scratch));
    out += line;
    std::snprintf(line, sizeof(line), "floor memset_ms %.4f memset1_ms %.4f memcpy_ms %.4f\n", floor2, floor1,
                  FieldMedian(frames, &FrameTiming::memcpy_ms, -1, scratch));
    out += line;
    const double present2 = FieldMedian(frames, &FrameTiming::present_ms, -1, scratch);
    const double present1 = FieldMedian(frames, &FrameTiming::present1_ms, -1, scratch);
    std::snprintf(line, sizeof(line),
                  "present scale1_median_ms %.4f scale1_floor_ratio %.1f scale0_median_ms %.4f "
                  "scale0_floor_ratio %.1f\n",
                  present2, Ratio(present2, floor2), present1, Ratio(present1, floor1));
    out += line;
    for (int32_t n = 1; n <= 16; n++) {
        std::vector<double> present;
        scratch.clear();
        for (const FrameTiming& f : frames) {
            if (f.scaled_n != n) continue;
            present.push_back(f.scaled_ms);
            scratch.push_back(f.scaled_memset_ms);
        }
        if (present.empty()) continue;
        const size_t count = present.size();
        const double median = Median(present);
        std::snprintf(line, sizeof(line), "present_scaled n %d frames %zu median_ms %.4f floor_ratio %.1f\n",
                      static_cast<int>(n), count, median, Ratio(median, Median(scratch)));
        out += line;
    }
    return out;
}

uint64_t HashFrame(uint64_t h, const uint16_t* frame) {
    // FNV-style over 64-bit words: each step is a bijection of h, so one changed word
    // always changes the result.
    for (int i = 0; i < 76800; i += 4) {
        uint64_t w;
        std::memcpy(&w, frame + i, sizeof(w));
        h = (h ^ w) * 0x100000001b3u;
        h ^= h >> 29;
    }
    return h;
}

std::string FormatShow(uint32_t frames, double seconds, uint64_t hash) {
    char line[160];
    std::snprintf(line, sizeof(line), "show frames %u seconds %.3f fps %.0f show_hash %016" PRIx64 "\n",
                  frames, seconds, seconds > 0.0 ? frames / seconds : 0.0, hash);
    return line;
}

BenchRecorder::BenchRecorder()
    : picture_(std::make_unique<uint32_t[]>(76800)), doubled_(std::make_unique<uint32_t[]>(640 * 480)),
      copy_(std::make_unique<uint16_t[]>(76800)),
      scaled_(std::make_unique<uint32_t[]>(size_t{76800} * kMaxWindowScale * kMaxWindowScale)) {
    timings_.reserve(16384);
}

void BenchRecorder::Record(const LcdSurface& s, uint32_t index, int32_t part, double draw_ms,
                           double frame_ms) {
    FrameTiming t{part, draw_ms, 0, 0, 0, 0, 0, 0, 0, 0};
    Clock::time_point t0 = Clock::now();
    std::memset(doubled_.get(), 0, 640 * 480 * sizeof(uint32_t));
    Clock::time_point t1 = Clock::now();
    ConvertFrame(s.buffer, s.depth, doubled_.get(), 1);
    Clock::time_point t2 = Clock::now();
    t.memset_ms = Ms(t1 - t0);
    t.present_ms = Ms(t2 - t1);
    t0 = Clock::now();
    std::memset(picture_.get(), 0, 320 * 240 * sizeof(uint32_t));
    t1 = Clock::now();
    ConvertFrame(s.buffer, s.depth, picture_.get(), 0);
    t2 = Clock::now();
    std::memcpy(copy_.get(), s.buffer, 76800 * sizeof(uint16_t));
    const Clock::time_point t3 = Clock::now();
    t.memset1_ms = Ms(t1 - t0);
    t.present1_ms = Ms(t2 - t1);
    t.memcpy_ms = Ms(t3 - t2);
    if (index % 8 == 0) {
        // The larger windows in turn, on every eighth frame: 3x to 6x.
        t.scaled_n = 3 + static_cast<int32_t>(index / 8 % 4);
        const size_t bytes = size_t{76800} * static_cast<size_t>(t.scaled_n * t.scaled_n) * sizeof(uint32_t);
        t0 = Clock::now();
        std::memset(scaled_.get(), 0, bytes);
        t1 = Clock::now();
        ConvertFrameScaled(s.buffer, s.depth, scaled_.get(), t.scaled_n);
        t2 = Clock::now();
        t.scaled_memset_ms = Ms(t1 - t0);
        t.scaled_ms = Ms(t2 - t1);
    }
    timings_.push_back(t);
    show_hash_ = HashFrame(show_hash_, copy_.get());
    show_seconds_ += frame_ms / 1000.0;
    frames_++;
}

std::string BenchRecorder::Report() const {
    return FormatBench(timings_) + FormatShow(frames_, show_seconds_, show_hash_);
}

} // namespace headless
