// The opening part (blob stars, the logo revealed line by line and taken away column by
// column, the zooming caption), the tunnel part and the cylinder part.
#include <cmath>

#include "effects/blobs.h"
#include "effects/polar.h"
#include "effects/warps.h"
#include "engine3d/scene3d.h"
#include "precalcs/shades.h"
#include "precalcs/tables.h"
#include "script/scenes.h"
#include "script/script.h"
#include "zarvelin/zarvelin.h"

int32_t ypp = 1;
int32_t yss = 0;
int32_t xpp = 1;
int32_t xss = 0;

namespace {
constexpr int kWallRow = 11 * 256;
constexpr int kCloudRow = 12 * 256;
constexpr int kStarRow = 32 * 256;

// Even logo lines from the bottom up during the first second, odd lines from the top down
// during the next. The loops keep to the 48 line pairs of the mask.
void RevealLines(int32_t t) {
    if (ypp == 1) {
        for (int i = 0; i <= yss && i < 48; i++)
            yscan[2 * i] = 1;
        yss = static_cast<int32_t>(t * 0.0009765625 * 46);
    } else if (ypp == -1) {
        for (int i = 46; i >= yss && i >= 0; i--)
            yscan[2 * i + 1] = 1;
        yss = static_cast<int32_t>((1 - (t - 1024) * 0.0009765625) * 46);
    } else {
        return;
    }
    if (yss > 45) ypp = -1;
    if (yss < 0) ypp = 0;
}

// Even columns vanish from the left and odd ones from the right, a pair every 16 ms.
void RemoveColumns(int32_t t) {
    if (xpp == 0 || t <= 6784) return;
    for (int i = 0; i <= xss && i < 96; i++) {
        xscan[2 * i] = 0;
        xscan[191 - 2 * i] = 0;
    }
    xss = static_cast<int32_t>((t - 6784) * 0.0625);
    if (xss > 95) {
        for (int i = 0; i < 96; i++) {
            xscan[2 * i] = 0;
            xscan[191 - 2 * i] = 0;
        }
        xpp = 0;
    }
}
} // namespace

void Space() {
    const int32_t t = prticks;
    uint16_t* fb = framebuffer[flip];
    if (t <= 2047) {
        Fade2Shade(bshade, &sshades[kStarRow], static_cast<float>(t * 0.00048828125), &shades[kStarRow]);
    }
    RevealLines(t);
    RemoveColumns(t);
    BlobStars3D(fb);
    if (t < 8832) {
        LogoDistort(fb, 64, 78);
    } else if (t < 9856) {
        LogoZoom(fb, 96, 108, static_cast<float>((t - 8832) * 0.0009765625));
    } else if (t < 11904) {
        LogoZoom(fb, 96, 108, 1.0f);
    } else if (t < 12928) {
        LogoZoom(fb, 96, 108, static_cast<float>(1 - (t - 11904) * 0.0009765625));
    } else {
        EndPart(1);
    }
}

void Vornelo() {
    const int32_t t = prticks;
    uint16_t* fb = framebuffer[flip];
    BlobStars3D(fb);
    RunScene3d(fb, 24);
    if (t > 40320) {
        // The last 128 ms run the star colours out to white; the frame that ends the part
        // may lie past t = 40448, so the blend stops at white exactly.
        float f = static_cast<float>((t - 40320) * 0.0078125);
        if (f > 1.0f) f = 1.0f;
        Fade2Shade(&sshades[kStarRow], wshade, f, &shades[kStarRow]);
    }
    if (signal3d == 1) EndPart(2);
}

void PolarTunnel() {
    const int32_t t = prticks;
    if (t < 128) {
        const float f = static_cast<float>(t * 0.0078125);
        Fade2Shade(wshade, &sshades[kWallRow], f, &shades[kWallRow]);
        Fade2Shade(wshade, &sshades[kCloudRow], f, &shades[kCloudRow]);
    } else if (t <= 1023) {
        Fade2Shade(&sshades[kWallRow], &sshades[kWallRow], 0.0f, &shades[kWallRow]);
        Fade2Shade(&sshades[kCloudRow], &sshades[kCloudRow], 0.0f, &shades[kCloudRow]);
    } else if (t >= 25601 && t <= 26623) {
        const float f = static_cast<float>((t - 25600) * 0.0009765625);
        Fade2Shade(&sshades[kWallRow], bshade, f, &shades[kWallRow]);
        Fade2Shade(&sshades[kCloudRow], bshade, f, &shades[kCloudRow]);
    }
    if (t > 26623) EndPart(3);
    Polar(framebuffer[flip], &shades[kWallRow], &shades[kCloudRow]);
}
