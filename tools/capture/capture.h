// The headless run: the show's start-up and frame loop on a virtual clock.
#pragma once
#include "headless/options.h"

namespace capture {

// Checks the output paths (2 when one is unusable), then renders the show as the options
// ask. Returns the exit status: 0 done, 1 a failure on the way, 2 unusable output paths.
int RunCapture(const headless::Options& options);

} // namespace capture
