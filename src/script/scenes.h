// Scene functions: each draws one frame of its part for prticks into framebuffer[flip]
// and decides when its part ends.
#pragma once
#include <cstdint>

void Space();       // part 0: blob stars, wobbling logo, zooming caption
void Vornelo();     // the cylinder part as a scene function
void PolarTunnel(); // part 2: polar tunnel
void JuhliaIn();    // part 3: rotozoomed Julia texture
void JuhliaBig();   // part 4: full-screen Julia under the ball grid
void PlasmaFace();  // the face over the plasma as a scene function
void PlasmaCube();  // the plasma cube over the picture as a scene function
void WaterPart();   // part 8: water, sphere, credits and the closing curtain

// State of the opening part's logo reveal.
extern int32_t ypp; // line reveal: 1 even lines, -1 odd lines, 0 done
extern int32_t yss; // extent of the line reveal computed in the previous frame
extern int32_t xpp; // column removal: 1 pending or running, 0 done
extern int32_t xss; // extent of the column removal computed in the previous frame
