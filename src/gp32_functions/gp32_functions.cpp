#include "gp32_functions/gp32_functions.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

SDL_Surface* screen = nullptr;
void* GpScreen[3] = {nullptr, nullptr, nullptr};
int32_t vfirst = 0;
int32_t cur_bpp = 0;
int32_t scale = 0;
uint32_t fullscreen = 0;
uint32_t gp_palette[256];

int32_t keys[512];
int32_t quit = 0;

namespace {
TickSource tick_source = nullptr;
PresentHook present_hook = nullptr;

// SDL 1.2 falls back to drawing ASCII art in the terminal when no display is found.
// Unless the user names a driver, only drivers that show a real picture are accepted.
bool StartVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    if (std::getenv("SDL_VIDEODRIVER") != nullptr) return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    static const char* const kWindowDrivers[] = {"x11", "dga", "fbcon", "directfb", "svgalib", "ggi"};
    for (const char* driver : kWindowDrivers) {
        setenv("SDL_VIDEODRIVER", driver, 1);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    }
    unsetenv("SDL_VIDEODRIVER");
    SDL_SetError("no display available (set SDL_VIDEODRIVER to choose a video driver)");
    return false;
}
} // namespace

int GpGraphicModeSet(int depth) {
    SDL_Surface* s = nullptr;
    if (StartVideo()) {
        s = SDL_SetVideoMode(320 << scale, 240 << scale, 32, fullscreen | SDL_DOUBLEBUF);
    }
    if (s == nullptr) {
        std::fprintf(stderr, "Unable to set video mode: %s\n", SDL_GetError());
        return 1;
    }
    screen = s;
    SetFrameBuffers(depth);
    return 0;
}

void ConvertFrame(const void* source, int depth, uint32_t* dest, int scale_) {
    if (scale_ != 0 && scale_ != 1) return;
    const int row = 320 << scale_;
    const uint16_t* src16 = static_cast<const uint16_t*>(source);
    const uint8_t* src8 = static_cast<const uint8_t*>(source);
    for (int x = 0; x < 320; x++) {
        // The write position starts on the bottom row and moves up one row per element.
        uint32_t* out = dest + static_cast<ptrdiff_t>((240 << scale_) - 1) * row + (x << scale_);
        for (int k = 0; k < 240; k++) {
            const int i = x * 240 + k;
            const uint32_t v = depth == 16 ? Rgb5551ToPC(src16[i]) : gp_palette[src8[i]];
            if (scale_ == 0) {
                out[0] = v;
                out -= row;
            } else {
                out[0] = v;
                out[1] = v;
                out[-row] = v;
                out[-row + 1] = v;
                out -= 2 * row;
            }
        }
    }
}

void GP32toPC(const void* source, int depth, SDL_Surface* surface) {
    ConvertFrame(source, depth, static_cast<uint32_t*>(surface->pixels), scale);
}

void GpSurfaceFlip(const LcdSurface* s, int wait) {
    if (present_hook != nullptr) present_hook(s);
    if (screen == nullptr) return;
    const bool locked = SDL_MUSTLOCK(screen);
    if (locked && SDL_LockSurface(screen) < 0) return;
    GP32toPC(s->buffer, s->depth, screen);
    if (locked) SDL_UnlockSurface(screen);
    SDL_Flip(screen);
    if (wait == 1) {
        const uint32_t t0 = SDL_GetTicks();
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

int GpKeyGet() {
    KeyCommands();
    int mask = 0;
    mask |= (keys[SDLK_LEFT] | keys[SDLK_KP4]) << 0;
    mask |= (keys[SDLK_DOWN] | keys[SDLK_KP2]) << 1;
    mask |= (keys[SDLK_RIGHT] | keys[SDLK_KP6]) << 2;
    mask |= (keys[SDLK_UP] | keys[SDLK_KP8]) << 3;
    mask |= keys[SDLK_l] << 4;
    mask |= keys[SDLK_b] << 5;
    mask |= keys[SDLK_a] << 6;
    mask |= keys[SDLK_r] << 7;
    mask |= keys[SDLK_s] << 8;
    mask |= keys[SDLK_d] << 9;
    return mask;
}

uint32_t GpTickCountGet() {
    return tick_source != nullptr ? tick_source() : SDL_GetTicks();
}

void GpSetTickSource(TickSource source) {
    tick_source = source;
}

void GpSetPresentHook(PresentHook hook) {
    present_hook = hook;
}
