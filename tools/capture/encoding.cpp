#include "encoding.h"

#include <algorithm>
#include <bit>

#include "headless/seek.h"

namespace capture {
namespace {

const std::vector<std::string> kQuiet = {"-hide_banner", "-loglevel", "error", "-nostats", "-y"};

// The filters from the 320 x 240 frames to the video's frame: a nearest-neighbour scale (in
// ffmpeg it costs far less than piping the large frames), then the black border. Pixel
// format and colour matrix are set in the scale itself, so the pixels are converted once.
std::string Filters(const VideoFormat& f) {
    const Placement& p = f.place;
    if (p.scale == 1 && f.lossless) return {}; // the frames as they come
    std::string chain =
        "scale=iw*" + std::to_string(p.scale) + ":ih*" + std::to_string(p.scale) + ":flags=neighbor";
    if (f.lossless) {
        chain += ",format=bgr0";
    } else {
        // HD sizes in BT.709, as players take HD; 640 x 480 keeps BT.601, as before.
        if (p.height > 480) chain += ":out_color_matrix=bt709";
        chain += ":out_range=tv,format=yuv420p";
    }
    if (p.width != 320 * p.scale || p.height != 240 * p.scale) {
        chain += ",pad=" + std::to_string(p.width) + ":" + std::to_string(p.height) + ":" +
                 std::to_string(p.x) + ":" + std::to_string(p.y) + ":black";
    }
    return chain;
}

void Append(std::vector<std::string>& args, std::initializer_list<std::string> more) {
    args.insert(args.end(), more.begin(), more.end());
}

} // namespace

Placement PlacePicture(headless::FrameSize frame) {
    Placement p;
    p.width = frame.width < 320 ? 320 : frame.width;
    p.height = frame.height < 240 ? 240 : frame.height;
    p.scale = p.width / 320 < p.height / 240 ? p.width / 320 : p.height / 240;
    p.x = (p.width - 320 * p.scale) / 2;
    p.y = (p.height - 240 * p.scale) / 2;
    return p;
}

VideoFormat ChooseVideoFormat(const headless::Options& o) {
    VideoFormat f;
    f.lossless = o.lossless;
    headless::FrameSize size = o.size;
    if (size.width == 0) size = o.lossless ? headless::FrameSize{320, 240} : headless::FrameSize{640, 480};
    f.place = PlacePicture(size);
    f.step = o.step;
    f.container = headless::HasExtension(o.video, ".mp4") ? "mp4" : "matroska";
    return f;
}

std::vector<std::string> EncodeArgs(const VideoFormat& f, const std::string& frames) {
    const char* const pixel_format = std::endian::native == std::endian::little ? "bgr0" : "0rgb";
    std::vector<std::string> args = kQuiet;
    Append(args, {"-f", "rawvideo", "-pix_fmt", pixel_format, "-video_size", "320x240", "-framerate",
                  "1000/" + std::to_string(f.step), "-i", "pipe:0"});
    if (const std::string filters = Filters(f); !filters.empty()) Append(args, {"-vf", filters});
    if (f.lossless) {
        // The archives' usual FFV1: version 3, every frame a key frame, checksummed slices.
        Append(args, {"-c:v", "ffv1", "-level", "3", "-g", "1", "-slices", "4", "-slicecrc", "1", "-coder",
                      "range_def"});
    } else {
        const char* const colours = f.place.height > 480 ? "bt709" : "smpte170m";
        Append(args,
               {"-c:v", "libx264", "-preset", kX264Preset, "-crf", "18", "-pix_fmt", "yuv420p", "-colorspace",
                colours, "-color_primaries", colours, "-color_trc", colours, "-color_range", "tv"});
    }
    Append(args, {"-f", "matroska", frames});
    return args;
}

std::vector<std::string> MuxArgs(const VideoFormat& f, const std::string& frames, const std::string& wav,
                                 const std::string& chapters, const std::string& out) {
    std::vector<std::string> args = kQuiet;
    Append(args, {"-i", frames, "-i", wav, "-f", "ffmetadata", "-i", chapters, "-map", "0:v", "-map", "1:a",
                  "-map_chapters", "2", "-c:v", "copy"});
    if (f.lossless) {
        Append(args, {"-c:a", "flac"});
    } else {
        Append(args, {"-c:a", "aac", "-b:a", "256k"});
    }
    // The index in front, so that a player or a site can start before the whole file is there.
    if (f.container == "mp4") Append(args, {"-movflags", "+faststart"});
    Append(args, {"-f", f.container, out});
    return args;
}

std::string ChapterMetadata(uint32_t from_ms, uint32_t end_ms) {
    std::string text = ";FFMETADATA1\n";
    const auto& chapters = headless::Chapters();
    for (int i = 0; i < headless::kChapterCount; i++) {
        const uint32_t next =
            i + 1 < headless::kChapterCount ? static_cast<uint32_t>(chapters[i + 1].start_ms) : end_ms;
        const uint32_t start = std::max(static_cast<uint32_t>(chapters[i].start_ms), from_ms);
        const uint32_t end = std::min(next, end_ms);
        if (start >= end) continue;
        text += "[CHAPTER]\nTIMEBASE=1/1000\nSTART=" + std::to_string(start - from_ms) +
                "\nEND=" + std::to_string(end - from_ms) + "\ntitle=" + chapters[i].name + "\n";
    }
    return text;
}

std::vector<std::string> FlacArgs(const std::string& wav, const std::string& out) {
    std::vector<std::string> args = kQuiet;
    Append(args, {"-i", wav, "-c:a", "flac", "-f", "flac", out});
    return args;
}

} // namespace capture
