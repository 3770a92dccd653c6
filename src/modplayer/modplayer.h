// Module player behind the seven sound calls the music code makes, and the pause the
// program adds to them (FMUSIC_SetPaused).
//
// Decoding is libopenmpt's, output is SDL 1.2 audio: FSOUND_Init opens the device at
// the requested rate as 16-bit stereo and the module playing is rendered inside the
// audio callback. The calls keep the shapes the music code relies on: a version number,
// a one-byte truth value from FSOUND_Init, a handle (null on failure) from
// FMUSIC_LoadSong and the code of the last failure from FSOUND_GetError.
#pragma once
#include <cstddef>
#include <cstdint>

// A loaded module; opaque to callers.
struct ModSong;
using FMUSIC_MODULE = ModSong;

// Codes of FSOUND_GetError (the ones this player produces).
enum ModError : int {
    kModOk = 0,
    kModAlreadyInitialised = 1, // FSOUND_Init while the output runs
    kModNotInitialised = 2,     // a call that needs FSOUND_Init came before it
    kModInitFailed = 3,         // no usable audio output
    kModFileNotFound = 9,       // nothing at that path
    kModUnknownFormat = 10,     // a file, but not a module
    kModLoadFailed = 11,        // a module that cannot be read or decoded in full
    kModOutOfMemory = 12,
    kModInvalidParam = 14,
};

float FSOUND_GetVersion();
// Opens the audio output: mixrate Hz, 16-bit stereo. maxchannels and flags are
// accepted for the caller's sake; the module decides its own channels.
signed char FSOUND_Init(int mixrate, int maxchannels, unsigned int flags);
int FSOUND_GetError();
FMUSIC_MODULE* FMUSIC_LoadSong(const char* name);
// FMUSIC_LoadSong's checks and loading for a module already in memory (copied; the caller
// keeps data): the same handle and the same error codes.
FMUSIC_MODULE* ModLoadSongFromMemory(const unsigned char* data, size_t size);
// Starts the module from its beginning; it loops for as long as it plays.
signed char FMUSIC_PlaySong(FMUSIC_MODULE* mod);
// Stops the module if it plays and releases it; null is refused.
signed char FMUSIC_FreeSong(FMUSIC_MODULE* mod);
// Pauses (pause 1) or resumes (0) the module playing; its position holds while paused.
// Refused for null or a module that is not the one playing. On an output that is heard the
// module goes back, when paused, to what has been heard, and the heard position holds there.
signed char FMUSIC_SetPaused(FMUSIC_MODULE* mod, signed char pause);
// Moves the module to ms from its start (past its end, where its looping stands then),
// exactly to the output frame. For the module playing, the heard position (ModHeardMs) reads
// ms at once and goes on from there once the new position is heard: SDL 1.2 cannot take
// back what its driver already holds, which plays out first. ms < 0 or null are refused.
signed char ModSetPositionMs(FMUSIC_MODULE* mod, int32_t ms);
// Master volume of a module, 0 (silent) to kModFullVolume (as rendered, the default); each
// sample is scaled by volume / 256. Out of range or null: refused.
constexpr int kModFullVolume = 256;
signed char FMUSIC_SetMasterVolume(FMUSIC_MODULE* mod, int volume);
// The music as heard: while a module plays on an output that is heard (any SDL driver but
// dummy and disk), true with ms = the module position heard now, in ms from its start, seeks
// and pauses included; it never goes back except at a seek. False otherwise.
// ZARVELIN_AUDIO_DELAY (read by FSOUND_Init) adds a delay the output cannot report.
bool ModHeardMs(uint32_t* ms);
// Stops and closes the audio output. Safe to call when it is not open.
void FSOUND_Close();

// Replaceable version source for FSOUND_GetVersion; nullptr restores the player's own.
using VersionSource = float (*)();
void ModSetVersionSource(VersionSource source);

// Offline rendering, without any audio output: writes up to `frames` interleaved stereo
// 16-bit frames at `rate` Hz of a loaded module into `out` (2 * frames values), from the
// module's current position onwards, and returns the number written (fewer only if the
// module ends, which it does not while it loops). Repeated calls continue where the last
// one stopped, so a capture can fetch exactly the samples belonging to each video frame.
// Meant for a freshly loaded module that is not playing on the output (two fresh loads
// render identical samples); it is nevertheless safe to call while the output runs.
size_t ModRenderPcm(FMUSIC_MODULE* mod, int32_t rate, int16_t* out, size_t frames);
// Length of one pass through the module, in seconds.
double ModLengthSeconds(FMUSIC_MODULE* mod);
// Where the module stands now, in seconds from its beginning (advances while it plays).
double ModPositionSeconds(FMUSIC_MODULE* mod);
