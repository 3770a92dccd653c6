#include "headless/run.h"

#include <chrono>

#include "headless/seek.h"
#include "script/script.h"
#include "zarvelin/zarvelin.h"

namespace headless {
namespace {

using Clock = std::chrono::steady_clock;

uint32_t vclock = 0;
uint32_t vstep = 20;
bool showing = false;
LoadingHook loading_hook = nullptr;
const LcdSurface* presented = nullptr;
uint32_t frames = 0;

uint32_t VirtualTicks() {
    return vclock;
}

// The loading bar presents through the same call; only the show's frames move the clock.
void OnPresent(const LcdSurface* s) {
    if (!showing) {
        if (loading_hook != nullptr) loading_hook(s);
        return;
    }
    presented = s;
    vclock += vstep;
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

void UseVirtualClock(uint32_t step, LoadingHook loading) {
    vclock = 0;
    vstep = step;
    showing = false;
    frames = 0;
    loading_hook = loading;
    GpSetTickSource(VirtualTicks);
    GpSetPresentHook(OnPresent);
}

void StartShow() {
    partime = Ticks();
    KeepShowStart(partime);
    showing = true;
}

bool SeekVirtual(int32_t ms) {
    if (!SeekShow(ms)) return false;
    vclock = static_cast<uint32_t>(ms);
    return true;
}

uint32_t VirtualMs() {
    return vclock;
}

FrameResult NextFrame(uint32_t until, ShownFrame& frame, std::string& error) {
    if (quit != 0 || (until != 0 && vclock >= until)) return FrameResult::ShowOver;
    // The time base is a signed 32-bit millisecond count: a show that never ends stops
    // before its clock would leave that range.
    if (vclock > static_cast<uint32_t>(INT32_MAX) - vstep) {
        error = "the show did not end before its clock ran out";
        return FrameResult::Failed;
    }
    frame.index = frames;
    frame.part = part;
    frame.show_ms = vclock;
    const Clock::time_point t0 = Clock::now();
    Run();
    const Clock::time_point t1 = Clock::now();
    frame.prticks = prticks;
    presented = nullptr;
    PresentFrame();
    frame.draw_ms = Ms(t1 - t0);
    frame.frame_ms = Ms(Clock::now() - t0);
    if (presented == nullptr) {
        // Without a presentation the clock stands still: the run could never end.
        error = "a frame of the show was not presented";
        return FrameResult::Failed;
    }
    frame.surface = presented;
    frames++;
    return FrameResult::Drawn;
}

std::string FrameName(int32_t part, int32_t prticks) {
    // Appended piece by piece: g++ 12 at -O3 takes "p" + std::string for an overlapping copy
    // (a false -Wrestrict that stops warnings-as-errors Release builds).
    std::string name = "p";
    name += std::to_string(part);
    name += "_t";
    name += std::to_string(prticks);
    return name;
}

int FrameRequests::Take(int32_t part, int32_t prticks) {
    for (size_t i = 0; i < at_.size(); i++) {
        if (taken_[i] || at_[i].part != part || at_[i].prticks != prticks) continue;
        taken_[i] = true;
        count_++;
        return static_cast<int>(i);
    }
    return -1;
}

std::vector<std::string> FrameRequests::Missing() const {
    std::vector<std::string> lines;
    for (size_t i = 0; i < at_.size(); i++) {
        if (!taken_[i])
            lines.push_back("no frame of part " + std::to_string(at_[i].part) + " at " +
                            std::to_string(at_[i].prticks) + " ms was drawn");
    }
    return lines;
}

} // namespace headless
