#include "effects/blobs.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "precalcs/shades.h"
#include "precalcs/tables.h"
#include "random/random.h"
#include "script/script.h"

uint8_t blobbuffer[76800];
int32_t sx[512], sy[512];
float sz[512];
int32_t wtime = 0;

namespace {
// One axis of a blob after clipping: pixels first .. first + count - 1, profile
// coordinate (16.16) of the first one.
struct BlobSpan {
    int first;
    int count;
    int32_t coord;
};

// Clips one axis of draw_blob(c, s) against 0 .. size - 1; false when nothing is drawn.
// Scales are limited to 0 < s <= 16, which covers every star (at most about 1) and keeps
// every profile coordinate inside the 32 entries of the blob.
bool ClipBlob(int c, float s, int size, BlobSpan* span) {
    if (!(s > 0.0f && s <= 16.0f)) return false;
    const float f0 = static_cast<float>(c) - 16.0f * s;
    if (!(f0 < static_cast<float>(size) && f0 > -1024.0f)) return false;
    const int c0 = static_cast<int>(f0);
    if (!(static_cast<float>(c0) > -32.0f * s)) return false;
    const int last = static_cast<int>(32.0f * s - 1.0f);
    int first_step = 0;
    span->coord = 0;
    if (c0 < 0) {
        first_step = -c0;
        span->coord = static_cast<int32_t>(static_cast<float>(-c0 * 65536) / s);
    }
    // The last drawn pixel is the profile's last step or the buffer's edge, whichever
    // comes first.
    const int last_step = c0 + last > size - 1 ? size - 1 - c0 : last;
    span->first = c0 + first_step;
    span->count = last_step - first_step + 1;
    return span->count > 0;
}
} // namespace

void draw_blob(int x, int y, float s) {
    BlobSpan cols, elems;
    if (!ClipBlob(x, s, 320, &cols) || !ClipBlob(y, s, 240, &elems)) return;
    const int32_t step = static_cast<int32_t>(65536.0f / s);
    int32_t u = cols.coord;
    for (int c = 0; c < cols.count; c++, u += step) {
        const uint8_t* profile = blob + (u >> 16) * 32;
        uint8_t* pixel = blobbuffer + (cols.first + c) * 240 + elems.first;
        int32_t v = elems.coord;
        for (int e = 0; e < elems.count; e++, v += step) {
            const int d = pixel[e] + profile[v >> 16];
            pixel[e] = static_cast<uint8_t>(d > 255 ? 255 : d);
        }
    }
}

void clean_blob(int x, int y, float s) {
    BlobSpan cols, elems;
    if (!ClipBlob(x, s, 320, &cols) || !ClipBlob(y, s, 240, &elems)) return;
    for (int c = 0; c < cols.count; c++) {
        std::memset(blobbuffer + (cols.first + c) * 240 + elems.first, 0, static_cast<size_t>(elems.count));
    }
}

void Blobs2vram(uint16_t* dst, const uint16_t* row) {
    for (int p = 0; p < 76800; p++)
        dst[p] = row[blobbuffer[p]];
}

namespace {
// trunc(v) when v is a finite number within the signed 32-bit range.
bool ToPixel(float v, int32_t* out) {
    if (!(v >= -2147483648.0f && v < 2147483648.0f)) return false;
    *out = static_cast<int32_t>(v);
    return true;
}

// ShowRand() % size - size / 2, for a cube edge of at least 1.
float RandomCoordinate() {
    const int32_t size = scsize > 0 ? scsize : 1;
    return static_cast<float>(ShowRand() % size - size / 2);
}
} // namespace

void BlobStars3D(uint16_t* dst) {
    const float far = static_cast<float>(starfar);
    for (int i = 0; i < 512; i++) {
        const float X = star3dx[i];
        const float Y = star3dy[i];
        const float Z = star3dz[i];
        // A star whose projection is no usable pixel position is neither drawn nor cleared.
        if (ToPixel(256.0f * X / Z + 160.0f, &sx[i]) && ToPixel(256.0f * Y / Z + 120.0f, &sy[i])) {
            sz[i] = (far - Z) / (1.5f * far);
        } else {
            sx[i] = sy[i] = 0;
            sz[i] = 0.0f;
        }
        draw_blob(sx[i], sy[i], sz[i]);
        if (Z < 16.0f) {
            star3dx[i] = RandomCoordinate();
            star3dy[i] = RandomCoordinate();
            star3dz[i] = far;
            star3dv[i] = static_cast<float>(ShowRand() % 65536) * 0.00390625f + 8.0f;
        }
    }
    if (static_cast<uint32_t>(prticks) - static_cast<uint32_t>(wtime) > 15u) {
        for (int i = 0; i < 512; i++)
            star3dz[i] -= star3dv[i];
        wtime = prticks;
    }
    Blobs2vram(dst, shades + 32 * 256);
    for (int i = 0; i < 512; i++)
        clean_blob(sx[i], sy[i], sz[i]);
}
