// Entry of the web edition: the loading bar while the tables are built, then one frame
// of the show per animation frame. With at=, step= or bench in the page's address it
// renders instead on the virtual clock of zarvelin-capture (the clock moves exactly
// `step` ms at each presented frame of the show), as fast as the page allows, and hands
// the requested frame buffers to the page.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench.h"
#include "gp32_web/gp32_web.h"
#include "options.h"
#include "script/script.h"
#include "sound/sound.h"
#include "zarvelin/web_start.h"
#include "zarvelin/zarvelin.h"

namespace {

// clang-format off
EM_JS(void, page_message, (const char* text, int error), {
    Module['zarvelinMessage'](UTF8ToString(text), error !== 0);
});
EM_JS(void, page_frame, (const char* name, const uint16_t* frame), {
    Module['zarvelinFrame'](UTF8ToString(name), HEAPU8.subarray(frame, frame + 153600));
});
EM_JS(void, page_ended, (int ok, int end_screen), {
    Module['zarvelinEnded'](ok !== 0, end_screen !== 0);
});
// clang-format on

// Virtual clock, as zarvelin-capture keeps it.
capture::Options options;
bool virtual_clock = false;
uint32_t vclock = 0;
bool showing = false;
const LcdSurface* presented = nullptr;
uint16_t loading_picture[kFramePixels]; // the last loading-bar presentation

std::vector<bool> written;
size_t written_count = 0;
std::vector<capture::FrameTiming> timings;
uint32_t frames = 0;
double show_start = 0.0;

uint32_t VirtualTicks() {
    return vclock;
}

void OnPresent(const LcdSurface* s) {
    if (!showing) {
        std::memcpy(loading_picture, s->buffer, sizeof loading_picture);
        return;
    }
    presented = s;
    vclock += options.step;
}

void Message(const std::string& text, bool error) {
    page_message(text.c_str(), error ? 1 : 0);
}

// The show is over, by its end, by Escape or by a failure.
void Finish(bool ok) {
    emscripten_cancel_main_loop();
    SoundEnd();
    // On the virtual clock the last frame stays on the canvas.
    page_ended(ok ? 1 : 0, virtual_clock ? 0 : 1);
}

void ShowFrame() {
    if (!GpWebReadyForFrame()) return;
    Run();
    PresentFrame();
    GpWebShow();
    if (quit != 0) Finish(true);
}

void FinishVirtual() {
    bool ok = true;
    for (size_t i = 0; i < options.at.size(); i++) {
        if (written[i]) continue;
        Message("no frame of part " + std::to_string(options.at[i].part) + " at " +
                    std::to_string(options.at[i].prticks) + " ms was drawn",
                true);
        ok = false;
    }
    if (options.bench) {
        const double seconds = (emscripten_get_now() - show_start) / 1000.0;
        std::vector<double> draw;
        draw.reserve(timings.size());
        for (const capture::FrameTiming& t : timings)
            draw.push_back(t.draw_ms);
        char line[160];
        std::snprintf(line, sizeof line, "bench frames %u seconds %.2f fps %.1f draw_median_ms %.3f", frames,
                      seconds, seconds > 0.0 ? frames / seconds : 0.0, capture::Median(draw));
        Message(line, false);
    }
    Message("frames " + std::to_string(frames) + " show_ms " + std::to_string(vclock), false);
    Finish(ok);
}

// One frame of the show on the virtual clock, as zarvelin-capture runs it. False: stop.
bool VirtualFrame() {
    // The time base is a signed 32-bit count: stop before the clock would leave it.
    if (vclock > static_cast<uint32_t>(INT32_MAX) - options.step) {
        Message("the show did not end before its clock ran out", true);
        return false;
    }
    const int32_t frame_part = part;
    const double t0 = emscripten_get_now();
    Run();
    const double draw_ms = emscripten_get_now() - t0;
    presented = nullptr;
    PresentFrame();
    if (presented == nullptr) {
        Message("a frame of the show was not presented", true);
        return false;
    }
    if (options.bench) {
        capture::FrameTiming timing{};
        timing.part = frame_part;
        timing.draw_ms = draw_ms;
        timings.push_back(timing);
    }
    for (size_t i = 0; i < options.at.size(); i++) {
        if (written[i] || options.at[i].part != frame_part || options.at[i].prticks != prticks) continue;
        char name[32];
        std::snprintf(name, sizeof name, "p%d_t%d", static_cast<int>(frame_part), static_cast<int>(prticks));
        page_frame(name, static_cast<const uint16_t*>(presented->buffer));
        written[i] = true;
        written_count++;
    }
    frames++;
    return true;
}

// As many frames as fit in a slice of an animation frame; the last one is shown.
void VirtualFrames() {
    const double start = emscripten_get_now();
    do {
        if (!VirtualFrame()) {
            Finish(false);
            return;
        }
        const bool all_taken = !options.at.empty() && written_count == options.at.size();
        if (quit != 0 || (all_taken && !options.bench)) {
            GpWebShow();
            FinishVirtual();
            return;
        }
    } while (emscripten_get_now() - start < 50.0);
    GpWebShow();
}

// The page's address options in zarvelin-capture's own words ("--at", "--step").
std::string PageWords(std::string text) {
    for (size_t at = text.find("--"); at != std::string::npos; at = text.find("--"))
        text.erase(at, 2);
    return text;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const capture::ParseResult parsed = capture::ParseOptions(args);
    if (parsed.action != capture::Action::Run) {
        Message("Zarvelin PC: " + PageWords(parsed.error), true);
        page_ended(0, 0);
        return 1;
    }
    options = parsed.options;
    virtual_clock = !args.empty();
    if (virtual_clock) {
        written.assign(options.at.size(), false);
        if (options.bench) timings.reserve(16384);
        GpSetTickSource(VirtualTicks);
        GpSetPresentHook(OnPresent);
    }

    if (!virtual_clock) PrepareMusic();

    // On the clock: zarvelin-capture's start-up (no frame wait); else the default window's.
    SetupDisplay(virtual_clock ? 2 : 1);
    GpWebSetYieldOnPresent(true);
    LoadingScreen();
    GpWebSetYieldOnPresent(false);
    if (virtual_clock) page_frame("load", loading_picture);

    // On the virtual clock the show plays silently.
    if (virtual_clock)
        partime = Ticks();
    else
        StartWithMusic();
    showing = true;
    show_start = emscripten_get_now();
    emscripten_set_main_loop(virtual_clock ? VirtualFrames : ShowFrame, 0, 0);
    return 0;
}
