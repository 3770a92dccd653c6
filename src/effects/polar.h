// Polar tunnel: depth from each pixel's inverse radius, position around from its angle.
#pragma once
#include <cstdint>

extern float ra; // angle swing of the frame: 96 * sin(t / 2048)
extern float zm; // depth offset of the frame: t / 1024

// Builds the tunnel's own copies of fsin1..fsin3, continued by the same formulas over
// every index the cloud pattern forms. Call once at start-up; Polar builds them itself
// if that has not happened.
void PolarInit();
// Entry n (-128 <= n < kPolarSineEnd) of the tunnel's copy of fsin1, fsin2 or fsin3 (which 1..3).
int32_t PolarSine(int which, int n);
constexpr int kPolarSineEnd = 8960;

// One frame: every pixel through wall row (walls) or cloud row (entries 148..255, clouds).
void Polar(uint16_t* dst, const uint16_t* wall, const uint16_t* cloud);
