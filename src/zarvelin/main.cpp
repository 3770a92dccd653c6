// Entry: window, loading screen, music, then the frame loop until quit.
#include <SDL.h>

#include "gp32_sdl/gp32_sdl.h"
#include "gp32_sdl/output.h"
#include "headless/seek.h"
#include "script/script.h"
#include "sound/sound.h"
#include "zarvelin/zarvelin.h"

namespace {

// Work given to keeping seek states after each frame, and while paused.
constexpr double kPrepareMs = 4.0;
constexpr double kPausedPrepareMs = 8.0;
constexpr int kVolumeStep = 32;

int volume = kModFullVolume;
bool muted = false;

void SetVolume() {
    if (mod != nullptr) FMUSIC_SetMasterVolume(mod, muted ? 0 : volume);
}

// The show and the music at show time ms; while paused the picture sought is shown at once.
void SeekTo(int32_t ms) {
    if (ms < 0 || !headless::SeekShow(ms)) return;
    if (mod != nullptr) ModSetPositionMs(mod, ms);
    // The music clock moves with the music; a clock that does not is met by moving the origin.
    headless::SetShowOrigin(Ticks() - ms);
    if (paused != 0) {
        Run();
        PresentFrame();
    }
}

void Watch(const WatchKey& key) {
    const int32_t now = headless::ShowTimeMs();
    switch (key.command) {
    case WatchCommand::None:
        break;
    case WatchCommand::Pause:
        SetPaused(paused == 0);
        // SDL's clock runs on by itself: the show's time stands still with the music.
        HoldClock(paused != 0);
        break;
    case WatchCommand::Back5:
        SeekTo(headless::StepMs(now, -5000));
        break;
    case WatchCommand::Forward5:
        SeekTo(headless::StepMs(now, 5000));
        break;
    case WatchCommand::Back10:
        SeekTo(headless::StepMs(now, -10000));
        break;
    case WatchCommand::Forward10:
        SeekTo(headless::StepMs(now, 10000));
        break;
    case WatchCommand::Tenth:
        SeekTo(headless::TenthMs(key.tenth));
        break;
    case WatchCommand::PreviousChapter:
        SeekTo(headless::PreviousChapterMs(now));
        break;
    case WatchCommand::NextChapter:
        SeekTo(headless::NextChapterMs(now));
        break;
    case WatchCommand::VolumeUp:
        volume = volume + kVolumeStep > kModFullVolume ? kModFullVolume : volume + kVolumeStep;
        muted = false;
        SetVolume();
        break;
    case WatchCommand::VolumeDown:
        volume = volume < kVolumeStep ? 0 : volume - kVolumeStep;
        muted = false;
        SetVolume();
        break;
    case WatchCommand::Mute:
        muted = !muted;
        SetVolume();
        break;
    }
}

} // namespace

int main(int argc, char** argv) {
    (void)argv;
    ReadDisplayOptions();
    // A mode that cannot be set leaves no buffers to draw into: stop here.
    if (SetupDisplay(argc) != 0) return 1;
    SDL_WM_SetCaption("Zarvelin PC", "by Corvane/Quellmark");
    SDL_ShowCursor(0);

    LoadingScreen();

    SoundInit();
    PlaySong();

    partime = Ticks();
    headless::KeepShowStart(partime);
    while (quit == 0) {
        if (paused == 0) {
            Run();
            PresentFrame();
            headless::PrepareSeeks(kPrepareMs);
        } else {
            // The picture holds (SDL repaints it when uncovered); only the keys are read.
            KeyCommands();
            if (!headless::PrepareSeeks(kPausedPrepareMs)) SDL_Delay(10);
        }
        for (WatchKey key = TakeWatchKey(); key.command != WatchCommand::None && quit == 0; key = TakeWatchKey())
            Watch(key);
    }
    SoundEnd();
    return 0;
}
