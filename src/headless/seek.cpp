#include "headless/seek.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "effects/blobs.h"
#include "effects/julia.h"
#include "effects/polar.h"
#include "effects/water.h"
#include "engine3d/lighting.h"
#include "generate3d/generate3d.h"
#include "precalcs/shades.h"
#include "precalcs/tables.h"
#include "random/random.h"
#include "render3d/render.h"
#include "render3d/triangles.h"
#include "script/scenes.h"
#include "script/script.h"
#include "zarvelin/zarvelin.h"

namespace headless {
namespace {

// Measured with zarvelin-capture --list: each part's first frame, and the last frame.
constexpr std::array<Chapter, kChapterCount> kChapters = {{
    {0, "Star field and logo"},
    {12960, "Cylinder"},
    {53420, "Tunnel and sphere"},
    {80060, "Rotozoomed Julia"},
    {106880, "Julia and balls"},
    {133520, "Face"},
    {186780, "Plasma cube"},
    {199080, "Water and credits"},
}};
constexpr int32_t kShowLengthMs = 227840;
// A state is kept every 150 frames besides the chapter starts.
constexpr int32_t kKeepEveryMs = 3000;

using Clock = std::chrono::steady_clock;

// a + d on the time base, which wraps like the clock instead of overflowing.
int32_t Wrapped(int32_t a, int64_t d) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(static_cast<uint64_t>(d)));
}

// State the show keeps in pointers, held as numbers while it is copied.
struct Extra {
    ShowRandState random;
    int32_t water_swapped; // 1 when ba lies in buffer2
};
Extra extra;

struct Region {
    void* at;
    size_t size;
};

// Everything a frame of the show changes and a later frame reads. Resolved on each use: a
// mode set hands out new frame buffers.
constexpr int kRegions = 35;
std::array<Region, kRegions> Regions() {
    return {{
        {&part, sizeof part},
        {&prticks, sizeof prticks},
        {&partime, sizeof partime},
        {&signal3d, sizeof signal3d},
        {&chpart, sizeof chpart},
        {bpp, sizeof bpp},
        {&flip, sizeof flip},
        {&ypp, sizeof ypp},
        {&yss, sizeof yss},
        {&xpp, sizeof xpp},
        {&xss, sizeof xss},
        {xscan, sizeof xscan},
        {yscan, sizeof yscan},
        {shades, sizeof shades},
        {sx, sizeof sx},
        {sy, sizeof sy},
        {sz, sizeof sz},
        {&wtime, sizeof wtime},
        {star3dx, sizeof star3dx},
        {star3dy, sizeof star3dy},
        {star3dz, sizeof star3dz},
        {star3dv, sizeof star3dv},
        {blobbuffer, sizeof blobbuffer},
        {buffer1, sizeof buffer1},
        {buffer2, sizeof buffer2},
        {&ra, sizeof ra},
        {&zm, sizeof zm},
        {object, sizeof object},
        {rotbitmap, sizeof rotbitmap},
        {&tm, sizeof tm},
        {&RenderMode, sizeof RenderMode},
        {&lightcalc, sizeof lightcalc},
        {&extra, sizeof extra},
        {framebuffer[0], kFramePixels * sizeof(uint16_t)},
        {framebuffer[1], kFramePixels * sizeof(uint16_t)},
    }};
}

size_t StateBytes() {
    size_t n = 0;
    for (const Region& r : Regions())
        n += r.size;
    return n;
}

void BeforeSave() {
    extra.random = SaveShowRand();
    extra.water_swapped = ba == buffer2 + 240 ? 1 : 0;
}

void AfterRestore() {
    RestoreShowRand(extra.random);
    ba = (extra.water_swapped != 0 ? buffer2 : buffer1) + 240;
    bb = (extra.water_swapped != 0 ? buffer1 : buffer2) + 240;
}

// The whole state in one block, for the live show while the replay borrows the globals and
// for the replay's place between two kept states.
class FlatState {
  public:
    void Save() {
        BeforeSave();
        bytes_.resize(StateBytes());
        uint8_t* p = bytes_.data();
        for (const Region& r : Regions()) {
            std::memcpy(p, r.at, r.size);
            p += r.size;
        }
    }
    void Restore() const {
        const uint8_t* p = bytes_.data();
        for (const Region& r : Regions()) {
            std::memcpy(r.at, p, r.size);
            p += r.size;
        }
        AfterRestore();
    }

  private:
    std::vector<uint8_t> bytes_;
};

// A kept state: each region's bytes, shared with the state kept before when unchanged (the
// water before its part, the blob densities that are all 0 between frames ...).
struct Kept {
    int32_t ms; // show time of the next frame
    std::array<std::shared_ptr<const std::vector<uint8_t>>, kRegions> bytes;
};

struct Seeker {
    bool started = false;
    int32_t origin = 0;
    std::vector<Kept> kept;  // in order of show time, from 0 without a gap
    FlatState ahead;         // the replay past the last kept state, when ahead_ms is later
    int32_t ahead_ms = -1;
    FlatState live;
    int32_t replay_ms = 0;   // the clock while replaying
    size_t bytes = 0;
};
Seeker seeker;

uint32_t ReplayTicks() {
    return static_cast<uint32_t>(seeker.replay_ms);
}

void Keep(int32_t ms) {
    BeforeSave();
    Kept k;
    k.ms = ms;
    const Kept* before = seeker.kept.empty() ? nullptr : &seeker.kept.back();
    const std::array<Region, kRegions> regions = Regions();
    for (int i = 0; i < kRegions; i++) {
        const Region& r = regions[i];
        const auto& old = before != nullptr ? before->bytes[i] : nullptr;
        if (old != nullptr && old->size() == r.size && std::memcmp(old->data(), r.at, r.size) == 0) {
            k.bytes[i] = old;
            continue;
        }
        const uint8_t* p = static_cast<const uint8_t*>(r.at);
        k.bytes[i] = std::make_shared<const std::vector<uint8_t>>(p, p + r.size);
        seeker.bytes += r.size;
    }
    seeker.kept.push_back(std::move(k));
}

