#!/bin/sh
# Runs the X display tests of the test program (the argument) on a 1920 x 1080 Xvfb screen,
# where Debian's Mesa offers GLX through llvmpipe. Without xvfb-run (packages xvfb and xauth)
# the check is skipped with status 77.
set -eu
tests=$1
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "xvfb-run not found (apt-get install xvfb xauth): OpenGL output not checked"
    exit 77
fi
# Under the sanitizers, leaks inside Xlib are not ours.
export LSAN_OPTIONS="suppressions=$(dirname "$0")/x11_leaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# -a: a free display number. -noreset: SDL 1.2 probes the display with a connection of its
# own, and a server that resets when its last client leaves can refuse the next one.
exec xvfb-run -a -s "-screen 0 1920x1080x24 -noreset -nolisten tcp" \
    env SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy ZARVELIN_TEST_SCREEN=1920x1080 "$tests" --gtest_filter='Plans/GlOutput.*:XDisplay.*'
