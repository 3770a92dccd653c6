#include "effects/water.h"

#include <cstdlib>
#include <cstring>

#include "data/data.h"
#include "effects/blobs.h"
#include "random/random.h"
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

// 0 to kLast, in shifts and masks that vectorize: v & ~(v >> 31) is max(v, 0), and
// kLast + ((d >> 31) & d) with d = v - kLast is min(v, kLast) (v never comes near the int range).
inline int32_t ClampSample(int32_t v) {
    v &= ~(v >> 31);
    const int32_t d = v - kLast;
    return kLast + (d & (d >> 31));
}

void Raindrop(uint8_t* cur) {
    wtime = prticks;
    const int32_t r1 = ShowRand() & 255;
    const int32_t r2 = ShowRand() % 240;
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
    uint8_t* p = ba - 240; // the previous heights, overwritten in place with the new ones
    // A new height depends only on the current heights and its own previous value, so each
    // column is filtered as a whole into fresh[]; drawing then sees exactly what the
    // pixel-by-pixel order gives: new heights before p (the column to the left and fresh[]
    // up to k - 1), previous ones after it (still in place until the column is stored).
    uint8_t fresh[241];
    int32_t sample[240];
    for (int32_t i = 1; i <= 318; i++) {
        const uint8_t* c = cur + 240 * i;
        uint8_t* col = p + 240 * i;
        fresh[0] = col[-1];
        for (int32_t k = 0; k < 240; k++) {
            const int32_t sum = c[k - 1] + c[k + 1] + c[k - 240] + c[k + 240];
            fresh[k + 1] = ClampHeight((sum >> 1) - col[k]);
        }
        // The displacement 240 * dc + dk stays within 16 bits (|dc|, |dk| <= 64), which keeps
        // its products in eight-lane vectors. The displaced sample is kept inside the picture
        // (it can leave it only within 64 columns of either edge, but clamping everywhere is
        // cheaper than a second loop).
        const int32_t base = 240 * i;
        for (int32_t k = 0; k < 240; k++) {
            const int32_t dc = (fresh[k] - col[k + 1]) >> 2;
            const int32_t dk = (col[k - 240] - col[k + 240]) >> 2;
            sample[k] = ClampSample(base + k + static_cast<int16_t>(dc * 240 + dk));
        }
        uint16_t* out = dst + base;
        for (int32_t k = 0; k < 240; k += 4) {
            out[k] = picture[sample[k]];
            out[k + 1] = picture[sample[k + 1]];
            out[k + 2] = picture[sample[k + 2]];
            out[k + 3] = picture[sample[k + 3]];
        }
        std::memcpy(col, fresh + 1, 240);
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
