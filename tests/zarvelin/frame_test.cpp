#include <gtest/gtest.h>

#include <SDL.h>

#include "gp32_sdl/gp32_sdl.h"
#include "zarvelin/zarvelin.h"

namespace {
void Key(Uint8 type, SDLKey sym) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = sym;
    ASSERT_EQ(SDL_PushEvent(&e), 0);
}

class PressTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(InitGraphics(16), 0);
    }
    void SetUp() override {
        GpKeyGet();
        for (int32_t& k : keys)
            k = 0;
        buttons0 = buttons1 = 0;
        vsync = 1;
        fps_show = 0;
    }
};
} // namespace

TEST_F(PressTest, HoldTogglesOnceReleaseAndPressToggleBack) {
    Key(SDL_KEYDOWN, SDLK_d);
    Keys();
    EXPECT_EQ(vsync, 0);
    Keys();
    Keys();
    EXPECT_EQ(vsync, 0); // still held
    Key(SDL_KEYUP, SDLK_d);
    Keys();
    EXPECT_EQ(vsync, 0);
    Key(SDL_KEYDOWN, SDLK_d);
    Keys();
    EXPECT_EQ(vsync, 1);
}

TEST_F(PressTest, DAndBInOneFrameToggleBoth) {
    Key(SDL_KEYDOWN, SDLK_d);
    Key(SDL_KEYDOWN, SDLK_b);
    Keys();
    EXPECT_EQ(vsync, 0);
    EXPECT_EQ(fps_show, 1);
    EXPECT_EQ(buttons0, 0x220);
}

// P pauses once per press, beside the handheld's buttons: the mask never shows it.
TEST_F(PressTest, PTogglesThePauseOncePerPress) {
    Key(SDL_KEYDOWN, SDLK_p);
    EXPECT_EQ(GpKeyGet(), 0);
    EXPECT_TRUE(PausePressed());
    KeyCommands();
    EXPECT_FALSE(PausePressed()); // still held
    Key(SDL_KEYUP, SDLK_p);
    KeyCommands();
    EXPECT_FALSE(PausePressed());
    Key(SDL_KEYDOWN, SDLK_p);
    KeyCommands();
    EXPECT_TRUE(PausePressed());
    Key(SDL_KEYUP, SDLK_p);
    KeyCommands();
    PausePressed();

    SetPaused(true); // no music loaded: the flag alone
    EXPECT_EQ(paused, 1);
    SetPaused(false);
    EXPECT_EQ(paused, 0);
}

// The watching keys: once per press, two presses in one frame one per call, and the button
// mask the show reads as it was (the cursor keys and L in it, the new keys not).
TEST_F(PressTest, WatchingKeysLeaveTheButtonMaskAlone) {
    while (TakeWatchKey().command != WatchCommand::None) {
    }
    Key(SDL_KEYDOWN, SDLK_LEFT);
    Key(SDL_KEYDOWN, SDLK_7);
    EXPECT_EQ(GpKeyGet(), 0x001);
    WatchKey k = TakeWatchKey();
    EXPECT_EQ(k.command, WatchCommand::Back5);
    k = TakeWatchKey();
    EXPECT_EQ(k.command, WatchCommand::Tenth);
    EXPECT_EQ(k.tenth, 7);
    EXPECT_EQ(TakeWatchKey().command, WatchCommand::None); // still held
    Key(SDL_KEYUP, SDLK_LEFT);
    Key(SDL_KEYUP, SDLK_7);
    Key(SDL_KEYDOWN, SDLK_l);
    EXPECT_EQ(GpKeyGet(), 0x010);
    EXPECT_EQ(TakeWatchKey().command, WatchCommand::Forward10);
    Key(SDL_KEYUP, SDLK_l);
    const std::pair<SDLKey, WatchCommand> more[] = {
        {SDLK_SPACE, WatchCommand::Pause},    {SDLK_k, WatchCommand::Pause},
        {SDLK_p, WatchCommand::Pause},        {SDLK_j, WatchCommand::Back10},
        {SDLK_RIGHT, WatchCommand::Forward5}, {SDLK_PAGEUP, WatchCommand::PreviousChapter},
        {SDLK_PAGEDOWN, WatchCommand::NextChapter}, {SDLK_UP, WatchCommand::VolumeUp},
        {SDLK_DOWN, WatchCommand::VolumeDown}, {SDLK_m, WatchCommand::Mute},
    };
    for (const auto& [sym, command] : more) {
        Key(SDL_KEYDOWN, sym);
        const int mask = GpKeyGet();
        EXPECT_EQ(mask & ~0x00F, 0) << sym; // only the cursor keys' own bits
        EXPECT_EQ(TakeWatchKey().command, command) << sym;
        Key(SDL_KEYUP, sym);
        GpKeyGet();
    }
    for (SDLKey sym : {SDLK_b, SDLK_d, SDLK_ESCAPE}) {
        Key(SDL_KEYDOWN, sym);
        GpKeyGet();
        EXPECT_EQ(TakeWatchKey().command, WatchCommand::None) << sym;
        Key(SDL_KEYUP, sym);
    }
    quit = 0;
}

TEST_F(PressTest, TimeBaseFollowsTheClock) {
    GpSetTickSource([]() -> uint32_t { return 40449; });
    EXPECT_EQ(Ticks(), 40449);
    GpSetTickSource(nullptr);
}

TEST(Display, CommandLinePicksTheMode) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SetupDisplay(2), 0);
    EXPECT_EQ(scale, 0);
    EXPECT_EQ(fullscreen, 1);
    EXPECT_EQ(vsync, 0);
    ASSERT_EQ(SetupDisplay(1), 0);
    EXPECT_EQ(scale, 1);
    EXPECT_EQ(fullscreen, 0);
    EXPECT_EQ(vsync, 1);
    EXPECT_EQ(framebuffer[0], GP32Surface[0].buffer);
    EXPECT_EQ(framebuffer[1], GP32Surface[1].buffer);
    EXPECT_NE(framebuffer[0], framebuffer[1]);
}

TEST(Display, WindowScaleFromTheEnvironment) {
    int32_t n = 0;
    for (const char* good : {"1", "3", "6"}) {
        EXPECT_TRUE(ParseWindowScale(good, &n)) << good;
        EXPECT_EQ(n, good[0] - '0');
    }
    for (const char* bad : {"", "0", "7", "-1", "2x", "1e9", " 2", "+2", "02"})
        EXPECT_FALSE(ParseWindowScale(bad, &n)) << bad;
    EXPECT_FALSE(ParseWindowScale(nullptr, &n));

    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("ZARVELIN_SCALE", "3", 1);
    ASSERT_EQ(SetupDisplay(1), 0);
    EXPECT_EQ(window_scale, 3);
    EXPECT_EQ(screen->w, 960);
    EXPECT_EQ(screen->h, 720);
    setenv("ZARVELIN_SCALE", "1", 1);
    ASSERT_EQ(SetupDisplay(1), 0);
    EXPECT_EQ(window_scale, 0);
    EXPECT_EQ(scale, 0);
    EXPECT_EQ(screen->w, 320);
    setenv("ZARVELIN_SCALE", "7", 1); // reported, and the doubled window kept
    ASSERT_EQ(SetupDisplay(1), 0);
    EXPECT_EQ(scale, 1);
    EXPECT_EQ(screen->w, 640);
    setenv("ZARVELIN_SCALE", "4", 1); // full screen ignores it
    ASSERT_EQ(SetupDisplay(2), 0);
    EXPECT_EQ(window_scale, 0);
    EXPECT_EQ(screen->w, 320);
    unsetenv("ZARVELIN_SCALE");
}
