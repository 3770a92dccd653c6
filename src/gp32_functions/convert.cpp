#include "gp32_functions/convert.h"

#include <cstring>

#include "gp32_functions/gp32_functions.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Column x of the frame buffer becomes window column x (2x and 2x + 1 when doubling), element
// k row 239 - k (rows 2(239 - k) and 2(239 - k) + 1). Both paths walk tiles of a few columns
// and write whole rows of the tile, so the window is written in runs of full cache lines
// instead of one pixel per row.

namespace {

constexpr int kTile = 8; // columns per tile; 320 is a multiple

inline void StoreDoubled(uint32_t* out, uint32_t v) {
    const uint64_t pair = v | (static_cast<uint64_t>(v) << 32);
    std::memcpy(out, &pair, sizeof(pair));
}

template <typename Pixel, typename Convert>
void ConvertTiles(const Pixel* src, uint32_t* dest, int scale_, Convert convert) {
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

#if defined(__SSE2__)
// Eight RGB5551 pixels into eight window pixels: the low halves (green, blue) and the high
// halves (red) are built in 16-bit lanes and interleaved.
inline void Convert8(__m128i p, __m128i& lo4, __m128i& hi4) {
    const __m128i green = _mm_and_si128(_mm_slli_epi16(p, 5), _mm_set1_epi16(static_cast<short>(0xF800)));
    const __m128i blue = _mm_and_si128(_mm_slli_epi16(p, 2), _mm_set1_epi16(0xF8));
    const __m128i low = _mm_or_si128(green, blue);
    const __m128i red = _mm_and_si128(_mm_srli_epi16(p, 8), _mm_set1_epi16(0xF8));
    lo4 = _mm_unpacklo_epi16(low, red);
    hi4 = _mm_unpackhi_epi16(low, red);
}

// An 8 x 8 block: eight elements from each of eight columns in, eight rows of eight
// window pixels out (t[e] holds element e of every column).
inline void Transpose8(const uint16_t* col, __m128i t[8]) {
    __m128i a[8];
    for (int j = 0; j < 8; j++)
        a[j] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(col + j * 240));
    const __m128i b0 = _mm_unpacklo_epi16(a[0], a[1]);
    const __m128i b1 = _mm_unpackhi_epi16(a[0], a[1]);
    const __m128i b2 = _mm_unpacklo_epi16(a[2], a[3]);
    const __m128i b3 = _mm_unpackhi_epi16(a[2], a[3]);
    const __m128i b4 = _mm_unpacklo_epi16(a[4], a[5]);
    const __m128i b5 = _mm_unpackhi_epi16(a[4], a[5]);
    const __m128i b6 = _mm_unpacklo_epi16(a[6], a[7]);
    const __m128i b7 = _mm_unpackhi_epi16(a[6], a[7]);
    const __m128i c0 = _mm_unpacklo_epi32(b0, b2);
    const __m128i c1 = _mm_unpackhi_epi32(b0, b2);
    const __m128i c2 = _mm_unpacklo_epi32(b1, b3);
    const __m128i c3 = _mm_unpackhi_epi32(b1, b3);
    const __m128i c4 = _mm_unpacklo_epi32(b4, b6);
    const __m128i c5 = _mm_unpackhi_epi32(b4, b6);
    const __m128i c6 = _mm_unpacklo_epi32(b5, b7);
    const __m128i c7 = _mm_unpackhi_epi32(b5, b7);
    t[0] = _mm_unpacklo_epi64(c0, c4);
    t[1] = _mm_unpackhi_epi64(c0, c4);
    t[2] = _mm_unpacklo_epi64(c1, c5);
    t[3] = _mm_unpackhi_epi64(c1, c5);
    t[4] = _mm_unpacklo_epi64(c2, c6);
    t[5] = _mm_unpackhi_epi64(c2, c6);
    t[6] = _mm_unpacklo_epi64(c3, c7);
    t[7] = _mm_unpackhi_epi64(c3, c7);
}

inline void Store(uint32_t* out, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v);
}

void Convert16Sse2(const uint16_t* src, uint32_t* dest, int scale_) {
    __m128i t[8];
    __m128i lo;
    __m128i hi;
    if (scale_ == 0) {
        // Sixteen columns per tile: each row of the tile is one 64-byte line.
        for (int x0 = 0; x0 < 320; x0 += 16) {
            for (int k0 = 0; k0 < 240; k0 += 8) {
                for (int half = 0; half < 2; half++) {
                    Transpose8(src + (x0 + 8 * half) * 240 + k0, t);
                    uint32_t* out = dest + (239 - k0) * 320 + x0 + 8 * half;
                    for (int e = 0; e < 8; e++, out -= 320) {
                        Convert8(t[e], lo, hi);
                        Store(out, lo);
                        Store(out + 4, hi);
                    }
                }
            }
        }
        return;
    }
    for (int x0 = 0; x0 < 320; x0 += 8) {
        for (int k0 = 0; k0 < 240; k0 += 8) {
            Transpose8(src + x0 * 240 + k0, t);
            uint32_t* out = dest + (239 - k0) * 1280 + 2 * x0;
            for (int e = 0; e < 8; e++, out -= 1280) {
                Convert8(t[e], lo, hi);
                const __m128i d0 = _mm_unpacklo_epi32(lo, lo);
                const __m128i d1 = _mm_unpackhi_epi32(lo, lo);
                const __m128i d2 = _mm_unpacklo_epi32(hi, hi);
                const __m128i d3 = _mm_unpackhi_epi32(hi, hi);
                Store(out, d0);
                Store(out + 4, d1);
                Store(out + 8, d2);
                Store(out + 12, d3);
                Store(out + 640, d0);
                Store(out + 644, d1);
                Store(out + 648, d2);
                Store(out + 652, d3);
            }
        }
    }
}
#endif

} // namespace

void ConvertFramePortable(const void* source, int depth, uint32_t* dest, int scale_) {
    if (scale_ != 0 && scale_ != 1) return;
    if (depth == 16) {
        ConvertTiles(static_cast<const uint16_t*>(source), dest, scale_, Rgb5551ToPC);
    } else {
        ConvertTiles(static_cast<const uint8_t*>(source), dest, scale_,
                     [](uint8_t b) { return gp_palette[b]; });
    }
}

void ConvertFrame(const void* source, int depth, uint32_t* dest, int scale_) {
#if defined(__SSE2__)
    if (depth == 16 && (scale_ == 0 || scale_ == 1)) {
        Convert16Sse2(static_cast<const uint16_t*>(source), dest, scale_);
        return;
    }
#endif
    ConvertFramePortable(source, depth, dest, scale_);
}
