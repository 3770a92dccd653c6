#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <vector>

#include "gp32_sdl/gp32_sdl.h"

namespace {
uint32_t fake_now = 0;
uint32_t FakeClock() {
    return fake_now;
}

int presented = 0;
void CountPresent(const LcdSurface*) {
    presented++;
}

void Push(Uint8 type, SDLKey sym) {
    SDL_Event e{};
    e.type = type;
    e.key.type = type;
    e.key.keysym.sym = sym;
    ASSERT_EQ(SDL_PushEvent(&e), 0);
}

// Opens a window on SDL's dummy driver so that events can be pushed through SDL.
class InputTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        scale = 0;
        fullscreen = 0;
        ASSERT_EQ(GpGraphicModeSet(16), 0);
    }
    void SetUp() override {
        GpKeyGet();
        for (int32_t& k : keys)
            k = 0;
        quit = 0;
    }
    void TearDown() override { quit = 0; }
};
} // namespace

TEST(Clock, ReplaceableTickSource) {
    fake_now = 123456;
    GpSetTickSource(FakeClock);
    EXPECT_EQ(GpTickCountGet(), 123456u);
    fake_now = 7;
    EXPECT_EQ(GpTickCountGet(), 7u);
    GpSetTickSource(nullptr);
    EXPECT_NE(GpTickCountGet(), 7u + 0x80000000u); // SDL's clock again, whatever it reads
}

TEST_F(InputTest, KeyMaskBitsAndAliases) {
    Push(SDL_KEYDOWN, SDLK_UP);
    Push(SDL_KEYDOWN, SDLK_KP8);
    EXPECT_EQ(GpKeyGet(), 0x008);
    Push(SDL_KEYUP, SDLK_UP);
    EXPECT_EQ(GpKeyGet(), 0x008); // keypad 8 still held
    Push(SDL_KEYUP, SDLK_KP8);
    EXPECT_EQ(GpKeyGet(), 0);

    const struct {
        SDLKey sym;
        int bit;
    } table[] = {{SDLK_LEFT, 0x001},  {SDLK_KP4, 0x001}, {SDLK_DOWN, 0x002}, {SDLK_KP2, 0x002},
                 {SDLK_RIGHT, 0x004}, {SDLK_KP6, 0x004}, {SDLK_l, 0x010},    {SDLK_b, 0x020},
                 {SDLK_a, 0x040},     {SDLK_r, 0x080},   {SDLK_s, 0x100},    {SDLK_d, 0x200}};
    for (const auto& k : table) {
        Push(SDL_KEYDOWN, k.sym);
        EXPECT_EQ(GpKeyGet(), k.bit) << k.sym;
        Push(SDL_KEYUP, k.sym);
        EXPECT_EQ(GpKeyGet(), 0);
    }
    Push(SDL_KEYDOWN, SDLK_x);
    EXPECT_EQ(GpKeyGet(), 0);
    EXPECT_EQ(keys[SDLK_x], 1);
}

TEST_F(InputTest, EscapeAndCloseSetQuit) {
    Push(SDL_KEYDOWN, SDLK_ESCAPE);
    EXPECT_EQ(GpKeyGet(), 0);
    EXPECT_EQ(quit, 1);
    EXPECT_EQ(keys[27], 1);

    quit = 0;
    SDL_Event e{};
    e.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&e), 0);
    GpKeyGet();
    EXPECT_EQ(quit, 1);
}

TEST_F(InputTest, PressAndReleaseInOneDrainIsNotSeen) {
    Push(SDL_KEYDOWN, SDLK_b);
    Push(SDL_KEYUP, SDLK_b);
    EXPECT_EQ(GpKeyGet(), 0);
    Push(SDL_KEYUP, SDLK_d);
    Push(SDL_KEYDOWN, SDLK_d);
    EXPECT_EQ(GpKeyGet(), 0x200);
}

// Held, the clock stands still; released, it goes on from where it stood.
TEST_F(InputTest, HeldClockStandsStillAndGoesOnWithoutAJump) {
    HoldClock(true);
    const uint32_t held = GpTickCountGet();
    SDL_Delay(30);
    EXPECT_EQ(GpTickCountGet(), held);
    HoldClock(true); // holding twice changes nothing
    const uint32_t released_at = SDL_GetTicks();
    HoldClock(false);
    const uint32_t after = GpTickCountGet();
    EXPECT_GE(after, held);
    EXPECT_LE(after - held, SDL_GetTicks() - released_at);
    HoldClock(false);
    EXPECT_LE(GpTickCountGet() - held, SDL_GetTicks() - released_at);
}

TEST_F(InputTest, SecondModeSetHandsOutNewBuffersAndFlipCallsTheHook) {
    LcdSurface a{};
    GpLcdSurfaceGet(&a, 1);
    EXPECT_EQ(a.buffer, GpScreen[1]);
    EXPECT_EQ(a.depth, 16);
    EXPECT_EQ(a.width, 320);
    EXPECT_EQ(a.height, 240);
    ASSERT_EQ(GpGraphicModeSet(16), 0);
    LcdSurface b{};
    GpLcdSurfaceGet(&b, 0);
    EXPECT_EQ(b.buffer, GpScreen[0]);

    presented = 0;
    GpSetPresentHook(CountPresent);
    GpSurfaceFlip(&b, 0);
    GpSurfaceFlip(&b, 2);
    GpSetPresentHook(nullptr);
    EXPECT_EQ(presented, 2);
}

// Full screen in a larger mode leaves the picture in the middle of wider rows: every row of
// the frame lands at its pitch, as the plain conversion draws it, and the rest is untouched.
TEST(Presentation, RowsSpacedWiderThanThePictureGetTheSameFrame) {
    std::vector<uint16_t> frame(kFramePixels);
    for (int i = 0; i < kFramePixels; i++)
        frame[i] = static_cast<uint16_t>(i * 2654435761u >> 7);
    const int saved_scale = scale, saved_window_scale = window_scale;
    window_scale = 0;
    for (const int s : {0, 1}) {
        scale = s;
        const int w = 320 << s, h = 240 << s, pitch_pixels = w + 37;
        std::vector<uint32_t> plain(static_cast<size_t>(w) * h);
        ConvertFrame(frame.data(), 16, plain.data(), s);
        std::vector<uint32_t> wide(static_cast<size_t>(pitch_pixels) * h, 0xDEADBEEF);
        SDL_Surface* surface = SDL_CreateRGBSurfaceFrom(wide.data(), w, h, 32, pitch_pixels * 4, 0x00FF0000,
                                                        0x0000FF00, 0x000000FF, 0);
        ASSERT_NE(surface, nullptr);
        GP32toPC(frame.data(), 16, surface);
        SDL_FreeSurface(surface);
        for (int y = 0; y < h; y++) {
            const uint32_t* got = wide.data() + static_cast<size_t>(y) * pitch_pixels;
            ASSERT_TRUE(std::equal(got, got + w, plain.data() + static_cast<size_t>(y) * w)) << s << " " << y;
            for (int x = w; x < pitch_pixels; x++)
                ASSERT_EQ(got[x], 0xDEADBEEFu) << s << " " << y << " " << x;
        }
    }
    scale = saved_scale;
    window_scale = saved_window_scale;
}
