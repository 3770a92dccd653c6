#include "headless/options.h"

#include "headless/seek.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>
#include <utility>

namespace headless {
namespace {

// Decimal digits only, no sign, no spaces, within [lo, hi].
bool ParseUnsigned(const std::string& text, uint32_t lo, uint32_t hi, uint32_t& value) {
    if (text.empty() || text.size() > 10) return false;
    uint64_t v = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || ptr != end || v < lo || v > hi) return false;
    value = static_cast<uint32_t>(v);
    return true;
}

// Longest show time a request or --until may name: far beyond the show, well inside int32_t.
constexpr uint32_t kMaxMs = 100000000;

// A value in a message, cut short when long (an address can be megabytes). Appended rather
// than "'" + ...: g++ 12 at -O3 wrongly warns (-Wrestrict) about that.
std::string Quoted(const std::string& value) {
    constexpr size_t kShown = 60;
    std::string text(1, '\'');
    text.append(value, 0, kShown);
    if (value.size() <= kShown) return text.append(1, '\'');
    return text.append("...' (").append(std::to_string(value.size())).append(" characters)");
}

enum class ListResult { Ok, Malformed, TooMany };

// ParseFrameList, stopping once the list names more than max_frames distinct frames.
ListResult ParseFrames(const std::string& text, std::vector<FrameRequest>& out, size_t max_frames) {
    std::set<std::pair<int32_t, int32_t>> known;
    for (const FrameRequest& r : out)
        known.insert({r.part, r.prticks});
    size_t begin = 0;
    while (true) {
        const size_t comma = text.find(',', begin);
        const std::string item =
            text.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
        const size_t colon = item.find(':');
        if (colon == std::string::npos) return ListResult::Malformed;
        uint32_t p = 0;
        uint32_t t = 0;
        if (!ParseUnsigned(item.substr(0, colon), 0, 8, p)) return ListResult::Malformed;
        if (!ParseUnsigned(item.substr(colon + 1), 0, kMaxMs, t)) return ListResult::Malformed;
        const FrameRequest r{static_cast<int32_t>(p), static_cast<int32_t>(t)};
        if (known.insert({r.part, r.prticks}).second) {
            if (out.size() == max_frames) return ListResult::TooMany;
            out.push_back(r);
        }
        if (comma == std::string::npos) return ListResult::Ok;
        begin = comma + 1;
    }
}

} // namespace

bool ParseFrameList(const std::string& text, std::vector<FrameRequest>& out) {
    return ParseFrames(text, out, SIZE_MAX) == ListResult::Ok;
}

namespace {

struct NamedSize {
    const char* name;
    FrameSize size;
};
constexpr NamedSize kSizes[] = {
    {"480p", {640, 480}},    {"720p", {1280, 720}},   {"1080p", {1920, 1080}},
    {"1440p", {2560, 1440}}, {"2160p", {3840, 2160}},
};

// The combinations of the output options that cannot be carried out; empty when they can.
std::string OutputConflict(const Options& o, bool size_given) {
    if (size_given && o.video.empty()) return "--size sets the size of a video: it needs --video FILE";
    if (size_given && (o.all || !o.at.empty()))
        return "--size is for the video only: --at and --all always write 320 x 240 pictures";
    if (o.lossless && o.video.empty()) return "--lossless needs --video FILE.mkv";
    if (o.lossless && !HasExtension(o.video, ".mkv"))
        return "--lossless writes Matroska: name the video FILE.mkv, not '" + o.video + "'";
    if (!o.video.empty() && !HasExtension(o.video, ".mp4") && !HasExtension(o.video, ".mkv"))
        return "--video writes .mp4 or .mkv files, not '" + o.video + "'";
    if (!o.audio.empty() && !HasExtension(o.audio, ".wav") && !HasExtension(o.audio, ".flac"))
        return "--audio writes .wav or .flac files, not '" + o.audio + "'";
    return {};
}

} // namespace

