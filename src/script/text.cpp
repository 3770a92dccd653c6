#include "script/text.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "data/data.h"
#include "precalcs/shades.h"
#include "render3d/primitives.h"
#include "script/script.h"
#include "zarvelin/zarvelin.h"

uint8_t fonts[59 * 64];
uint8_t fnt16[128 * 256];
int32_t atime = 0;
int32_t fps = 0;
int32_t mo = 0;
char sbuffer[64];

void InitFontsFrom(const uint8_t* bits) {
    for (int g = 0; g < 59; g++) {
        for (int r = 0; r < 8; r++) {
            for (int c = 0; c < 8; c++) {
                fonts[g * 64 + c * 8 + (7 - r)] = (bits[g * 8 + r] >> (7 - c)) & 1 ? 0xFF : 0;
            }
        }
    }
}

void InitFonts() {
    InitFontsFrom(bitfonts);
}

void FontInitFrom(const uint8_t* font16, uint32_t size) {
    std::memset(fnt16, 0, sizeof(fnt16));
    for (uint32_t b = 0; b < 128 && (b + 1) * 256 <= size; b++) {
        for (int c = 0; c < 16; c++) {
            for (int e = 0; e < 16; e++) {
                const uint8_t v = font16[b * 256 + (15 - e) * 16 + c];
                // Block 0 is the map; glyph levels above 15 would index past a shade row.
                fnt16[b * 256 + c * 16 + e] = (b > 0 && v > 15) ? 15 : v;
            }
        }
    }
}

void FontInit() {
    FontInitFrom(fonts16, sizeof(fonts16));
}

namespace {
template <class Pixel> void OrGlyphColumn(Pixel* column, int y, const uint8_t* bytes) {
    // Glyph row 7 lands on screen row y, row 0 on y - 7. Rows off the frame are skipped
    // so that a caller's bad y cannot reach a neighbouring column or leave the buffer.
    const int bottom = 239 - y;
    for (int e = 0; e < 8; e++) {
        const int element = bottom + e;
        if (element >= 0 && element <= 239) column[element] |= bytes[e];
    }
}
} // namespace

void DrawText(int x, int y, int len, const char* text, int depth, const LcdSurface* surface) {
    if (depth != 8 && depth != 16) return;
    int64_t pen = x;
    for (int i = 0; i < len; i++) {
        const int code = static_cast<unsigned char>(text[i]);
        if (code >= 32 && code <= 90) {
            const uint8_t* glyph = fonts + (code - 32) * 64;
            for (int c = 0; c < 8; c++) {
                const int64_t column = pen + c;
                if (column < 1 || column > 318) continue;
                if (depth == 16) {
                    OrGlyphColumn(static_cast<uint16_t*>(surface->buffer) + column * 240, y, glyph + c * 8);
                } else {
                    OrGlyphColumn(static_cast<uint8_t*>(surface->buffer) + column * 240, y, glyph + c * 8);
                }
            }
        }
        if (code == 0) break;
        pen += 8;
        if (pen >= 320) break;
    }
}

void drawfont16(int x, int y, float scale, int code, const uint16_t* colours, uint16_t* buffer) {
    // Block 0 of fnt16 is the code-to-glyph map, turned like every other block.
    const int c = static_cast<uint8_t>(code);
    const int glyph = fnt16[(c % 16) * 16 + (15 - c / 16)];
    if (glyph == 0 || glyph + 1 >= 128) return;
    ScaledSprite box;
    if (!PlaceScaledSprite(x, y, scale, &box)) return;
    DrawScaledSprite(box, fnt16 + (glyph + 1) * 256, colours, 16, buffer);
}

void DrawText16(int x, int y, const char* text, uint16_t* buffer) {
    for (int i = 0; text[i] != 0; i++) {
        const float s = static_cast<float>((std::sin(prticks * 0.0078125 + i * 0.5) * 0.35 + 0.95) * 1.5);
        drawfont16(x + 16 * i, y, s, text[i], shades + 4096, buffer);
    }
}

void CountFps(int show) {
    const int32_t now = Ticks();
    // Differences in uint32_t: a clock that wraps keeps counting instead of overflowing.
    if (static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(atime)) >= 1000) {
        mo = static_cast<int32_t>(static_cast<uint32_t>(nfrm) - static_cast<uint32_t>(fps));
        fps = nfrm;
        atime = Ticks();
    }
    if (show == 1) {
        std::snprintf(sbuffer, sizeof(sbuffer), "FPS = %d", mo);
        const int depth = (part >= 0 && part < 9) ? bpp[part] : 0;
        DrawText(8, 16, 16, sbuffer, depth, &GP32Surface[flip]);
    }
}
