// The plasma parts: the face over a plasma that grows in, and the plasma cube over the
// stretched picture while a plasma overlay dissolves.
#include "effects/picture.h"
#include "effects/plasma.h"
#include "engine3d/scene3d.h"
#include "precalcs/shades.h"
#include "script/scenes.h"
#include "script/script.h"
#include "zarvelin/zarvelin.h"

namespace {
constexpr int kPlasmaRow = 34 * 256;
} // namespace

void PlasmaFace() {
    const int32_t t = prticks;
    uint16_t* fb = framebuffer[flip];
    if (t <= 4095) {
        PlasmaFade(fb, &shades[kPlasmaRow], static_cast<uint32_t>(t >> 4));
    } else {
        Plasma(fb, &shades[kPlasmaRow]);
    }
    if (t > 6655) RunScene3d(fb, 3);
    if (t > 53248) EndPart(6);
}

void PlasmaCube() {
    const int32_t t = prticks;
    uint16_t* fb = framebuffer[flip];
    OpenVKR(fb, 31);
    RunScene3d(fb, 4);
    if (t <= 2047) PlasmaFade2(fb, &shades[kPlasmaRow], static_cast<uint32_t>(255 - (t >> 3)));
    if (t > 12288) EndPart(8);
}
