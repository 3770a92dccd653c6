// The handheld's video, input and clock calls, as the show calls them on every platform.
// The state and the calls that need no display live here; each platform (SDL, the page)
// brings the mode set, presentation, key events and the clock.
//
// Frame buffer: 320 columns of 240 pixels; column x holds elements x*240 .. x*240+239,
// element 0 at the bottom of the screen. Pixels are RGB5551 (bit 0 never shown).
#pragma once
#include <cstdint>

struct LcdSurface {
    void* buffer;   // first element of the frame buffer
    int32_t depth;  // 16: RGB5551, anything else: 8-bit palette indices
    int32_t width;  // always 320
    int32_t height; // always 240
    int32_t origin_x;
    int32_t origin_y;
};

constexpr int kFrameWidth = 320;
constexpr int kFrameHeight = 240;
constexpr int kFramePixels = kFrameWidth * kFrameHeight;

// Display state.
extern void* GpScreen[3];  // 307200 bytes each; the first two are handed out
extern int32_t vfirst;     // 1 once a mode set has succeeded
extern int32_t cur_bpp;    // depth of the last successful mode set
extern int32_t scale;      // 0: 320 x 240 window, 1: 640 x 480 with doubled pixels
extern int32_t fullscreen; // 1: full screen
// 0: the window follows scale; 1..kMaxWindowScale: a window of 320n x 240n with every
// frame-buffer pixel drawn as an n x n block; kWindowScaleAuto: the platform picks n from the
// desktop's size (a platform without a desktop treats it as 0).
extern int32_t window_scale;
constexpr int kMaxWindowScale = 6;
constexpr int32_t kWindowScaleAuto = -1;
extern uint32_t gp_palette[256];

// Input state.
extern int32_t keys[512]; // 1 while the key with that symbol is held
extern int32_t quit;      // set on Escape, window close or the end of the show

int GpGraphicModeSet(int depth); // 1 on failure, 0 on success
// The memory half of a successful mode set: releases the buffers of an earlier one,
// allocates three new ones (contents undefined) and records the depth.
void SetFrameBuffers(int depth);
void GpLcdSurfaceGet(LcdSurface* s, int index);
void GpSurfaceFlip(const LcdSurface* s, int wait);
uint32_t* GpPaletteCreate(int count, const uint16_t* colours);
void GpPaletteSelect(const uint32_t* table);
void GpPaletteRealize();

// Pixel conversion into 32-bit 0x00RRGGBB rows of (320 << scale_) pixels, without a display so
// that tools and tests can present a frame without a window. Any scale other than 0 or 1
// writes nothing.
inline uint32_t Rgb5551ToPC(uint16_t p) {
    uint32_t v = p;
    return ((v >> 11) << 19) | ((v << 5) & 0xF800) | ((v << 2) & 0xF8);
}
void ConvertFrame(const void* source, int depth, uint32_t* dest, int scale_);
// The same conversion into rows of 320n pixels, every pixel repeated n x n; n = 1 and 2
// give ConvertFrame's scale 0 and 1. Any n outside 1..kMaxWindowScale writes nothing.
void ConvertFrameScaled(const void* source, int depth, uint32_t* dest, int n);

// Key symbols the program reads (the index into keys), numbered as SDL 1.2 numbers them.
enum : int32_t {
    kSymEscape = 27,
    kSymA = 'a',
    kSymB = 'b',
    kSymD = 'd',
    kSymL = 'l',
    kSymR = 'r',
    kSymS = 's',
    kSymKp2 = 258,
    kSymKp4 = 260,
    kSymKp6 = 262,
    kSymKp8 = 264,
    kSymUp = 273,
    kSymDown = 274,
    kSymRight = 275,
    kSymLeft = 276,
};

// The handheld's button mask from the held keys: bits 0-9, each set while one of its keys is.
int ButtonMask();
int GpKeyGet();
void KeyCommands();
uint32_t GpTickCountGet();

// Replaceable clock: a headless renderer or a test supplies the milliseconds.
// nullptr restores the platform's clock.
using TickSource = uint32_t (*)();
void GpSetTickSource(TickSource source);
// The source set now (nullptr: the platform's clock), to put back after borrowing the clock.
TickSource GpGetTickSource();

// Called by GpSurfaceFlip with every presented record, before the window is touched.
// A renderer without a window counts or captures frames through it. nullptr removes it.
using PresentHook = void (*)(const LcdSurface* s);
void GpSetPresentHook(PresentHook hook);

// What each platform brings to the calls above.
// Milliseconds since the first mode set, wrapping at 2^32.
uint32_t PlatformTicks();
// Shows a presented frame buffer, then waits 8 ms when wait is 1.
void PlatformPresent(const LcdSurface* s, int wait);
