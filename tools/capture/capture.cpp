#include "capture.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "frame_files.h"
#include "headless/bench.h"
#include "headless/run.h"
#include "script/script.h"
#include "system/environment.h"
#include "video_output.h"
#include "zarvelin/zarvelin.h"

namespace capture {
namespace {

using headless::Options;

using Clock = std::chrono::steady_clock;

// Nominal length of the show, only for drawing the progress bar.
constexpr uint32_t kNominalShowMs = 228000;

class Progress {
  public:
    // The bar runs from show time from_ms to total_ms.
    Progress(bool enabled, uint32_t from_ms, uint32_t total_ms)
        : enabled_(enabled), tty_(isatty(STDERR_FILENO) != 0), from_(from_ms), total_(total_ms),
          last_(Clock::now()), start_(last_) {}

    // The show's clock starts now: speed and time left are reckoned from here.
    void Start() { start_ = Clock::now(); }
    // done: the run is over, the bar is drawn full.
    void Update(uint32_t frames, int32_t part, uint32_t show_ms, bool done) {
        if (!enabled_) return;
        const Clock::time_point now = Clock::now();
        // A terminal gets a live bar, a log a line every few seconds.
        const auto interval = tty_ ? std::chrono::milliseconds(200) : std::chrono::milliseconds(5000);
        if (!done && now - last_ < interval) return;
        last_ = now;
        const uint32_t done_ms = show_ms > from_ ? show_ms - from_ : 0;
        const uint32_t span = total_ > from_ ? total_ - from_ : 1;
        const uint32_t filled =
            done || show_ms >= total_ ? 20u : static_cast<uint32_t>(uint64_t{done_ms} * 20 / span);
        char bar[21];
        for (uint32_t i = 0; i < 20; i++)
            bar[i] = i < filled ? '#' : '.';
        bar[20] = 0;
        // Speed: show time per second of the run (with a video, ffmpeg's pace); the time
        // left at that speed.
        const double seconds = std::chrono::duration<double>(now - start_).count();
        const double speed = seconds > 0.0 ? done_ms / 1000.0 / seconds : 0.0;
        const uint32_t left =
            !done && speed > 0.0 && show_ms < total_
                ? static_cast<uint32_t>(std::min((total_ - show_ms) / 1000.0 / speed, 359999.0) + 0.5)
                : 0;
        // On a terminal the line is redrawn in place; the spaces cover a line that got shorter.
        std::fprintf(stderr, "%s[%s] part %d  show %3u.%02u s  frame %u  %.2fx  %u:%02u left%s",
                     tty_ ? "\r" : "", bar, static_cast<int>(part), show_ms / 1000, (show_ms % 1000) / 10,
                     frames, speed, left / 60, left % 60, tty_ ? "   " : "\n");
        drawn_ = true;
    }
    void End() {
        if (enabled_ && tty_ && drawn_) std::fputc('\n', stderr);
    }

  private:
    bool enabled_;
    bool tty_;
    uint32_t from_;
    uint32_t total_;
    bool drawn_ = false;
    Clock::time_point last_;
    Clock::time_point start_;
};

// Ctrl-C or a termination request: the run stops at the next frame and removes its partial files.
volatile std::sig_atomic_t interrupted = 0;
void OnInterrupt(int signal_number) {
    interrupted = signal_number;
}

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
    Outputs(const Options& options) : o(options), requests(options.at) {}
    const Options& o;
    headless::FrameRequests requests;
    std::unique_ptr<headless::BenchRecorder> bench;
    std::unique_ptr<uint32_t[]> picture; // 320 x 240 conversion
    VideoOutput video;
    AudioOutput audio;
    std::string failure;
};

// Everything done with one presented frame of the show. False stops the run.
bool TakeFrame(Outputs& out, const headless::ShownFrame& f) {
    const Options& o = out.o;
    const LcdSurface& s = *f.surface;
    if (o.list) {
        std::printf("frame %u part %d prticks %d show_ms %u\n", f.index, static_cast<int>(f.part),
                    static_cast<int>(f.prticks), f.show_ms);
    }
    if (out.bench) out.bench->Record(s, f.index, f.part, f.draw_ms, f.frame_ms);
    if (out.requests.Take(f.part, f.prticks) >= 0) {
        const std::string stem = FrameStem(o.out, f.part, f.prticks);
        if (!WriteRaw(stem + ".raw", static_cast<const uint16_t*>(s.buffer))) {
            out.failure = "cannot write " + stem + ".raw: " + std::strerror(errno);
            return false;
        }
        if (!WriteFramePng(stem + ".png", s.buffer, s.depth, out.picture.get())) {
            out.failure = "cannot write " + stem + ".png: " + std::strerror(errno);
            return false;
        }
    }
    if (o.all) {
        const std::string name = NumberedFrameName(o.out, f.index);
        if (!WriteFramePng(name, s.buffer, s.depth, out.picture.get())) {
            out.failure = "cannot write " + name + ": " + std::strerror(errno);
            return false;
        }
    }
    if (!o.video.empty()) {
        ConvertFrame(s.buffer, s.depth, out.picture.get(), 0);
        if (!out.video.AddFrame(out.picture.get(), f.show_ms, out.failure)) return false;
    }
    if (!o.audio.empty() && !out.audio.AddFrame(f.show_ms, o.step, out.failure)) return false;
    return true;
}

// Ends the video and the soundtrack: complete files when ok, and no partial files either way.
bool FinishFiles(Outputs& out, bool ok) {
    std::string error;
    if (!out.o.video.empty() && !out.video.Finish(ok, error) && ok) {
        ok = false;
        out.failure = error;
    }
    if (!out.o.audio.empty() && !out.audio.Finish(ok, error) && ok) {
        ok = false;
        out.failure = error;
    }
    return ok;
}

int Fail(const std::string& message, int status) {
    std::fprintf(stderr, "zarvelin-capture: %s\n", message.c_str());
    return status;
}

} // namespace

