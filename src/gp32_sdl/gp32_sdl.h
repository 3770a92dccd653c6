// The platform on SDL 1.2: what only it has besides the handheld's calls.
#pragma once
#include <SDL.h>

#include "gp32_functions/gp32_functions.h"

extern SDL_Surface* screen; // the window's 32-bit surface, after a successful mode set

// Converts a frame buffer into the surface at the window's scale.
void GP32toPC(const void* source, int depth, SDL_Surface* surface);
