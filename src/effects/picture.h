// Whole-frame operations on the full-screen picture vkr0.
#pragma once
#include <cstdint>

// Column x of the frame shows column x >> shift of the picture; shift is taken within 0..31.
void OpenVKR(uint16_t* buffer, int32_t shift);
// The same over any 320 x 240 picture in frame-buffer order.
void OpenPicture(uint16_t* buffer, const uint16_t* picture, int32_t shift);
// Curtains: blackens columns 0..count-1 and 319-count..319 (count + 1 on the right).
void Close(uint16_t* buffer, int32_t count);
