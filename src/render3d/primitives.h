// Points, scaled ball sprites and lines.
#pragma once
#include <cstdint>
#include "generate3d/generate3d.h"

extern uint16_t ball_p[256]; // ball palette as RGB5551: 16 ramps of 16
extern uint8_t ball_c[256];  // 16 x 16 sprite of shade steps 0..15, column by column

// Builds ball_p and ball_c from the embedded ball data.
void InitBalls();
void drawpoint(int32_t x, int32_t y, uint16_t value, uint16_t* buffer);
void drawball(int32_t x, int32_t y, int32_t colour, float s, uint16_t* buffer);
void drawline8bit(Line3d line, uint8_t* buffer);
void drawline16bit(Line3d line, uint16_t* buffer);
void drawline(Line3d line, void* buffer, int pixel_size);
