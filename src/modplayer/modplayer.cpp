// The sound calls on libopenmpt (decoding) and SDL 1.2 audio (output).
#include "modplayer/heard_clock.h"
#include "modplayer/mod_errors.h"
#include "modplayer/modplayer.h"
#include "modplayer/module_check.h"

#include <SDL.h>
#include <libopenmpt/libopenmpt.h>
#include <sys/stat.h>

#include <algorithm>
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
    openmpt_module* module;
    std::vector<unsigned char> data; // kept for seeking
    int volume = kModFullVolume;
    int32_t rate = 44100; // the rate it was last rendered at
};

namespace {

constexpr int32_t kStereoPercent = 40;
constexpr Uint16 kOutputFrames = 2048; // ~46 ms per callback at 44100 Hz

bool output_open = false;
bool audio_started_here = false; // we initialised SDL's audio subsystem ourselves
int32_t output_rate = 44100;
bool output_heard = false; // a driver that plays to someone (not dummy or disk)
char driver_name[32] = "";
int32_t delay_ms = 0; // ZARVELIN_AUDIO_DELAY
// Read and written by the callback: change only under the audio lock.
ModSong* playing = nullptr;
bool music_paused = false;
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

// What the driver still holds, in frames, when a callback of `frames` begins, counted from
// the end of what that callback writes. SDL 1.2 reports none of it; these follow from how
// each driver queues (and were checked by recording what a sound server played).
int64_t DriverLatency(int64_t frames) {
    // pulse: the stream asks for a total latency of four callbacks (the callback halved from
    // what was asked); the callback begins when one of them has room.
    if (std::strcmp(driver_name, "pulse") == 0) return 4 * frames;
    // alsa: two periods of one callback each, full when a callback begins, plus its own.
    if (std::strcmp(driver_name, "alsa") == 0) return 3 * frames;
    // Double buffering (DirectSound, waveOut and the rest): the other buffer plays.
    return 2 * frames;
}

// Runs on SDL's audio thread with the audio lock held.
void FillAudio(void*, Uint8* stream, int len) {
    const int64_t now = NowUs();
    int16_t* out = reinterpret_cast<int16_t*>(stream);
    size_t frames = len > 0 ? static_cast<size_t>(len) / 4 : 0;
    size_t done = 0;
    if (playing != nullptr && !music_paused) {
        playing->rate = output_rate;
        done = openmpt_module_read_interleaved_stereo(playing->module, output_rate, frames, out);
        ApplyVolume(playing->volume, out, done * 2);
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

// The module as playing from its start leaves it after `frames` frames at its rate.
// libopenmpt's own seek lands on a row, tens of milliseconds off; a fresh copy rendered up
// to there is exact (about a millisecond per second of music). Null when out of memory.
openmpt_module* ModuleAt(const ModSong* mod, int64_t frames) {
    int error = OPENMPT_ERROR_OK;
    openmpt_module* module = CreateModule(mod->data.data(), mod->data.size(), &error);
    if (module == nullptr) return nullptr;
    static int16_t scratch[2 * 4096];
    while (frames > 0) {
        const size_t n = static_cast<size_t>(std::min<int64_t>(frames, 4096));
        if (openmpt_module_read_interleaved_stereo(module, mod->rate, n, scratch) == 0) break;
        frames -= static_cast<int64_t>(n);
    }
    return module;
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
    ModSucceed();
    return song;
}

signed char FMUSIC_PlaySong(FMUSIC_MODULE* mod) {
    if (mod == nullptr) return ModFail(kModInvalidParam);
    if (!output_open) return ModFail(kModNotInitialised);
    SDL_LockAudio();
    openmpt_module_set_position_seconds(mod->module, 0.0);
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
    const int32_t rate = mod->rate;
    SDL_UnlockAudio();
    // Past its end the module loops: rendering stops within its last pass.
    const int64_t length = std::llround(openmpt_module_get_duration_seconds(mod->module) * rate);
    int64_t frames = int64_t{ms} * rate / 1000;
    if (length > 0 && frames > length) frames = length + frames % length;
    openmpt_module* module = ModuleAt(mod, frames);
    if (module == nullptr) return ModFail(kModOutOfMemory);
    SDL_LockAudio();
    std::swap(mod->module, module);
    if (mod == playing) {
        music_frame = int64_t{ms} * output_rate / 1000;
        heard.Segment(heard.WrittenFrames(), music_frame, !music_paused, true);
    }
    SDL_UnlockAudio();
    openmpt_module_destroy(module);
    ModSucceed();
    return 1;
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
    mod->rate = rate;
    size_t done = openmpt_module_read_interleaved_stereo(mod->module, rate, frames, out);
    ApplyVolume(mod->volume, out, done * 2);
    SDL_UnlockAudio();
    return done;
}

double ModLengthSeconds(FMUSIC_MODULE* mod) {
    return mod == nullptr ? 0.0 : openmpt_module_get_duration_seconds(mod->module);
}

double ModPositionSeconds(FMUSIC_MODULE* mod) {
    if (mod == nullptr) return 0.0;
    SDL_LockAudio();
    double position = openmpt_module_get_position_seconds(mod->module);
    SDL_UnlockAudio();
    return position;
}
