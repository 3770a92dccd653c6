// The outputs on a real X screen of 1920 x 1080: the OpenGL picture read back must equal the
// surface's conversion at the same plan, pixel for pixel, borders included; the modes follow
// the desktop. Needs an X display (tests/gp32_sdl/gl_under_xvfb.sh runs these under Xvfb, with
// GLX through Mesa's llvmpipe); elsewhere the tests skip.
#include <SDL.h>
#include <SDL_opengl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "gp32_sdl/gl_output.h"
#include "gp32_sdl/gp32_sdl.h"
#include "gp32_sdl/output.h"

namespace {

struct Case {
    const char* name;
    int32_t fullscreen;
    int32_t window_scale;
    Fit fit;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

// Distinct neighbours in every channel, so that a pixel taken from the wrong place shows.
void FillPattern(uint16_t* frame) {
    for (uint32_t i = 0; i < static_cast<uint32_t>(kFramePixels); i++)
        frame[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
}

bool OnXDisplay() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return driver != nullptr && std::strcmp(driver, "x11") == 0 && std::getenv("DISPLAY") != nullptr;
}

void RestoreDisplayOptions() {
    display_output = Output::Surface;
    display_fit = Fit::Whole;
    fullscreen = 0;
    window_scale = 0;
    scale = 1;
}

class GlOutput : public ::testing::TestWithParam<Case> {
  protected:
    void SetUp() override {
        if (!OnXDisplay()) GTEST_SKIP() << "no X display (run under tests/gp32_sdl/gl_under_xvfb.sh)";
    }
    void TearDown() override { RestoreDisplayOptions(); }
};

TEST_P(GlOutput, ReadsBackAsTheSurfaceConversion) {
    const Case& c = GetParam();
    fullscreen = c.fullscreen;
    window_scale = c.window_scale;
    scale = 1;
    display_fit = c.fit;
    display_output = Output::OpenGl;
    ASSERT_EQ(GpGraphicModeSet(16), 0);
    if (!OpenGlOutput()) GTEST_SKIP() << "no OpenGL context on this display";
    const DisplayPlan plan = CurrentPlan();
    ASSERT_EQ(screen->w, plan.mode.w);
    ASSERT_EQ(screen->h, plan.mode.h);

    LcdSurface s{};
    GpLcdSurfaceGet(&s, 0);
    FillPattern(static_cast<uint16_t*>(s.buffer));
    GpSurfaceFlip(&s, 0);
    // The back buffer is undefined after a swap: the same picture again, read before swapping.
    GlDraw();

    const size_t w = static_cast<size_t>(plan.mode.w);
    const size_t h = static_cast<size_t>(plan.mode.h);
    std::vector<uint32_t> shown(w * h);
    // Looked up as the output looks up its own calls: the tests link no GL library either.
    using ReadBuffer = void(APIENTRY*)(GLenum);
    using PixelStore = void(APIENTRY*)(GLenum, GLint);
    using ReadPixels = void(APIENTRY*)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);
    using GetError = GLenum(APIENTRY*)();
    const auto read_buffer = reinterpret_cast<ReadBuffer>(SDL_GL_GetProcAddress("glReadBuffer"));
    const auto pixel_store = reinterpret_cast<PixelStore>(SDL_GL_GetProcAddress("glPixelStorei"));
    const auto read_pixels = reinterpret_cast<ReadPixels>(SDL_GL_GetProcAddress("glReadPixels"));
    const auto get_error = reinterpret_cast<GetError>(SDL_GL_GetProcAddress("glGetError"));
    ASSERT_TRUE(read_buffer && pixel_store && read_pixels && get_error);
    read_buffer(GL_BACK);
    pixel_store(GL_PACK_ALIGNMENT, 4);
    read_pixels(0, 0, plan.mode.w, plan.mode.h, GL_BGRA, GL_UNSIGNED_BYTE, shown.data());
    ASSERT_EQ(get_error(), static_cast<GLenum>(GL_NO_ERROR));

    std::vector<uint32_t> expected(w * h);
    FramePlacer placer;
    placer.SetPlan(plan);
    placer.Convert(s.buffer, 16, expected.data(), static_cast<ptrdiff_t>(w));

    // GL's rows run from the bottom.
    size_t mismatches = 0;
    size_t first = w * h;
    for (size_t y = 0; y < h; y++) {
        for (size_t x = 0; x < w; x++) {
            if ((shown[(h - 1 - y) * w + x] & 0xFFFFFFu) == expected[y * w + x]) continue;
            if (mismatches++ == 0) first = y * w + x;
        }
    }
    EXPECT_EQ(mismatches, 0u) << "first at (" << first % w << ", " << first / w << ") of " << w << " x " << h
                              << std::hex << " shown "
                              << (shown[(h - 1 - first / w) * w + first % w] & 0xFFFFFFu) << " expected "
                              << expected[first];
}

INSTANTIATE_TEST_SUITE_P(Plans, GlOutput,
                         ::testing::Values(Case{"Window2x", 0, 0, Fit::Whole},
                                           Case{"Window3x", 0, 3, Fit::Whole},
                                           Case{"WindowAuto", 0, kWindowScaleAuto, Fit::Whole},
                                           Case{"FullScreenWhole", 1, 0, Fit::Whole},
                                           Case{"FullScreenAspect", 1, 0, Fit::Aspect}),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

// The desktop's size, read before the first mode set, decides full screen and the auto window
// on the surface too; a second mode set finds the same desktop. The script tells the screen's
// size (ZARVELIN_TEST_SCREEN=1920x1080).
TEST(XDisplay, SurfaceModesFollowTheDesktop) {
    const char* size = std::getenv("ZARVELIN_TEST_SCREEN");
    if (!OnXDisplay() || size == nullptr || std::strcmp(size, "1920x1080") != 0)
        GTEST_SKIP() << "no 1920 x 1080 X screen (run under tests/gp32_sdl/gl_under_xvfb.sh)";
    display_output = Output::Surface;
    fullscreen = 1;
    ASSERT_EQ(GpGraphicModeSet(16), 0);
    EXPECT_FALSE(OpenGlOutput());
    EXPECT_EQ(screen->w, 1920);
    EXPECT_EQ(screen->h, 1080);
    EXPECT_EQ(CurrentPlan().n, 4);
    EXPECT_EQ(CurrentPlan().x, 320);
    EXPECT_EQ(CurrentPlan().y, 60);
    fullscreen = 0;
    window_scale = kWindowScaleAuto;
    ASSERT_EQ(GpGraphicModeSet(16), 0);
    EXPECT_EQ(screen->w, 1280);
    EXPECT_EQ(screen->h, 960);
    RestoreDisplayOptions();
}

} // namespace
