#include "script/script.h"

#include <cstdlib>

#include "engine3d/scene3d.h"
#include "gp32_functions/gp32_functions.h"
#include "script/scenes.h"
#include "zarvelin/zarvelin.h"

int32_t part = 0;
int32_t prticks = 0;
int32_t signal3d = 0;
int32_t chpart = 1;
int32_t bpp[9];

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

    switch (part) {
    case 0:
        Space();
        break;
    case 1:
        Vornelo();
        break;
    case 2:
        PolarTunnel();
        RunScene3d(framebuffer[flip], 20);
        break;
    case 3:
        JuhliaIn();
        break;
    case 4:
        JuhliaBig();
        break;
    case 5:
        PlasmaFace();
        break;
    case 6:
        PlasmaCube();
        break;
    case 7:
        ClearScreen(framebuffer[flip], 0);
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
