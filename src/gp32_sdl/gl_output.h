// The OpenGL output: the frame as a 320 x 240 texture drawn with nearest filtering at the
// plan's place and size, black around it, in the context of the current SDL_OPENGL mode.
// Plain OpenGL 1.1 calls only (a power-of-two texture, BGRA upload), so that every driver,
// Windows' opengl32 included, has them; looked up through SDL_GL_GetProcAddress, so nothing
// links the GL library.
#pragma once
#include "gp32_sdl/display_plan.h"

// Sets up the texture and the projection for the plan; false when the context refuses.
bool GlStart(const DisplayPlan& plan);
// Uploads the frame buffer, draws it and swaps the buffers.
void GlPresent(const void* source, int depth);
// Draws the last uploaded frame into the back buffer, black around it; no swap.
void GlDraw();
// Draws the last uploaded frame again and swaps (the window was uncovered).
void GlRedraw();
