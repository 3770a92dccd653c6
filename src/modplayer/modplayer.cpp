// The sound calls on libopenmpt (decoding) and SDL 1.2 audio (output).
#include "modplayer/heard_clock.h"
#include "modplayer/mod_errors.h"
#include "modplayer/modplayer.h"
#include "modplayer/module_check.h"

#include <SDL.h>
#include <libopenmpt/libopenmpt.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "system/environment.h"

struct ModSong {
    // A copy of the module rendered from a fresh load up to `at` frames, on its way to `goal`.
    struct Checkpoint {
        openmpt_module* module = nullptr;
        int64_t at = 0;
        int64_t goal = 0;
    };
    static constexpr int kCheckpoints = 8;

    openmpt_module* module;
    std::vector<unsigned char> data; // kept for seeking
    double seconds = 0.0;            // one pass
    int volume = kModFullVolume;
    int32_t rate = 44100; // the rate it was last rendered at
    // Frames rendered at rate since a fresh load (a seek counts as such), -1 when unknown.
    int64_t rendered = 0;
    // Copies kept for seeks (ModPrepareSeeks) at checkpoint_rate; only the caller's thread
    // touches them.
    std::array<Checkpoint, kCheckpoints> checkpoints{};
    int checkpoint_count = 0;
    int32_t checkpoint_rate = 0;
};

