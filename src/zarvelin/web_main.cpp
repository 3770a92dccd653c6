// Entry of the web edition: the loading bar while the tables are built, then one frame
// of the show per animation frame. With at=, step= or bench in the page's address it
// renders instead on the virtual clock of zarvelin-capture (the clock moves exactly
// `step` ms at each presented frame of the show), as fast as the page allows, and hands
// the requested frame buffers to the page.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gp32_web/gp32_web.h"
#include "headless/bench.h"
#include "headless/options.h"
#include "headless/run.h"
#include "headless/seek.h"
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
// The show time the page's address asks to start at (#t=), 0 for none; the page says why
// when it cannot use what the address has.
EM_JS(int, page_start_ms, (int length_ms), {
    return Module['zarvelinStartMs'] ? Module['zarvelinStartMs'](length_ms) : 0;
});
EM_JS(void, page_chapter, (int start_ms, const char* name), {
    Module['zarvelinChapter'](start_ms, UTF8ToString(name));
});
// The show plays: the page's controls take over.
EM_JS(void, page_started, (int length_ms), {
    Module['zarvelinStarted'](length_ms);
});
// clang-format on

headless::Options options;
bool virtual_clock = false;
uint16_t loading_picture[kFramePixels]; // the last loading-bar presentation
headless::FrameRequests* requests = nullptr;
std::vector<double> draw_times; // ?bench
uint32_t frames = 0;
double show_start = 0.0;

void KeepLoading(const LcdSurface* s) {
    std::memcpy(loading_picture, s->buffer, sizeof loading_picture);
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

bool paused_while_hidden = false; // the page paused itself, and resumes when shown again
int32_t seek_wanted = -1;         // a seek the page asked for, done at the next animation frame

// Work between frames that makes later seeks fast (ms of it per animation frame; more while
// paused, when no frame is drawn).
constexpr double kPrepareBudgetMs = 3.0;
constexpr double kPausedPrepareBudgetMs = 8.0;
constexpr double kPromptPrepareBudgetMs = 12.0; // while the start prompt waits
bool preparing = true;

void ShowFrame() {
    if (seek_wanted >= 0) {
        const int32_t ms = seek_wanted;
        seek_wanted = -1;
        if (SeekTo(ms) >= 0 && paused != 0) {
            // Paused, the picture still moves to the new place.
            Run();
            PresentFrame();
            GpWebShow();
        }
    }
    if (paused != 0) {
        KeyCommands(); // the canvas keeps the picture
    } else {
        if (!GpWebReadyForFrame()) return;
        Run();
        PresentFrame();
        GpWebShow();
    }
    // The show's clock is the music's: it stops and goes on with it.
    if (PausePressed()) {
        SetPaused(paused == 0);
        paused_while_hidden = false;
    }
    if (quit != 0) {
        Finish(true);
        return;
    }
    if (preparing)
        preparing = headless::PrepareSeeks(paused != 0 ? kPausedPrepareBudgetMs : kPrepareBudgetMs);
}

// A hidden tab draws no frames; the music would play on without the show.
EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* e, void*) {
    if (e->hidden && paused == 0) {
        SetPaused(true);
        paused_while_hidden = true;
    } else if (!e->hidden && paused_while_hidden) {
        SetPaused(false);
        paused_while_hidden = false;
    }
    return EM_FALSE;
}

void FinishVirtual() {
    bool ok = true;
    for (const std::string& line : requests->Missing()) {
        Message(line, true);
        ok = false;
    }
    if (options.bench) {
        const double seconds = (emscripten_get_now() - show_start) / 1000.0;
        char line[160];
        std::snprintf(line, sizeof line, "bench frames %u seconds %.2f fps %.1f draw_median_ms %.3f", frames,
                      seconds, seconds > 0.0 ? frames / seconds : 0.0, headless::Median(draw_times));
        Message(line, false);
    }
    Message("frames " + std::to_string(frames) + " show_ms " + std::to_string(headless::VirtualMs()), false);
    Finish(ok);
}

