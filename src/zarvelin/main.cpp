// Entry: window, loading screen, music, then the frame loop until quit.
#include <SDL.h>

#include "gp32_sdl/gp32_sdl.h"
#include "gp32_sdl/output.h"
#include "script/script.h"
#include "sound/sound.h"
#include "zarvelin/zarvelin.h"

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
    while (quit == 0) {
        if (paused == 0) {
            Run();
            PresentFrame();
        } else {
            // The picture holds (SDL repaints it when uncovered); only the keys are read.
            KeyCommands();
            SDL_Delay(10);
        }
        if (PausePressed()) {
            SetPaused(paused == 0);
            // SDL's clock runs on by itself: the show's time stands still with the music.
            HoldClock(paused != 0);
        }
    }
    SoundEnd();
    return 0;
}
