// The handheld's video, input and clock calls for the page: frame buffers shown on a
// canvas through ImageData, keys from the browser's keyboard events, the page's clock.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

#include "gp32_functions/convert_tiles.h"
#include "gp32_functions/gp32_functions.h"
#include "gp32_web/gp32_web.h"

namespace {

double clock_start = 0.0; // page time of the first mode set, like SDL starting its clock

// The canvas picture: 320 x 240 RGBA bytes, rows from the top.
uint32_t picture[kFramePixels];
bool picture_new = false;

bool yield_on_present = false;
double last_yield = 0.0;
double wait_until = 0.0;

// Key events between two drains, as SDL would queue them.
struct KeyEvent {
    int32_t sym;
    int32_t down;
};
KeyEvent key_queue[64];
int key_count = 0;

// A frame buffer pixel as canvas bytes R, G, B, 255 (little-endian word).
inline uint32_t Rgb5551ToRgba(uint16_t p) {
    const uint32_t r = (p >> 11) << 3;
    const uint32_t g = ((p >> 6) & 31u) << 3;
    const uint32_t b = ((p >> 1) & 31u) << 3;
    return 0xFF000000u | (b << 16) | (g << 8) | r;
}

inline uint32_t PaletteToRgba(uint32_t v) {
    return 0xFF000000u | ((v & 0xF8) << 16) | (v & 0xF800) | ((v >> 16) & 0xF8);
}

int32_t SymbolOf(const EmscriptenKeyboardEvent* e) {
    // Letters by the character they type, as SDL reports them: lower case, Shift or not.
    if (e->key[0] != 0 && e->key[1] == 0) {
        const char c = e->key[0];
        if (c >= 'a' && c <= 'z') return c;
        if (c >= 'A' && c <= 'Z') return c - 'A' + 'a';
    }
    static const struct {
        const char* code;
        int32_t sym;
    } kNamed[] = {
        {"Escape", kSymEscape},    {"ArrowLeft", kSymLeft}, {"ArrowDown", kSymDown},
        {"ArrowRight", kSymRight}, {"ArrowUp", kSymUp},     {"Numpad4", kSymKp4},
        {"Numpad2", kSymKp2},      {"Numpad6", kSymKp6},    {"Numpad8", kSymKp8},
    };
    for (const auto& k : kNamed) {
        if (std::strcmp(e->code, k.code) == 0) return k.sym;
    }
    return -1;
}

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* e, void*) {
    const int32_t sym = SymbolOf(e);
    if (sym < 0) return EM_FALSE;
    if (key_count < 64) key_queue[key_count++] = {sym, type == EMSCRIPTEN_EVENT_KEYDOWN ? 1 : 0};
    // Letters stay with the page (F: full screen); cursor keys would scroll it.
    return sym >= 256 ? EM_TRUE : EM_FALSE;
}

void ListenToKeys() {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
}

} // namespace

// clang-format off
EM_JS(void, page_canvas_put, (const uint32_t* rgba), {
    const canvas = Module['canvas'];
    if (!canvas) return;
    if (!Module.zarvelinImage) {
        canvas.width = 320;
        canvas.height = 240;
        Module.zarvelinContext = canvas.getContext('2d', {alpha: false});
        Module.zarvelinImage = Module.zarvelinContext.createImageData(320, 240);
    }
    Module.zarvelinImage.data.set(HEAPU8.subarray(rgba, rgba + 307200));
    Module.zarvelinContext.putImageData(Module.zarvelinImage, 0, 0);
});
// clang-format on

int GpGraphicModeSet(int depth) {
    if (!vfirst) {
        clock_start = emscripten_get_now();
        ListenToKeys();
    }
    SetFrameBuffers(depth);
    return 0;
}

namespace {

// The page has no SDL surface: the picture always goes to the canvas's pixel store.
void ConvertToCanvas(const void* source, int depth) {
    if (depth == 16) {
        ConvertTiles(static_cast<const uint16_t*>(source), picture, 0, Rgb5551ToRgba);
    } else {
        ConvertTiles(static_cast<const uint8_t*>(source), picture, 0,
                     [](uint8_t b) { return PaletteToRgba(gp_palette[b]); });
    }
    picture_new = true;
}

} // namespace

void PlatformPresent(const LcdSurface* s, int wait) {
    ConvertToCanvas(s->buffer, s->depth);
    if (yield_on_present) {
        GpWebShow();
        const double now = emscripten_get_now();
        if (now - last_yield >= 30.0) {
            emscripten_sleep(0);
            last_yield = emscripten_get_now();
        }
    }
    if (wait == 1) wait_until = emscripten_get_now() + 8.0;
}

void GpWebShow() {
    if (!picture_new) return;
    picture_new = false;
    page_canvas_put(picture);
}

void GpWebSetYieldOnPresent(bool on) {
    yield_on_present = on;
    last_yield = emscripten_get_now();
}

bool GpWebReadyForFrame() {
    return emscripten_get_now() >= wait_until;
}

void KeyCommands() {
    for (int i = 0; i < key_count; i++) {
        const KeyEvent& e = key_queue[i];
        keys[e.sym] = e.down;
        if (e.down && e.sym == kSymEscape) quit = 1;
    }
    key_count = 0;
}

uint32_t PlatformTicks() {
    // Whole milliseconds, wrapping like SDL's counter.
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now() - clock_start));
}
