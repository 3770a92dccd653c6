#include "effects/water.h"

#include <cstdlib>

#include "data/data.h"
#include "effects/blobs.h"
#include "script/script.h"

uint8_t buffer1[76800];
uint8_t buffer2[76800];
uint8_t* ba = buffer1 + 240;
uint8_t* bb = buffer2 + 240;

namespace {
constexpr int32_t kLast = 76799;

// The height clamp: below 0 gives 0 (as uberclamp does); a sum above 255 saturates at 255.
inline uint8_t ClampHeight(int32_t v) {
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

void Raindrop(uint8_t* cur) {
    wtime = prticks;
    const int32_t r1 = std::rand() & 255;
    const int32_t r2 = std::rand() % 240;
    const int32_t c = (r1 + 33) * 240 + r2;
    cur[c] = 255;
    cur[c - 1] = cur[c + 1] = cur[c - 240] = cur[c + 240] = 192;
    cur[c - 241] = cur[c - 239] = cur[c + 239] = cur[c + 241] = 64;
}
} // namespace

void WaterStep(uint16_t* dst, const uint16_t* picture) {
    uint8_t* cur = ba - 240;
    if (static_cast<uint32_t>(prticks) - static_cast<uint32_t>(wtime) > 127u) Raindrop(cur);
    uint8_t* const old_ba = ba;
    ba = bb;
    bb = old_ba;
    const uint8_t* c = cur;
    uint8_t* p = ba - 240; // the previous heights, overwritten in place with the new ones
    for (int32_t i = 1; i <= 318; i++) {
        for (int32_t k = 0; k < 240; k++) {
            const int32_t q = 240 * i + k;
            const int32_t sum = c[q - 1] + c[q + 1] + c[q - 240] + c[q + 240];
            p[q] = ClampHeight((sum >> 1) - p[q]);
            // The displaced sample is kept inside the picture.
            int32_t s = 240 * (i + ((p[q - 1] - p[q + 1]) >> 2)) + k + ((p[q - 240] - p[q + 240]) >> 2);
            s = s < 0 ? 0 : (s > kLast ? kLast : s);
            dst[q] = picture[s];
        }
    }
    uint8_t* const prev = ba - 240;
    uint8_t* const curw = bb - 240;
    for (int32_t j = 0; j < 240; j++) {
        prev[240 - j] = 0;
        prev[76560 - j] = 0;
        curw[240 - j] = 0;
        curw[76560 - j] = 0;
        dst[240 - j] = 0;
    }
}

void Water(uint16_t* dst) {
    WaterStep(dst, vkr0);
}
