#include "gp32_sdl/display_plan.h"

#include <gtest/gtest.h>

#include <vector>

#include "gp32_functions/gp32_functions.h"

namespace {

const OfferedModes kOnlyDesktop1080{false, {{1920, 1080}}};
const OfferedModes kNone{false, {}};

DisplayRequest FullScreen(Fit fit) {
    return DisplayRequest{true, 1, fit};
}

void ExpectPlan(const DisplayPlan& p, PixelSize mode, int32_t x, int32_t y, PixelSize picture, int32_t n) {
    EXPECT_EQ(p.mode.w, mode.w);
    EXPECT_EQ(p.mode.h, mode.h);
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
    EXPECT_EQ(p.picture.w, picture.w);
    EXPECT_EQ(p.picture.h, picture.h);
    EXPECT_EQ(p.n, n);
}

} // namespace

// Today's displays offer only their own size: full screen there, the frame centred.
TEST(DisplayPlan, FullScreenAtTheDesktopsSize) {
    const struct {
        PixelSize desktop;
        int32_t whole_n, whole_x, whole_y;
        PixelSize box;
        int32_t box_x, box_y, box_n;
    } cases[] = {
        {{1024, 768}, 3, 32, 24, {1024, 768}, 0, 0, 0},
        {{1920, 1080}, 4, 320, 60, {1440, 1080}, 240, 0, 0},
        {{2560, 1440}, 6, 320, 0, {1920, 1440}, 320, 0, 6},
        {{3840, 2160}, 9, 480, 0, {2880, 2160}, 480, 0, 9},
        {{1080, 1920}, 3, 60, 600, {1080, 810}, 0, 555, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.desktop.w << "x" << c.desktop.h);
        const OfferedModes modes{false, {c.desktop, {800, 600}, {640, 480}}};
        const DisplayPlan whole = PlanDisplay(FullScreen(Fit::Whole), c.desktop, modes);
        EXPECT_TRUE(whole.fullscreen);
        ExpectPlan(whole, c.desktop, c.whole_x, c.whole_y, {320 * c.whole_n, 240 * c.whole_n}, c.whole_n);
        ExpectPlan(PlanDisplay(FullScreen(Fit::Aspect), c.desktop, modes), c.desktop, c.box_x, c.box_y, c.box,
                   c.box_n);
    }
}

// Where 320 x 240 is offered (in the list, or any size at all) it is used as it always was.
TEST(DisplayPlan, FullScreenKeeps320x240WhereOffered) {
    const OfferedModes listed{false, {{1920, 1080}, {640, 480}, {320, 240}}};
    const OfferedModes any{true, {}};
    for (const OfferedModes* modes : {&listed, &any}) {
        for (Fit fit : {Fit::Whole, Fit::Aspect}) {
            const DisplayPlan p = PlanDisplay(FullScreen(fit), {1920, 1080}, *modes);
            EXPECT_TRUE(p.fullscreen);
            ExpectPlan(p, {320, 240}, 0, 0, {320, 240}, 1);
        }
    }
    // 320 x 200 or 240 x 320 are not the frame's mode.
    const DisplayPlan p =
        PlanDisplay(FullScreen(Fit::Whole), {640, 480}, {false, {{640, 480}, {320, 200}, {240, 320}}});
    ExpectPlan(p, {640, 480}, 0, 0, {640, 480}, 2);
}

// SDL cannot tell the desktop's size: the largest mode offered stands in; with none offered
// the program asks for 320 x 240 as it always did.
TEST(DisplayPlan, FullScreenWhenTheDesktopIsUnknown) {
    ExpectPlan(PlanDisplay(FullScreen(Fit::Whole), {0, 0}, kOnlyDesktop1080), {1920, 1080}, 320, 60,
               {1280, 960}, 4);
    ExpectPlan(PlanDisplay(FullScreen(Fit::Aspect), {0, 0}, kOnlyDesktop1080), {1920, 1080}, 240, 0,
               {1440, 1080}, 0);
    ExpectPlan(PlanDisplay(FullScreen(Fit::Whole), {0, 0}, kNone), {320, 240}, 0, 0, {320, 240}, 1);
    // A desktop is known even where the list is empty.
    ExpectPlan(PlanDisplay(FullScreen(Fit::Whole), {1024, 768}, kNone), {1024, 768}, 32, 24, {960, 720}, 3);
    // A screen smaller than the frame: the whole of it at 4:3, shrunk.
    ExpectPlan(PlanDisplay(FullScreen(Fit::Whole), {300, 200}, kNone), {300, 200}, 18, 1, {264, 198}, 0);
}

