#include "script/text.h"

uint8_t fonts[59 * 64];
uint8_t fnt16[128 * 256];
int32_t atime = 0;
int32_t fps = 0;
int32_t mo = 0;
char sbuffer[64];

void InitFonts() {}
void FontInit() {}
void DrawText(int, int, int, const char*, int, const LcdSurface*) {}
void drawfont16(int, int, float, int, const uint16_t*, uint16_t*) {}
void DrawText16(int, int, const char*, uint16_t*) {}
void CountFps(int) {}
