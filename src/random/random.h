// The show's random numbers: the GNU C library's rand() sequence, made here so that the
// frames are the same whatever C library a platform has.
#pragma once
#include <cstdint>

// The next number, 0 .. 2^31 - 1.
int32_t ShowRand();
// Starts the sequence again as srand(seed) does (0 counts as 1). The show never seeds:
// its numbers are those of seed 1, like an unseeded rand().
void ShowSrand(uint32_t seed);

// The whole state of the sequence, so that a seek can put it back where a played show left it.
struct ShowRandState {
    uint32_t r[34];
    int32_t next;
};
ShowRandState SaveShowRand();
void RestoreShowRand(const ShowRandState& state);
