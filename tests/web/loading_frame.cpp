// loading_frame FILE: writes the last loading-bar picture of the show's start-up, as the
// web page hands it over, for the browser check: 76800 16-bit little-endian pixels in
// frame-buffer order.
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
    unsigned char bytes[sizeof last];
    for (int i = 0; i < kFramePixels; i++) {
        bytes[2 * i] = static_cast<unsigned char>(last[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<unsigned char>(last[i] >> 8);
    }
    std::FILE* f = std::fopen(argv[1], "wb");
    const bool ok = f != nullptr && std::fwrite(bytes, 1, sizeof bytes, f) == sizeof bytes;
    if (f != nullptr && std::fclose(f) != 0) return 1;
    return ok ? 0 : 1;
}
