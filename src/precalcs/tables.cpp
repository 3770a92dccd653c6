#include "precalcs/tables.h"

#include <cmath>
#include <cstdlib>

#include "precalcs/precalcs.h"
#include "random/random.h"

namespace lut {
int32_t div[4096];
}
int32_t fsin1[2048], fsin2[2048], fsin3[2048], fsin4[2048];
int32_t fsin5[2048], fsin6[2048], fsin7[2048], fsin8[2048];
DistAngle dist_angle[76800];
uint8_t uberclamp[512];
uint8_t blob[32 * 32];
float star3dx[512], star3dy[512], star3dz[512], star3dv[512];
uint8_t dclampx[256];
uint8_t dclampy[128];
int32_t dsin1[1024], dsin2[1024];
uint8_t xscan[192];
uint8_t yscan[96];
int32_t scsize = 4096;
int32_t starfar = 4096;

void precdivs() {
    for (int i = 0; i < 4096; i++)
        lut::div[i] = (i == 2048) ? 65536 : 65536 / (i - 2048);
}

namespace {
// trunc(sin(n / d) * a + b) with n and d in single precision.
int32_t SineValue(int n, float d, double a, double b) {
    const float x = static_cast<float>(n) / d;
    return static_cast<int32_t>(std::sin(static_cast<double>(x)) * a + b);
}
} // namespace

void SineEntriesA(int n) {
    fsin1[n] = SineValue(n, 13.581549644470215f, 96, 96);
    fsin2[n] = SineValue(n, 10.186161994934082f, 112, 112);
    fsin3[n] = SineValue(n, 8.148929595947266f, 128, 128);
    fsin6[n] = SineValue(n, 30.0f, 96, 96);
    fsin7[n] = SineValue(n, 40.0f, 112, 112);
    fsin8[n] = SineValue(n, 70.0f, 128, 128);
}

void SineEntriesB(int n) {
    fsin4[n] = SineValue(n, 20.372323989868164f, 48, 64);
    fsin5[n] = SineValue(n, 10.186161994934082f, 40, 48);
}

void DistAngleEntry(int i) {
    const int dx = i / 240 - 160;
    const int dy = i % 240 - 120;
    const int sq = dx * dx + dy * dy;
    const int32_t dist = sq == 0 ? 0 : static_cast<int32_t>(8192.0 / std::sqrt(static_cast<double>(sq)));
    const int32_t angle =
        static_cast<int32_t>(std::atan2(static_cast<double>(dy), static_cast<double>(dx)) * 256.0 / kPi);
    dist_angle[i].dist = static_cast<uint16_t>(dist);
    dist_angle[i].angle = static_cast<uint16_t>(angle & 255);
}

void WaterInit() {
    for (int n = 0; n < 512; n++) {
        uberclamp[n] = static_cast<uint8_t>(n <= 255 ? 0 : n - 256);
        update_precbar("SLOW THE EGGS.", n, 512);
    }
}

void BlobInit() {
    for (int m = 0; m < 32; m++) {
        for (int e = 0; e < 32; e++) {
            int32_t q = (m - 16) * (m - 16) + (e - 16) * (e - 16);
            if (q == 0) q = 1;
            const int32_t v = 524288 / (q * q);
            blob[m * 32 + e] = static_cast<uint8_t>(v > 255 ? 255 : v);
        }
    }
}

void Stars3dInit() {
    for (int i = 0; i < 512; i++) {
        star3dx[i] = static_cast<float>(ShowRand() % scsize - scsize / 2);
        star3dy[i] = static_cast<float>(ShowRand() % scsize - scsize / 2);
        star3dz[i] = static_cast<float>(ShowRand() % scsize - scsize / 2);
        star3dv[i] = static_cast<float>(ShowRand() % 65536) * 0.00390625f + 64.0f;
    }
}

void DistortInit() {
    for (int n = 0; n < 256; n++)
        dclampx[n] = static_cast<uint8_t>((n >= 32 && n <= 223) ? n - 32 : 0);
    for (int n = 0; n < 128; n++)
        dclampy[n] = static_cast<uint8_t>((n >= 22 && n <= 105) ? n - 22 : 0);
    for (int n = 0; n < 1024; n++) {
        dsin1[n] = static_cast<int32_t>(std::sin(n / 12.0) * 4.0);
        dsin2[n] = static_cast<int32_t>(std::sin(n * 0.0625) * 6.0);
    }
    for (int n = 0; n < 192; n++)
        xscan[n] = 1;
    for (int n = 0; n < 92; n++)
        yscan[n] = 0;
}
