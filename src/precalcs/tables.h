// Lookup tables built once at start-up and read by plain indexing.
#pragma once
#include <cstdint>

// Reciprocals: lut::div[2048 + d] = 65536 / d for d = -2048..2047 (65536 for d = 0).
// Kept in a namespace because the C library already owns the name div.
namespace lut {
extern int32_t div[4096];
}

// Sine tables of 2048 entries, pre-scaled to colour-index ranges.
extern int32_t fsin1[2048], fsin2[2048], fsin3[2048], fsin4[2048];
extern int32_t fsin5[2048], fsin6[2048], fsin7[2048], fsin8[2048];

// Inverse radius (8192 / r) and angle (256 units a half turn) of every pixel from the
// screen centre, in frame-buffer order.
struct DistAngle {
    uint16_t dist;
    uint16_t angle;
};
extern DistAngle dist_angle[76800];

extern uint8_t uberclamp[512]; // read through base 256: v for v >= 0, 0 below
extern uint8_t blob[32 * 32];  // soft round spot, 255 at its centre

extern float star3dx[512], star3dy[512], star3dz[512], star3dv[512];

extern uint8_t dclampx[256]; // displaced logo column + 32 -> logo column (0 outside)
extern uint8_t dclampy[128]; // displaced logo element + 22 -> logo element (0 outside)
extern int32_t dsin1[1024], dsin2[1024];
extern uint8_t xscan[192]; // logo columns shown
extern uint8_t yscan[96];  // logo elements shown

extern int32_t scsize;  // edge of the cube the stars are placed in
extern int32_t starfar; // depth at which stars are reborn

// The program's value of pi, used by every table and the engine.
constexpr double kPi = 3.14151693;

void precdivs();
void WaterInit(); // reports progress on the loading bar
void BlobInit();
void Stars3dInit();
void DistortInit();

// Single entries, as the precalculation driver builds them between progress reports.
void SineEntriesA(int n); // fsin1, fsin2, fsin3, fsin6, fsin7, fsin8
void SineEntriesB(int n); // fsin4, fsin5
void DistAngleEntry(int i);
