// Loading a module through our sound layer, as the program loads velkantoria.mod: the size
// and truncation checks, then libopenmpt. A module that loads is rendered for a moment and
// released; one that does not leaves one of the load's error codes.
#include <cstdint>
#include <cstdlib>

#include "modplayer/modplayer.h"

namespace {
void Require(bool condition) {
    if (!condition) std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FMUSIC_MODULE* song = ModLoadSongFromMemory(data, size);
    if (song == nullptr) {
        const int error = FSOUND_GetError();
        Require(error == kModUnknownFormat || error == kModLoadFailed || error == kModOutOfMemory);
        return 0;
    }
    Require(FSOUND_GetError() == kModOk);
    // A tenth of a second at the program's rate, as the output's callback renders it.
    static int16_t pcm[2 * 4410];
    Require(ModRenderPcm(song, 44100, pcm, 4410) <= 4410);
    Require(ModLengthSeconds(song) >= 0.0);
    Require(ModPositionSeconds(song) >= 0.0);
    Require(FMUSIC_FreeSong(song) == 1);
    return 0;
}
