#include "script/script.h"

#include <cstdlib>

#include "effects/blobs.h"
#include "effects/picture.h"
#include "effects/plasma.h"
#include "engine3d/scene3d.h"
#include "gp32_functions/gp32_functions.h"
#include "precalcs/shades.h"
#include "script/scenes.h"
#include "zarvelin/zarvelin.h"

int32_t part = 0;
int32_t prticks = 0;
int32_t signal3d = 0;
int32_t chpart = 1;
int32_t bpp[9];

namespace {
constexpr int32_t kPlasmaRow = 34 * 256;
constexpr int32_t kStarRow = 32 * 256;

// Last 128 ms of part 1: the star colours run out to white.
void StarsToWhite(int32_t t) {
    float f = static_cast<float>((t - 40320) * 0.0078125);
    // The frame that ends the part may lie past t = 40448: stop at white exactly.
    if (f > 1.0f) f = 1.0f;
    Fade2Shade(&sshades[kStarRow], wshade, f, &shades[kStarRow]);
}
} // namespace

void EndPart(int32_t next) {
    partime = Ticks();
    part = next;
}

void Script() {
    // Unsigned difference: the part clock wraps instead of overflowing.
    prticks = static_cast<int32_t>(static_cast<uint32_t>(Ticks()) - static_cast<uint32_t>(partime));
    if (part < 0 || part > 8) return;
    bpp[part] = 16;
    if (chpart) {
        chpart = 0;
        // The mode set has already said why it failed; without buffers the show cannot go on.
        if (InitGraphics(16) != 0) std::exit(1);
    }

    const int32_t t = prticks;
    uint16_t* fb = framebuffer[flip];
    switch (part) {
    case 0:
        Space();
        break;
    case 1:
        BlobStars3D(fb);
        RunScene3d(fb, 24);
        if (t > 40320) StarsToWhite(t);
        if (signal3d == 1) EndPart(2);
        break;
    case 2:
        PolarTunnel();
        RunScene3d(fb, 20);
        break;
    case 3:
        JuhliaIn();
        break;
    case 4:
        JuhliaBig();
        break;
    case 5:
        if (t > 4095) {
            Plasma(fb, &shades[kPlasmaRow]);
        } else {
            PlasmaFade(fb, &shades[kPlasmaRow], static_cast<uint32_t>(t >> 4));
        }
        if (t > 6655) RunScene3d(fb, 3);
        if (t > 53248) EndPart(6);
        break;
    case 6:
        OpenVKR(fb, 31);
        RunScene3d(fb, 4);
        if (t <= 2047) PlasmaFade2(fb, &shades[kPlasmaRow], static_cast<uint32_t>(255 - (t >> 3)));
        if (t > 12288) EndPart(8);
        break;
    case 7:
        ClearScreen(fb, 0);
        quit = 1;
        break;
    case 8:
        WaterPart();
        break;
    }
}

void Fade2Shade(const uint16_t* from, const uint16_t* to, float f, uint16_t* out) {
    double g = f;
    if (!(g >= 0.0)) g = 0.0;
    if (g > 1.0) g = 1.0;
    for (int i = 0; i < 256; i++) {
        const int32_t a = from[i];
        const int32_t b = to[i];
        uint32_t v = 0;
        for (int shift = 1; shift <= 11; shift += 5) {
            const int32_t ca = (a >> shift) & 31;
            const int32_t cb = (b >> shift) & 31;
            const int32_t c = static_cast<int32_t>(ca + g * (cb - ca));
            v |= static_cast<uint32_t>(c) << shift;
        }
        out[i] = static_cast<uint16_t>(v);
    }
}
