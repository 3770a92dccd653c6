// Start of the web edition's show: browsers let a page sound only after the viewer's click
// or key, so the show, its clock and its music wait for one together.
#pragma once

// Starts fetching and opening the module while the page loads the rest.
void PrepareMusic();
// Shows the start prompt until a click or key, then starts the music (SoundInit, PlaySong)
// and puts the show's clock on it: the time base follows the music the listener hears, and
// `partime` is set to the time base of the music's first sample.
void StartWithMusic();
