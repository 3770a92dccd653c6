// The triangle family: every member sorts the corners by column, walks the columns from left
// to right with two edges and fills one run of rows per column, one column to the right
// (walk column x lands in frame-buffer column x + 1). Members differ in the pixel rule.
//
// Fixed point: rows, colours and texture coordinates carry 8 fraction bits, depth none.
// Slopes are (difference x div[length]) >> 16. A pixel whose offset column x 240 + row
// leaves 0..76799 is skipped; rows are not clipped.
#pragma once
#include <cstdint>
#include "generate3d/generate3d.h"

extern uint32_t zbuffer[76800]; // depth per frame-buffer element; smaller is nearer
extern int32_t tm;              // plasma phase, 0..437, kept by Render

// Reciprocal 65536 / n truncated (65536 for 0): div inside -2048..2047, a division beyond.
int32_t Reciprocal(int64_t n);
// (difference x reciprocal) >> 16, the product formed in 64 bits.
int32_t Slope(int64_t difference, int32_t reciprocal);

void DrawFlatTriangle(Polygon3d poly, uint16_t* buffer, const uint16_t* shade);
void DrawFlatTriangleZB(Polygon3d poly, uint16_t* buffer, const uint16_t* shade);
void DrawFlatWaterTriangle(Polygon3d poly, uint16_t* buffer, const uint16_t* shade_a,
                           const uint16_t* shade_b);
void DrawFlatWaterTriangleZB(Polygon3d poly, uint16_t* buffer, const uint16_t* shade_a,
                             const uint16_t* shade_b);
void DrawGouraudTriangle(Polygon3d poly, uint16_t* buffer, const uint16_t* shade);
void DrawGouraudTriangleZB(Polygon3d poly, uint16_t* buffer, const uint16_t* shade);

// Textures are (256 >> shift) texels square, row-major.
void DrawTextureTriangle(Polygon3d poly, uint16_t* buffer, int32_t shift, const uint16_t* texture);
void DrawTextureTriangleZB(Polygon3d poly, uint16_t* buffer, int32_t shift, const uint16_t* texture);
void DrawEnvmappedTriangle(Polygon3d poly, uint16_t* buffer, int32_t shift, const uint16_t* texture);
void DrawEnvmappedTriangleZB(Polygon3d poly, uint16_t* buffer, int32_t shift, const uint16_t* texture);
void DrawTextureTriangle_plasma(Polygon3d poly, uint16_t* buffer, const uint16_t* shade);
void DrawTextureTriangleZB_plasma(Polygon3d poly, uint16_t* buffer, const uint16_t* shade);
