// Entry: window, loading screen, music, then the frame loop until quit.
#include <SDL.h>

#include "script/script.h"
#include "sound/sound.h"
#include "zarvelin/zarvelin.h"

int main(int argc, char** argv) {
    (void)argv;
    // A mode that cannot be set leaves no buffers to draw into: stop here.
    if (SetupDisplay(argc) != 0) return 1;
    SDL_WM_SetCaption("Zarvelin PC", "by Corvane/Quellmark");
    SDL_ShowCursor(0);

    LoadingScreen();

    SoundInit();
    PlaySong();

    partime = Ticks();
    while (quit == 0) {
        Run();
        PresentFrame();
    }
    SoundEnd();
    return 0;
}
