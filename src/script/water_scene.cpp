// The closing part: the picture unfolds, turns to rippling water under the sphere, the
// credits pulse, the curtains close and the show ends.
#include "effects/picture.h"
#include "effects/water.h"
#include "engine3d/scene3d.h"
#include "script/scenes.h"
#include "script/script.h"
#include "script/text.h"
#include "zarvelin/zarvelin.h"

void WaterPart() {
    const int32_t t = prticks;
    uint16_t* fb = framebuffer[flip];
    if (t <= 1023) {
        OpenVKR(fb, (1023 - t) >> 6);
    } else {
        Water(fb);
        RunScene3d(fb, 16);
    }
    if (t >= 8192 && t <= 16383) DrawText16(72, 224, "Code:Corvane", fb);
    if (t >= 16384 && t <= 24575) DrawText16(20, 12, "Music:The Ombrelist", fb);
    if (t >= 26945 && t <= 27455) {
        int32_t c = static_cast<int32_t>((t - 26944) / 511.0 * 160);
        if (c > 154) c = 160;
        Close(fb, c);
    }
    if (t >= 27456) ClearScreen(fb, 0);
    if (t > 28776) {
        EndPart(7);
        quit = 1;
    }
}
