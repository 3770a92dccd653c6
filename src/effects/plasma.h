// Plasma: each pixel is row[(fsin6[k] + fsin4[x] + fsin8[ph + x + k]) & 255] for column x,
// element k, with phase ph = (t >> 4) mod 438 (a period of 7008 ms).
#pragma once
#include <cstdint>

// Whole frame at t = prticks.
void Plasma(uint16_t* buffer, const uint16_t* row);
// Whole frame at t = prticks; values at or above limit show entry 0 of shade row 16.
void PlasmaFade(uint16_t* buffer, const uint16_t* row, uint32_t limit);
// Only the values below limit, at t = prticks + 53248 (where the plasma part left off).
void PlasmaFade2(uint16_t* buffer, const uint16_t* row, uint32_t limit);
