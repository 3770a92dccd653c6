// The page's side of the platform layer: what the web entry adds to the handheld's calls.
#pragma once

// Puts the last presented frame on the page's canvas; called once per animation frame.
void GpWebShow();
// While on, every presentation goes to the canvas at once and, when the browser has not
// drawn for a while, hands control back to it so that it can (the loading bar). Only for
// code built for Asyncify.
void GpWebSetYieldOnPresent(bool on);
// False until 8 ms have passed since a presentation that asked for the frame wait. The
// page cannot block, so the entry skips animation frames instead of waiting.
bool GpWebReadyForFrame();
