// Music: starts the sound output and the module, releases both at the end.
#pragma once

void SoundInit();
void PlaySong();
void SoundEnd();
