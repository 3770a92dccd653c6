// Text in two fonts and the frame counter.
#pragma once
#include <cstdint>
#include "gp32_functions/gp32_functions.h"

extern uint8_t fonts[59 * 64];   // 8 x 8 glyphs turned into frame-buffer columns, 0xFF set
extern uint8_t fnt16[128 * 256]; // 16 x 16 glyphs in columns, block g + 1 holds glyph g

extern int32_t atime;        // time base of the last rate update
extern int32_t fps;          // nfrm at the last rate update
extern int32_t mo;           // frames counted between the last two updates
extern char sbuffer[64];

void InitFonts();
void FontInit();
void DrawText(int x, int y, int len, const char* text, int depth, const LcdSurface* surface);
void drawfont16(int x, int y, float scale, int code, const uint16_t* colours, uint16_t* buffer);
void DrawText16(int x, int y, const char* text, uint16_t* buffer);
void CountFps(int show);
