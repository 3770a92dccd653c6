#include "zarvelin/web_start.h"

#include <emscripten/emscripten.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "gp32_web/gp32_web.h"
#include "headless/seek.h"
#include "script/script.h"
#include "script/text.h"
#include "sound/module_search.h"
#include "sound/sound.h"
#include "zarvelin/zarvelin.h"

namespace {

// clang-format off
EM_JS(void, music_prepare, (const char* name), { ZarvelinMusic.prepare(UTF8ToString(name)); });
// Watches for the first click, tap or key on the page. A touch lets the page sound only once
// the finger lifts: a tap counts on pointerup, a mouse button already on pointerdown.
EM_JS(void, watch_for_gesture, (), {
    Module['zarvelinGesture'] = new Promise((resolve) => {
        const kinds = ['pointerdown', 'pointerup', 'keydown'];
        const start = (e) => {
            if (e.type === 'pointerdown' && e.pointerType === 'touch') return;
            for (const kind of kinds)
                window.removeEventListener(kind, start, true);
            Module['zarvelinGestured'] = true;
            resolve();
        };
        for (const kind of kinds)
            window.addEventListener(kind, start, true);
    });
});
// 1 once the gesture came; with frame on it also returns 0 at the next animation frame.
EM_ASYNC_JS(int, wait_for_gesture, (int frame), {
    if (!Module['zarvelinGestured']) {
        const waits = [Module['zarvelinGesture']];
        if (frame) waits.push(new Promise((resolve) => requestAnimationFrame(resolve)));
        await Promise.race(waits);
    }
    return Module['zarvelinGestured'] ? 1 : 0;
});
EM_ASYNC_JS(void, wait_for_sound, (), { await ZarvelinMusic.sounding(); });
// True when the page shows a start prompt of its own (a touch screen's), over a black canvas.
EM_JS(int, page_prompt, (int on), {
    return Module['zarvelinPrompt'] && Module['zarvelinPrompt'](on !== 0) ? 1 : 0;
});
// Tells a page that listens (Module.zarvelinPresented) each presented frame's part and
// show time in ms, for measuring the pictures against the sound.
EM_JS(void, page_presented, (int part, int show_ms), {
    if (Module['zarvelinPresented']) Module['zarvelinPresented'](part, show_ms);
});
// Tells a page that listens (Module.zarvelinPrepared) that the prompt's wait has kept all seek states.
EM_JS(void, page_prepared, (), {
    if (Module['zarvelinPrepared']) Module['zarvelinPrepared']();
});
// The first frame presented after a seek, for a page that checks it (Module.zarvelinSeekFrame):
// its part, part time, show time and the bytes of its frame buffer.
EM_JS(void, page_seek_frame, (int part, int prticks, int show_ms, const uint16_t* frame), {
    if (Module['zarvelinSeekFrame'])
        Module['zarvelinSeekFrame'](part, prticks, show_ms, HEAPU8.slice(frame, frame + 153600));
});
// clang-format on

// The font has capitals only. A touch screen gets the page's own, larger prompt.
constexpr char kPrompt[] = "CLICK OR PRESS A KEY";

uint32_t clock_base = 0; // the page clock when the music was started

// The page clock at the start, then on by the milliseconds of the module heard so far.
uint32_t MusicTicks() {
    return clock_base + static_cast<uint32_t>(std::lround(ModPositionSeconds(mod) * 1000.0));
}

bool presented_any = false; // false again after a seek
bool seek_report = false;   // the next presented frame is the first after a seek
int32_t frame_part = 0;     // part that drew the frame being presented
int32_t frame_partime = 0;  // its start; a part change in the frame moves partime on
int32_t shown_ms = 0;       // show time of the last presented frame

void ReportFrame(const LcdSurface* s) {
    if (!presented_any) {
        frame_part = part;
        frame_partime = partime;
        presented_any = true;
    }
    const uint32_t show_ms =
        static_cast<uint32_t>(frame_partime) + static_cast<uint32_t>(prticks) - clock_base;
    shown_ms = static_cast<int32_t>(show_ms);
    page_presented(frame_part, shown_ms);
    if (seek_report) {
        page_seek_frame(frame_part, prticks, shown_ms, static_cast<const uint16_t*>(s->buffer));
        seek_report = false;
    }
    frame_part = part;
    frame_partime = partime;
}

} // namespace

void PrepareMusic() {
    music_prepare(kModuleName);
}

namespace {

void ShowPrompt(bool on) {
    const int len = static_cast<int>(std::strlen(kPrompt));
    ClearScreen(framebuffer[flip], 0);
    const bool page_has_one = page_prompt(on ? 1 : 0) != 0;
    if (on && !page_has_one)
        DrawText((kFrameWidth - 8 * len) / 2, kFrameHeight / 2 + 4, len, kPrompt, 16, &GP32Surface[flip]);
    PresentFrame();
    GpWebShow();
}

} // namespace

void StartWithMusic(int32_t from_ms, double prepare_budget_ms) {
    ShowPrompt(true);
    watch_for_gesture();
    // The black frame that follows the prompt is drawn now and shown at the gesture, so that
    // the show's state is already the one it starts from: the seek states are kept from it
    // while the prompt waits.
    ClearScreen(framebuffer[flip], 0);
    PresentFrame();
    headless::KeepShowStart(partime);
    bool preparing = true;
    while (wait_for_gesture(preparing ? 1 : 0) == 0) {
        preparing = headless::PrepareSeeks(prepare_budget_ms);
        if (!preparing) page_prepared();
    }
    page_prompt(0);
    GpWebShow();           // black until the show starts, or stays so beside a failure's message
    buttons0 = GpKeyGet(); // the key that started the show is not also a command

    SoundInit();
    PlaySong();
    clock_base = GpTickCountGet();
    GpSetTickSource(MusicTicks);
    GpSetPresentHook(ReportFrame);
    headless::SetShowOrigin(static_cast<int32_t>(clock_base)); // the show's time 0 is the music's
    if (from_ms > 0) SeekTo(from_ms);
    // The first frame is drawn at the show time the music starts from, and shown when that is heard.
    Run();
    wait_for_sound();
    PresentFrame();
    GpWebShow();
}

int32_t SeekTo(int32_t ms) {
    const int32_t length = headless::ShowLengthMs();
    ms = ms < 0 ? 0 : (ms > length ? length : ms);
    ms -= ms % headless::kSeekStepMs;
    if (!headless::SeekShow(ms)) return -1;
    // The clock holds at ms until the music is heard from there.
    ModSetPositionMs(mod, ms);
    presented_any = false;
    seek_report = true;
    shown_ms = ms;
    return ms;
}

int32_t ShownMs() {
    return shown_ms;
}
