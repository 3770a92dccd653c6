// Image warps: the zooming caption, the wobbling logo and the rotozoomed Julia texture,
// plus the blurs and zoom of the 8-bit mode.
#pragma once
#include <cstdint>

// presents (128 x 32) scaled by z about its centre into columns x0.., elements k0..;
// pixel value 0 is transparent. Nothing is drawn for z <= 1/512.
void LogoZoom(uint16_t* dst, int x0, int k0, float z);
// The same for any 128 x 32 picture in frame-buffer orientation.
void ZoomPicture(uint16_t* dst, const uint16_t* image, int x0, int k0, float z);

// quellmark (192 x 84) wobbled along both axes, through the masks xscan and yscan, into
// columns x0 .. x0 + 191 and elements k0 - 4 .. k0 + 87.
void LogoDistort(uint16_t* dst, int x0, int k0);
// The same for any 192 x 84 picture whose outermost columns and elements are 0.
void DistortPicture(uint16_t* dst, const uint16_t* image, int x0, int k0);

// Fills the frame with rotbitmap turned by angle (1 / (180 * pi) radian a unit) about the
// lower-left corner, zoom texels a pixel, through row.
void Rotozoomer(uint16_t* dst, const uint16_t* row, float angle, float zoom);

// 8-bit mode, 320 x 240 byte buffers of 6-bit values. Columns 1 to 318 are averaged in
// place four bytes at a time; four times each result goes to out.
void Blur(uint8_t* buffer, uint8_t* out);   // previous result, next word, left and right words
void BlurX2(uint8_t* buffer, uint8_t* out); // previous result and next word
void BlurY2(uint8_t* buffer, uint8_t* out); // left and right words
// dst = src enlarged by factor about column 0, element 0, nearest neighbour.
void Zoom(const uint8_t* src, uint8_t* dst, float factor);
