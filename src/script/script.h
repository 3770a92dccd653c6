// The timeline: runs the show's parts in order on the clock.
#pragma once
#include <cstdint>

extern int32_t part;     // current part, 0..8
extern int32_t prticks;  // time since the current part began (ms)
extern int32_t signal3d; // set by the 3D scene runner when the cylinder scene is over
extern int32_t chpart;   // 1: re-apply the video mode before the next drawing
extern int32_t bpp[9];   // frame-buffer depth per part

void Script();
// Colour-table blend of 256 entries: per 5-bit channel a + f * (b - a), truncated.
void Fade2Shade(const uint16_t* from, const uint16_t* to, float f, uint16_t* out);
