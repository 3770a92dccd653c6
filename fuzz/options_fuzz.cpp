// The option parser that zarvelin-capture and the page share, on argument lists made from
// the bytes: arguments are separated by NUL bytes. Whatever the list, the parser either
// refuses it with a message or gives options within their stated ranges.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "headless/options.h"

namespace {
void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckOptions(const headless::Options& o, size_t limit) {
    Require(o.step >= 1 && o.step <= 60000);
    Require(o.until <= 100000000);
    Require(o.at.size() <= limit);
    std::set<std::pair<int32_t, int32_t>> seen;
    for (const headless::FrameRequest& r : o.at) {
        Require(r.part >= 0 && r.part <= 8);
        Require(r.prticks >= 0 && r.prticks <= 100000000);
        Require(static_cast<uint32_t>(r.prticks) % o.step == 0);
        Require(seen.insert({r.part, r.prticks}).second); // each frame once
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> args;
    size_t begin = 0;
    while (begin <= bytes.size()) {
        const size_t end = std::min(bytes.find('\0', begin), bytes.size());
        args.push_back(bytes.substr(begin, end - begin));
        begin = end + 1;
    }
    if (size == 0) args.clear();

    // As the capture tool parses its command line, and as the page parses its address.
    for (const size_t limit : {SIZE_MAX, headless::kPageFrameLimit}) {
        const headless::ParseResult result = headless::ParseOptions(args, limit);
        if (result.action == headless::Action::Run)
            CheckOptions(result.options, limit);
        else if (result.action == headless::Action::Error)
            Require(!result.error.empty());
    }

    // The frame list alone: what it accepts, it accepts whole and once per frame.
    std::vector<headless::FrameRequest> list;
    if (headless::ParseFrameList(bytes, list)) {
        Require(!list.empty());
        headless::Options o;
        o.step = 1;
        o.at = list;
        CheckOptions(o, SIZE_MAX);
    }
    return 0;
}
