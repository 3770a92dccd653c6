// Start-up precalculation behind the five-line loading bar.
#pragma once
#include <cstdint>
#include <string>

extern uint16_t* prec_framebuffer[2];
extern int32_t prec_flip;      // buffer the next bar update draws into and presents
extern int32_t prec_ybar;      // line of the step in progress, 0..4 (5 when done)
extern int32_t prec_vsync;     // never waits after a loading-bar presentation
extern std::string textbuffer; // caption of the last bar update
extern int32_t total_precs;    // step count shown in every caption
extern int32_t ybar_height;    // rows per loading-bar line

// Builds every table, the 3D objects and the ball sprite tables, in their fixed order.
void precalcs();
// Reports count n of total for the current line; draws and presents 18 times per line.
void update_precbar(const char* text, int n, int total);
void Show3dInit();