namespace {

constexpr int32_t kStereoPercent = 40;
constexpr Uint16 kOutputFrames = 2048; // ~46 ms per callback at 44100 Hz
// Checkpoints every 30 s of music: a seek renders at most that much (~45 ms of work), and
// keeping all seven of a 228 s module takes ~1.2 s of work and ~2.7 MB.
constexpr int32_t kCheckpointMs = 30000;
constexpr size_t kSliceFrames = 2048; // rendered between looks at the clock

bool output_open = false;
bool audio_started_here = false; // we initialised SDL's audio subsystem ourselves
int32_t output_rate = 44100;
bool output_heard = false; // a driver that plays to someone (not dummy or disk)
char driver_name[32] = "";
int32_t delay_ms = 0; // ZARVELIN_AUDIO_DELAY
// Read and written by the callback: change only under the audio lock.
ModSong* playing = nullptr;
bool music_paused = false;
bool music_taken = false; // a seek renders the playing module forward: silence meanwhile
int64_t music_frame = 0; // where the playing module stands, in output frames from its start
HeardClock heard;

int64_t NowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void ApplyVolume(int volume, int16_t* pcm, size_t values) {
    if (volume == kModFullVolume) return;
    for (size_t i = 0; i < values; i++)
        pcm[i] = static_cast<int16_t>(int32_t{pcm[i]} * volume / kModFullVolume);
}

// What the driver and the server still hold, in frames, when a callback of `frames` begins,
// counted from the end of what that callback writes. SDL 1.2 reports none of it; these follow
// from how each driver queues, checked against what a PulseAudio null sink played
// (tools/clocksync).
int64_t DriverLatency(int64_t frames) {
    // pulse: SDL asks for a total of four callbacks (halved from what was asked for); the server
    // takes its sink's share of that in blocks, so a callback finds less than three left.
    if (std::strcmp(driver_name, "pulse") == 0) return 11 * frames / 4;
    // alsa: two periods of one callback each, full when a callback begins, plus its own, less
    // what PulseAudio's ALSA plugin has already passed on.
    if (std::strcmp(driver_name, "alsa") == 0) return 3 * frames - frames / 6;
    // Double buffering (DirectSound, waveOut and the rest): the other buffer plays.
    return 2 * frames;
}

// Renders frames of mod at rate into out, counting them; under the audio lock.
size_t Read(ModSong* mod, int32_t rate, int16_t* out, size_t frames) {
    if (rate != mod->rate) {
        // Frames at another rate no longer count from a fresh load.
        if (mod->rendered != 0) mod->rendered = -1;
        mod->rate = rate;
    }
    const size_t done = openmpt_module_read_interleaved_stereo(mod->module, rate, frames, out);
    if (mod->rendered >= 0) mod->rendered += static_cast<int64_t>(done);
    ApplyVolume(mod->volume, out, done * 2);
    return done;
}

// Runs on SDL's audio thread with the audio lock held.
void FillAudio(void*, Uint8* stream, int len) {
    const int64_t now = NowUs();
    int16_t* out = reinterpret_cast<int16_t*>(stream);
    size_t frames = len > 0 ? static_cast<size_t>(len) / 4 : 0;
    size_t done = 0;
    if (playing != nullptr && !music_paused && !music_taken) {
        done = Read(playing, output_rate, out, frames);
        music_frame += static_cast<int64_t>(done);
    }
    std::memset(out + done * 2, 0, (frames - done) * 4);
    if (heard.WrittenFrames() == 0)
        heard.SetLatency(DriverLatency(static_cast<int64_t>(frames)) + int64_t{delay_ms} * output_rate / 1000);
    heard.Written(static_cast<int64_t>(frames), now);
}

openmpt_module* CreateModule(const unsigned char* data, size_t size, int* error) {
    openmpt_module* module = openmpt_module_create_from_memory2(
        data, size, nullptr, nullptr, openmpt_error_func_ignore, nullptr, error, nullptr, nullptr);
    if (module == nullptr) return nullptr;
    openmpt_module_set_repeat_count(module, -1); // the show may outlast the module
    // Four hard-panned Amiga channels tire the ear; narrow them to a comfortable width.
    openmpt_module_set_render_param(module, OPENMPT_MODULE_RENDER_STEREOSEPARATION_PERCENT, kStereoPercent);
    openmpt_module_ctl_set_integer(module, "dither", 0); // same module, same samples, every run
    return module;
}

using Clock = std::chrono::steady_clock;

// Renders a module that no callback reaches from frame *at towards goal at rate, until `end`
// (looked at between slices). libopenmpt's own seek lands on a row, tens of milliseconds off;
// rendering is exact: a module's state after n frames does not depend on the pieces they were
// read in (about 1.5 ms of work per second of music). False if the module ended.
bool RenderTo(openmpt_module* module, int32_t rate, int64_t* at, int64_t goal,
              Clock::time_point end = Clock::time_point::max()) {
    static int16_t scratch[2 * kSliceFrames]; // only the caller's thread renders here
    while (*at < goal && Clock::now() < end) {
        const size_t n = static_cast<size_t>(std::min<int64_t>(goal - *at, kSliceFrames));
        const size_t done = openmpt_module_read_interleaved_stereo(module, rate, n, scratch);
        *at += static_cast<int64_t>(done);
        if (done < n) return false;
    }
    return true;
}

// The frames a fresh load renders to stand where the module stands `ms` from its start: past
// its end it loops, and rendering stops within its last pass.
int64_t SeekFrames(const ModSong* mod, int32_t rate, int32_t ms) {
    const int64_t length = std::llround(mod->seconds * rate);
    const int64_t frames = int64_t{ms} * rate / 1000;
    return length > 0 && frames > length ? length + frames % length : frames;
}

void DropCheckpoints(ModSong* mod) {
    for (ModSong::Checkpoint& c : mod->checkpoints) {
        if (c.module != nullptr) openmpt_module_destroy(c.module);
        c = ModSong::Checkpoint{};
    }
    mod->checkpoint_count = 0;
}

// The checkpoint that starts a seek to `target` frames soonest: at or before it, furthest on.
ModSong::Checkpoint* NearestCheckpoint(ModSong* mod, int32_t rate, int64_t target) {
    if (mod->checkpoint_rate != rate) return nullptr;
    ModSong::Checkpoint* best = nullptr;
    for (int i = 0; i < mod->checkpoint_count; i++) {
        ModSong::Checkpoint& c = mod->checkpoints[static_cast<size_t>(i)];
        if (c.module != nullptr && c.at <= target && (best == nullptr || c.at > best->at)) best = &c;
    }
    return best;
}

// A module that a seek replaced, `at` frames from a fresh load, fills an empty checkpoint it is
// still short of (the nearest), else it goes.
void Recycle(ModSong* mod, openmpt_module* module, int64_t at) {
    ModSong::Checkpoint* slot = nullptr;
    if (at >= 0 && mod->checkpoint_rate == mod->rate)
        for (int i = 0; i < mod->checkpoint_count; i++) {
            ModSong::Checkpoint& c = mod->checkpoints[static_cast<size_t>(i)];
            if (c.module == nullptr && c.goal >= at && (slot == nullptr || c.goal < slot->goal)) slot = &c;
        }
    if (slot == nullptr) {
        openmpt_module_destroy(module);
        return;
    }
    slot->module = module;
    slot->at = at;
}

void ReadAudioDelay() {
    delay_ms = 0;
    const char* text = std::getenv("ZARVELIN_AUDIO_DELAY");
    if (text != nullptr && !ParseAudioDelay(text, &delay_ms))
        std::fprintf(stderr,
                     "ZARVELIN_AUDIO_DELAY=\"%s\" is not a whole number of milliseconds from %d to %d; "
                     "using 0\n",
                     text, -kMaxAudioDelayMs, kMaxAudioDelayMs);
}

// SDL's disk driver (headless runs) sleeps a fixed 150 ms after every buffer unless told
// otherwise, which writes our 46 ms buffers at a third of real time. Pace it to the buffer
// so the file keeps step with the show; an explicit SDL_DISKAUDIODELAY is left alone.
void PaceDiskOutput(int mixrate) {
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    if (driver == nullptr || std::strcmp(driver, "disk") != 0 || std::getenv("SDL_DISKAUDIODELAY") != nullptr)
        return;
    char delay[16];
    std::snprintf(delay, sizeof delay, "%d", kOutputFrames * 1000 / mixrate);
    SetEnv("SDL_DISKAUDIODELAY", delay, false);
}

bool ReadWhole(const char* name, size_t size, std::vector<unsigned char>& data) {
    FILE* f = std::fopen(name, "rb");
    if (f == nullptr) return false;
    data.resize(size);
    size_t got = size > 0 ? std::fread(data.data(), 1, size, f) : 0;
    bool at_end = std::fgetc(f) == EOF && !std::ferror(f);
    std::fclose(f);
    return got == size && at_end;
}

} // namespace

