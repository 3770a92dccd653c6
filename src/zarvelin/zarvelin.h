// The program's spine: start-up, one frame of work, the frame buffers and the time base.
#pragma once
#include <cstdint>
#include "gp32_functions/gp32_functions.h"

extern uint16_t* framebuffer[2]; // the two frame buffers; everything draws into framebuffer[flip]
extern LcdSurface GP32Surface[2];
extern int32_t flip;       // buffer drawn and presented this frame
extern int32_t vsync;      // 1: 8 ms wait after each presentation (D toggles)
extern int32_t fps_show;   // 1: frame counter drawn (B toggles)
extern int32_t buttons0;   // button mask of the previous frame
extern int32_t buttons1;   // button mask of this frame
extern int32_t nfrm;       // frames completed since start
extern int32_t partime;    // time base at which the current part began
extern int32_t clockspeed; // time-base divisor, 66: milliseconds
extern int32_t paused;     // 1: the show stands still (P toggles)

constexpr uint16_t kLoadingColour = 0x80A0;
// P pauses and resumes; none of the handheld's buttons, so the show itself never reads it.
constexpr int32_t kSymP = 'p';

// Time base: GpTickCountGet() * (66 / clockspeed), truncated.
int Ticks();
// Sets the video mode and fetches both surface records into GP32Surface and framebuffer.
// Returns 1 when the mode could not be set.
int InitGraphics(int depth);
// One frame's work except presentation: keys, timeline, frame counter.
void Run();
void Keys();
void checkmode();
void ClearScreen(uint16_t* buffer, uint16_t colour);

// Start-up shared by the program and the headless renderer.
// Picks the display from the command line (any argument: full screen 320 x 240 without
// the frame wait) and sets the mode; returns 1 when the mode could not be set.
// Without an argument, ZARVELIN_SCALE (1 to 6) sets the window to 320n x 240n, "auto" lets the
// platform fit it to the desktop; any other value is reported on standard error and the
// doubled window kept.
int SetupDisplay(int argc);
// True, with n set, when text is one digit from 1 to kMaxWindowScale (n = that digit) or
// "auto" (n = kWindowScaleAuto).
bool ParseWindowScale(const char* text, int32_t* n);
// Loading colour, fonts, precalculation behind the loading bar, then black buffers.
void LoadingScreen();
// Presents framebuffer[flip] with the frame wait and moves to the other buffer.
void PresentFrame();

// Pause, for the entries that play the show live. True once per new press of P (the keys as
// the last drain left them).
bool PausePressed();
// The window's watching keys, beside the handheld's buttons (whose mask they leave as it is:
// the cursor keys and L are in it but drive nothing in the show).
enum class WatchCommand : int32_t {
    None,
    Pause,           // P, Space, K
    Back5,           // cursor left
    Forward5,        // cursor right
    Back10,          // J
    Forward10,       // L
    Tenth,           // 0 to 9: that tenth of the show
    PreviousChapter, // Page Up
    NextChapter,     // Page Down
    VolumeUp,        // cursor up
    VolumeDown,      // cursor down
    Mute,            // M
};
struct WatchKey {
    int32_t sym; // SDL 1.2 key symbol
    WatchCommand command;
    int32_t tenth; // for WatchCommand::Tenth
};
constexpr int kWatchKeyCount = 22;
extern const WatchKey kWatchKeys[kWatchKeyCount];
// The next new press of a watching key (the keys as the last drain left them), once per press;
// None when there is none. Presses of several keys in one frame come one per call.
WatchKey TakeWatchKey();

// Pauses or resumes the music with the show. The clock is the entry's to hold: the program's
// runs on by itself, the page's follows the music and stops with it.
void SetPaused(bool on);
