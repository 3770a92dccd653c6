// The platform on SDL 1.2: what only it has besides the handheld's calls.
#pragma once
#include <SDL.h>

#include "gp32_functions/gp32_functions.h"

extern SDL_Surface* screen; // the window's 32-bit surface, after a successful mode set

// Converts a frame buffer into the surface at the mode's plan (its scale and place, black
// around it).
void GP32toPC(const void* source, int depth, SDL_Surface* surface);
// While held, SDL's clock as the show reads it (PlatformTicks) stands still; once released it
// goes on from there, the time held left out. The pause holds it so that nothing jumps.
void HoldClock(bool held);
