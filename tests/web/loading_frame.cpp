// loading_frame FILE: writes the last loading-bar picture of the show's start-up, as the
// web page hands it over, for the browser check: 76800 16-bit little-endian pixels in
// frame-buffer order.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frame_files.h"
#include "zarvelin/zarvelin.h"

namespace {
uint16_t last[kFramePixels];

void Keep(const LcdSurface* s) {
    std::memcpy(last, s->buffer, sizeof last);
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: loading_frame FILE\n");
        return 2;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    GpSetPresentHook(Keep);
    if (SetupDisplay(2) != 0) return 1;
    LoadingScreen();
    return capture::WriteRaw(argv[1], last) ? 0 : 1;
}
