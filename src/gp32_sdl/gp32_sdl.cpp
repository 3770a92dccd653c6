#include "gp32_sdl/gp32_sdl.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "system/environment.h"
#include "system/failure_notice.h"

SDL_Surface* screen = nullptr;

namespace {

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
    SDL_Surface* s = nullptr;
    if (StartVideo()) {
        const int w = window_scale != 0 ? 320 * window_scale : 320 << scale;
        const int h = window_scale != 0 ? 240 * window_scale : 240 << scale;
        s = SDL_SetVideoMode(w, h, 32, (fullscreen != 0 ? SDL_FULLSCREEN : 0) | SDL_DOUBLEBUF);
    }
    if (s == nullptr) {
        const std::string message = std::string("Unable to set video mode: ") + SDL_GetError();
        std::fprintf(stderr, "%s\n", message.c_str());
        NoticeFailure(message);
        return 1;
    }
    screen = s;
    SetFrameBuffers(depth);
    return 0;
}

void GP32toPC(const void* source, int depth, SDL_Surface* surface) {
    // Full screen in a larger mode than asked for, SDL puts the picture in the middle of the
    // screen: its rows are then spaced wider than the picture. The frame is converted into a
    // buffer (sized once per picture size) and copied in row by row.
    const size_t row = static_cast<size_t>(surface->w) * 4;
    const bool spaced = static_cast<size_t>(surface->pitch) != row;
    static std::vector<uint32_t> rows;
    if (spaced && rows.size() < static_cast<size_t>(surface->w) * surface->h)
        rows.resize(static_cast<size_t>(surface->w) * surface->h);
    uint32_t* dest = spaced ? rows.data() : static_cast<uint32_t*>(surface->pixels);
    if (window_scale != 0) {
        ConvertFrameScaled(source, depth, dest, window_scale);
    } else {
        ConvertFrame(source, depth, dest, scale);
    }
    if (!spaced) return;
    for (int y = 0; y < surface->h; y++)
        std::memcpy(static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch,
                    rows.data() + static_cast<size_t>(y) * surface->w, row);
}

void PlatformPresent(const LcdSurface* s, int wait) {
    if (screen == nullptr) return;
    const bool locked = SDL_MUSTLOCK(screen);
    if (locked && SDL_LockSurface(screen) < 0) return;
    GP32toPC(s->buffer, s->depth, screen);
    if (locked) SDL_UnlockSurface(screen);
    SDL_Flip(screen);
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
        default:
            break;
        }
    }
}

uint32_t PlatformTicks() {
    return SDL_GetTicks();
}
