// The portable conversion's walk over the frame buffer, shared by every output that takes
// 32-bit pixels (the window's 0x00RRGGBB, the page's canvas bytes): the pixel's conversion is
// the caller's.
#pragma once
#include <cstdint>
#include <cstring>

// Column x of the frame buffer becomes output column x (2x and 2x + 1 when doubling), element
// k row 239 - k (rows 2(239 - k) and 2(239 - k) + 1). Tiles of a few columns are walked and
// whole rows of the tile written, so the output is written in runs of full cache lines
// instead of one pixel per row.

inline constexpr int kTile = 8; // columns per tile; 320 is a multiple

inline void StoreDoubled(uint32_t* out, uint32_t v) {
    const uint64_t pair = v | (static_cast<uint64_t>(v) << 32);
    std::memcpy(out, &pair, sizeof(pair));
}

// Rows of (320 << scale_) pixels for scale_ 0 or 1.
template <typename Pixel, typename Convert>
inline void ConvertTiles(const Pixel* src, uint32_t* dest, int scale_, Convert convert) {
    const int row = 320 << scale_;
    for (int x0 = 0; x0 < 320; x0 += kTile) {
        const Pixel* col = src + x0 * 240;
        for (int k = 0; k < 240; k++) {
            uint32_t* out = dest + (239 - k) * (row << scale_) + (x0 << scale_);
            for (int j = 0; j < kTile; j++) {
                const uint32_t v = convert(col[j * 240 + k]);
                if (scale_ == 0) {
                    out[j] = v;
                } else {
                    StoreDoubled(out + 2 * j, v);
                    StoreDoubled(out + row + 2 * j, v);
                }
            }
        }
    }
}
