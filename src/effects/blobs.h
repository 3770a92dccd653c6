// Blob star field: soft blobs added with saturation into a density buffer, shown through a row.
#pragma once
#include <cstdint>

extern uint8_t blobbuffer[76800]; // densities in frame-buffer order; all 0 between frames
extern int32_t sx[512], sy[512];  // each star's projected column and element this frame
extern float sz[512];             // its blob scale (0: not drawn this frame)
extern int32_t wtime;             // prticks at the last movement step; shared with the water

// Adds a blob of 32*s x 32*s pixels centred at column x, element y into blobbuffer.
void draw_blob(int x, int y, float s);
// Sets to 0 exactly the pixels draw_blob(x, y, s) touches.
void clean_blob(int x, int y, float s);
// dst[p] = row[blobbuffer[p]] for every pixel.
void Blobs2vram(uint16_t* dst, const uint16_t* row);
// One frame of the star field over the whole of dst (shade row 32); moves and reborn stars.
void BlobStars3D(uint16_t* dst);