signed char FSOUND_Init(int mixrate, int maxchannels, unsigned int flags) {
    (void)maxchannels;
    (void)flags;
    if (output_open) return ModFail(kModAlreadyInitialised);
    if (mixrate < 8000 || mixrate > 192000) return ModFail(kModInvalidParam);
    PaceDiskOutput(mixrate);
    audio_started_here = SDL_WasInit(SDL_INIT_AUDIO) == 0;
    if (audio_started_here && SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) return ModFail(kModInitFailed);
    SDL_AudioSpec want{};
    want.freq = mixrate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kOutputFrames;
    want.callback = FillAudio;
    // No obtained format: SDL converts to the device's own format, so the callback always
    // fills 16-bit stereo at mixrate.
    if (SDL_OpenAudio(&want, nullptr) < 0) {
        if (audio_started_here) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return ModFail(kModInitFailed);
    }
    output_rate = mixrate;
    output_open = true;
    if (SDL_AudioDriverName(driver_name, sizeof driver_name) == nullptr) driver_name[0] = 0;
    output_heard = std::strcmp(driver_name, "dummy") != 0 && std::strcmp(driver_name, "disk") != 0;
    ReadAudioDelay();
    SDL_LockAudio();
    heard.Start(mixrate, 0);
    music_paused = false;
    SDL_UnlockAudio();
    SDL_PauseAudio(0); // silence until a module plays
    ModSucceed();
    return 1;
}

FMUSIC_MODULE* FMUSIC_LoadSong(const char* name) {
    if (name == nullptr) return ModFailLoad(kModInvalidParam);
    struct stat st {};
    if (stat(name, &st) != 0)
        return ModFailLoad(errno == ENOENT || errno == ENOTDIR ? kModFileNotFound : kModLoadFailed);
    // A directory or device of that name exists but cannot be read as a file.
    if (!S_ISREG(st.st_mode)) return ModFailLoad(kModLoadFailed);
    std::vector<unsigned char> data;
    try {
        if (!ReadWhole(name, static_cast<size_t>(st.st_size), data)) return ModFailLoad(kModLoadFailed);
    } catch (const std::bad_alloc&) {
        return ModFailLoad(kModOutOfMemory);
    }
    return ModLoadSongFromMemory(data.data(), data.size());
}

