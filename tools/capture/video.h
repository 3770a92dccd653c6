// Video output: frames piped to ffmpeg beside a soundtrack WAV.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "child_process.h"

namespace capture {

// Interleaved signed 16-bit PCM written as a canonical WAV file, block by block; the
// sizes in the header are filled in by Close.
class WavWriter {
  public:
    WavWriter() = default;
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;
    ~WavWriter();

    bool Open(const std::string& path, int channels, int rate);
    bool Write(const int16_t* samples, size_t frames);
    // False if any write failed or the data outgrew the format's 4 GB.
    bool Close();

  private:
    std::FILE* file_ = nullptr;
    int channels_ = 0;
    int rate_ = 0;
    uint64_t data_bytes_ = 0;
    bool ok_ = true;
};

// One ffmpeg process reading 320 x 240 frames on its standard input and encoding them as
// its arguments say (encoding.h).
class VideoEncoder {
  public:
    VideoEncoder() = default;
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;
    ~VideoEncoder();

    bool Start(const std::string& ffmpeg, const std::vector<std::string>& args, std::string& error);
    // 76800 pixels 0x00RRGGBB, rows top to bottom.
    bool WriteFrame(const uint32_t* pixels);
    // Ends the input and waits for ffmpeg; false when it failed.
    bool Finish(std::string& error);

  private:
    ChildProcess ffmpeg_;
};

// Runs ffmpeg to completion with the given arguments (after the program name); false with
// a message when it cannot be started or fails.
bool RunFfmpeg(const std::string& ffmpeg, const std::vector<std::string>& args, std::string& error);

} // namespace capture