bool HasExtension(const std::string& file, const std::string& extension) {
    if (file.size() <= extension.size()) return false;
    const size_t start = file.size() - extension.size();
    for (size_t i = 0; i < extension.size(); i++) {
        if (std::tolower(static_cast<unsigned char>(file[start + i])) != extension[i]) return false;
    }
    return true;
}

bool ParseFrameSize(const std::string& name, FrameSize& size) {
    for (const NamedSize& s : kSizes) {
        if (name == s.name) {
            size = s.size;
            return true;
        }
    }
    return false;
}

ParseResult ParseOptions(const std::vector<std::string>& args, size_t max_frames) {
    ParseResult result;
    Options& o = result.options;
    bool size_given = false;
    auto fail = [&result](const std::string& message) {
        result.action = Action::Error;
        result.error = message;
        return result;
    };
    for (size_t i = 0; i < args.size(); i++) {
        std::string name = args[i];
        std::string value;
        bool has_value = false;
        if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            has_value = true;
        }
        const bool takes_value = name == "--step" || name == "--until" || name == "--from" || name == "--at" || name == "--out" ||
                                 name == "--video" || name == "--module" || name == "--size" ||
                                 name == "--audio";
        if (takes_value && !has_value) {
            if (i + 1 >= args.size()) return fail(name + " needs a value");
            value = args[++i];
        } else if (!takes_value && has_value) {
            return fail(name + " takes no value");
        }

        if (name == "--help" || name == "-h") {
            result.action = Action::Help;
            return result;
        } else if (name == "--step") {
            if (!ParseUnsigned(value, 1, 60000, o.step))
                return fail("--step needs whole milliseconds from 1 to 60000, not " + Quoted(value));
        } else if (name == "--until") {
            if (!ParseUnsigned(value, 1, kMaxMs, o.until))
                return fail("--until needs whole milliseconds from 1 to " + std::to_string(kMaxMs) +
                            ", not " + Quoted(value));
        } else if (name == "--from") {
            if (!ParseUnsigned(value, 0, static_cast<uint32_t>(ShowLengthMs()), o.from) ||
                o.from % kSeekStepMs != 0)
                return fail("--from needs a show time in whole milliseconds, a multiple of " +
                            std::to_string(kSeekStepMs) + " from 0 to " + std::to_string(ShowLengthMs()) +
                            ", not " + Quoted(value));
        } else if (name == "--chapters") {
            o.chapters = true;
        } else if (name == "--at") {
            const ListResult list = ParseFrames(value, o.at, max_frames);
            if (list == ListResult::TooMany)
                return fail("--at asks for more than " + std::to_string(max_frames) +
                            " frames; ask for at most " + std::to_string(max_frames) + " at a time");
            if (list == ListResult::Malformed)
                return fail("--at needs PART:MS[,PART:MS...] with PART 0 to 8 and MS a whole number, not " +
                            Quoted(value));
        } else if (name == "--out") {
            if (value.empty()) return fail("--out needs a directory");
            o.out = value;
        } else if (name == "--video") {
            if (value.empty()) return fail("--video needs a file name");
            o.video = value;
        } else if (name == "--size") {
            if (!ParseFrameSize(value, o.size))
                return fail("unknown size '" + value + "': use 480p, 720p, 1080p, 1440p or 2160p");
            size_given = true;
        } else if (name == "--lossless") {
            o.lossless = true;
        } else if (name == "--audio") {
            if (value.empty()) return fail("--audio needs a file name");
            o.audio = value;
        } else if (name == "--module") {
            if (value.empty()) return fail("--module needs a file name");
            o.module = value;
        } else if (name == "--all") {
            o.all = true;
        } else if (name == "--bench") {
            o.bench = true;
        } else if (name == "--list") {
            o.list = true;
        } else if (name == "--quiet") {
            o.quiet = true;
        } else {
            return fail("unknown option " + Quoted(args[i]));
        }
    }
    // Every frame of a part lies on a multiple of the step, so other times are never drawn.
    for (const FrameRequest& r : o.at) {
        if (static_cast<uint32_t>(r.prticks) % o.step != 0) {
            return fail("--at " + std::to_string(r.part) + ":" + std::to_string(r.prticks) +
                        " is never drawn: part times are multiples of the step (" + std::to_string(o.step) +
                        " ms)");
        }
    }
    if (o.from != 0 && o.step != static_cast<uint32_t>(kSeekStepMs))
        return fail("--from replays the show on its " + std::to_string(kSeekStepMs) +
                    " ms clock: it needs the default step");
    if (o.until != 0 && o.until <= o.from)
        return fail("--until " + std::to_string(o.until) + " ends before --from " + std::to_string(o.from));
    if (std::string conflict = OutputConflict(o, size_given); !conflict.empty()) return fail(conflict);
    return result;
}