FMUSIC_MODULE* ModLoadSongFromMemory(const unsigned char* data, size_t size) {
    if (data == nullptr || size == 0) return ModFailLoad(kModUnknownFormat);
    int probe = openmpt_probe_file_header(OPENMPT_PROBE_FILE_HEADER_FLAGS_DEFAULT, data, size, size, nullptr,
                                          nullptr, openmpt_error_func_ignore, nullptr, nullptr, nullptr);
    if (probe != OPENMPT_PROBE_FILE_HEADER_RESULT_SUCCESS)
        return ModFailLoad(probe == OPENMPT_PROBE_FILE_HEADER_RESULT_ERROR ? kModLoadFailed : kModUnknownFormat);
    if (!ModuleComplete(data, size)) return ModFailLoad(kModLoadFailed);
    int error = OPENMPT_ERROR_OK;
    openmpt_module* module = CreateModule(data, size, &error);
    if (module == nullptr) return ModFailLoad(error == OPENMPT_ERROR_OUT_OF_MEMORY ? kModOutOfMemory : kModLoadFailed);
    ModSong* song = nullptr;
    try {
        song = new ModSong{module, std::vector<unsigned char>(data, data + size)};
    } catch (const std::bad_alloc&) {
        openmpt_module_destroy(module);
        return ModFailLoad(kModOutOfMemory);
    }
    song->rate = output_rate;
    song->seconds = openmpt_module_get_duration_seconds(module);
    ModSucceed();
    return song;
}

signed char FMUSIC_PlaySong(FMUSIC_MODULE* mod) {
    if (mod == nullptr) return ModFail(kModInvalidParam);
    if (!output_open) return ModFail(kModNotInitialised);
    SDL_LockAudio();
    openmpt_module_set_position_seconds(mod->module, 0.0);
    // Exact only for a module not yet rendered, where it changes nothing.
    if (mod->rendered != 0) mod->rendered = -1;
    playing = mod;
    music_paused = false;
    music_frame = 0;
    heard.Segment(heard.WrittenFrames(), 0, true, true);
    SDL_UnlockAudio();
    ModSucceed();
    return 1;
}

signed char FMUSIC_FreeSong(FMUSIC_MODULE* mod) {
    if (mod == nullptr) return ModFail(kModInvalidParam);
    // Once the lock is released the callback can no longer reach the module.
    SDL_LockAudio();
    if (playing == mod) playing = nullptr;
    SDL_UnlockAudio();
    openmpt_module_destroy(mod->module);
    DropCheckpoints(mod);
    delete mod;
    return 1;
}

signed char FMUSIC_SetPaused(FMUSIC_MODULE* mod, signed char pause) {
    if (mod == nullptr) return ModFail(kModInvalidParam);
    if (!output_open) return ModFail(kModNotInitialised);
    if (mod != playing) return ModFail(kModInvalidParam);
    // A callback already under way finishes before the lock is ours: from here on the
    // position stands still.
    SDL_LockAudio();
    const bool pausing = pause != 0;
    // What the output already holds still plays: the heard position runs on to where the
    // module stopped and holds there until the music is heard again.
    if (pausing != music_paused) heard.Segment(heard.WrittenFrames(), music_frame, !pausing, false);
    music_paused = pausing;
    SDL_UnlockAudio();
    ModSucceed();
    return 1;
}

signed char ModSetPositionMs(FMUSIC_MODULE* mod, int32_t ms) {
    if (mod == nullptr || ms < 0) return ModFail(kModInvalidParam);
    SDL_LockAudio();
    const int32_t rate = mod == playing ? output_rate : mod->rate;
    SDL_UnlockAudio();
    const int64_t target = SeekFrames(mod, rate, ms);
    // Start from the nearest exact copy at or before the target: a checkpoint, the module
    // itself, or else a fresh load.
    ModSong::Checkpoint* checkpoint = NearestCheckpoint(mod, rate, target);
    const int64_t checkpoint_at = checkpoint != nullptr ? checkpoint->at : 0;
    SDL_LockAudio();
    const int64_t now = mod->rendered;
    const bool itself = mod->rate == rate && now >= checkpoint_at && now <= target;
    // The playing module is the callback's: it writes silence until the module is back.
    if (itself && mod == playing) music_taken = true;
    SDL_UnlockAudio();

    openmpt_module* module = mod->module;
    int64_t at = now;
    if (!itself) {
        at = checkpoint_at;
        if (checkpoint != nullptr) {
            module = checkpoint->module;
            checkpoint->module = nullptr; // prepared again in idle time
        } else {
            int error = OPENMPT_ERROR_OK;
            module = CreateModule(mod->data.data(), mod->data.size(), &error);
            if (module == nullptr) return ModFail(kModOutOfMemory);
        }
    }
    RenderTo(module, rate, &at, target);

    SDL_LockAudio();
    const int64_t replaced_at = mod->rate == rate ? mod->rendered : -1;
    std::swap(mod->module, module);
    mod->rate = rate;
    mod->rendered = at;
    music_taken = false;
    if (mod == playing) {
        music_frame = int64_t{ms} * output_rate / 1000;
        heard.Segment(heard.WrittenFrames(), music_frame, !music_paused, true);
    }
    SDL_UnlockAudio();
    if (!itself) Recycle(mod, module, replaced_at);
    ModSucceed();
    return 1;
}

