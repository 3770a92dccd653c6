#include "zarvelin/zarvelin.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "precalcs/precalcs.h"
#include "script/script.h"
#include "script/text.h"
#include "sound/sound.h"

uint16_t* framebuffer[2];
LcdSurface GP32Surface[2];
int32_t flip = 0;
int32_t vsync = 0;
int32_t fps_show = 0;
int32_t buttons0 = 0;
int32_t buttons1 = 0;
int32_t nfrm = 0;
int32_t partime = 0;
int32_t clockspeed = 66;
int32_t paused = 0;

namespace {
int32_t pause_key_held = 0;
int32_t watch_key_held[kWatchKeyCount];
} // namespace

const WatchKey kWatchKeys[kWatchKeyCount] = {
    {kSymP, WatchCommand::Pause, 0},
    {' ', WatchCommand::Pause, 0},
    {'k', WatchCommand::Pause, 0},
    {kSymLeft, WatchCommand::Back5, 0},
    {kSymRight, WatchCommand::Forward5, 0},
    {'j', WatchCommand::Back10, 0},
    {kSymL, WatchCommand::Forward10, 0},
    {'0', WatchCommand::Tenth, 0},
    {'1', WatchCommand::Tenth, 1},
    {'2', WatchCommand::Tenth, 2},
    {'3', WatchCommand::Tenth, 3},
    {'4', WatchCommand::Tenth, 4},
    {'5', WatchCommand::Tenth, 5},
    {'6', WatchCommand::Tenth, 6},
    {'7', WatchCommand::Tenth, 7},
    {'8', WatchCommand::Tenth, 8},
    {'9', WatchCommand::Tenth, 9},
    {280, WatchCommand::PreviousChapter, 0}, // Page Up
    {281, WatchCommand::NextChapter, 0},     // Page Down
    {kSymUp, WatchCommand::VolumeUp, 0},
    {kSymDown, WatchCommand::VolumeDown, 0},
    {'m', WatchCommand::Mute, 0},
};

WatchKey TakeWatchKey() {
    for (int i = 0; i < kWatchKeyCount; i++) {
        if (keys[kWatchKeys[i].sym] == 0) {
            watch_key_held[i] = 0;
        } else if (watch_key_held[i] == 0) {
            // The presses after this one stay new for the next call.
            watch_key_held[i] = 1;
            return kWatchKeys[i];
        }
    }
    return {0, WatchCommand::None, 0};
}

int Ticks() {
    return static_cast<int>(static_cast<double>(GpTickCountGet()) * (66.0 / clockspeed));
}

int InitGraphics(int depth) {
    if (GpGraphicModeSet(depth) != 0) return 1;
    GpLcdSurfaceGet(&GP32Surface[0], 0);
    GpLcdSurfaceGet(&GP32Surface[1], 1);
    framebuffer[0] = static_cast<uint16_t*>(GP32Surface[0].buffer);
    framebuffer[1] = static_cast<uint16_t*>(GP32Surface[1].buffer);
    return 0;
}

void Keys() {
    buttons1 = GpKeyGet();
    const int32_t pressed = buttons1 & (buttons1 ^ buttons0);
    buttons0 = buttons1;
    if (pressed & 0x200) vsync = (vsync + 1) & 1;
    if (pressed & 0x20) fps_show = (fps_show + 1) & 1;
}

void Run() {
    Keys();
    Script();
    CountFps(fps_show);
    nfrm = nfrm + 1;
}

void checkmode() {
    if (chpart) {
        chpart = 0;
        InitGraphics(bpp[part]);
    }
}

void ClearScreen(uint16_t* buffer, uint16_t colour) {
    for (int i = 0; i < kFramePixels; i++)
        buffer[i] = colour;
}

bool ParseWindowScale(const char* text, int32_t* n) {
    if (text != nullptr && std::strcmp(text, "auto") == 0) {
        *n = kWindowScaleAuto;
        return true;
    }
    if (text == nullptr || text[0] < '1' || text[0] > '0' + kMaxWindowScale || text[1] != 0) return false;
    *n = text[0] - '0';
    return true;
}

int SetupDisplay(int argc) {
    window_scale = 0;
    if (argc > 1) {
        scale = 0;
        fullscreen = 1;
        vsync = 0;
    } else {
        scale = 1;
        fullscreen = 0;
        vsync = 1;
        // The command line cannot carry a size (any argument means full screen), so a
        // larger or smaller window is asked for through the environment.
        const char* text = std::getenv("ZARVELIN_SCALE");
        int32_t n = 0;
        if (ParseWindowScale(text, &n)) {
            // 1 and 2 are the two sizes the plain conversion already draws.
            if (n >= 1 && n <= 2) {
                scale = n - 1;
            } else {
                window_scale = n;
            }
        } else if (text != nullptr) {
            std::fprintf(stderr,
                         "ZARVELIN_SCALE=\"%s\" is not a whole number from 1 to %d or auto; "
                         "using the 640 x 480 window\n",
                         text, kMaxWindowScale);
        }
    }
    return InitGraphics(16);
}

void LoadingScreen() {
    ClearScreen(framebuffer[0], kLoadingColour);
    ClearScreen(framebuffer[1], kLoadingColour);
    InitFonts();
    precalcs();
    ClearScreen(framebuffer[0], 0);
    ClearScreen(framebuffer[1], 0);
}

void PresentFrame() {
    GpSurfaceFlip(&GP32Surface[flip], vsync);
    flip = (flip + 1) & 1;
}

bool PausePressed() {
    const int32_t held = keys[kSymP] != 0 ? 1 : 0;
    const bool pressed = held != 0 && pause_key_held == 0;
    pause_key_held = held;
    return pressed;
}

void SetPaused(bool on) {
    paused = on ? 1 : 0;
    if (mod != nullptr) FMUSIC_SetPaused(mod, on ? 1 : 0);
}
