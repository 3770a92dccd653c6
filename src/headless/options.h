// Command line of zarvelin-capture.
#pragma once
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

struct Options {
    uint32_t step = 20; // virtual milliseconds per presented frame
    uint32_t until = 0; // stop once this much show time has been rendered; 0: whole show
    std::vector<FrameRequest> at;
    std::string out = ".";
    bool all = false;   // every frame as a numbered PNG
    std::string video;  // output file; empty: no video
    std::string module; // music module for the video; empty: look it up
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

// args excludes the program name.
ParseResult ParseOptions(const std::vector<std::string>& args);
// Parses "P:T[,P:T...]" into requests; false on any malformed entry.
bool ParseFrameList(const std::string& text, std::vector<FrameRequest>& out);
// Text printed by --help.
const char* Usage();

} // namespace headless