int RunCapture(const headless::Options& o) {
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    std::string error;
    if ((!o.at.empty() || o.all) && !UsableDirectory(o.out, error)) return Fail(error, 2);

    Outputs out{o};
    if (!o.video.empty() && !out.video.Check(o, error)) return Fail(error, 1);
    if (!o.audio.empty() && !out.audio.Check(o.audio, o.module, error)) return Fail(error, 1);
    const bool encoding = !o.video.empty() || !o.audio.empty();
    out.picture = std::make_unique<uint32_t[]>(76800);
    if (o.bench) out.bench = std::make_unique<headless::BenchRecorder>();

    // No window: SDL's dummy driver takes the mode sets, and the hook sees every frame.
    SetEnv("SDL_VIDEODRIVER", "dummy", true);
    headless::UseVirtualClock(o.step, nullptr);

    // Start-up as the program does it, full screen 320 x 240 without the frame wait.
    if (SetupDisplay(2) != 0) return Fail("cannot set the video mode", 1);
    LoadingScreen();

    const Clock::time_point encode_start = Clock::now();
    if ((!o.video.empty() && !out.video.Start(out.failure)) ||
        (!o.audio.empty() && !out.audio.Start(o.from, out.failure))) {
        FinishFiles(out, false);
        return Fail(out.failure, 1);
    }

    Progress progress(!o.quiet, o.from, o.until != 0 ? o.until : kNominalShowMs);
    headless::StartShow();
    // The options allow only show times the seek takes.
    if (o.from != 0 && !headless::SeekVirtual(static_cast<int32_t>(o.from))) {
        FinishFiles(out, false);
        return Fail("cannot start at " + std::to_string(o.from) + " ms", 1);
    }
    progress.Start();
    uint32_t frames = 0;
    int32_t last_part = part;
    bool ok = true;
    headless::ShownFrame frame{};
    for (;;) {
        const headless::FrameResult r = headless::NextFrame(o.until, frame, out.failure);
        if (r == headless::FrameResult::ShowOver) break;
        if (r == headless::FrameResult::Failed || !TakeFrame(out, frame) || interrupted != 0) {
            ok = false;
            break;
        }
        frames++;
        last_part = frame.part;
        progress.Update(frames, frame.part, headless::VirtualMs(), false);
    }
    progress.Update(frames, last_part, headless::VirtualMs(), true);
    progress.End();

    // A signal while the files are put together stops ffmpeg there (or is too late to matter).
    const int signal_number = interrupted;
    ok = FinishFiles(out, ok && signal_number == 0);
    if (signal_number != 0) {
        // Dies of the signal after the clean-up, as the shell that sent it expects.
        Fail("interrupted: the unfinished files are removed", 1);
        std::signal(signal_number, SIG_DFL);
        std::raise(signal_number);
        return 1;
    }
    if (!ok) return Fail(out.failure, 1);
    const double encode_seconds = std::chrono::duration<double>(Clock::now() - encode_start).count();

    if (out.bench) std::fputs(out.bench->Report().c_str(), stdout);
    // The whole encode, from ffmpeg's start to the finished files, against the show time it holds.
    if (encoding) {
        std::printf("encode seconds %.2f speed %.2f\n", encode_seconds,
                    encode_seconds > 0.0 ? (headless::VirtualMs() - o.from) / 1000.0 / encode_seconds : 0.0);
    }
    std::printf("frames %u show_ms %u\n", frames, headless::VirtualMs());
    std::fflush(stdout);

    int status = 0;
    for (const std::string& line : out.requests.Missing()) {
        std::fprintf(stderr, "zarvelin-capture: %s\n", line.c_str());
        status = 1;
    }
    return status;
}

} // namespace capture
