// Frame times of the per-pixel effects, for deciding where optimising pays.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "effects/blobs.h"
#include "effects/julia.h"
#include "effects/polar.h"
#include "effects/warps.h"
#include "effects/water.h"
#include "gp32_functions/gp32_functions.h"
#include "precalcs/shades.h"
#include "precalcs/tables.h"
#include "script/script.h"

namespace {
std::vector<uint16_t>& Frame() {
    static std::vector<uint16_t> frame(76800);
    return frame;
}

void Tables() {
    static bool built = false;
    if (built) return;
    for (int n = 0; n < 2048; n++) {
        SineEntriesA(n);
        SineEntriesB(n);
    }
    for (int i = 0; i < 76800; i++)
        DistAngleEntry(i);
    BlobInit();
    Stars3dInit();
    DistortInit();
    colortest();
    PolarInit();
    for (int n = 0; n < 92; n++)
        yscan[n] = 1;
    built = true;
}

void BM_Juhlia(benchmark::State& state) {
    Tables();
    for (auto _ : state)
        Juhlia(Frame().data(), shades + 16 * 256, 0.3f, 0.5f);
}
BENCHMARK(BM_Juhlia);

void BM_Juhlia128AndRotozoomer(benchmark::State& state) {
    Tables();
    prticks = 5000;
    for (auto _ : state) {
        Juhlia128(rotbitmap);
        Rotozoomer(Frame().data(), shades + 33 * 256, 1000.0f, 1.3f);
    }
}
BENCHMARK(BM_Juhlia128AndRotozoomer);

void BM_Polar(benchmark::State& state) {
    Tables();
    prticks = 20000;
    for (auto _ : state)
        Polar(Frame().data(), shades + 11 * 256, shades + 12 * 256);
}
BENCHMARK(BM_Polar);

void BM_BlobStars3D(benchmark::State& state) {
    Tables();
    int32_t t = 0;
    for (auto _ : state) {
        prticks = t += 20;
        BlobStars3D(Frame().data());
    }
}
BENCHMARK(BM_BlobStars3D);

void BM_Logos(benchmark::State& state) {
    Tables();
    prticks = 3000;
    for (auto _ : state) {
        LogoDistort(Frame().data(), 64, 78);
        LogoZoom(Frame().data(), 96, 108, 0.7f);
    }
}
BENCHMARK(BM_Logos);

void BM_Water(benchmark::State& state) {
    Tables();
    std::vector<uint16_t> picture(76800);
    for (int i = 0; i < 76800; i++)
        picture[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
    int32_t t = 0;
    for (auto _ : state) {
        prticks = t += 20;
        WaterStep(Frame().data(), picture.data());
    }
}
BENCHMARK(BM_Water);

// The conversion at 1x (argument 0) and 2x (1), next to the memset of the same surface:
// the memory floor it is measured against.
std::vector<uint32_t>& Surface() {
    static std::vector<uint32_t> surface(640 * 480);
    return surface;
}

void BM_ConvertFrame(benchmark::State& state) {
    const int s = static_cast<int>(state.range(0));
    for (int i = 0; i < 76800; i++)
        Frame()[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
    for (auto _ : state) {
        ConvertFrame(Frame().data(), 16, Surface().data(), s);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ConvertFrame)->Arg(0)->Arg(1);

void BM_SurfaceMemset(benchmark::State& state) {
    const size_t bytes = (size_t{76800} << (2 * state.range(0))) * sizeof(uint32_t);
    for (auto _ : state) {
        std::memset(Surface().data(), static_cast<int>(state.iterations() & 255), bytes);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SurfaceMemset)->Arg(0)->Arg(1);
} // namespace
