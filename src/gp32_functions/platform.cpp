// The platform state and the calls every platform shares: the clock and presentation hooks
// and the button mask over the platform's own key events.
#include "gp32_functions/gp32_functions.h"

void* GpScreen[3] = {nullptr, nullptr, nullptr};
int32_t vfirst = 0;
int32_t cur_bpp = 0;
int32_t scale = 0;
int32_t fullscreen = 0;
int32_t window_scale = 0;
uint32_t gp_palette[256];

int32_t keys[512];
int32_t quit = 0;

namespace {
TickSource tick_source = nullptr;
PresentHook present_hook = nullptr;
} // namespace

void GpSurfaceFlip(const LcdSurface* s, int wait) {
    if (present_hook != nullptr) present_hook(s);
    PlatformPresent(s, wait);
}

int GpKeyGet() {
    KeyCommands();
    return ButtonMask();
}

uint32_t GpTickCountGet() {
    return tick_source != nullptr ? tick_source() : PlatformTicks();
}

void GpSetTickSource(TickSource source) {
    tick_source = source;
}

TickSource GpGetTickSource() {
    return tick_source;
}

void GpSetPresentHook(PresentHook hook) {
    present_hook = hook;
}
