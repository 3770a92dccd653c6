#include "zarvelin/zarvelin.h"

#include "precalcs/precalcs.h"
#include "script/script.h"
#include "script/text.h"

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

int SetupDisplay(int argc) {
    if (argc > 1) {
        scale = 0;
        fullscreen = kFullscreenFlag;
        vsync = 0;
    } else {
        scale = 1;
        fullscreen = 0;
        vsync = 1;
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
