// Command line of zarvelin-capture.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace headless {

// One frame asked for with --at: the part and its prticks.
struct FrameRequest {
    int32_t part;
    int32_t prticks;
    bool operator==(const FrameRequest&) const = default;
};

// A video frame's size in pixels.
struct FrameSize {
    uint32_t width = 0;
    uint32_t height = 0;
    bool operator==(const FrameSize&) const = default;
};

struct Options {
    uint32_t step = 20; // virtual milliseconds per presented frame
    uint32_t until = 0; // stop once this much show time has been rendered; 0: whole show
    uint32_t from = 0;  // show time of the first frame; the show before it is replayed unseen
    bool chapters = false; // print the chapters as "m:ss Name" lines instead of rendering
    std::vector<FrameRequest> at;
    std::string out = ".";
    bool all = false;      // every frame as a numbered PNG
    std::string video;     // output file; empty: no video
    FrameSize size;        // --size; 0 x 0: the video's own (640 x 480, lossless 320 x 240)
    bool lossless = false; // the video as FFV1 with FLAC in Matroska
    std::string audio;     // the soundtrack alone (.wav or .flac); empty: none
    std::string module;    // music module for the video and the soundtrack; empty: look it up
    bool bench = false;
    bool list = false;  // one line per frame on standard output
    bool quiet = false; // no progress bar
};

enum class Action { Run, Help, Error };

struct ParseResult {
    Action action = Action::Run;
    Options options;
    std::string error; // set with Action::Error
};

// The most frames one address of the page may ask for: the page keeps every requested frame
// (150 KB each) until it is closed, so no link can make a tab grow past about 45 MB.
constexpr size_t kPageFrameLimit = 300;

// args excludes the program name. More than max_frames distinct frames for --at are refused.
ParseResult ParseOptions(const std::vector<std::string>& args, size_t max_frames = SIZE_MAX);
// Parses "P:T[,P:T...]" into requests, each frame once in order of first mention; false on
// any malformed entry.
bool ParseFrameList(const std::string& text, std::vector<FrameRequest>& out);
// The frame size a --size name stands for ("480p" ... "2160p"); false for any other name.
bool ParseFrameSize(const std::string& name, FrameSize& size);
// True when the file's name ends in extension (given in lower case, with its dot), in any case.
bool HasExtension(const std::string& file, const std::string& extension);
// Text printed by --help.
const char* Usage();

} // namespace headless
