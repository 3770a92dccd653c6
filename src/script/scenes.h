// Scene functions: each draws one frame of its part for prticks into framebuffer[flip]
// and decides when its part ends.
#pragma once

void Space();       // part 0: blob stars, wobbling logo, zooming caption
void Vornelo();     // the cylinder part as a scene function
void PolarTunnel(); // part 2: polar tunnel
void JuhliaIn();    // part 3: rotozoomed Julia texture
void JuhliaBig();   // part 4: full-screen Julia under the ball grid
void PlasmaFace();  // the face over the plasma as a scene function
void PlasmaCube();  // the plasma cube over the picture as a scene function
void WaterPart();   // part 8: water, sphere, credits and the closing curtain
