#include "precalcs/shades.h"

#include <cstdlib>
#include <cstring>

#include "gp32_functions/gp32_functions.h"

uint16_t shades[64 * 256];
uint16_t sshades[64 * 256];
uint16_t bshade[256];
uint16_t wshade[256];
uint32_t* blurpal = nullptr;

void MakeColors(uint16_t* row, RampColor from, RampColor to, int start, int end) {
    const int n = end - start + 1;
    for (int j = 1; j <= n; j++) {
        // Exact linear interpolation, truncated per channel; the numerators stay >= 0.
        const int r = (from.r * n + j * (to.r - from.r)) / n;
        const int g = (from.g * n + j * (to.g - from.g)) / n;
        const int b = (from.b * n + j * (to.b - from.b)) / n;
        row[start + j - 1] = static_cast<uint16_t>((r << 11) | (g << 6) | (b << 1));
    }
}

namespace {
struct RampStep {
    int end;
    RampColor to;
};

struct RampRow {
    int row;
    int first;
    RampColor start;
    int steps;
    RampStep chain[5];
};

const RampRow kRows[] = {
    {0, 0, {15, 0, 31}, 3, {{159, {31, 15, 0}}, {191, {31, 31, 0}}, {255, {31, 31, 31}}}},
    {1, 0, {7, 0, 15}, 3, {{127, {15, 7, 31}}, {191, {7, 15, 31}}, {255, {15, 31, 31}}}},
    {2, 0, {15, 7, 0}, 3, {{63, {15, 15, 0}}, {191, {7, 31, 7}}, {255, {0, 31, 15}}}},
    {3, 0, {7, 7, 7}, 3, {{63, {15, 15, 15}}, {191, {15, 26, 31}}, {255, {31, 31, 31}}}},
    {4, 0, {0, 0, 15}, 4, {{63, {31, 0, 0}}, {127, {31, 23, 0}}, {191, {31, 0, 0}}, {255, {0, 0, 15}}}},
    {5, 0, {15, 0, 0}, 4, {{63, {0, 0, 31}}, {127, {0, 31, 31}}, {191, {0, 0, 31}}, {255, {15, 0, 0}}}},
    {6, 0, {0, 15, 0}, 4, {{63, {31, 31, 0}}, {127, {0, 31, 31}}, {191, {31, 31, 0}}, {255, {0, 15, 0}}}},
    {7, 0, {15, 0, 0}, 4, {{63, {31, 31, 15}}, {127, {15, 15, 0}}, {191, {31, 31, 15}}, {255, {15, 0, 0}}}},
    {8, 0, {31, 0, 0}, 4, {{63, {15, 0, 31}}, {127, {31, 31, 31}}, {191, {15, 0, 31}}, {255, {31, 0, 0}}}},
    {9, 0, {0, 0, 0}, 4, {{63, {31, 31, 31}}, {127, {0, 0, 0}}, {191, {31, 31, 31}}, {255, {0, 0, 0}}}},
    {10, 0, {15, 15, 15}, 3, {{127, {15, 0, 15}}, {191, {31, 0, 15}}, {255, {31, 31, 31}}}},
    {11, 0, {0, 0, 15}, 3, {{127, {7, 15, 7}}, {191, {31, 15, 0}}, {255, {31, 31, 31}}}},
    {12,
     128,
     {15, 0, 31},
     4,
     {{159, {15, 15, 31}}, {191, {31, 31, 31}}, {223, {15, 31, 31}}, {255, {15, 0, 31}}}},
    {16, 0, {0, 0, 15}, 3, {{127, {31, 0, 0}}, {191, {31, 23, 0}}, {255, {31, 31, 31}}}},
    {32, 0, {0, 0, 0}, 2, {{127, {15, 7, 31}}, {255, {23, 31, 31}}}},
    {33, 0, {0, 0, 15}, 3, {{63, {31, 0, 0}}, {191, {31, 31, 31}}, {255, {31, 31, 31}}}},
    {34, 0, {15, 7, 7}, 4, {{63, {0, 0, 31}}, {127, {15, 31, 31}}, {191, {15, 7, 31}}, {255, {15, 7, 7}}}},
};
} // namespace

void colortest() {
    for (const RampRow& r : kRows) {
        uint16_t* row = &shades[r.row * 256];
        RampColor from = r.start;
        int start = r.first;
        for (int s = 0; s < r.steps; s++) {
            MakeColors(row, from, r.chain[s].to, start, r.chain[s].end);
            from = r.chain[s].to;
            start = r.chain[s].end + 1;
        }
    }
}

void CloneColors() {
    std::memcpy(sshades, shades, sizeof(shades));
}

void MakeFadeColors() {
    for (int i = 0; i < 256; i++) {
        bshade[i] = 0;
        wshade[i] = 0xFFFE;
    }
}

void Set8bitPals() {
    uint16_t grey[256];
    for (int m = 0; m < 256; m++) {
        const int g = m >> 3;
        grey[m] = static_cast<uint16_t>((g << 11) | (g << 6) | (g << 1));
    }
    // Only one grey palette lives: building it again releases the one made before.
    std::free(blurpal);
    blurpal = GpPaletteCreate(256, grey);
}
