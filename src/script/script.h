// The timeline: runs the show's parts in order on the clock.
#pragma once
#include <cstdint>

extern int32_t part;     // current part, 0..8
extern int32_t prticks;  // time since the current part began (ms)
extern int32_t signal3d; // set by the 3D scene runner when the cylinder scene is over
extern int32_t chpart;   // 1: re-apply the video mode before the next drawing
extern int32_t bpp[9];   // frame-buffer depth per part

// One frame of the show, drawn into framebuffer[flip]. Stops the program with status 1
// when the video mode cannot be re-applied.
void Script();
// Ends the current part: restarts the part clock from the time base read now and moves on.
void EndPart(int32_t next);
// Colour-table blend of 256 entries: per 5-bit channel a + f * (b - a), truncated, bit 0
// clear. f is taken as 0 below 0 (or NaN) and as 1 above 1.
void Fade2Shade(const uint16_t* from, const uint16_t* to, float f, uint16_t* out);
