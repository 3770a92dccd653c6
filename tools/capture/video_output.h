// --video: the frames encoded during the show, the soundtrack rendered beside them frame by
// frame, both put together at the end.
#pragma once
#include <cstdint>
#include <string>

#include "soundtrack.h"
#include "video.h"

namespace capture {

class VideoOutput {
  public:
    // Before start-up: finds ffmpeg and the module. Returns 0, or the exit status with a message.
    int Check(const std::string& file, const std::string& module, std::string& error);
    bool Start(uint32_t step, std::string& error);
    // One frame of the show at show_ms: 76800 pixels 0x00RRGGBB, rows top to bottom.
    bool AddFrame(const uint32_t* picture, uint32_t show_ms, std::string& error);
    // Completes the file when ok; always removes the intermediate files.
    bool Finish(bool ok, std::string& error);

  private:
    std::string file_;
    std::string ffmpeg_;
    std::string module_;
    std::string frames_file_;
    std::string wav_file_;
    uint32_t step_ = 20;
    VideoEncoder encoder_;
    Soundtrack soundtrack_;
    WavWriter wav_;
};

} // namespace capture
