// Points, scaled ball sprites and lines.
#pragma once
#include <cstdint>
#include "generate3d/generate3d.h"

extern uint16_t ball_p[256]; // ball palette as RGB5551: 16 ramps of 16
extern uint8_t ball_c[256];  // 16 x 16 sprite of shade steps 0..15, column by column

// Builds ball_p and ball_c from the embedded ball data.
void InitBalls();
// The same from any 768 bytes in the ball format.
void InitBallsFrom(const uint8_t* ball);
void drawpoint(int32_t x, int32_t y, uint16_t value, uint16_t* buffer);
void drawball(int32_t x, int32_t y, int32_t colour, float s, uint16_t* buffer);
void drawline8bit(Line3d line, uint8_t* buffer);
void drawline16bit(Line3d line, uint16_t* buffer);
void drawline(Line3d line, void* buffer, int pixel_size);

// A 16 x 16 sprite scaled by s and centred on column x, element y, clipped to the frame.
// Sample positions are 16.16 fixed point, stepped by floor(65536 / s) per pixel from the
// first column and element drawn. Shared by the ball and the large font.
struct ScaledSprite {
    int32_t x0, y0;            // first column and element written
    int32_t columns, elements; // how many are written, at most 320 and 240
    int32_t u_start, v_start;  // 16.16 sample position of the first column and element
    int32_t step;              // 16.16 sample step per pixel
};

// False when nothing of the sprite lies on the frame (or s is not a positive finite size).
bool PlaceScaledSprite(int32_t x, int32_t y, double s, ScaledSprite* box);
// Walks the box: sample value t of sprite (16 x 16, column by column, 0 transparent)
// becomes colours[t * stride].
void DrawScaledSprite(const ScaledSprite& box, const uint8_t* sprite, const uint16_t* colours, int stride,
                      uint16_t* buffer);
