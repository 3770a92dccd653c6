// Per-part timing table of --bench.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gp32_functions/gp32_functions.h"

namespace headless {

struct FrameTiming {
    int32_t part;
    double draw_ms;     // Run(): timeline and frame counter
    double present_ms;  // conversion at 2x
    double present1_ms; // conversion at 1x
    double memset_ms;   // memset of the 640 x 480 x 32-bit surface: the floor of the 2x conversion
    double memset1_ms;  // memset of the 320 x 240 x 32-bit surface: the floor of the 1x conversion
    double memcpy_ms;   // memcpy of one frame buffer
    int32_t scaled_n;   // window scale of the n x n conversion timed with this frame, 0: none
    double scaled_ms;
    double scaled_memset_ms; // memset of that 320n x 240n surface
};

// Median of the values (mean of the middle two for an even count); 0 when empty. Reorders values.
double Median(std::vector<double>& values);
// Nearest-rank 95th percentile; 0 when empty. Reorders values.
double Percentile95(std::vector<double>& values);
// One line per part in order of first appearance, then the total line, the floor line and
// the conversions against their floors (with a line per n x n window scale timed). Ratios
// are 0 when the floor measured 0.
std::string FormatBench(const std::vector<FrameTiming>& frames);

// Running hash of presented frames: fold each frame of 76800 pixels into h, starting from
// kShowHashSeed. Any change of any pixel of any frame changes the result.
constexpr uint64_t kShowHashSeed = 0xcbf29ce484222325u;
uint64_t HashFrame(uint64_t h, const uint16_t* frame);
// The whole show's line: its frames, the seconds spent drawing and presenting them, the
// frames per second and the hash of every presented frame in order.
std::string FormatShow(uint32_t frames, double seconds, uint64_t hash);

// The bench of a run: each presented frame's timings, with every conversion timed next to
// the memory floor of its surface in the same frame, and the hash of every frame.
class BenchRecorder {
  public:
    BenchRecorder();
    // index: frames before this one; draw_ms: its work up to presentation; frame_ms: with
    // presentation (the show's own time).
    void Record(const LcdSurface& s, uint32_t index, int32_t part, double draw_ms, double frame_ms);
    // The per-part table, then the show line.
    std::string Report() const;
    uint64_t show_hash() const { return show_hash_; }

  private:
    std::vector<FrameTiming> timings_;
    std::unique_ptr<uint32_t[]> picture_; // 320 x 240 conversion
    std::unique_ptr<uint32_t[]> doubled_; // 640 x 480 conversion
    std::unique_ptr<uint16_t[]> copy_;    // memcpy floor
    std::unique_ptr<uint32_t[]> scaled_;  // n x n conversions
    uint64_t show_hash_ = kShowHashSeed;
    double show_seconds_ = 0;
    uint32_t frames_ = 0;
};

} // namespace headless
