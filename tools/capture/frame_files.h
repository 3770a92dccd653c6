// Frame files: the raw frame buffer and the picture as the window shows it.
#pragma once
#include <cstdint>
#include <string>

namespace capture {

constexpr size_t kRawBytes = 76800 * 2;

// "DIR/pP_tT" without extension.
std::string FrameStem(const std::string& dir, int32_t part, int32_t prticks);
// "DIR/frame_NNNNNN.png", numbered from 0.
std::string NumberedFrameName(const std::string& dir, uint32_t index);

// The 76800 pixels, 16-bit little-endian, in frame-buffer order. False on a write failure.
bool WriteRaw(const std::string& path, const uint16_t* frame);
// 8-bit RGB PNG of 0x00RRGGBB pixels, rows top to bottom. False on a write failure.
bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height);
// The 320 x 240 picture of a frame buffer through the window's 1:1 conversion.
// scratch holds 76800 pixels.
bool WriteFramePng(const std::string& path, const void* frame, int depth, uint32_t* scratch);

} // namespace capture
