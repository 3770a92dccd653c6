// What ffmpeg is asked to make: the frame size of a video and the picture's place in it, the
// encoders and their settings, as the arguments of each ffmpeg run (video.cpp runs them).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "headless/options.h"

namespace capture {

// The 320 x 240 picture in a video frame: every pixel repeated scale x scale times, the
// picture's top-left corner at x, y, black around it.
struct Placement {
    uint32_t width = 320;
    uint32_t height = 240;
    uint32_t scale = 1;
    uint32_t x = 0;
    uint32_t y = 0;
    bool operator==(const Placement&) const = default;
};
// The largest whole-number scale that fits the frame (at least 320 x 240), centred.
Placement PlacePicture(headless::FrameSize frame);

// H.264 for uploads; the lossless master is FFV1 with FLAC.
struct VideoFormat {
    bool lossless = false;
    Placement place;
    uint32_t step = 20;            // frames per second: 1000 / step
    std::string container = "mp4"; // ffmpeg's muxer, from the file's extension
};
// The format the options ask of --video.
VideoFormat ChooseVideoFormat(const headless::Options& options);

// The preset that encodes the whole show at 1080p faster than it plays, on two cores.
constexpr const char* kX264Preset = "veryfast";

// ffmpeg arguments (after the program name), each run quiet and overwriting its output.
// Encoding: 320 x 240 frames of 0x00RRGGBB words (as they lie in memory) on standard input
// into the video stream of `frames`, a Matroska file.
std::vector<std::string> EncodeArgs(const VideoFormat& format, const std::string& frames);
// Muxing: that video stream copied and the soundtrack WAV encoded beside it into `out`, with
// the chapters of an ffmetadata file.
std::vector<std::string> MuxArgs(const VideoFormat& format, const std::string& frames, const std::string& wav,
                                 const std::string& chapters, const std::string& out);
// The show's chapters as ffmetadata for a video of show time [from_ms, end_ms): times in
// milliseconds from the video's start, the chapter under its first frame starting at 0, the
// last ending with the video.
std::string ChapterMetadata(uint32_t from_ms, uint32_t end_ms);
// A WAV into a FLAC file, samples unchanged.
std::vector<std::string> FlacArgs(const std::string& wav, const std::string& out);

} // namespace capture
