// The two Julia parts: a rotozoomed Julia texture, then a full-screen Julia set under the
// ball grid whose constant circles and finally runs away.
#include <cmath>

#include "effects/julia.h"
#include "effects/warps.h"
#include "engine3d/scene3d.h"
#include "precalcs/shades.h"
#include "script/scenes.h"
#include "script/script.h"
#include "zarvelin/zarvelin.h"

namespace {
constexpr int kJuliaRow = 16 * 256;
constexpr int kRotoRow = 33 * 256;
} // namespace

void JuhliaIn() {
    const int32_t t = prticks;
    if (t < 1024) {
        Fade2Shade(bshade, &sshades[kRotoRow], static_cast<float>(t * 0.0009765625), &shades[kRotoRow]);
    }
    const float angle = static_cast<float>(std::sin(t / 26624.0) * 6128);
    float zoom;
    if (t < 26624) {
        zoom = static_cast<float>(std::sin(t / 1900.0) + 1.03);
    } else {
        // The frame that ends the part keeps the last interval's formulas.
        zoom = static_cast<float>(std::sin(26624 / 1900.0) + 1.03 - (t - 26624 + 1) / 192.0);
        if (t < 26816) {
            Fade2Shade(&sshades[kRotoRow], wshade, static_cast<float>((t - 26624) / 192.0),
                       &shades[kRotoRow]);
        } else {
            EndPart(4);
        }
    }
    Juhlia128(rotbitmap);
    Rotozoomer(framebuffer[flip], &shades[kRotoRow], angle, zoom);
}

void JuhliaBig() {
    const int32_t t = prticks;
    if (t <= 255) {
        Fade2Shade(wshade, &sshades[kJuliaRow], static_cast<float>(t * 0.00390625), &shades[kJuliaRow]);
    } else if (t <= 1023) {
        Fade2Shade(&sshades[kJuliaRow], &sshades[kJuliaRow], 0.0f, &shades[kJuliaRow]);
    }
    if (t <= 26623) {
        float re;
        float im;
        if (t <= 24575) {
            re = static_cast<float>(std::sin(t * 0.001953125));
            im = static_cast<float>(std::sin(t / 768.0));
        } else {
            // The constant freezes where the circle was and is scaled up until the set breaks apart.
            const double h = (t - 24576) / 192.0 + 1;
            re = static_cast<float>(std::sin(48.0) * h);
            im = static_cast<float>(std::sin(32.0) * h);
        }
        Juhlia(framebuffer[flip], &shades[kJuliaRow], re, im);
        RunScene3d(framebuffer[flip], 0);
    } else {
        ClearScreen(framebuffer[0], shades[kJuliaRow]);
        ClearScreen(framebuffer[1], shades[kJuliaRow]);
        EndPart(5);
    }
}
