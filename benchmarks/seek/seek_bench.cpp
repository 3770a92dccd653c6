// Seek times of the show headless: the first seek to the end with nothing kept, the same
// seek again, the time to keep every state ahead in slices, and the slowest seek once all is
// kept (to the frame before each next kept state). Prints one line per figure.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "headless/run.h"
#include "headless/seek.h"
#include "zarvelin/zarvelin.h"

namespace {

using Clock = std::chrono::steady_clock;

// The machine is shared: the processor time a seek took, beside its wall time, shows what
// waiting for the processor added.
double cpu_ms = 0.0;

double CpuMs() {
    return std::clock() * 1000.0 / CLOCKS_PER_SEC;
}

double SeekMs(int32_t ms) {
    const Clock::time_point t0 = Clock::now();
    const double c0 = CpuMs();
    if (!headless::SeekVirtual(ms)) {
        std::fprintf(stderr, "seek to %d failed\n", static_cast<int>(ms));
        std::exit(1);
    }
    cpu_ms = CpuMs() - c0;
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

} // namespace

int main(int argc, char** argv) {
    // "prepare": states kept in 4 ms slices between frames, as the window does, from the start.
    const bool prepare = argc > 1 && std::string(argv[1]) == "prepare";
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    headless::UseVirtualClock(20, nullptr);
    if (SetupDisplay(2) != 0) return 1;
    LoadingScreen();
    headless::StartShow();
    const int32_t end = headless::ShowLengthMs();

    double worst = 0.0;
    if (prepare) {
        const Clock::time_point t0 = Clock::now();
        int slices = 0;
        double longest = 0.0;
        for (bool more = true; more; slices++) {
            const Clock::time_point s0 = Clock::now();
            more = headless::PrepareSeeks(4.0);
            longest = std::max(longest, std::chrono::duration<double, std::milli>(Clock::now() - s0).count());
        }
        std::printf("prepare_all_ms %.0f slices %d longest_slice_ms %.1f\n",
                    std::chrono::duration<double, std::milli>(Clock::now() - t0).count(), slices, longest);
    } else {
        const double first = SeekMs(end);
        std::printf("seek_first_to_end_ms %.1f cpu_ms %.1f\n", first, cpu_ms);
        for (int i = 0; i < 5; i++)
            worst = std::max(worst, SeekMs(end));
        std::printf("seek_repeated_to_end_max_ms %.1f\n", worst);
    }
    std::printf("kept_mb %.1f\n", headless::KeptBytes() / 1048576.0);

    worst = 0.0;
    double worst_cpu = 0.0;
    int32_t worst_at = 0;
    for (int32_t ms = 2980; ms <= end; ms += 3000) {
        worst = std::max(worst, SeekMs(ms));
        if (cpu_ms > worst_cpu) {
            worst_cpu = cpu_ms;
            worst_at = ms;
        }
    }
    for (const headless::Chapter& c : headless::Chapters())
        worst = std::max(worst, SeekMs(c.start_ms));
    std::printf("seek_prepared_max_ms %.1f max_cpu_ms %.1f at %d\n", worst, worst_cpu, static_cast<int>(worst_at));
    std::printf("seek_prepared_to_end_ms %.1f\n", SeekMs(end));
    return 0;
}
