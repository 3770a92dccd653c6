#include "effects/warps.h"

#include <cmath>
#include <cstring>

#include "data/data.h"
#include "effects/julia.h"
#include "precalcs/tables.h"
#include "script/script.h"

namespace {
// Writes p at (column x, element k) when it is not transparent and lies in the frame.
inline void PutOpaque(uint16_t* dst, int x, int k, uint16_t p) {
    if (p != 0 && static_cast<unsigned>(x) < 320u && static_cast<unsigned>(k) < 240u) dst[x * 240 + k] = p;
}

inline int Clamp(int64_t v, int hi) {
    return v < 0 ? 0 : v > hi ? hi : static_cast<int>(v);
}
} // namespace

void ZoomPicture(uint16_t* dst, const uint16_t* image, int x0, int k0, float z) {
    // At z <= 1/512 the picture is far below a pixel and the start coordinate leaves 16.16.
    if (!(z > 1.0f / 512.0f)) return;
    const int32_t step = static_cast<int32_t>(65536.0f / z);
    const float inv = 1.0f - 1.0f / z;
    const int32_t c0 = static_cast<int32_t>(inv * 64.0f * 65536.0f);
    const int32_t e0 = static_cast<int32_t>(inv * 16.0f * 65536.0f);
    for (int x = 0; x < 128; x++) {
        const int cx = Clamp((c0 + static_cast<int64_t>(x) * step) >> 16, 127);
        const uint16_t* column = image + cx * 32;
        for (int j = 0; j < 32; j++) {
            const int ey = Clamp((e0 + static_cast<int64_t>(j) * step) >> 16, 31);
            PutOpaque(dst, x0 + x, k0 + j, column[ey]);
        }
    }
}

void LogoZoom(uint16_t* dst, int x0, int k0, float z) {
    ZoomPicture(dst, presents, x0, k0, z);
}

void DistortPicture(uint16_t* dst, const uint16_t* image, int x0, int k0) {
    // prticks is never negative in the show; as unsigned the phases stay in range anyway.
    const uint32_t T = static_cast<uint32_t>(prticks) >> 4;
    const int p1 = static_cast<int>(T % 75);
    const int p2 = static_cast<int>(T % 100);
    for (int i = 0; i < 192; i++) {
        if (xscan[i] == 0) continue;
        const int32_t dy = dsin2[64 + p2 + i];
        for (int j = -4; j < 88; j++) {
            if (yscan[j + 4] == 0) continue;
            const int sxc = dclampx[32 + i + dsin1[64 + p1 + j]];
            const int syc = dclampy[22 + j + dy];
            PutOpaque(dst, x0 + i, k0 + j, image[sxc * 84 + syc]);
        }
    }
}

void LogoDistort(uint16_t* dst, int x0, int k0) {
    DistortPicture(dst, quellmark, x0, k0);
}

namespace {
// trunc(v) modulo 2^32: texture coordinates wrap, so a step that leaves 32 bits keeps
// its low bits; anything not finite counts as 0.
uint32_t WrapFixed(double v) {
    if (!std::isfinite(v)) return 0;
    double w = std::fmod(std::trunc(v), 4294967296.0);
    if (w < 0) w += 4294967296.0;
    return static_cast<uint32_t>(w);
}
} // namespace

void Rotozoomer(uint16_t* dst, const uint16_t* row, float angle, float zoom) {
    const double theta = static_cast<double>(angle / 180.0f) / kPi;
    const double cz = std::cos(theta) * static_cast<double>(zoom);
    const double sz = std::sin(theta) * static_cast<double>(zoom);
    const uint32_t L = WrapFixed(16777216.0 * cz);
    const uint32_t M = WrapFixed(16777216.0 * sz);
    uint32_t U = 0xF1000000u;
    uint32_t V = 0x0A000000u;
    for (int i = 0; i < 320; i++) {
        U += L;
        V -= M;
        uint32_t u = U;
        uint32_t v = V;
        uint16_t* column = dst + i * 240;
        for (int k = 0; k < 240; k++) {
            u += M;
            v += L;
            column[k] = row[rotbitmap[128 * ((u >> 24) & 127) + ((v >> 24) & 127)]];
        }
    }
}

namespace {
constexpr uint32_t kLanes = 0x3F3F3F3Fu;
constexpr int kFirst = 240;          // first byte of column 1
constexpr int kEnd = kFirst + 76320; // one past the last byte of column 318

inline uint32_t Word(const uint8_t* p) {
    uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}

inline void Store(uint8_t* buffer, uint8_t* out, int p, uint32_t w) {
    std::memcpy(buffer + p, &w, 4);
    const uint32_t w4 = w << 2;
    std::memcpy(out + p, &w4, 4);
}
} // namespace

void Blur(uint8_t* buffer, uint8_t* out) {
    for (int p = kFirst; p < kEnd; p += 4) {
        const uint32_t sum =
            Word(buffer + p - 4) + Word(buffer + p + 4) + Word(buffer + p - 240) + Word(buffer + p + 240);
        Store(buffer, out, p, (sum >> 2) & kLanes);
    }
}

void BlurX2(uint8_t* buffer, uint8_t* out) {
    for (int p = kFirst; p < kEnd; p += 4) {
        Store(buffer, out, p, ((Word(buffer + p - 4) + Word(buffer + p + 4)) >> 1) & kLanes);
    }
}

void BlurY2(uint8_t* buffer, uint8_t* out) {
    for (int p = kFirst; p < kEnd; p += 4) {
        Store(buffer, out, p, ((Word(buffer + p - 240) + Word(buffer + p + 240)) >> 1) & kLanes);
    }
}

void Zoom(const uint8_t* src, uint8_t* dst, float factor) {
    // Same limit as the caption zoom; coordinates past the source repeat its last column
    // and element.
    if (!(factor > 1.0f / 512.0f)) return;
    const int64_t step = static_cast<int64_t>(65536.0f / factor);
    for (int x = 0; x < 320; x++) {
        const uint8_t* column = src + Clamp((x * step) >> 16, 319) * 240;
        for (int k = 0; k < 240; k++)
            dst[x * 240 + k] = column[Clamp((k * step) >> 16, 239)];
    }
}
