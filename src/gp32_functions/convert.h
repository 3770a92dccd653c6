// Frame-buffer conversion to the window's 32-bit pixels (ConvertFrame in gp32_functions.h).
#pragma once
#include <cstdint>

// The same conversion without vector instructions: the bytes ConvertFrame writes on a
// machine that has none. ConvertFrame uses it for the palette depth and where SSE2 is missing.
void ConvertFramePortable(const void* source, int depth, uint32_t* dest, int scale_);
