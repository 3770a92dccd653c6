// zarvelin-capture: the show rendered without a window on a virtual clock.
#include <cstdio>
#include <string>
#include <vector>

#include "capture.h"
#include "options.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const capture::ParseResult parsed = capture::ParseOptions(args);
    switch (parsed.action) {
    case capture::Action::Help:
        std::fputs(capture::Usage(), stdout);
        return 0;
    case capture::Action::Error:
        std::fprintf(stderr, "zarvelin-capture: %s\n(see zarvelin-capture --help)\n", parsed.error.c_str());
        return 2;
    case capture::Action::Run:
        break;
    }
    return capture::RunCapture(parsed.options);
}
