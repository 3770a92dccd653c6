// The render dispatcher: draws one transformed object in the style RenderMode selects.
//
// Styles: 0 balls, 1 points, 2 lines, 4 flat, 8 Gouraud, 16 textured, 32 environment-mapped,
// 64 flat with water, 128 plasma; a triangle style + 256 is its depth-tested variant.
// Painter's styles sort the polygons far to near and cull in screen space; depth-tested
// styles draw in index order, cull on the rotated normal and clear zbuffer first.
#pragma once
#include <cstdint>
#include "generate3d/generate3d.h"
#include "render3d/triangles.h"

extern int32_t RenderMode;

// shade_a, shade_b: rows of shades. shift: textures are (256 >> shift) texels square.
// textures: side, cap at y = -64 and cap at y = 64 of the cylinder (chosen by polygon index);
// the environment styles use the first. line_size: 16 or 8 for the line style.
void Render(Object3d* obj, int32_t shade_a, int32_t shade_b, uint16_t* buffer, int32_t shift,
            const uint16_t* texture1, const uint16_t* texture2, const uint16_t* texture3, int32_t line_size);
// Depth-sorted polygons split at fraction f (0..1): the nearest (1 - f) Gouraud-shaded with
// row gouraud_row, the rest flat with row flat_row; both drawn near to far.
void RenderSpecial(Object3d* obj, int32_t flat_row, int32_t gouraud_row, float f, uint16_t* buffer);
// swp[i] = i and keys[i] = -((z0 + z1 + z2) >> 2) of polygon i, for i < npls.
void zsort(int32_t* keys, Object3d* obj);
void CleanZbuffer();
// Sorts keys[lo..hi] ascending, applying every exchange to swp as well.
void quicksort(int32_t lo, int32_t hi, int32_t* keys);
