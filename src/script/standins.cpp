// Stand-ins for the scenes while they are being written. Each draws a black frame and
// keeps its part's own end, so the show runs its whole length. Each block stands alone:
// delete it when the real function lands.
#include <cstdint>

#include "gp32_functions/gp32_functions.h"
#include "precalcs/shades.h"
#include "script/scenes.h"
#include "script/script.h"
#include "zarvelin/zarvelin.h"

// --- Space: part 0 ---
void Space() {
    ClearScreen(framebuffer[flip], 0);
    if (prticks >= 12928) EndPart(1);
}

// --- Vornelo: the work of part 1 ---
void Vornelo() {
    ClearScreen(framebuffer[flip], 0);
    if (signal3d == 1) EndPart(2);
}

// --- PolarTunnel: part 2 ---
void PolarTunnel() {
    ClearScreen(framebuffer[flip], 0);
    if (prticks > 26623) EndPart(3);
}

// --- JuhliaIn: part 3 ---
void JuhliaIn() {
    ClearScreen(framebuffer[flip], 0);
    if (prticks >= 26816) EndPart(4);
}

// --- JuhliaBig: part 4, ending on the flat colour the plasma part starts from ---
void JuhliaBig() {
    if (prticks > 26623) {
        ClearScreen(framebuffer[0], shades[16 * 256]);
        ClearScreen(framebuffer[1], shades[16 * 256]);
        EndPart(5);
        return;
    }
    ClearScreen(framebuffer[flip], 0);
}

// --- PlasmaFace: the work of part 5 ---
void PlasmaFace() {
    ClearScreen(framebuffer[flip], 0);
    if (prticks > 53248) EndPart(6);
}

// --- PlasmaCube: the work of part 6 ---
void PlasmaCube() {
    ClearScreen(framebuffer[flip], 0);
    if (prticks > 12288) EndPart(8);
}

// --- WaterPart: part 8, the end of the show ---
void WaterPart() {
    ClearScreen(framebuffer[flip], 0);
    if (prticks > 28776) {
        part = 7;
        quit = 1;
        partime = Ticks();
    }
}
