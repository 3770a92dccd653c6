#include "soundtrack.h"

#include <filesystem>
#include <system_error>

#include "headless/options.h"
#include "modplayer/modplayer.h"
#include "encoding.h"
#include "output_file.h"
#include "sound/module_search.h"

namespace capture {

std::string FindModule(const std::string& given) {
    return given.empty() ? LocateModule(ModuleDirs()) : given;
}

std::string NeedModule(const std::string& given, const std::string& what, std::string& error) {
    std::string module = FindModule(given);
    if (module.empty())
        error = what + " needs the music module (see --module): " + ModuleSearchText(ModuleDirs(), "");
    return module;
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

void Soundtrack::Skip(uint32_t to_ms) {
    uint64_t left = uint64_t{to_ms} * kSoundRate / 1000;
    while (left > 0) {
        const size_t want = left < 4096 ? static_cast<size_t>(left) : 4096;
        ModRenderPcm(mod_, kSoundRate, block_, want);
        left -= want;
    }
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

bool SoundtrackWav::Open(const std::string& module, const std::string& wav, uint32_t from_ms,
                         std::string& error) {
    path_ = wav;
    if (!sound_.Open(module, error)) return false;
    sound_.Skip(from_ms);
    if (!wav_.Open(wav, 2, kSoundRate)) {
        error = "cannot write " + wav;
        return false;
    }
    return true;
}

bool SoundtrackWav::Add(uint32_t from_ms, uint32_t to_ms, std::string& error) {
    if (sound_.Render(from_ms, to_ms, wav_)) return true;
    error = "cannot write " + path_;
    return false;
}

bool SoundtrackWav::Close(std::string& error) {
    if (wav_.Close()) return true;
    error = "cannot write " + path_;
    return false;
}

bool AudioOutput::Check(const std::string& file, const std::string& module, std::string& error) {
    if (!CheckWritable(file, error)) return false;
    if (headless::HasExtension(file, ".flac")) {
        ffmpeg_ = NeedFfmpeg("--audio " + file, error);
        if (ffmpeg_.empty()) return false;
    }
    module_ = NeedModule(module, "--audio", error);
    if (module_.empty()) return false;
    file_ = file;
    // A WAV is written in place; FLAC is made from a WAV beside it.
    wav_file_ = ffmpeg_.empty() ? PartialName(file) : file + ".sound.wav";
    return true;
}

bool AudioOutput::Start(uint32_t from_ms, std::string& error) {
    return sound_.Open(module_, wav_file_, from_ms, error);
}

bool AudioOutput::AddFrame(uint32_t show_ms, uint32_t step, std::string& error) {
    return sound_.Add(show_ms, show_ms + step, error);
}

bool AudioOutput::Finish(bool ok, std::string& error) {
    std::string close_error;
    if (!sound_.Close(close_error) && ok) {
        ok = false;
        error = close_error;
    }
    if (ok && !ffmpeg_.empty()) ok = RunFfmpeg(ffmpeg_, FlacArgs(wav_file_, PartialName(file_)), error);
    if (ok) ok = Commit(file_, error);
    std::error_code ignored;
    std::filesystem::remove(wav_file_, ignored);
    std::filesystem::remove(PartialName(file_), ignored);
    return ok;
}

} // namespace capture
