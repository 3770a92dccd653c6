#include "sound/sound.h"

void SoundInit() {}
void PlaySong() {}
void SoundEnd() {}
