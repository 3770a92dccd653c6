// The seven sound calls for the page, silent: every call succeeds and nothing plays.
#include "modplayer/modplayer.h"

struct ModSong {
    bool playing;
};

namespace {
ModSong song{false};
bool open = false;
int last_error = kModOk;

signed char Fail(int code) {
    last_error = code;
    return 0;
}
} // namespace

float FSOUND_GetVersion() {
    return 3.74f;
}

signed char FSOUND_Init(int mixrate, int maxchannels, unsigned int flags) {
    (void)maxchannels;
    (void)flags;
    if (open) return Fail(kModAlreadyInitialised);
    if (mixrate <= 0) return Fail(kModInvalidParam);
    open = true;
    last_error = kModOk;
    return 1;
}

int FSOUND_GetError() {
    return last_error;
}

FMUSIC_MODULE* FMUSIC_LoadSong(const char* name) {
    if (!open) {
        Fail(kModNotInitialised);
        return nullptr;
    }
    if (name == nullptr) {
        Fail(kModInvalidParam);
        return nullptr;
    }
    song.playing = false;
    return &song;
}

signed char FMUSIC_PlaySong(FMUSIC_MODULE* m) {
    if (m == nullptr) return Fail(kModInvalidParam);
    m->playing = true;
    return 1;
}

signed char FMUSIC_FreeSong(FMUSIC_MODULE* m) {
    if (m == nullptr) return Fail(kModInvalidParam);
    m->playing = false;
    return 1;
}

void FSOUND_Close() {
    open = false;
}
