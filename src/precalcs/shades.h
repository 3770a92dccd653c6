// Colour ramps: 64 shade rows of 256 RGB5551 values that every effect draws through.
#pragma once
#include <cstdint>

extern uint16_t shades[64 * 256];  // live rows; row n starts at entry 256 * n
extern uint16_t sshades[64 * 256]; // untouched copy, the source of every fade
extern uint16_t bshade[256];       // all black
extern uint16_t wshade[256];       // all white (0xFFFE)
extern uint32_t* blurpal;          // grey palette for the 8-bit mode

struct RampColor {
    uint8_t r, g, b; // 5-bit channels
};

inline uint16_t PackColor(RampColor c) {
    return static_cast<uint16_t>((c.r << 11) | (c.g << 6) | (c.b << 1));
}

void MakeColors(uint16_t* row, RampColor from, RampColor to, int start, int end);
void colortest();
void CloneColors();
void MakeFadeColors();
void Set8bitPals();
