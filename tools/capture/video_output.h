// --video: the frames encoded during the show, the soundtrack rendered beside them frame by
// frame, both put together at the end.
#pragma once
#include <cstdint>
#include <string>

#include "encoding.h"
#include "headless/options.h"
#include "soundtrack.h"
#include "video.h"

namespace capture {

class VideoOutput {
  public:
    // Before start-up: a file that can be written, ffmpeg and the module. False with a message.
    bool Check(const headless::Options& options, std::string& error);
    bool Start(std::string& error);
    // One frame of the show at show_ms: 76800 pixels 0x00RRGGBB, rows top to bottom.
    bool AddFrame(const uint32_t* picture, uint32_t show_ms, std::string& error);
    // Completes the file when ok; always removes the intermediate files.
    bool Finish(bool ok, std::string& error);

  private:
    VideoFormat format_;
    std::string file_;
    std::string ffmpeg_;
    std::string module_;
    std::string frames_file_;
    std::string wav_file_;
    std::string chapters_file_;
    uint32_t from_ = 0;
    uint32_t end_ = 0; // show time just past the last frame
    VideoEncoder encoder_;
    SoundtrackWav soundtrack_;
};

} // namespace capture
