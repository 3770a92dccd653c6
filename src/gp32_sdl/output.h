// The output stage of the SDL platform: which video mode is asked for and how the frame gets
// there (a software surface or an OpenGL texture), chosen at each mode set from the desktop,
// the options and the modes offered (display_plan.h). Nothing above the platform knows which.
#pragma once
#include <SDL.h>

#include "gp32_sdl/display_plan.h"

// Set by the program's entry before the first mode set; a caller that never sets them (the
// capture tool, the tests) gets the surface and the whole-number fit.
extern Output display_output;
extern Fit display_fit;

// Reads ZARVELIN_OUTPUT and ZARVELIN_FIT (unset: OpenGL where possible, whole-number scale);
// a bad value is reported on standard error in one line, naming the default used.
void ReadDisplayOptions();

// Sets the mode for the current request (fullscreen, scale, window_scale, the options) and
// returns the window's surface, or null with SDL's error set. SDL's video must be up.
SDL_Surface* OpenDisplay();
// The plan of the last successful mode set.
const DisplayPlan& CurrentPlan();
// True when the frames go through OpenGL; then also whether the swap waits for the display
// (swap interval 1 in effect), which makes the 8 ms frame wait needless.
bool OpenGlOutput();
bool DisplayPacesFrames();
