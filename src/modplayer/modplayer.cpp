// The sound calls on libopenmpt (decoding) and SDL 1.2 audio (output).
#include "modplayer/mod_errors.h"
#include "modplayer/modplayer.h"
#include "modplayer/module_check.h"

#include <SDL.h>
#include <libopenmpt/libopenmpt.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "system/environment.h"

struct ModSong {
    openmpt_module* module;
};

namespace {

constexpr int32_t kStereoPercent = 40;
constexpr Uint16 kOutputFrames = 2048; // ~46 ms per callback at 44100 Hz

bool output_open = false;
bool audio_started_here = false; // we initialised SDL's audio subsystem ourselves
int32_t output_rate = 44100;
ModSong* playing = nullptr; // read by the callback: change only under the audio lock

// Runs on SDL's audio thread with the audio lock held.
void FillAudio(void*, Uint8* stream, int len) {
    int16_t* out = reinterpret_cast<int16_t*>(stream);
    size_t frames = len > 0 ? static_cast<size_t>(len) / 4 : 0;
    size_t done = 0;
    if (playing != nullptr) {
        done = openmpt_module_read_interleaved_stereo(playing->module, output_rate, frames, out);
    }
    std::memset(out + done * 2, 0, (frames - done) * 4);
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
    openmpt_module* module = openmpt_module_create_from_memory2(
        data, size, nullptr, nullptr, openmpt_error_func_ignore, nullptr, &error, nullptr, nullptr);
    if (module == nullptr) return ModFailLoad(error == OPENMPT_ERROR_OUT_OF_MEMORY ? kModOutOfMemory : kModLoadFailed);
    openmpt_module_set_repeat_count(module, -1); // the show may outlast the module
    // Four hard-panned Amiga channels tire the ear; narrow them to a comfortable width.
    openmpt_module_set_render_param(module, OPENMPT_MODULE_RENDER_STEREOSEPARATION_PERCENT, kStereoPercent);
    openmpt_module_ctl_set_integer(module, "dither", 0); // same module, same samples, every run
    ModSong* song = new (std::nothrow) ModSong{module};
    if (song == nullptr) {
        openmpt_module_destroy(module);
        return ModFailLoad(kModOutOfMemory);
    }
    ModSucceed();
    return song;
}

signed char FMUSIC_PlaySong(FMUSIC_MODULE* mod) {
    if (mod == nullptr) return ModFail(kModInvalidParam);
    if (!output_open) return ModFail(kModNotInitialised);
    SDL_LockAudio();
    openmpt_module_set_position_seconds(mod->module, 0.0);
    playing = mod;
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
    SDL_PauseAudio(pause != 0 ? 1 : 0);
    // A callback already under way finishes before the lock is ours: from here on the
    // position stands still.
    SDL_LockAudio();
    SDL_UnlockAudio();
    ModSucceed();
    return 1;
}

void FSOUND_Close() {
    if (!output_open) return;
    SDL_PauseAudio(1);
    SDL_CloseAudio(); // joins the audio thread
    playing = nullptr;
    if (audio_started_here) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio_started_here = false;
    output_open = false;
}

size_t ModRenderPcm(FMUSIC_MODULE* mod, int32_t rate, int16_t* out, size_t frames) {
    if (mod == nullptr || out == nullptr || rate < 8000 || rate > 192000) return 0;
    SDL_LockAudio();
    size_t done = openmpt_module_read_interleaved_stereo(mod->module, rate, frames, out);
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
