#include "effects/picture.h"

#include <cstring>

#include "data/data.h"
#include "gp32_functions/gp32_functions.h"

namespace {
void BlackColumns(uint16_t* buffer, int32_t first, int32_t last) {
    for (int32_t x = first; x <= last; x++) {
        std::memset(buffer + x * kFrameHeight, 0, kFrameHeight * sizeof(uint16_t));
    }
}
} // namespace

void OpenPicture(uint16_t* buffer, const uint16_t* picture, int32_t shift) {
    if (shift < 0) shift = 0;
    if (shift > 31) shift = 31;
    for (int32_t x = 0; x < kFrameWidth; x++) {
        const uint16_t* src = picture + (x >> shift) * kFrameHeight;
        uint16_t* dst = buffer + x * kFrameHeight;
        // 120 words of two pixels each.
        for (int k = 0; k < kFrameHeight; k += 2) {
            uint32_t w;
            std::memcpy(&w, src + k, sizeof w);
            std::memcpy(dst + k, &w, sizeof w);
        }
    }
}

void OpenVKR(uint16_t* buffer, int32_t shift) {
    OpenPicture(buffer, vkr0, shift);
}

void Close(uint16_t* buffer, int32_t count) {
    if (count < 0) return;
    if (count > kFrameWidth) count = kFrameWidth;
    BlackColumns(buffer, 0, count - 1);
    // The right curtain is one column wider than the left one.
    BlackColumns(buffer, count >= kFrameWidth - 1 ? 0 : kFrameWidth - 1 - count, kFrameWidth - 1);
}
