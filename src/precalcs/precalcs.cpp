#include "precalcs/precalcs.h"

#include <cstdio>
#include <string>

#include "effects/polar.h"
#include "generate3d/generate3d.h"
#include "precalcs/shades.h"
#include "precalcs/tables.h"
#include "render3d/primitives.h"
#include "script/text.h"
#include "zarvelin/zarvelin.h"

uint16_t* prec_framebuffer[2];
int32_t prec_flip = 0;
int32_t prec_ybar = 0;
int32_t prec_vsync = 0;
std::string textbuffer;
int32_t total_precs = 6;
int32_t ybar_height = 12;

void update_precbar(const char* text, int n, int total) {
    if (n % (total / 16) != 0 && n < total - 2) return;
    const int h = ybar_height;
    const int p = prec_ybar;
    const int percent = (n >= total - 2) ? 100 : (100 * n) / (total - 1);
    const int w = (percent * 159) / 100;

    // Rows h*p+1 .. h*p+h-1 from the top are elements 240-h*(p+1) .. 238-h*p.
    uint16_t* fb = prec_framebuffer[prec_flip];
    for (int x = 159 - w; x <= 159 + w; x++) {
        for (int e = 240 - h * (p + 1); e <= 238 - h * p; e++)
            fb[x * 240 + e] = 0;
    }

    // The caption grows with its text, so no caption is ever cut short.
    char counts[32]; // " (%d/%d)" of two ints fits in 27 characters
    std::snprintf(counts, sizeof(counts), " (%d/%d)", p + 1, total_precs);
    textbuffer.assign(text).append(counts);
    const int len = static_cast<int>(textbuffer.size());
    DrawText(160 - 8 * (len / 2), h * p + 10, len, textbuffer.c_str(), 16, &GP32Surface[prec_flip]);
    GpSurfaceFlip(&GP32Surface[prec_flip], prec_vsync);
    prec_flip = (prec_flip + 1) & 1;
}

void Show3dInit() {
    Init3d();
    InitBalls();
    for (int n = 0; n < 4096; n++)
        update_precbar("TRICKY TEST..", n, 4096);
}

void precalcs() {
    prec_framebuffer[0] = static_cast<uint16_t*>(GP32Surface[0].buffer);
    prec_framebuffer[1] = static_cast<uint16_t*>(GP32Surface[1].buffer);
    precdivs();
    FontInit();

    for (int n = 0; n < 2048; n++) {
        SineEntriesA(n);
        update_precbar("PRECALCULATING SINES..", n, 2048);
    }
    prec_ybar = 1;
    for (int n = 0; n < 2048; n++) {
        SineEntriesB(n);
        update_precbar("..AND MORE SINES", n, 2048);
    }
    prec_ybar = 2;
    for (int i = 0; i < 76800; i++) {
        DistAngleEntry(i);
        update_precbar("RADIUS AND ANGLE FOR EACH PIXEL!", i + 1, 76800);
    }
    prec_ybar = 3;
    Show3dInit();
    prec_ybar = 4;
    WaterInit();
    prec_ybar = 5;
    BlobInit();
    Stars3dInit();
    DistortInit();
    PolarInit();
    Set8bitPals();
    colortest();
    CloneColors();
    MakeFadeColors();
}
