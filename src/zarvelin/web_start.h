// Start of the web edition's show: browsers let a page sound only after the viewer's click
// or key, so the show, its clock and its music wait for one together.
#pragma once
#include <cstdint>

// Starts fetching and opening the module while the page loads the rest.
void PrepareMusic();
// Shows the start prompt until a click or key, then starts the music (SoundInit, PlaySong)
// and puts the show's clock on it: the time base follows the music the listener hears, and
// `partime` is set to the time base of the music's first sample. With from_ms > 0 the show
// and its music start there (SeekTo). While the prompt waits, the seek states are kept in
// slices of prepare_budget_ms per animation frame.
void StartWithMusic(int32_t from_ms, double prepare_budget_ms);
// Puts the show and its music at show time ms (clamped to the show, down to its 20 ms frame
// step): the next frame is the one the show draws played through on the 20 ms clock, and the
// clock holds at ms until the music is heard from there. Returns that time, or -1.
int32_t SeekTo(int32_t ms);
// Show time of the last presented frame.
int32_t ShownMs();
