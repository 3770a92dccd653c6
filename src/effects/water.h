// Water ripple: two 8-bit height fields advanced by the two-buffer wave filter, raindrops,
// and the picture vkr0 drawn displaced by the surface slope.
#pragma once
#include <cstdint>

extern uint8_t buffer1[76800]; // heights, indexed like the frame buffer
extern uint8_t buffer2[76800];
extern uint8_t* ba; // current heights, at height 240 (column 1) of its buffer
extern uint8_t* bb; // previous heights, likewise
// The raindrops are paced by wtime (effects/blobs.h), shared with the star field.

// One step of the water drawn over the given picture (76800 pixels in frame-buffer order).
void WaterStep(uint16_t* dst, const uint16_t* picture);
// One step of the water over vkr0; called once per frame.
void Water(uint16_t* dst);