bool ModPrepareSeeks(FMUSIC_MODULE* mod, double budget_ms) {
    if (mod == nullptr) return false;
    const Clock::time_point end =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(budget_ms));
    SDL_LockAudio();
    const int32_t rate = mod == playing ? output_rate : mod->rate;
    SDL_UnlockAudio();
    if (mod->checkpoint_rate != rate) {
        DropCheckpoints(mod);
        const int64_t length = std::llround(mod->seconds * rate);
        // Evenly spread over the first pass; a longer module gets them further apart.
        const int64_t step = std::max(int64_t{kCheckpointMs} * rate / 1000, length / (ModSong::kCheckpoints + 1));
        for (int64_t goal = step; goal < length && mod->checkpoint_count < ModSong::kCheckpoints; goal += step)
            mod->checkpoints[static_cast<size_t>(mod->checkpoint_count++)].goal = goal;
        mod->checkpoint_rate = rate;
    }
    for (int i = 0; i < mod->checkpoint_count; i++) {
        ModSong::Checkpoint& c = mod->checkpoints[static_cast<size_t>(i)];
        if (c.module != nullptr && c.at == c.goal) continue;
        if (Clock::now() >= end) return true;
        if (c.module == nullptr) {
            int error = OPENMPT_ERROR_OK;
            c.module = CreateModule(mod->data.data(), mod->data.size(), &error);
            c.at = 0;
            if (c.module == nullptr) return false; // out of memory: seeks render from the start
        }
        // A module that ends early stands where it ended, which is exact all the same.
        if (!RenderTo(c.module, rate, &c.at, c.goal, end)) c.goal = c.at;
        if (c.at < c.goal) return true;
    }
    return false;
}

signed char FMUSIC_SetMasterVolume(FMUSIC_MODULE* mod, int volume) {
    if (mod == nullptr || volume < 0 || volume > kModFullVolume) return ModFail(kModInvalidParam);
    SDL_LockAudio();
    mod->volume = volume;
    SDL_UnlockAudio();
    ModSucceed();
    return 1;
}

bool ModHeardMs(uint32_t* ms) {
    if (!output_open || !output_heard) return false;
    SDL_LockAudio();
    const bool following = playing != nullptr;
    const int64_t frame = following ? std::max<int64_t>(0, heard.HeardMusic(NowUs())) : 0;
    SDL_UnlockAudio();
    if (following) *ms = static_cast<uint32_t>(frame * 1000 / output_rate);
    return following;
}

void FSOUND_Close() {
    if (!output_open) return;
    SDL_PauseAudio(1);
    SDL_CloseAudio(); // joins the audio thread
    playing = nullptr;
    music_paused = false;
    if (audio_started_here) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio_started_here = false;
    output_open = false;
}

size_t ModRenderPcm(FMUSIC_MODULE* mod, int32_t rate, int16_t* out, size_t frames) {
    if (mod == nullptr || out == nullptr || rate < 8000 || rate > 192000) return 0;
    SDL_LockAudio();
    const size_t done = Read(mod, rate, out, frames);
    SDL_UnlockAudio();
    return done;
}

double ModLengthSeconds(FMUSIC_MODULE* mod) {
    return mod == nullptr ? 0.0 : mod->seconds;
}

double ModPositionSeconds(FMUSIC_MODULE* mod) {
    if (mod == nullptr) return 0.0;
    SDL_LockAudio();
    double position = openmpt_module_get_position_seconds(mod->module);
    SDL_UnlockAudio();
    return position;
}
