// The bookkeeping every build of the sound calls shares: the version reported and the code
// of the last failure.
#pragma once
#include "modplayer/modplayer.h"

// Records a failure; returns the calls' false.
signed char ModFail(int code);
// Records a failed load; returns the null handle.
FMUSIC_MODULE* ModFailLoad(int code);
// Records a call that succeeded.
void ModSucceed();
