// Seek times of the show headless: the first seek to the end with nothing kept, the same
// seek again, the time to keep every state ahead in slices, and the slowest seek once all is
// kept (to the frame before each next kept state). With the music module found, the music's
// seek beside it: from a fresh load (as without checkpoints) and from the kept checkpoints.
// Prints one line per figure.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "headless/run.h"
#include "headless/seek.h"
#include "modplayer/modplayer.h"
#include "sound/module_search.h"
#include "zarvelin/zarvelin.h"

namespace {

using Clock = std::chrono::steady_clock;

// The machine is shared: the processor time a seek took, beside its wall time, shows what
// waiting for the processor added.
double cpu_ms = 0.0;

double CpuMs() {
    return std::clock() * 1000.0 / CLOCKS_PER_SEC;
}

// Wall time of f in ms; its processor time goes to cpu_ms.
template <typename F>
double Timed(F f) {
    const Clock::time_point t0 = Clock::now();
    const double c0 = CpuMs();
    f();
    cpu_ms = CpuMs() - c0;
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

void Check(bool ok, const char* what, int32_t ms) {
    if (ok) return;
    std::fprintf(stderr, "%s to %d failed\n", what, static_cast<int>(ms));
    std::exit(1);
}

double SeekMs(int32_t ms) {
    return Timed([ms] { Check(headless::SeekVirtual(ms), "seek", ms); });
}

double MusicSeekMs(FMUSIC_MODULE* mod, int32_t ms) {
    return Timed([mod, ms] { Check(ModSetPositionMs(mod, ms) == 1, "music seek", ms); });
}

size_t HeapBytes() {
#if defined(__GLIBC__)
    return mallinfo2().uordblks;
#else
    return 0;
#endif
}

// Prepares in slices of 4 ms as the window does between frames; prints the totals.
template <typename F>
void PrepareAll(const char* what, F prepare) {
    int slices = 0;
    double longest = 0.0, longest_cpu = 0.0;
    const double wall = Timed([&] {
        bool more = true;
        while (more) {
            longest = std::max(longest, Timed([&] { more = prepare(4.0); }));
            longest_cpu = std::max(longest_cpu, cpu_ms);
            slices++;
        }
    });
    std::printf("%s_ms %.0f cpu_ms %.0f slices %d longest_slice_ms %.1f cpu_ms %.1f\n", what, wall, cpu_ms, slices,
                longest, longest_cpu);
}

struct Worst {
    double wall = 0.0, cpu = 0.0;
    int32_t at = 0;
    void Add(double w, double c, int32_t ms) {
        wall = std::max(wall, w);
        if (c > cpu) {
            cpu = c;
            at = ms;
        }
    }
    void Print(const char* what) const {
        std::printf("%s_max_ms %.1f max_cpu_ms %.1f at %d\n", what, wall, cpu, static_cast<int>(at));
    }
};

} // namespace

int main(int argc, char** argv) {
    // "prepare": states kept in 4 ms slices between frames, as the window does, from the start,
    // then the music's checkpoints.
    const bool prepare = argc > 1 && std::string(argv[1]) == "prepare";
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    headless::UseVirtualClock(20, nullptr);
    if (SetupDisplay(2) != 0) return 1;
    LoadingScreen();
    headless::StartShow();
    const int32_t end = headless::ShowLengthMs();
    // Two loads of the module, not playing: one seeks from checkpoints, one (bare) never keeps any.
    const std::string module = LocateModule(ModuleDirs());
    FMUSIC_MODULE* mod = module.empty() ? nullptr : FMUSIC_LoadSong(module.c_str());
    FMUSIC_MODULE* bare = module.empty() ? nullptr : FMUSIC_LoadSong(module.c_str());
    if (mod == nullptr || bare == nullptr) std::printf("no music module: show seeks only\n");

    double worst = 0.0;
    if (prepare) {
        PrepareAll("prepare_all", headless::PrepareSeeks);
        if (mod != nullptr) {
            const size_t heap = HeapBytes();
            PrepareAll("music_prepare_all", [mod](double budget) { return ModPrepareSeeks(mod, budget); });
            std::printf("music_checkpoints_mb %.1f\n", (HeapBytes() - heap) / 1048576.0);
        }
    } else {
        const double first = SeekMs(end);
        std::printf("seek_first_to_end_ms %.1f cpu_ms %.1f\n", first, cpu_ms);
        for (int i = 0; i < 5; i++)
            worst = std::max(worst, SeekMs(end));
        std::printf("seek_repeated_to_end_max_ms %.1f\n", worst);
        if (bare != nullptr) {
            const double music = MusicSeekMs(bare, end);
            std::printf("music_seek_fresh_to_end_ms %.1f cpu_ms %.1f\n", music, cpu_ms);
        }
    }
    std::printf("kept_mb %.1f\n", headless::KeptBytes() / 1048576.0);

    // Latest first, so that the music never starts from where the last seek left it; the
    // checkpoints are made whole again before each seek, as idle time between seeks does.
    std::vector<int32_t> targets;
    for (int32_t ms = 2980; ms <= end; ms += 3000)
        targets.push_back(ms);
    for (const headless::Chapter& c : headless::Chapters())
        targets.push_back(c.start_ms);
    targets.push_back(end);
    std::sort(targets.rbegin(), targets.rend());
    Worst show, music, fresh, with_music, with_fresh;
    double remake_cpu = 0.0;
    for (int32_t ms : targets) {
        const double s = SeekMs(ms);
        const double s_cpu = cpu_ms;
        show.Add(s, s_cpu, ms);
        if (mod == nullptr || bare == nullptr) continue;
        if (prepare) {
            Timed([mod] {
                while (ModPrepareSeeks(mod, 1000.0)) {
                }
            });
            remake_cpu += cpu_ms;
        }
        const double m = MusicSeekMs(mod, ms);
        music.Add(m, cpu_ms, ms);
        with_music.Add(s + m, s_cpu + cpu_ms, ms);
        const double f = MusicSeekMs(bare, ms);
        fresh.Add(f, cpu_ms, ms);
        with_fresh.Add(s + f, s_cpu + cpu_ms, ms);
    }
    show.Print(prepare ? "seek_prepared" : "seek_after_first");
    if (mod != nullptr && bare != nullptr) {
        fresh.Print("music_seek_fresh");
        with_fresh.Print("show_and_music_seek_fresh");
    }
    if (mod != nullptr && bare != nullptr && prepare) {
        music.Print("music_seek_checkpoints");
        with_music.Print("show_and_music_seek_checkpoints");
        std::printf("music_remake_per_seek_cpu_ms %.1f\n", remake_cpu / static_cast<double>(targets.size()));
    }
    std::printf("seek_prepared_to_end_ms %.1f\n", SeekMs(end));
    if (mod != nullptr) FMUSIC_FreeSong(mod);
    if (bare != nullptr) FMUSIC_FreeSong(bare);
    return 0;
}