void Restore(const Kept& k) {
    const std::array<Region, kRegions> regions = Regions();
    for (int i = 0; i < kRegions; i++)
        std::memcpy(regions[i].at, k.bytes[i]->data(), regions[i].size);
    AfterRestore();
}

bool KeepPoint(int32_t ms) {
    if (ms % kKeepEveryMs == 0) return true;
    for (const Chapter& c : kChapters)
        if (c.start_ms == ms) return true;
    return false;
}

int32_t KeptMs() {
    return seeker.kept.back().ms;
}

// The replay's furthest place: the state there is in the globals afterwards, in show time.
int32_t RestoreFurthest() {
    if (seeker.ahead_ms > KeptMs()) {
        seeker.ahead.Restore();
        return seeker.ahead_ms;
    }
    Restore(seeker.kept.back());
    return KeptMs();
}

// The frame at show time ms on the 20 ms clock, without presenting it; keeps a state first
// where one is due.
void ReplayFrame(int32_t ms) {
    if (ms > KeptMs() && KeepPoint(ms)) Keep(ms);
    seeker.replay_ms = ms;
    Script();
    flip = (flip + 1) & 1;
}

// Runs the replay with its own clock (times in show time, partime too).
class Replay {
  public:
    Replay() : source_(GpGetTickSource()) { GpSetTickSource(ReplayTicks); }
    ~Replay() { GpSetTickSource(source_); }
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;

  private:
    TickSource source_;
};

} // namespace

const std::array<Chapter, kChapterCount>& Chapters() {
    return kChapters;
}

int32_t ShowLengthMs() {
    return kShowLengthMs;
}

int ChapterAt(int32_t ms) {
    int n = 0;
    for (int i = 1; i < kChapterCount; i++)
        if (ms >= kChapters[i].start_ms) n = i;
    return n;
}

std::string MinutesSeconds(int32_t ms) {
    const int32_t s = ms > 0 ? ms / 1000 : 0;
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", static_cast<int>(s / 60), static_cast<int>(s % 60));
    return text;
}

void KeepShowStart(int32_t origin) {
    seeker.kept.clear();
    seeker.bytes = 0;
    seeker.ahead_ms = -1;
    seeker.origin = origin;
    partime = Wrapped(partime, -int64_t{origin});
    Keep(0);
    partime = Wrapped(partime, origin);
    seeker.started = true;
}

bool SeekShow(int32_t ms) {
    if (!seeker.started || ms < 0 || ms > kShowLengthMs) return false;
    {
        const Replay replay;
        int32_t t;
        if (seeker.ahead_ms > KeptMs() && seeker.ahead_ms <= ms) {
            t = RestoreFurthest();
        } else {
            size_t i = seeker.kept.size() - 1;
            while (seeker.kept[i].ms > ms)
                i--;
            Restore(seeker.kept[i]);
            t = seeker.kept[i].ms;
        }
        for (; t < ms; t += kSeekStepMs)
            ReplayFrame(t);
        // A seek past the replay's furthest place carries it there.
        if (t > KeptMs() && t > seeker.ahead_ms) {
            seeker.ahead.Save();
            seeker.ahead_ms = t;
        }
    }
    partime = Wrapped(partime, seeker.origin);
    return true;
}

bool PrepareSeeks(double budget_ms) {
    if (!seeker.started) return false;
    const int32_t furthest = seeker.ahead_ms > KeptMs() ? seeker.ahead_ms : KeptMs();
    if (furthest >= kShowLengthMs) return false;
    const Clock::time_point end =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(budget_ms));
    seeker.live.Save();
    {
        const Replay replay;
        int32_t t = RestoreFurthest();
        do {
            ReplayFrame(t);
            t += kSeekStepMs;
        } while (t < kShowLengthMs && Clock::now() < end);
        if (KeepPoint(t) && t > KeptMs()) {
            Keep(t);
        } else {
            seeker.ahead.Save();
            seeker.ahead_ms = t;
        }
    }
    seeker.live.Restore();
    return (seeker.ahead_ms > KeptMs() ? seeker.ahead_ms : KeptMs()) < kShowLengthMs;
}

void SetShowOrigin(int32_t origin) {
    partime = Wrapped(partime, int64_t{origin} - seeker.origin);
    seeker.origin = origin;
}

int32_t ShowTimeMs() {
    return Wrapped(Ticks(), -int64_t{seeker.origin});
}

int32_t StepMs(int32_t now, int32_t delta) {
    const int64_t t = int64_t{now} + delta;
    return t < 0 ? 0 : (t > kShowLengthMs ? kShowLengthMs : static_cast<int32_t>(t));
}

int32_t TenthMs(int n) {
    return n <= 0 ? 0 : (n >= 10 ? kShowLengthMs : kShowLengthMs / 10 * n);
}

int32_t PreviousChapterMs(int32_t now) {
    const int i = ChapterAt(now);
    return now - kChapters[i].start_ms < 2000 && i > 0 ? kChapters[i - 1].start_ms : kChapters[i].start_ms;
}

int32_t NextChapterMs(int32_t now) {
    const int i = ChapterAt(now);
    return i + 1 < kChapterCount ? kChapters[i + 1].start_ms : -1;
}

int32_t PreparedMs() {
    return seeker.started ? KeptMs() : 0;
}

size_t KeptBytes() {
    return seeker.bytes;
}

} // namespace headless
