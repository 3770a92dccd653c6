// Music: starts the sound output and the module, releases both at the end.
// Every failure prints its message on standard output and exits with status 1.
#pragma once
#include "modplayer/modplayer.h"

extern FMUSIC_MODULE* mod; // the loaded module, null until PlaySong loads it

constexpr char kSongFile[] = "velkantoria.mod"; // read from the working directory

// Text printed for a code of FSOUND_GetError; "Unknown error" outside 0-18.
const char* SoundErrorText(int code);

void SoundInit();
void PlaySong();
void SoundEnd();