// One frame of the show on the virtual clock, as zarvelin-capture runs it. False: stop.
bool VirtualFrame(bool& over) {
    headless::ShownFrame frame{};
    std::string error;
    switch (headless::NextFrame(options.until, frame, error)) {
    case headless::FrameResult::ShowOver:
        over = true;
        return true;
    case headless::FrameResult::Failed:
        Message(error, true);
        return false;
    case headless::FrameResult::Drawn:
        break;
    }
    if (options.bench) draw_times.push_back(frame.draw_ms);
    if (requests->Take(frame.part, frame.prticks) >= 0) {
        const std::string name = headless::FrameName(frame.part, frame.prticks);
        page_frame(name.c_str(), static_cast<const uint16_t*>(frame.surface->buffer));
    }
    frames++;
    return true;
}

// As many frames as fit in a slice of an animation frame; the last one is shown.
void VirtualFrames() {
    const double start = emscripten_get_now();
    do {
        bool over = false;
        if (!VirtualFrame(over)) {
            Finish(false);
            return;
        }
        const bool all_taken = !options.at.empty() && requests->AllTaken();
        if (over || quit != 0 || (all_taken && !options.bench)) {
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

// The page's controls. A seek is done at the next animation frame; the last one asked wins.
extern "C" EMSCRIPTEN_KEEPALIVE void zarvelin_seek(int32_t ms) {
    seek_wanted = ms < 0 ? 0 : ms;
}

extern "C" EMSCRIPTEN_KEEPALIVE void zarvelin_set_paused(int32_t on) {
    if ((paused != 0) != (on != 0)) SetPaused(on != 0);
    paused_while_hidden = false;
}

extern "C" EMSCRIPTEN_KEEPALIVE int32_t zarvelin_paused() {
    return paused;
}

// The show time the picture is at: where a seek asked for goes, else the last frame's.
extern "C" EMSCRIPTEN_KEEPALIVE int32_t zarvelin_show_ms() {
    return seek_wanted >= 0 ? seek_wanted : ShownMs();
}

// Page Up and Page Down as the window has them: the chapter start to go to from the picture's
// time, -1 for none.
extern "C" EMSCRIPTEN_KEEPALIVE int32_t zarvelin_chapter_ms(int32_t ahead) {
    const int32_t now = zarvelin_show_ms();
    return ahead != 0 ? headless::NextChapterMs(now) : headless::PreviousChapterMs(now);
}

// 0 silent to 256 full.
extern "C" EMSCRIPTEN_KEEPALIVE void zarvelin_volume(int32_t volume) {
    if (mod != nullptr) FMUSIC_SetMasterVolume(mod, volume < 0 ? 0 : (volume > 256 ? 256 : volume));
}

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // One address asks for a bounded number of frames: the page keeps each until it is closed.
    const headless::ParseResult parsed = headless::ParseOptions(args, headless::kPageFrameLimit);
    if (parsed.action != headless::Action::Run) {
        Message("Zarvelin PC: " + PageWords(parsed.error), true);
        page_ended(0, 0);
        return 1;
    }
    options = parsed.options;
    virtual_clock = !args.empty();
    static headless::FrameRequests wanted(options.at);
    requests = &wanted;
    if (virtual_clock) {
        if (options.bench) draw_times.reserve(16384);
        headless::UseVirtualClock(options.step, KeepLoading);
    }

    if (!virtual_clock) PrepareMusic();

    // On the clock: zarvelin-capture's start-up (no frame wait); else the default window's.
    SetupDisplay(virtual_clock ? 2 : 1);
    GpWebSetYieldOnPresent(true);
    LoadingScreen();
    GpWebSetYieldOnPresent(false);
    if (virtual_clock) page_frame("load", loading_picture);

    // On the virtual clock the show plays silently.
    if (virtual_clock) {
        headless::StartShow();
    } else {
        StartWithMusic(page_start_ms(headless::ShowLengthMs()), kPromptPrepareBudgetMs);
        for (const headless::Chapter& c : headless::Chapters())
            page_chapter(c.start_ms, c.name);
        page_started(headless::ShowLengthMs());
        emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, OnVisibility);
    }
    show_start = emscripten_get_now();
    emscripten_set_main_loop(virtual_clock ? VirtualFrames : ShowFrame, 0, 0);
    return 0;
}
