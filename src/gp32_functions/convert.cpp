#include "gp32_functions/convert.h"

#include <cstring>

#include "gp32_functions/convert_tiles.h"
#include "gp32_functions/gp32_functions.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

// The small fixed loops over the lanes of an 8 x 8 block are unrolled (the pragma), so
// that the block lives in registers.
// Column x of the frame buffer becomes window column x (2x and 2x + 1 when doubling), element
// k row 239 - k. Every path walks tiles of a few columns and writes whole rows of the tile
// (convert_tiles.h), so the window is written in runs of full cache lines.

namespace {

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
#pragma GCC unroll 8
    for (int j = 0; j < 8; j++)
        a[j] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(col + j * 240));
    // Pairs of 16-bit, then 32-bit, then 64-bit lanes interleaved.
    __m128i b[8];
    __m128i c[8];
#pragma GCC unroll 8
    for (int j = 0; j < 8; j += 2) {
        b[j] = _mm_unpacklo_epi16(a[j], a[j + 1]);
        b[j + 1] = _mm_unpackhi_epi16(a[j], a[j + 1]);
    }
#pragma GCC unroll 8
    for (int j = 0; j < 8; j += 2) {
        const int m = (j & 4) + (j & 2) / 2;
        c[j] = _mm_unpacklo_epi32(b[m], b[m + 2]);
        c[j + 1] = _mm_unpackhi_epi32(b[m], b[m + 2]);
    }
#pragma GCC unroll 8
    for (int e = 0; e < 8; e += 2) {
        t[e] = _mm_unpacklo_epi64(c[e / 2], c[e / 2 + 4]);
        t[e + 1] = _mm_unpackhi_epi64(c[e / 2], c[e / 2 + 4]);
    }
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
#pragma GCC unroll 8
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
#pragma GCC unroll 8
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

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define ZARVELIN_AVX2_PATH 1
// The 1x conversion on 256-bit vectors, chosen at run time where the processor has AVX2:
// the two 128-bit lanes carry two 8 x 8 blocks side by side through the same steps.
__attribute__((target("avx2"))) void Convert16Avx2(const uint16_t* src, uint32_t* dest) {
    const __m256i green_mask = _mm256_set1_epi16(static_cast<short>(0xF800));
    const __m256i low_mask = _mm256_set1_epi16(0xF8);
    for (int x0 = 0; x0 < 320; x0 += 16) {
        for (int k0 = 0; k0 < 240; k0 += 8) {
            const uint16_t* col = src + x0 * 240 + k0;
            __m256i a[8];
#pragma GCC unroll 8
            for (int j = 0; j < 8; j++) {
                const __m128i left = _mm_loadu_si128(reinterpret_cast<const __m128i*>(col + j * 240));
                const __m128i right = _mm_loadu_si128(reinterpret_cast<const __m128i*>(col + (j + 8) * 240));
                a[j] = _mm256_inserti128_si256(_mm256_castsi128_si256(left), right, 1);
            }
            __m256i b[8];
            __m256i c[8];
#pragma GCC unroll 8
            for (int j = 0; j < 8; j += 2) {
                b[j] = _mm256_unpacklo_epi16(a[j], a[j + 1]);
                b[j + 1] = _mm256_unpackhi_epi16(a[j], a[j + 1]);
            }
#pragma GCC unroll 8
            for (int j = 0; j < 8; j += 2) {
                const int m = (j & 4) + (j & 2) / 2;
                c[j] = _mm256_unpacklo_epi32(b[m], b[m + 2]);
                c[j + 1] = _mm256_unpackhi_epi32(b[m], b[m + 2]);
            }
            uint32_t* out = dest + (239 - k0) * 320 + x0;
#pragma GCC unroll 8
            for (int e = 0; e < 8; e++, out -= 320) {
                const __m256i t = (e & 1) == 0 ? _mm256_unpacklo_epi64(c[e / 2], c[e / 2 + 4])
                                               : _mm256_unpackhi_epi64(c[e / 2], c[e / 2 + 4]);
                const __m256i low = _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi16(t, 5), green_mask),
                                                    _mm256_and_si256(_mm256_slli_epi16(t, 2), low_mask));
                const __m256i red = _mm256_and_si256(_mm256_srli_epi16(t, 8), low_mask);
                const __m256i lo = _mm256_unpacklo_epi16(low, red);
                const __m256i hi = _mm256_unpackhi_epi16(low, red);
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permute2x128_si256(lo, hi, 0x20));
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8),
                                    _mm256_permute2x128_si256(lo, hi, 0x31));
            }
        }
    }
}
#endif

} // namespace

namespace {
void ConvertPortable(const void* source, int depth, uint32_t* dest, int scale_) {
    if (scale_ != 0 && scale_ != 1) return;
    if (depth == 16) {
        ConvertTiles(static_cast<const uint16_t*>(source), dest, scale_, Rgb5551ToPC);
    } else {
        ConvertTiles(static_cast<const uint8_t*>(source), dest, scale_,
                     [](uint8_t b) { return gp_palette[b]; });
    }
}

bool HasAvx2() {
#if defined(ZARVELIN_AVX2_PATH)
    static const bool has = __builtin_cpu_supports("avx2") != 0;
    return has;
#else
    return false;
#endif
}
} // namespace

bool ConvertPathAvailable(ConvertPath path) {
    switch (path) {
    case ConvertPath::Portable:
        return true;
    case ConvertPath::Sse2:
#if defined(__SSE2__)
        return true;
#else
        return false;
#endif
    case ConvertPath::Avx2:
        return HasAvx2();
    }
    return false;
}

void ConvertFrameOn(ConvertPath path, const void* source, int depth, uint32_t* dest, int scale_) {
    const bool rgb = depth == 16 && (scale_ == 0 || scale_ == 1);
#if defined(ZARVELIN_AVX2_PATH)
    if (path == ConvertPath::Avx2 && rgb && scale_ == 0 && HasAvx2()) {
        Convert16Avx2(static_cast<const uint16_t*>(source), dest);
        return;
    }
#endif
#if defined(__SSE2__)
    if (path != ConvertPath::Portable && rgb) {
        Convert16Sse2(static_cast<const uint16_t*>(source), dest, scale_);
        return;
    }
#endif
    (void)rgb;
    (void)path;
    ConvertPortable(source, depth, dest, scale_);
}

void ConvertFrame(const void* source, int depth, uint32_t* dest, int scale_) {
    ConvertFrameOn(ConvertPath::Avx2, source, depth, dest, scale_);
}
