// zarvelin-capture: the show rendered without a window on a virtual clock.
#include <cstdio>
#include <string>
#include <vector>

#include "capture.h"
#include "headless/options.h"
#include "headless/seek.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const headless::ParseResult parsed = headless::ParseOptions(args);
    switch (parsed.action) {
    case headless::Action::Help:
        std::fputs(headless::Usage(), stdout);
        return 0;
    case headless::Action::Error:
        std::fprintf(stderr, "zarvelin-capture: %s (see zarvelin-capture --help)\n", parsed.error.c_str());
        return 2;
    case headless::Action::Run:
        break;
    }
    if (parsed.options.chapters) {
        for (const headless::Chapter& c : headless::Chapters())
            std::printf("%s %s\n", headless::MinutesSeconds(c.start_ms).c_str(), c.name);
        return 0;
    }
    return capture::RunCapture(parsed.options);
}
