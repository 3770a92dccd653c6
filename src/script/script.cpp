#include "script/script.h"

int32_t part = 0;
int32_t prticks = 0;
int32_t signal3d = 0;
int32_t chpart = 1;
int32_t bpp[9];

void Script() {}

void Fade2Shade(const uint16_t*, const uint16_t*, float, uint16_t*) {}
