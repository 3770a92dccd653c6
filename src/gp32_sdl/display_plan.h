// How the 320 x 240 frame reaches the display: the video mode asked for and where the picture
// lies in it at which size. Chosen once per mode set from the desktop's size, the options and
// the modes the display offers, by a pure function; no SDL here, so tests call it directly.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct PixelSize {
    int32_t w;
    int32_t h;
};

// Full screen at the desktop's size: the largest whole-number scale (black around it), or the
// largest 4:3 box at any scale, nearest neighbour (ZARVELIN_FIT=aspect).
enum class Fit { Whole, Aspect };
// ZARVELIN_OUTPUT: a 32-bit surface converted in software, or a texture drawn through OpenGL.
// Auto: OpenGL where a context can be had, else the surface, silently.
enum class Output { Auto, OpenGl, Surface };

struct DisplayRequest {
    bool fullscreen;
    int32_t window_scale; // the window's n (320n x 240n), or kWindowScaleAuto
    Fit fit;
};

// SDL_ListModes' answer for full screen: any size at all (-1), or a list, largest first
// (empty: none offered).
struct OfferedModes {
    bool any;
    std::vector<PixelSize> sizes;
};

struct DisplayPlan {
    PixelSize mode; // asked of SDL_SetVideoMode
    bool fullscreen;
    int32_t x; // top-left of the picture in the mode; black around it
    int32_t y;
    PixelSize picture;
    int32_t n; // the picture's whole-number scale, 0 when it is an aspect box of no such scale
};

// A window of 320n x 240n (auto: the largest n whose window fits in 90% of the desktop both
// ways; the doubled window when the desktop's size is unknown). Full screen: 320 x 240 where it
// is offered, as the program always asked; else the desktop (when SDL cannot tell, the largest
// mode offered) with the picture centred at the fit.
DisplayPlan PlanDisplay(const DisplayRequest& request, PixelSize desktop, const OfferedModes& modes);

// The values of ZARVELIN_FIT ("whole", "aspect") and ZARVELIN_OUTPUT ("opengl", "surface").
// False for anything else, the value then unchanged.
bool ParseFit(const char* text, Fit* fit);
bool ParseOutput(const char* text, Output* output);

// Where picture pixel i of `picture` samples a frame axis of `frame` pixels: at its centre,
// (i + 1/2) * frame / picture, moved back by g / (2 * picture) with g = gcd(frame / 2, picture).
// The centres lie on a grid of g / picture frame pixels, so that moves the ones that fell on
// the edge between two frame pixels (where a GPU rounds either way) halfway to the grid's
// next point and no other across an edge. Every whole-number scale samples pixel i / n.
int32_t SampleShift(int32_t frame, int32_t picture);
int32_t SampledPixel(int32_t i, int32_t frame, int32_t picture);

// The frame at a plan's place and size: its 1x conversion repeated nearest-neighbour, each
// display pixel taking the frame pixel at its sample point (as the OpenGL output's texture,
// moved by the same shift, samples it), black around it. The maps are built once per plan.
class FramePlacer {
  public:
    FramePlacer();
    void SetPlan(const DisplayPlan& plan);
    const DisplayPlan& Plan() const { return plan_; }
    // Writes the whole mode into rows of `pitch` pixels.
    void Convert(const void* source, int depth, uint32_t* dest, ptrdiff_t pitch);

  private:
    DisplayPlan plan_{};
    std::vector<uint16_t> columns_; // frame column under each picture column
    std::vector<uint16_t> rows_;    // frame row under each picture row
    std::unique_ptr<uint32_t[]> plain_;
};
