#include "sound/sound.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sound/module_search.h"
#include "system/failure_notice.h"

FMUSIC_MODULE* mod = nullptr;

namespace {

const char* const kErrorText[] = {
    "No errors",
    "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
    "This command failed because FSOUND_Init was not called",
    "Error initializing output device.",
    "The output device is already in use and cannot be reused.",
    "Playing the sound failed.",
    "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
    "Error setting cooperative level for hardware.",
    "Error creating hardware sound buffer.",
    "File not found",
    "Unknown file format",
    "Error loading file",
    "Not enough memory ",
    "The version number of this file format is not supported",
    "An invalid parameter was passed to this function",
    "Tried to use an EAX command on a non EAX enabled channel or output.",
    "Failed to allocate a new channel",
    "Recording not supported on this device",
    "Required Mediaplayer codec is not installed",
};

[[noreturn]] void FailWithLastError() {
    const char* text = SoundErrorText(FSOUND_GetError());
    std::puts(text);
    NoticeFailure(text);
    std::exit(1);
}

} // namespace

const char* SoundErrorText(int code) {
    constexpr int count = static_cast<int>(sizeof kErrorText / sizeof kErrorText[0]);
    return code >= 0 && code < count ? kErrorText[code] : "Unknown error";
}

void SoundInit() {
    if (FSOUND_GetVersion() < 3.74f) {
        std::printf("Error : You are using the wrong DLL version!  You should be using FMOD %.02f\n", 3.74);
        std::exit(1);
    }
    if (FSOUND_Init(44100, 64, 0)) return;
    FailWithLastError();
}

void PlaySong() {
    // Not in the working directory: beside the program or where it is installed. Found
    // nowhere, the working directory's name is loaded so the failure reads as it always did.
    const std::vector<std::string> dirs = ModuleDirs();
    const std::string found = LocateModule(dirs);
    mod = FMUSIC_LoadSong(found.empty() ? kModuleName : found.c_str());
    if (mod != nullptr) {
        FMUSIC_PlaySong(mod);
        return;
    }
    const int code = FSOUND_GetError();
    std::puts(SoundErrorText(code));
    std::fflush(stdout);
    const std::string search = ModuleSearchText(dirs, found);
    std::fprintf(stderr, "%s\n", search.c_str());
    NoticeFailure(std::string(SoundErrorText(code)) + "\n" + search);
    std::exit(1);
}

void SoundEnd() {
    FMUSIC_FreeSong(mod);
    mod = nullptr; // a second SoundEnd then frees nothing twice
    FSOUND_Close();
}
