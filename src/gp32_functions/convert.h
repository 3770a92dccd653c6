// Frame-buffer conversion to the window's 32-bit pixels (ConvertFrame in gp32_functions.h).
#pragma once
#include <cstdint>

// The ways of converting, all giving the same bytes: plain C++ that any machine runs, SSE2,
// and AVX2 for the 1x window, taken where the processor has it. ConvertFrame uses the best
// available path.
enum class ConvertPath { Portable, Sse2, Avx2 };
bool ConvertPathAvailable(ConvertPath path);
// ConvertFrame on the given path, or on the best available below it where this machine or
// compiler lacks the path (or the path does not cover the depth and scale).
void ConvertFrameOn(ConvertPath path, const void* source, int depth, uint32_t* dest, int scale_);
