// Compiled-in artwork, one unit each, generated at build time from assets/.
#pragma once
#include <cstdint>

// 8 x 8 one-bit font, codes 32..90, 8 bytes a glyph, row 0 on top, bit 7 leftmost.
extern const uint8_t bitfonts[472];
// 16 x 16 font: 256-byte code-to-glyph map, then 86 glyphs of 256 coverage levels 0..15.
extern const uint8_t fonts16[22272];
// Ball sprite: 15-bit palette of 16 ramps (bytes 4..511), 16 x 16 sprite (bytes 512..767).
extern const uint8_t gp32ball[768];

// RGB5551 pictures stored column by column, element 0 at the bottom of the screen.
extern const uint16_t vkr0[320 * 240];
extern const uint16_t quellmark[192 * 84]; // 0 is transparent
extern const uint16_t presents[128 * 32];  // 0 is transparent

// RGB5551 textures, texel (u, v) at v * width + u.
extern const uint16_t vornelo[128 * 128];
extern const uint16_t vornelo_top[128 * 128];
extern const uint16_t vornelo_bottom[128 * 128];
extern const uint16_t env1[64 * 64];

// Packed polygon models: 16-bit little-endian counts and indices, one byte per coordinate.
extern const uint8_t face3do[];
extern const uint32_t face3do_size;
extern const uint8_t teapot[];
extern const uint32_t teapot_size;
