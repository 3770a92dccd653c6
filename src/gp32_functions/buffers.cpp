// Frame buffers, surface records, palettes and the button mask: plain memory work, shared by
// every platform.
#include <cstdio>
#include <cstdlib>

#include "gp32_functions/gp32_functions.h"

void SetFrameBuffers(int depth) {
    if (vfirst) {
        for (void*& b : GpScreen)
            std::free(b);
    }
    for (void*& b : GpScreen) {
        b = std::malloc(307200);
        if (b == nullptr) {
            std::fprintf(stderr, "Out of memory for the frame buffers\n");
            std::exit(1);
        }
    }
    vfirst = 1;
    cur_bpp = depth;
}

void GpLcdSurfaceGet(LcdSurface* s, int index) {
    s->buffer = GpScreen[index];
    s->depth = cur_bpp;
    s->width = 320;
    s->height = 240;
    s->origin_x = 0;
    s->origin_y = 0;
}

uint32_t* GpPaletteCreate(int count, const uint16_t* colours) {
    uint32_t* table = static_cast<uint32_t*>(std::calloc(256, sizeof(uint32_t)));
    if (table == nullptr) {
        std::fprintf(stderr, "Out of memory for a palette\n");
        std::exit(1);
    }
    for (int i = 0; i < count && i < 256; i++)
        table[i] = colours[i];
    return table;
}

void GpPaletteSelect(const uint32_t* table) {
    for (int i = 0; i < 256; i++) {
        const uint32_t v = table[i];
        gp_palette[i] = ((v << 8) & 0xF80000) | ((v << 5) & 0xF800) | ((v << 2) & 0xF8);
    }
}

void GpPaletteRealize() {}

int ButtonMask() {
    static constexpr int32_t kButtonKeys[10][2] = {
        {kSymLeft, kSymKp4}, {kSymDown, kSymKp2}, {kSymRight, kSymKp6}, {kSymUp, kSymKp8}, {kSymL, kSymL},
        {kSymB, kSymB},      {kSymA, kSymA},      {kSymR, kSymR},       {kSymS, kSymS},    {kSymD, kSymD},
    };
    int mask = 0;
    for (int n = 0; n < 10; n++)
        mask |= (keys[kButtonKeys[n][0]] | keys[kButtonKeys[n][1]]) << n;
    return mask;
}
