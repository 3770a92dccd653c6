#include "effects/julia.h"

#include <cmath>

#include "script/script.h"

uint8_t rotbitmap[128 * 128];

namespace {
// trunc(v * 256), limited to +-128.0: any constant that large already sends every start
// point of the frame out of radius 2 in one step, and the limit keeps all squares in 32 bits.
int32_t ToFixed(float v) {
    const float f = v * 256.0f;
    if (std::isnan(f)) return 0;
    if (f < -32768.0f) return -32768;
    if (f > 32768.0f) return 32768;
    return static_cast<int32_t>(f);
}
} // namespace

void Juhlia(uint16_t* dst, const uint16_t* row, float cr, float ci) {
    const int32_t CR = ToFixed(cr);
    const int32_t CI = ToFixed(ci);
    for (int i = 0; i < 320; i++) {
        const int32_t x = -640 + 4 * i;
        uint16_t* col = dst + i * 240;
        uint16_t* mirror = dst + (319 - i) * 240;
        for (int k = 239; k >= 120; k--) {
            const uint16_t p = row[JuliaEscape(x, 4 * (k - 119), CR, CI) * 16];
            col[k] = p;
            mirror[239 - k] = p;
        }
    }
}

void Juhlia128(uint8_t* image) {
    const int32_t t = prticks;
    const int32_t CR =
        static_cast<int32_t>(std::sin(static_cast<double>(static_cast<float>(t) / 640.0f)) * 256.0);
    const int32_t CI =
        static_cast<int32_t>(std::cos(static_cast<double>(static_cast<float>(t) / 768.0f)) * 256.0);
    for (int j = 0; j < 128; j++) {
        const int32_t x = -448 + 7 * j;
        for (int q = 127; q >= 64; q--) {
            const uint8_t m = static_cast<uint8_t>(JuliaEscape(x, 7 * (q - 63), CR, CI) * 16);
            image[j * 128 + q] = m;
            image[(127 - j) * 128 + (127 - q)] = m;
        }
    }
}
