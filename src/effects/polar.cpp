#include "effects/polar.h"

#include <cmath>
#include <cstring>

#include "precalcs/tables.h"
#include "script/script.h"

float ra;
float zm;

namespace {
// The cloud pattern is only needed where r < 256, and t is taken modulo 65536, so its
// indexes run from a + R + s8 >= -96 up to r + Z + fsin1 <= 255 + 8191 + 191 and
// a + R + r + Z <= 255 + 96 + 255 + 8191.
constexpr int kBase = 128;
constexpr int kSize = kBase + kPolarSineEnd;
uint8_t ext1[kSize], ext2[kSize], ext3[kSize];
bool ready = false;

// The sine-table formula: trunc(sin(n / d) * a + b), n and d in single precision.
uint8_t SineEntry(int n, float d, double a, double b) {
    const float x = static_cast<float>(n) / d;
    return static_cast<uint8_t>(static_cast<int32_t>(std::sin(static_cast<double>(x)) * a + b));
}
} // namespace

void PolarInit() {
    for (int n = -kBase; n < kPolarSineEnd; n++) {
        ext1[kBase + n] = SineEntry(n, 13.581549644470215f, 96, 96);
        ext2[kBase + n] = SineEntry(n, 10.186161994934082f, 112, 112);
        ext3[kBase + n] = SineEntry(n, 8.148929595947266f, 128, 128);
    }
    ready = true;
}

int32_t PolarSine(int which, int n) {
    const uint8_t* t = which == 1 ? ext1 : which == 2 ? ext2 : ext3;
    return t[kBase + n];
}

void Polar(uint16_t* dst, const uint16_t* wall, const uint16_t* cloud) {
    if (!ready) PolarInit();
    // The pattern repeats every 65536 ms, which keeps fsin3[s] and every index in range;
    // the tunnel part lasts under 27 s.
    const int32_t t = prticks & 0xFFFF;
    const int32_t s = t / 32;
    const int32_t s8 = s & 255;
    const int32_t s7 = s & 127;
    const int32_t L = fsin3[s];
    ra = static_cast<float>(96.0 * std::sin(t / 2048.0));
    const int32_t R = static_cast<int32_t>(ra);
    zm = static_cast<float>(t) / 1024.0f;
    const int32_t Z = static_cast<int32_t>(zm * 128.0f);
    // Each table pre-offset by what is constant over the frame.
    const uint8_t* s1 = ext1 + kBase;
    const uint8_t* s1z = s1 + Z;
    const uint8_t* s2s = ext2 + kBase + s8;
    const uint8_t* s3z = ext3 + kBase + Z;
    const int32_t* f5 = fsin5 + s7;

    // Both values are computed and one is picked, without a branch that the pattern would
    // mispredict. Where r >= 256 the threshold exceeds any v (always wall), so v may come
    // from r clamped to 255, which keeps the cloud tables in range.
    auto pixel = [&](const DistAngle& d) -> uint16_t {
        const int32_t r = d.dist;
        const int32_t a = d.angle;
        const int32_t rc = r < 256 ? r : 255;
        const int32_t ar = a + R;
        const int32_t v = (s1z[rc] + s2s[ar] + s3z[ar + rc] + s1z[rc + s1[ar]]) & 255;
        int32_t b = fsin4[a + f5[a]] + r - L;
        b = b < 0 ? 0 : b > 255 ? 255 : b;
        return v >= (r >> 1) + 128 ? cloud[v] : wall[b];
    };
    for (int i = 0; i < 160; i++) {
        const DistAngle* da = dist_angle + i * 240;
        uint16_t* left = dst + i * 240;
        uint16_t* right = dst + (319 - i) * 240;
        // Two neighbours along the column per step, each stored as one pair, the mirrored
        // pair with its halves exchanged.
        for (int k = 0; k < 120; k += 2) {
            const uint16_t pair[2] = {pixel(da[k]), pixel(da[k + 1])};
            const uint16_t mirrored[2] = {pair[1], pair[0]};
            std::memcpy(left + k, pair, sizeof(pair));
            std::memcpy(right + k, pair, sizeof(pair));
            std::memcpy(left + 238 - k, mirrored, sizeof(mirrored));
            std::memcpy(right + 238 - k, mirrored, sizeof(mirrored));
        }
    }
}
