// Text in two fonts and the frame counter.
//
// Small font: 8 x 8 one-bit glyphs for the codes 32..90, ORed into the buffer.
// Large font: 16 x 16 glyphs of coverage levels 0..15, drawn scaled through a shade row.
#pragma once
#include <cstdint>
#include "gp32_functions/gp32_functions.h"

extern uint8_t fonts[59 * 64];   // 8 x 8 glyphs turned into frame-buffer columns, 0xFF set
extern uint8_t fnt16[128 * 256]; // 16 x 16 glyphs in columns, block g + 1 holds glyph g

extern int32_t atime; // time base of the last rate update
extern int32_t fps;   // nfrm at the last rate update
extern int32_t mo;    // frames counted between the last two updates
extern char sbuffer[64];

void InitFonts();
void FontInit();
// The same conversions from any data in the formats of bitfonts (472 bytes) and
// fonts16 (256-byte map, then up to 86 glyphs of 256 bytes; size in bytes given).
void InitFontsFrom(const uint8_t* bits);
void FontInitFrom(const uint8_t* font16, uint32_t size);

// x: left column of the first character; y: screen row (from the top) of the bottom row.
void DrawText(int x, int y, int len, const char* text, int depth, const LcdSurface* surface);
// Centred on column x and element y (from the bottom); colours: a shade row, level v at v * 16.
void drawfont16(int x, int y, float scale, int code, const uint16_t* colours, uint16_t* buffer);
void DrawText16(int x, int y, const char* text, uint16_t* buffer);
void CountFps(int show);
