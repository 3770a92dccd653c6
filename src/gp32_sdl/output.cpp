#include "gp32_sdl/output.h"

#include <cstdio>
#include <cstdlib>

#include "gp32_functions/gp32_functions.h"
#include "gp32_sdl/gl_output.h"

Output display_output = Output::Surface;
Fit display_fit = Fit::Whole;

namespace {

PixelSize desktop{0, 0};
bool desktop_read = false;
DisplayPlan plan{};
bool gl_output = false;
bool display_paced = false;

// SDL_ListModes for full screen with these flags, as a list.
OfferedModes ModesOffered(Uint32 flags) {
    OfferedModes modes{false, {}};
    SDL_Rect** rects = SDL_ListModes(nullptr, flags | SDL_FULLSCREEN);
    if (rects == reinterpret_cast<SDL_Rect**>(-1)) {
        modes.any = true;
    } else if (rects != nullptr) {
        for (SDL_Rect** r = rects; *r != nullptr; r++)
            modes.sizes.push_back(PixelSize{(*r)->w, (*r)->h});
    }
    return modes;
}

DisplayRequest Request() {
    int32_t n = window_scale;
    if (n == 0) n = scale == 0 ? 1 : 2;
    return DisplayRequest{fullscreen != 0, n, display_fit};
}

SDL_Surface* SetMode(Uint32 flags, int bpp) {
    plan = PlanDisplay(Request(), desktop, ModesOffered(flags));
    SDL_Surface* s =
        SDL_SetVideoMode(plan.mode.w, plan.mode.h, bpp, flags | (plan.fullscreen ? SDL_FULLSCREEN : 0));
    // Given another size than asked for, the picture fits what SDL gave, centred.
    if (s != nullptr && (s->w != plan.mode.w || s->h != plan.mode.h)) {
        const bool full = plan.fullscreen;
        plan =
            PlanDisplay(DisplayRequest{true, 1, display_fit}, PixelSize{s->w, s->h}, OfferedModes{false, {}});
        plan.fullscreen = full;
    }
    return s;
}

SDL_Surface* OpenGlDisplay() {
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);
    SDL_Surface* s = SetMode(SDL_OPENGL, 0);
    if (s == nullptr || !GlStart(plan)) return nullptr;
    int interval = -1;
    display_paced = SDL_GL_GetAttribute(SDL_GL_SWAP_CONTROL, &interval) == 0 && interval == 1;
    return s;
}

template <typename T>
void ReadOption(const char* name, bool (*parse)(const char*, T*), T* value, const char* expected,
                const char* fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || parse(text, value)) return;
    std::fprintf(stderr, "%s=\"%s\" is not %s; using %s\n", name, text, expected, fallback);
}

} // namespace

void ReadDisplayOptions() {
    display_output = Output::Auto;
    display_fit = Fit::Whole;
    ReadOption("ZARVELIN_OUTPUT", ParseOutput, &display_output, "opengl or surface",
               "OpenGL where available, else the surface");
    ReadOption("ZARVELIN_FIT", ParseFit, &display_fit, "whole or aspect", "the whole-number scale");
}

SDL_Surface* OpenDisplay() {
    if (!desktop_read) {
        // Only before the first mode set is this the desktop rather than our own mode.
        const SDL_VideoInfo* info = SDL_GetVideoInfo();
        if (info != nullptr) desktop = PixelSize{info->current_w, info->current_h};
        desktop_read = true;
    }
    gl_output = false;
    display_paced = false;
    if (display_output != Output::Surface) {
        if (SDL_Surface* s = OpenGlDisplay()) {
            gl_output = true;
            return s;
        }
        if (display_output == Output::OpenGl)
            std::fprintf(stderr, "ZARVELIN_OUTPUT=opengl: no OpenGL here (%s); using the surface\n",
                         SDL_GetError());
    }
    return SetMode(SDL_DOUBLEBUF, 32);
}

const DisplayPlan& CurrentPlan() {
    return plan;
}

bool OpenGlOutput() {
    return gl_output;
}

bool DisplayPacesFrames() {
    return gl_output && display_paced;
}
