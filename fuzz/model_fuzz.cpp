// The packed 3D model loader, and the engine drawing what it loads. The first byte picks the
// render style and the normals' sign, the second the angles; the rest is the packed model.
// A model the loader refuses names its fault; one it accepts is turned, projected and drawn
// into a frame buffer in the chosen style, and released.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "data/data.h"
#include "engine3d/transform.h"
#include "generate3d/generate3d.h"
#include "precalcs/tables.h"
#include "render3d/primitives.h"
#include "render3d/render.h"

namespace {
void Require(bool condition) {
    if (!condition) std::abort();
}

// Balls, points, lines (16- and 8-bit), every triangle style and its depth-tested variant.
constexpr int32_t kModes[] = {0, 1, 2, 2, 4, 8, 16, 32, 64, 128, 260, 264, 272, 288, 320, 384};
constexpr int kStyles = sizeof kModes / sizeof kModes[0] + 1; // the last: RenderSpecial

uint16_t frame[76800]; // the 8-bit line style uses its first 76800 bytes
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    precdivs();
    for (int n = 0; n < 2048; n++) {
        SineEntriesA(n);
        SineEntriesB(n);
    }
    InitBalls();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t* model = data + 2;
    const auto model_size = static_cast<uint32_t>(size - 2);
    if (Packed3doFault(model, model_size) != nullptr) return 0;
    Object3d obj{};
    Load16bit3do(&obj, model, model_size, data[0] >> 7, "fuzz input");
    Require(obj.npts == (model[0] | model[1] << 8) && obj.nlns == (model[2] | model[3] << 8) &&
            obj.npls == (model[4] | model[5] << 8));

    obj.ax = data[1] * 0.0245f;
    obj.ay = (data[1] >> 2) * 0.1f;
    obj.az = (data[1] >> 4) * 0.39f;
    obj.pz = 128.0f;
    Calc3d(&obj);
    const int style = (data[0] & 0x7F) % kStyles;
    if (style == kStyles - 1) {
        RenderSpecial(&obj, 1, 2, 0.5f, frame);
    } else {
        RenderMode = kModes[style];
        const bool eight_bit = style == 3;
        const bool env = RenderMode % 256 == 32;
        Render(&obj, 1, 2, frame, env ? 2 : 1,
               env ? env1 : vornelo, vornelo_top, vornelo_bottom, eight_bit ? 8 : 16);
    }
    ReleaseObject3d(&obj);
    return 0;
}