const char* Usage() {
    return "usage: zarvelin-capture [options]\n"
           "Renders the show without a window or sound output on a virtual clock that advances\n"
           "exactly STEP milliseconds at every presented frame, so identical options give\n"
           "identical frames.\n"
           "\n"
           "  --step MS            virtual milliseconds per frame, 1 to 60000 (default 20)\n"
           "  --at P:T[,P:T...]    write the frame of part P (0 to 8) at part time T (a multiple\n"
           "                       of STEP) as DIR/pP_tT.raw (76800 16-bit little-endian\n"
           "                       pixels in frame-buffer order) and DIR/pP_tT.png (320 x 240\n"
           "                       as the window shows it)\n"
           "  --out DIR            directory for --at and --all (default: working directory)\n"
           "  --all                write every frame as DIR/frame_NNNNNN.png\n"
           "  --video FILE         encode the show with its soundtrack through ffmpeg, 1000/STEP\n"
           "                       frames per second: FILE.mp4 or FILE.mkv as H.264 (preset\n"
           "                       veryfast, CRF 18, yuv420p) with AAC at 256 kbit/s, ready to\n"
           "                       upload\n"
           "  --size SIZE          the video's frame: 480p (640 x 480, the default), 720p\n"
           "                       (1280 x 720), 1080p (1920 x 1080), 1440p (2560 x 1440) or\n"
           "                       2160p (3840 x 2160); the 320 x 240 picture at the largest\n"
           "                       whole scale that fits (2, 3, 4, 6 or 9), pixels repeated,\n"
           "                       centred on black\n"
           "  --lossless           the video as a lossless master: FILE.mkv with FFV1 and FLAC,\n"
           "                       320 x 240 unless --size says otherwise\n"
           "  --audio FILE         the soundtrack alone as FILE.wav or FILE.flac (16-bit stereo\n"
           "                       at 44100 Hz), the samples the video carries\n"
           "  --module FILE        music module for --video and --audio (default:\n"
           "                       velkantoria.mod in the working directory, else beside\n"
           "                       this program, else the installed data folder, as\n"
           "                       zarvelin finds it)\n"
           "  --bench              print draw and presentation times per part and the show's\n"
           "                       hash\n"
           "  --from MS            start at show time MS (a multiple of 20, up to 227840):\n"
           "                       frames, video and soundtrack begin there, the show before\n"
           "                       it played unseen on the 20 ms clock; with --until, a clip\n"
           "  --until MS           stop after MS milliseconds of show time\n"
           "  --chapters           print the show's chapters as 'm:ss Name' lines (as video\n"
           "                       sites read them from a description) and exit; videos carry\n"
           "                       them as container chapters\n"
           "  --list               print 'frame N part P prticks T show_ms M' per frame\n"
           "  --quiet              no progress bar on standard error\n"
           "  -h, --help           this text\n"
           "\n"
           "At the end it prints 'encode seconds S speed X' after a video or a soundtrack (X:\n"
           "show time over the run's time), then 'frames N show_ms M'. Exit status: 0 done,\n"
           "1 failure (a frame asked for never drawn, the module unreadable, ffmpeg missing\n"
           "or failing, a file that cannot be written), 2 bad options or an unusable --out\n"
           "directory.\n";
}

} // namespace headless
