// Julia sets of z^2 + c in 8.8 fixed point, half computed and half mirrored.
#pragma once
#include <cstdint>

extern uint8_t rotbitmap[128 * 128]; // Juhlia128's texture: byte (line l, position q) at l * 128 + q

// Number of iterates z1, z2, ... (at most 15) that stay within radius 2, for the start
// point (x, y) and the constant (cr, ci), all 8.8. The start point itself is not tested.
// Start points within +-2.5 and constants within +-128 keep every product in 32 bits.
int JuliaEscape(int32_t x, int32_t y, int32_t cr, int32_t ci);

// Full frame through row[m * 16], m the escape count, for the constant cr + ci i.
void Juhlia(uint16_t* dst, const uint16_t* row, float cr, float ci);
// 128 x 128 bytes m * 16, for a constant that follows a Lissajous path in prticks.
void Juhlia128(uint8_t* image);
