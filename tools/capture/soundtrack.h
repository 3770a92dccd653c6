// The soundtrack of a capture: the music module rendered offline through the module player,
// in step with the virtual clock.
#pragma once
#include <cstdint>
#include <string>

#include "video.h"

struct ModSong; // a module loaded by the module player

namespace capture {

constexpr int kSoundRate = 44100; // the rate the show's sound output runs at
// The module file to use: given when not empty, else the show's module where the program
// looks for it (sound/module_search.h). Empty when none exists.
std::string FindModule(const std::string& given);
// The same, empty with a message naming what needs it when there is none.
std::string NeedModule(const std::string& given, const std::string& what, std::string& error);

class Soundtrack {
  public:
    Soundtrack() = default;
    Soundtrack(const Soundtrack&) = delete;
    Soundtrack& operator=(const Soundtrack&) = delete;
    ~Soundtrack();

    bool Open(const std::string& module, std::string& error);
    // Moves past the samples of show time [0, to_ms) without writing them: the music then
    // goes on exactly as a render from the start does.
    void Skip(uint32_t to_ms);
    // Appends the stereo samples of show time [from_ms, to_ms) to wav. Sample positions are
    // floor(ms * rate / 1000), so consecutive spans join without a gap or overlap.
    bool Render(uint32_t from_ms, uint32_t to_ms, WavWriter& wav);

  private:
    ModSong* mod_ = nullptr;
    int16_t block_[2 * 4096];
};

// The soundtrack written frame by frame into a WAV file.
class SoundtrackWav {
  public:
    // The file begins with the samples at show time from_ms.
    bool Open(const std::string& module, const std::string& wav, uint32_t from_ms, std::string& error);
    // The samples of show time [from_ms, to_ms).
    bool Add(uint32_t from_ms, uint32_t to_ms, std::string& error);
    bool Close(std::string& error);

  private:
    Soundtrack sound_;
    WavWriter wav_;
    std::string path_;
};

// --audio: the soundtrack alone, a WAV written as the show runs, or FLAC made from it at the end.
class AudioOutput {
  public:
    // Before start-up: the module, ffmpeg for FLAC, a file that can be written. False with a message.
    bool Check(const std::string& file, const std::string& module, std::string& error);
    // The file begins at show time from_ms.
    bool Start(uint32_t from_ms, std::string& error);
    bool AddFrame(uint32_t show_ms, uint32_t step, std::string& error);
    // Completes the file when ok; always removes the intermediate files.
    bool Finish(bool ok, std::string& error);

  private:
    std::string file_;
    std::string module_;
    std::string ffmpeg_; // set for FLAC
    std::string wav_file_;
    SoundtrackWav sound_;
};

} // namespace capture
