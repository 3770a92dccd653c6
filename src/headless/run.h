// The show headless: its frames on a virtual clock that starts at 0 and moves exactly `step`
// milliseconds at each presented frame of the show, so identical options give identical
// frames on every run and every machine. Shared by zarvelin-capture and the page.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "gp32_functions/gp32_functions.h"
#include "headless/options.h"

namespace headless {

// Sees each presentation of the loading bar, before the show's clock starts.
using LoadingHook = void (*)(const LcdSurface* s);

// Puts the platform's clock and presentation on the virtual clock, at time 0.
void UseVirtualClock(uint32_t step, LoadingHook loading);
// After the loading screen: the first part begins now and the clock moves from here on. Keeps
// the starting state for seeks.
void StartShow();
uint32_t VirtualMs();
// Seeks the show to show time ms (seek.h) and sets the virtual clock there. False, changing
// nothing, outside the show.
bool SeekVirtual(int32_t ms);

struct ShownFrame {
    const LcdSurface* surface; // the presented record
    uint32_t index;            // frames of the show before this one
    int32_t part;              // the part that drew it, even if the part ended in it
    int32_t prticks;           // its part time
    uint32_t show_ms;          // the virtual clock when it was drawn
    double draw_ms;            // the frame's work up to presentation
    double frame_ms;           // the frame's work and presentation
};

enum class FrameResult { Drawn, ShowOver, Failed };

// Draws and presents the next frame of the show. ShowOver once the show has ended (or was
// quit) or `until` ms (0: no limit) are rendered; Failed with error set when it cannot go on.
FrameResult NextFrame(uint32_t until, ShownFrame& frame, std::string& error);

// "pP_tT": the name of a requested frame.
std::string FrameName(int32_t part, int32_t prticks);

// The frames asked for by part and part time, and which of them the show has drawn.
class FrameRequests {
  public:
    explicit FrameRequests(const std::vector<FrameRequest>& at) : at_(at), taken_(at.size(), false) {}
    // Marks and returns the index of the request this frame satisfies, or -1.
    int Take(int32_t part, int32_t prticks);
    bool AllTaken() const { return count_ == at_.size(); }
    // One message per request the show never drew.
    std::vector<std::string> Missing() const;

  private:
    std::vector<FrameRequest> at_;
    std::vector<bool> taken_;
    size_t count_ = 0;
};

} // namespace headless
