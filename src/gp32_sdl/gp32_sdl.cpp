#include "gp32_sdl/gp32_sdl.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gp32_sdl/gl_output.h"
#include "gp32_sdl/output.h"
#include "modplayer/modplayer.h"
#include "system/environment.h"
#include "system/failure_notice.h"

SDL_Surface* screen = nullptr;

namespace {

FramePlacer placer;

// The show's clock stands still while held; the time held is left out afterwards.
bool clock_held = false;
uint32_t held_at = 0;
uint32_t held_ms = 0;

// While the music plays on an output that is heard, the clock is the music as heard: its
// value when the music took over plus the music's heard position.
bool following_music = false;
uint32_t music_base = 0;
uint32_t last_ticks = 0;

// ZARVELIN_CLOCK_LOG=FILE: one line per presented frame, for checking picture against sound.
FILE* clock_log = nullptr;
bool clock_log_checked = false;
bool frame_read = false;     // the clock has been read since the last presentation
uint32_t frame_ticks = 0;    // its first reading: the time the frame was drawn for

uint32_t OwnTicks() {
    return (clock_held ? held_at : SDL_GetTicks()) - held_ms;
}

void LogPresentation() {
    if (!clock_log_checked) {
        clock_log_checked = true;
        const char* name = std::getenv("ZARVELIN_CLOCK_LOG");
        if (name != nullptr && (clock_log = std::fopen(name, "w")) == nullptr)
            std::fprintf(stderr, "ZARVELIN_CLOCK_LOG: cannot write %s\n", name);
        if (clock_log != nullptr)
            std::fputs("# monotonic_us frame_music_ms heard_music_ms (-1: no music clock)\n", clock_log);
    }
    if (clock_log == nullptr || !frame_read) return;
    const long long now = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count();
    uint32_t heard = 0;
    const bool music = ModHeardMs(&heard);
    std::fprintf(clock_log, "%lld %ld %ld\n", now,
                 music ? static_cast<long>(frame_ticks - music_base) : -1L, music ? static_cast<long>(heard) : -1L);
}
// SDL 1.2 falls back to drawing ASCII art in the terminal when no display is found.
// Unless the user names a driver, only drivers that show a real picture are accepted
// (Windows' own two last: the others are not built there).
bool StartVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    if (std::getenv("SDL_VIDEODRIVER") != nullptr) return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    static const char* const kWindowDrivers[] = {"x11",     "dga", "fbcon",  "directfb",
                                                 "svgalib", "ggi", "windib", "directx"};
    for (const char* driver : kWindowDrivers) {
        SetEnv("SDL_VIDEODRIVER", driver, true);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    }
    UnsetEnv("SDL_VIDEODRIVER");
    SDL_SetError("no display available (set SDL_VIDEODRIVER to choose a video driver)");
    return false;
}
} // namespace

int GpGraphicModeSet(int depth) {
    SDL_Surface* s = StartVideo() ? OpenDisplay() : nullptr;
    if (s == nullptr) {
        const std::string message = std::string("Unable to set video mode: ") + SDL_GetError();
        std::fprintf(stderr, "%s\n", message.c_str());
        NoticeFailure(message);
        return 1;
    }
    screen = s;
    placer.SetPlan(CurrentPlan());
    SetFrameBuffers(depth);
    return 0;
}

void GP32toPC(const void* source, int depth, SDL_Surface* surface) {
    uint32_t* dest = static_cast<uint32_t*>(surface->pixels);
    // A surface of another size than the mode's (one a caller made itself) gets the frame at
    // the largest whole-number scale that fits, centred.
    if (surface->w != placer.Plan().mode.w || surface->h != placer.Plan().mode.h)
        placer.SetPlan(PlanDisplay(DisplayRequest{true, 1, Fit::Whole}, PixelSize{surface->w, surface->h},
                                   OfferedModes{false, {}}));
    const DisplayPlan& p = placer.Plan();
    const ptrdiff_t pitch = surface->pitch / 4;
    // The frame filling rows of exactly its own width: the plain conversions.
    if (p.x == 0 && p.y == 0 && p.picture.w == surface->w && p.picture.h == surface->h &&
        pitch == surface->w && p.n >= 1 && p.n <= kMaxWindowScale) {
        ConvertFrameScaled(source, depth, dest, p.n);
    } else {
        placer.Convert(source, depth, dest, pitch);
    }
}

void PlatformPresent(const LcdSurface* s, int wait) {
    if (screen == nullptr) return;
    if (OpenGlOutput()) {
        GlPresent(s->buffer, s->depth);
        // The swap waited for the display: no need to wait again.
        if (DisplayPacesFrames()) return;
    } else {
        const bool locked = SDL_MUSTLOCK(screen);
        if (locked && SDL_LockSurface(screen) < 0) return;
        GP32toPC(s->buffer, s->depth, screen);
        if (locked) SDL_UnlockSurface(screen);
        SDL_Flip(screen);
    }
    LogPresentation();
    frame_read = false;
    if (wait == 1) {
        // At least 8 ms after the flip. Sleeping through all but the last millisecond keeps a
        // core free (a spinning wait drains batteries and spins fans); only that one is polled.
        const uint32_t t0 = SDL_GetTicks();
        uint32_t elapsed;
        while ((elapsed = SDL_GetTicks() - t0) < 7)
            SDL_Delay(7 - elapsed);
        while (SDL_GetTicks() - t0 < 8) {
        }
    }
}

void KeyCommands() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            // As an int: clang knows every SDLKey fits the table and calls a check of it vacuous.
            const int sym = event.key.keysym.sym;
            if (sym >= 0 && sym < 512) keys[sym] = event.type == SDL_KEYDOWN ? 1 : 0;
            if (event.type == SDL_KEYDOWN && sym == SDLK_ESCAPE) quit = 1;
            break;
        }
        case SDL_QUIT:
            quit = 1;
            break;
        case SDL_VIDEOEXPOSE:
            // A surface is repainted by SDL itself; a GL window needs its picture again.
            if (OpenGlOutput()) GlRedraw();
            break;
        default:
            break;
        }
    }
}

uint32_t PlatformTicks() {
    uint32_t heard = 0;
    if (ModHeardMs(&heard)) {
        if (!following_music) {
            following_music = true;
            music_base = OwnTicks() - heard;
        }
        last_ticks = music_base + heard;
    } else {
        if (following_music) {
            // The music stopped: SDL's clock goes on from where the music left it.
            following_music = false;
            held_ms += OwnTicks() - last_ticks;
        }
        last_ticks = OwnTicks();
    }
    if (!frame_read) {
        frame_read = true;
        frame_ticks = last_ticks;
    }
    return last_ticks;
}

void HoldClock(bool held) {
    if (held == clock_held) return;
    if (held)
        held_at = SDL_GetTicks();
    else
        held_ms += SDL_GetTicks() - held_at;
    clock_held = held;
}
