#include "capture.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench.h"
#include "frame_files.h"
#include "script/script.h"
#include "video_output.h"
#include "zarvelin/zarvelin.h"

namespace capture {
namespace {

using Clock = std::chrono::steady_clock;

// Virtual clock: starts at 0 and moves only when a frame of the show is presented.
uint32_t vclock = 0;
uint32_t vstep = 20;
bool showing = false;
const LcdSurface* presented = nullptr;

uint32_t VirtualTicks() {
    return vclock;
}

// The loading bar presents through the same call; only the show's frames move the clock.
void OnPresent(const LcdSurface* s) {
    if (!showing) return;
    presented = s;
    vclock += vstep;
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Nominal length of the show, only for drawing the progress bar.
constexpr uint32_t kNominalShowMs = 228000;

class Progress {
  public:
    Progress(bool enabled, uint32_t total_ms)
        : enabled_(enabled), tty_(isatty(STDERR_FILENO) != 0), total_(total_ms), last_(Clock::now()) {}

    // done: the run is over, the bar is drawn full.
    void Update(uint32_t frames, int32_t part, uint32_t show_ms, bool done) {
        if (!enabled_) return;
        const Clock::time_point now = Clock::now();
        // A terminal gets a live bar, a log a line every few seconds.
        const auto interval = tty_ ? std::chrono::milliseconds(200) : std::chrono::milliseconds(5000);
        if (!done && now - last_ < interval) return;
        last_ = now;
        const uint32_t filled =
            done || show_ms >= total_ ? 30u : static_cast<uint32_t>(uint64_t{show_ms} * 30 / total_);
        char bar[31];
        for (uint32_t i = 0; i < 30; i++)
            bar[i] = i < filled ? '#' : '.';
        bar[30] = 0;
        std::fprintf(stderr, "%s[%s] part %d  show %3u.%02u s  frame %u%s", tty_ ? "\r" : "", bar,
                     static_cast<int>(part), show_ms / 1000, (show_ms % 1000) / 10, frames, tty_ ? "" : "\n");
        drawn_ = true;
    }
    void End() {
        if (enabled_ && tty_ && drawn_) std::fputc('\n', stderr);
    }

  private:
    bool enabled_;
    bool tty_;
    uint32_t total_;
    bool drawn_ = false;
    Clock::time_point last_;
};

// Creates the directory if needed and proves it writable with a probe file.
bool UsableDirectory(const std::string& dir, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    std::error_code ignored;
    if (!std::filesystem::is_directory(dir, ignored)) {
        error = "cannot use output directory '" + dir + "': " + (ec ? ec.message() : "not a directory");
        return false;
    }
    const std::string probe = dir + "/.zarvelin-capture-" + std::to_string(getpid());
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) {
        error = "cannot write to output directory '" + dir + "': " + std::strerror(errno);
        return false;
    }
    close(fd);
    unlink(probe.c_str());
    return true;
}

struct Outputs {
    explicit Outputs(const Options& options) : o(options) {}
    const Options& o;
    std::vector<bool> written;           // per --at request
    std::vector<FrameTiming> timings;    // --bench
    std::unique_ptr<uint32_t[]> picture; // 320 x 240 conversion
    std::unique_ptr<uint32_t[]> doubled; // 640 x 480 conversion timed by --bench
    std::unique_ptr<uint16_t[]> copy;    // memcpy floor of --bench
    std::unique_ptr<uint32_t[]> scaled;  // n x n conversions timed by --bench
    uint64_t show_hash = kShowHashSeed;  // --bench
    VideoOutput video;
    std::string failure;
};

// Everything done with one presented frame of the show. False stops the run.
bool TakeFrame(Outputs& out, const LcdSurface& s, uint32_t index, int32_t frame_part, uint32_t show_ms,
               double draw_ms) {
    const Options& o = out.o;
    if (o.list) {
        std::printf("frame %u part %d prticks %d show_ms %u\n", index, static_cast<int>(frame_part),
                    static_cast<int>(prticks), show_ms);
    }
    if (o.bench) {
        // Each conversion is timed next to the memory floor of its surface, in the same frame.
        FrameTiming t{frame_part, draw_ms, 0, 0, 0, 0, 0, 0, 0, 0};
        Clock::time_point t0 = Clock::now();
        std::memset(out.doubled.get(), 0, 640 * 480 * sizeof(uint32_t));
        Clock::time_point t1 = Clock::now();
        ConvertFrame(s.buffer, s.depth, out.doubled.get(), 1);
        Clock::time_point t2 = Clock::now();
        t.memset_ms = Ms(t1 - t0);
        t.present_ms = Ms(t2 - t1);
        t0 = Clock::now();
        std::memset(out.picture.get(), 0, 320 * 240 * sizeof(uint32_t));
        t1 = Clock::now();
        ConvertFrame(s.buffer, s.depth, out.picture.get(), 0);
        t2 = Clock::now();
        std::memcpy(out.copy.get(), s.buffer, 76800 * sizeof(uint16_t));
        const Clock::time_point t3 = Clock::now();
        t.memset1_ms = Ms(t1 - t0);
        t.present1_ms = Ms(t2 - t1);
        t.memcpy_ms = Ms(t3 - t2);
        if (index % 8 == 0) {
            // The larger windows in turn, on every eighth frame: 3x to 6x.
            t.scaled_n = 3 + static_cast<int32_t>(index / 8 % 4);
            const size_t bytes =
                size_t{76800} * static_cast<size_t>(t.scaled_n * t.scaled_n) * sizeof(uint32_t);
            t0 = Clock::now();
            std::memset(out.scaled.get(), 0, bytes);
            t1 = Clock::now();
            ConvertFrameScaled(s.buffer, s.depth, out.scaled.get(), t.scaled_n);
            t2 = Clock::now();
            t.scaled_memset_ms = Ms(t1 - t0);
            t.scaled_ms = Ms(t2 - t1);
        }
        out.timings.push_back(t);
        out.show_hash = HashFrame(out.show_hash, out.copy.get());
    }
    for (size_t i = 0; i < o.at.size(); i++) {
        if (o.at[i].part != frame_part || o.at[i].prticks != prticks) continue;
        const std::string stem = FrameStem(o.out, frame_part, prticks);
        if (!WriteRaw(stem + ".raw", static_cast<const uint16_t*>(s.buffer))) {
            out.failure = "cannot write " + stem + ".raw: " + std::strerror(errno);
            return false;
        }
        if (!WriteFramePng(stem + ".png", s.buffer, s.depth, out.picture.get())) {
            out.failure = "cannot write " + stem + ".png: " + std::strerror(errno);
            return false;
        }
        out.written[i] = true;
    }
    if (o.all) {
        const std::string name = NumberedFrameName(o.out, index);
        if (!WriteFramePng(name, s.buffer, s.depth, out.picture.get())) {
            out.failure = "cannot write " + name + ": " + std::strerror(errno);
            return false;
        }
    }
    if (!o.video.empty()) {
        ConvertFrame(s.buffer, s.depth, out.picture.get(), 0);
        if (!out.video.AddFrame(out.picture.get(), show_ms, out.failure)) return false;
    }
    return true;
}

int Fail(const std::string& message, int status) {
    std::fprintf(stderr, "zarvelin-capture: %s\n", message.c_str());
    return status;
}

} // namespace

int RunCapture(const Options& o) {
    std::string error;
    if ((!o.at.empty() || o.all) && !UsableDirectory(o.out, error)) return Fail(error, 2);

    Outputs out{o};
    if (!o.video.empty()) {
        if (const int status = out.video.Check(o.video, o.module, error); status != 0)
            return Fail(error, status);
    }
    out.written.assign(o.at.size(), false);
    out.picture = std::make_unique<uint32_t[]>(76800);
    out.doubled = std::make_unique<uint32_t[]>(640 * 480);
    out.copy = std::make_unique<uint16_t[]>(76800);
    if (o.bench) {
        out.timings.reserve(16384);
        out.scaled = std::make_unique<uint32_t[]>(size_t{76800} * kMaxWindowScale * kMaxWindowScale);
    }

    // No window: SDL's dummy driver takes the mode sets, and the hook sees every frame.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    vstep = o.step;
    GpSetTickSource(VirtualTicks);
    GpSetPresentHook(OnPresent);

    // Start-up as the program does it, full screen 320 x 240 without the frame wait.
    if (SetupDisplay(2) != 0) return Fail("cannot set the video mode", 1);
    LoadingScreen();

    if (!o.video.empty() && !out.video.Start(o.step, error)) {
        out.video.Finish(false, error);
        return Fail(error, 1);
    }

    Progress progress(!o.quiet, o.until != 0 ? o.until : kNominalShowMs);
    partime = Ticks();
    showing = true;
    uint32_t frames = 0;
    int32_t last_part = part;
    bool ok = true;
    double show_seconds = 0; // drawing and presenting the show's frames, for --bench
    while (quit == 0 && (o.until == 0 || vclock < o.until)) {
        // The time base is a signed 32-bit millisecond count: a show that never ends stops
        // before its clock would leave that range.
        if (vclock > static_cast<uint32_t>(INT32_MAX) - o.step) {
            ok = false;
            out.failure = "the show did not end before its clock ran out";
            break;
        }
        const int32_t frame_part = part; // the part drawing this frame, even if it ends in it
        const uint32_t show_ms = vclock;
        const Clock::time_point t0 = Clock::now();
        Run();
        const Clock::time_point t1 = Clock::now();
        presented = nullptr;
        PresentFrame();
        const double draw_ms = Ms(t1 - t0);
        show_seconds += Ms(Clock::now() - t0) / 1000.0;
        if (presented == nullptr) {
            // Without a presentation the clock stands still: the run could never end.
            ok = false;
            out.failure = "a frame of the show was not presented";
            break;
        }
        if (!TakeFrame(out, *presented, frames, frame_part, show_ms, draw_ms)) {
            ok = false;
            break;
        }
        frames++;
        last_part = frame_part;
        progress.Update(frames, frame_part, vclock, false);
    }
    progress.Update(frames, last_part, vclock, true);
    progress.End();

    if (!o.video.empty() && !out.video.Finish(ok, out.failure)) ok = false;
    if (!ok) return Fail(out.failure, 1);

    if (o.bench) {
        std::fputs(FormatBench(out.timings).c_str(), stdout);
        std::fputs(FormatShow(frames, show_seconds, out.show_hash).c_str(), stdout);
    }
    std::printf("frames %u show_ms %u\n", frames, vclock);
    std::fflush(stdout);

    int status = 0;
    for (size_t i = 0; i < o.at.size(); i++) {
        if (out.written[i]) continue;
        std::fprintf(stderr, "zarvelin-capture: no frame of part %d at %d ms was drawn\n",
                     static_cast<int>(o.at[i].part), static_cast<int>(o.at[i].prticks));
        status = 1;
    }
    return status;
}

} // namespace capture