TEST(DisplayPlan, WindowSizes) {
    const PixelSize desktops[] = {{1024, 768},  {1920, 1080}, {2560, 1440}, {3840, 2160},
                                  {1080, 1920}, {0, 0},       {320, 240}};
    const int32_t auto_n[] = {2, 4, 5, 8, 3, 2, 1};
    for (size_t i = 0; i < std::size(desktops); i++) {
        SCOPED_TRACE(testing::Message() << desktops[i].w << "x" << desktops[i].h);
        const int32_t n = auto_n[i];
        const DisplayPlan p =
            PlanDisplay({false, kWindowScaleAuto, Fit::Aspect}, desktops[i], kOnlyDesktop1080);
        EXPECT_FALSE(p.fullscreen);
        ExpectPlan(p, {320 * n, 240 * n}, 0, 0, {320 * n, 240 * n}, n);
        // A scale asked for is the window, whatever the desktop.
        ExpectPlan(PlanDisplay({false, 3, Fit::Whole}, desktops[i], kNone), {960, 720}, 0, 0, {960, 720}, 3);
    }
    // 90% both ways: 1280 x 960 fits 1423 x 1067 but not 1422 x 1067 or 1423 x 1066.
    EXPECT_EQ(PlanDisplay({false, kWindowScaleAuto, Fit::Whole}, {1423, 1067}, kNone).n, 4);
    EXPECT_EQ(PlanDisplay({false, kWindowScaleAuto, Fit::Whole}, {1422, 1067}, kNone).n, 3);
    EXPECT_EQ(PlanDisplay({false, kWindowScaleAuto, Fit::Whole}, {1423, 1066}, kNone).n, 3);
}

TEST(DisplayOptions, ParseFitAndOutput) {
    Fit fit = Fit::Whole;
    Output output = Output::Auto;
    EXPECT_TRUE(ParseFit("aspect", &fit) && fit == Fit::Aspect && ParseFit("whole", &fit) &&
                fit == Fit::Whole);
    EXPECT_TRUE(ParseOutput("surface", &output) && output == Output::Surface &&
                ParseOutput("opengl", &output) && output == Output::OpenGl);
    for (const char* bad : std::initializer_list<const char*>{"", "Aspect", "aspect ", "stretch", "gl",
                                                              "OpenGL", "auto", "1", nullptr}) {
        EXPECT_FALSE(ParseFit(bad, &fit)) << bad;
        EXPECT_FALSE(ParseOutput(bad, &output)) << bad;
    }
    EXPECT_EQ(fit, Fit::Whole); // unchanged by the bad ones
    EXPECT_EQ(output, Output::OpenGl);
}

TEST(FramePlacer, SamplePointsNeverOnAnEdge) {
    // Whole-number scales: pixel i / n.
    for (int32_t n = 1; n <= 12; n++) {
        for (int32_t i = 0; i < 320 * n; i++)
            ASSERT_EQ(SampledPixel(i, 320, 320 * n), i / n) << n;
    }
    // Any size: each frame pixel taken, in order, the picture's centres at least half the
    // grid's spacing from its edges.
    for (int32_t picture : {264, 810, 1024, 1080, 1364, 1440, 2000}) {
        const int32_t g = SampleShift(320, picture);
        int32_t last = -1;
        for (int32_t i = 0; i < picture; i++) {
            const int32_t k = SampledPixel(i, 320, picture);
            const int64_t at = (2 * int64_t{i} + 1) * 320 - g; // 2 * picture * position
            ASSERT_GE(at - 2 * int64_t{picture} * k, g) << picture << " " << i;
            ASSERT_LE(k - last, picture < 320 ? 2 : 1);
            last = k;
        }
        if (picture >= 320) {
            EXPECT_EQ(last, 319);
        }
    }
    EXPECT_EQ(SampleShift(320, 1440), 160);
    EXPECT_EQ(SampleShift(240, 1080), 120);
    EXPECT_EQ(SampleShift(320, 1364), 4);
}

// Column x of the frame, element k (row 239 - k), lands on the picture's pixels under it.
TEST(FramePlacer, PictureAtItsPlaceBlackAround) {
    std::vector<uint16_t> frame(kFramePixels, 0);
    frame[0] = 0xFFFF;               // bottom-left
    frame[239] = 0x80A0;             // top-left
    frame[319 * 240 + 239] = 0x00FF; // top-right
    FramePlacer placer;
    // 1920 x 1080 at 4.5: frame pixel k covers the picture's pixels from ceil(4.5k - 1/4) on
    // (centres sampled 1/18 of a frame pixel back, the ties at 4.5k - 1/2 falling below).
    placer.SetPlan(PlanDisplay(FullScreen(Fit::Aspect), {1920, 1080}, kNone));
    const ptrdiff_t pitch = 1930; // rows longer than the mode are left alone past it
    std::vector<uint32_t> out(static_cast<size_t>(pitch) * 1080, 0xDEADBEEF);
    placer.Convert(frame.data(), 16, out.data(), pitch);
    // clang-format off
    const struct {
        int x, y;
        uint32_t shown;
    } pixels[] = {
        {0, 0, 0}, {239, 540, 0}, {1680, 540, 0}, {1925, 540, 0xDEADBEEF}, // borders, past the row
        {240, 0, 0x801080}, {244, 4, 0x801080}, {245, 0, 0}, {240, 5, 0},  // top-left
        {240, 1079, 0xF8F8F8}, {240, 1076, 0xF8F8F8}, {240, 1075, 0},      // bottom-left
        {1679, 0, 0x18F8}, {1676, 4, 0x18F8}, {1675, 0, 0}};               // top-right
    // clang-format on
    for (const auto& p : pixels)
        EXPECT_EQ(out[static_cast<size_t>(p.y * pitch + p.x)], p.shown) << p.x << ", " << p.y;
}
