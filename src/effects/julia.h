// Julia sets of z^2 + c in 8.8 fixed point, half computed and half mirrored.
#pragma once
#include <cstdint>

extern uint8_t rotbitmap[128 * 128]; // Juhlia128's texture: byte (line l, position q) at l * 128 + q

// Number of iterates z1, z2, ... (at most 15) that stay within radius 2, for the start
// point (x, y) and the constant (cr, ci), all 8.8. The start point itself is not tested.
// Start points within +-2.5 and constants within +-128 keep every product in 32 bits.
// Defined here so that the pixel loops inline it.
inline int JuliaEscape(int32_t x, int32_t y, int32_t cr, int32_t ci) {
    // Squares shift arithmetically (floor); each step's squares serve its test and the next step.
    int32_t re = ((x * x) >> 8) - ((y * y) >> 8) + cr;
    int32_t im = ((2 * x * y) >> 8) + ci;
    for (int n = 0; n < 14; n++) {
        const int32_t re2 = (re * re) >> 8;
        const int32_t im2 = (im * im) >> 8;
        if (re2 + im2 > 1024) return n;
        im = ((2 * re * im) >> 8) + ci;
        re = re2 - im2 + cr;
    }
    return ((re * re) >> 8) + ((im * im) >> 8) > 1024 ? 14 : 15;
}

// Full frame through row[m * 16], m the escape count, for the constant cr + ci i.
void Juhlia(uint16_t* dst, const uint16_t* row, float cr, float ci);
// 128 x 128 bytes m * 16, for a constant that follows a Lissajous path in prticks.
void Juhlia128(uint8_t* image);
