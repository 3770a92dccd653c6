#include "soundtrack.h"

#include "modplayer/modplayer.h"
#include "sound/module_search.h"

namespace capture {

std::string FindModule(const std::string& given) {
    return given.empty() ? LocateModule(ModuleDirs()) : given;
}

Soundtrack::~Soundtrack() {
    if (mod_ != nullptr) FMUSIC_FreeSong(mod_);
}

bool Soundtrack::Open(const std::string& module, std::string& error) {
    mod_ = FMUSIC_LoadSong(module.c_str());
    if (mod_ == nullptr) {
        error =
            "cannot load the music module '" + module + "' (error " + std::to_string(FSOUND_GetError()) + ")";
        return false;
    }
    return true; // a fresh load renders from the module's beginning
}

bool Soundtrack::Render(uint32_t from_ms, uint32_t to_ms, WavWriter& wav) {
    const uint64_t first = uint64_t{from_ms} * kSoundRate / 1000;
    const uint64_t last = uint64_t{to_ms} * kSoundRate / 1000;
    uint64_t left = last > first ? last - first : 0;
    while (left > 0) {
        const size_t want = left < 4096 ? static_cast<size_t>(left) : 4096;
        size_t got = ModRenderPcm(mod_, kSoundRate, block_, want);
        // A module that has ended continues as silence.
        for (size_t i = 2 * got; i < 2 * want; i++)
            block_[i] = 0;
        got = want;
        if (!wav.Write(block_, got)) return false;
        left -= got;
    }
    return true;
}

} // namespace capture
