// The sound calls for the page: libopenmpt plays the module in an AudioWorklet (music.js and
// music.worklet.js, the page side). The module file comes from the page's folder as the
// working directory; the calls give the native player's outcomes and error codes.
#include <emscripten/emscripten.h>

#include <new>
#include <vector>

#include "modplayer/mod_errors.h"
#include "modplayer/modplayer.h"
#include "modplayer/module_check.h"

struct ModSong {
    int id;         // the module's number on the audio thread
    double seconds; // length of one pass
};

namespace {

// clang-format off
// Size in bytes of the fetched file, or minus the error code (9 not there, 11 unreadable).
EM_ASYNC_JS(int, music_open, (const char* name), {
    return await ZarvelinMusic.open(UTF8ToString(name));
});
EM_JS(void, music_copy, (const char* name, unsigned char* out), {
    HEAPU8.set(ZarvelinMusic.file(UTF8ToString(name)).data, out);
});
// libopenmpt's header probe: 1 a module, 0 not one, -1 too short to tell, -255 an error.
EM_JS(int, music_probe, (const char* name), {
    return ZarvelinMusic.file(UTF8ToString(name)).probe;
});
// The module's number once libopenmpt has opened it, else 0.
EM_JS(int, music_id, (const char* name), {
    return ZarvelinMusic.file(UTF8ToString(name)).id;
});
EM_JS(double, music_seconds, (const char* name), {
    return ZarvelinMusic.file(UTF8ToString(name)).seconds;
});
EM_ASYNC_JS(int, music_init, (), {
    return await ZarvelinMusic.init() ? 1 : 0;
});
EM_JS(void, music_play, (int id), { ZarvelinMusic.play(id); });
EM_JS(void, music_free, (int id), { ZarvelinMusic.free(id); });
EM_JS(void, music_close, (), { ZarvelinMusic.close(); });
EM_JS(void, music_pause, (int on), { ZarvelinMusic.pause(on !== 0); });
EM_JS(double, music_position, (), { return ZarvelinMusic.position(); });
EM_JS(void, music_seek, (int ms), { ZarvelinMusic.seek(ms); });
EM_JS(void, music_volume, (double v), { ZarvelinMusic.volume(v); });
// clang-format on

bool output_open = false;
ModSong* playing = nullptr;

} // namespace

signed char FSOUND_Init(int mixrate, int maxchannels, unsigned int flags) {
    (void)maxchannels;
    (void)flags;
    if (output_open) return ModFail(kModAlreadyInitialised);
    if (mixrate < 8000 || mixrate > 192000) return ModFail(kModInvalidParam);
    // The page's output runs at the show's 44100 Hz; a browser without AudioWorklet has none.
    if (!music_init()) return ModFail(kModInitFailed);
    output_open = true;
    ModSucceed();
    return 1;
}

FMUSIC_MODULE* FMUSIC_LoadSong(const char* name) {
    if (name == nullptr) return ModFailLoad(kModInvalidParam);
    const int size = music_open(name);
    if (size < 0) return ModFailLoad(-size);
    if (size == 0) return ModFailLoad(kModUnknownFormat);
    std::vector<unsigned char> data;
    try {
        data.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return ModFailLoad(kModOutOfMemory);
    }
    music_copy(name, data.data());
    const int probe = music_probe(name);
    if (probe != 1) return ModFailLoad(probe == -255 ? kModLoadFailed : kModUnknownFormat);
    const int id = music_id(name);
    if (id == 0) return ModFailLoad(kModLoadFailed);
    if (!ModuleComplete(data.data(), data.size())) {
        music_free(id);
        return ModFailLoad(kModLoadFailed);
    }
    ModSong* song = new (std::nothrow) ModSong{id, music_seconds(name)};
    if (song == nullptr) return ModFailLoad(kModOutOfMemory);
    ModSucceed();
    return song;
}

signed char FMUSIC_PlaySong(FMUSIC_MODULE* mod) {
    if (mod == nullptr) return ModFail(kModInvalidParam);
    if (!output_open) return ModFail(kModNotInitialised);
    music_play(mod->id);
    playing = mod;
    ModSucceed();
    return 1;
}

signed char FMUSIC_FreeSong(FMUSIC_MODULE* mod) {
    if (mod == nullptr) return ModFail(kModInvalidParam);
    if (playing == mod) playing = nullptr;
    music_free(mod->id);
    delete mod;
    return 1;
}

signed char FMUSIC_SetPaused(FMUSIC_MODULE* mod, signed char pause) {
    if (mod == nullptr) return ModFail(kModInvalidParam);
    if (!output_open) return ModFail(kModNotInitialised);
    if (mod != playing) return ModFail(kModInvalidParam);
    music_pause(pause != 0 ? 1 : 0);
    ModSucceed();
    return 1;
}

signed char ModSetPositionMs(FMUSIC_MODULE* mod, int32_t ms) {
    if (mod == nullptr || ms < 0) return ModFail(kModInvalidParam);
    if (!output_open) return ModFail(kModNotInitialised);
    if (mod != playing) return ModFail(kModInvalidParam);
    music_seek(static_cast<int>(ms));
    ModSucceed();
    return 1;
}

signed char FMUSIC_SetMasterVolume(FMUSIC_MODULE* mod, int volume) {
    if (mod == nullptr || volume < 0 || volume > 256) return ModFail(kModInvalidParam);
    if (!output_open) return ModFail(kModNotInitialised);
    music_volume(volume / 256.0);
    ModSucceed();
    return 1;
}

void FSOUND_Close() {
    if (!output_open) return;
    music_close();
    playing = nullptr;
    output_open = false;
}

// No offline rendering on the page: the capture tool renders natively.
size_t ModRenderPcm(FMUSIC_MODULE*, int32_t, int16_t*, size_t) {
    return 0;
}

double ModLengthSeconds(FMUSIC_MODULE* mod) {
    return mod == nullptr ? 0.0 : mod->seconds;
}

// The position the listener hears now, by the output device's clock.
double ModPositionSeconds(FMUSIC_MODULE* mod) {
    return mod != nullptr && mod == playing ? music_position() : 0.0;
}
