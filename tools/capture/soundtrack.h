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

class Soundtrack {
  public:
    Soundtrack() = default;
    Soundtrack(const Soundtrack&) = delete;
    Soundtrack& operator=(const Soundtrack&) = delete;
    ~Soundtrack();

    bool Open(const std::string& module, std::string& error);
    // Appends the stereo samples of show time [from_ms, to_ms) to wav. Sample positions are
    // floor(ms * rate / 1000), so consecutive spans join without a gap or overlap.
    bool Render(uint32_t from_ms, uint32_t to_ms, WavWriter& wav);

  private:
    ModSong* mod_ = nullptr;
    int16_t block_[2 * 4096];
};

} // namespace capture
