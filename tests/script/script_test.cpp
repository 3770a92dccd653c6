#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "effects/picture.h"
#include "effects/plasma.h"
#include "engine3d/scene3d.h"
#include "gp32_functions/gp32_functions.h"
#include "precalcs/precalcs.h"
#include "precalcs/shades.h"
#include "script/script.h"
#include "zarvelin/zarvelin.h"

namespace {
constexpr int kPixels = 76800;

// The clock the timeline reads; each read moves it on by step.
uint32_t now = 0;
uint32_t step = 0;
uint32_t FakeClock() {
    const uint32_t v = now;
    now += step;
    return v;
}

bool All(const uint16_t* frame, uint16_t value) {
    for (int i = 0; i < kPixels; i++) {
        if (frame[i] != value) return false;
    }
    return true;
}

class ScriptTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        scale = 0;
        fullscreen = 0;
        ASSERT_EQ(InitGraphics(16), 0);
        precalcs();
        GpSetTickSource(FakeClock);
    }
    static void TearDownTestSuite() { GpSetTickSource(nullptr); }

    void SetUp() override {
        part = 0;
        partime = 1000;
        quit = 0;
        signal3d = 0;
        chpart = 0;
        flip = 0;
        step = 0;
        std::memcpy(shades, sshades, sizeof shades);
    }
    void TearDown() override {
        quit = 0;
        part = 0;
        prticks = 0;
        framebuffer[0] = static_cast<uint16_t*>(GP32Surface[0].buffer);
        framebuffer[1] = static_cast<uint16_t*>(GP32Surface[1].buffer);
        std::memcpy(shades, sshades, sizeof shades);
    }

    // One frame at part time t, as the frame loop runs it; returns the buffer drawn.
    static const uint16_t* Frame(int32_t t) {
        now = static_cast<uint32_t>(partime + t);
        Script();
        const uint16_t* drawn = framebuffer[flip];
        flip = (flip + 1) & 1;
        return drawn;
    }

    std::vector<uint16_t> ref = std::vector<uint16_t>(kPixels);
    const uint16_t* row34 = &shades[34 * 256];
};
} // namespace

TEST_F(ScriptTest, PartsRunInOrderAndEndAtTheirBoundaries) {
    struct Step {
        int32_t part, last, end, next;
    };
    const Step steps[] = {
        {0, 12927, 12928, 1}, {1, 40447, 40448, 2}, {2, 26623, 26624, 3}, {3, 26815, 26816, 4},
        {4, 26623, 26624, 5}, {5, 53248, 53249, 6}, {6, 12288, 12289, 8}, {8, 28776, 28777, 7},
    };
    step = 7; // each read of the clock moves it on: the end reads it afresh
    for (const Step& s : steps) {
        ASSERT_EQ(part, s.part);
        bpp[s.part] = 0;
        Frame(0);
        EXPECT_EQ(bpp[s.part], 16);
        Frame(s.last);
        EXPECT_EQ(part, s.part) << "t " << s.last;
        EXPECT_EQ(prticks, s.last);
        const int32_t start = partime;
        Frame(s.end);
        EXPECT_EQ(part, s.next) << "part " << s.part;
        EXPECT_EQ(partime, start + s.end + 7);
        EXPECT_EQ(quit, s.part == 8 ? 1 : 0);
        if (s.part == 1) {
            EXPECT_EQ(signal3d, 1);
        }
        if (s.part == 4) {
            EXPECT_TRUE(All(framebuffer[0], shades[16 * 256]));
            EXPECT_TRUE(All(framebuffer[1], shades[16 * 256]));
        }
    }
    // The closing part: black, then quit.
    quit = 0;
    std::fill(framebuffer[flip], framebuffer[flip] + kPixels, 0x1234);
    EXPECT_TRUE(All(Frame(100), 0));
    EXPECT_EQ(quit, 1);
    EXPECT_EQ(part, 7);
}

TEST_F(ScriptTest, PartOutsideTheTableDoesNothing) {
    for (int32_t p : {-1, 9, INT32_MAX}) {
        part = p;
        std::fill(framebuffer[0], framebuffer[0] + kPixels, 0x1234);
        Frame(100000);
        EXPECT_EQ(part, p);
        EXPECT_EQ(prticks, 100000);
        EXPECT_TRUE(All(framebuffer[0], 0x1234));
    }
}

TEST_F(ScriptTest, ModeIsReappliedOnceBeforeTheFirstDrawing) {
    static uint16_t old[2][kPixels];
    for (auto& b : old)
        std::fill(b, b + kPixels, 0x1234);
    framebuffer[0] = old[0];
    framebuffer[1] = old[1];
    chpart = 1;
    part = 7;
    const uint16_t* drawn = Frame(0);
    EXPECT_EQ(chpart, 0);
    EXPECT_EQ(drawn, GP32Surface[0].buffer);
    EXPECT_EQ(framebuffer[1], GP32Surface[1].buffer);
    EXPECT_TRUE(All(drawn, 0));
    EXPECT_TRUE(All(old[0], 0x1234));

    // Not again in the next frames.
    framebuffer[0] = old[0];
    flip = 0;
    EXPECT_EQ(Frame(1), old[0]);
    EXPECT_TRUE(All(old[0], 0));
}

TEST_F(ScriptTest, PlasmaFadesChangeAtTheirLimits) {
    part = 5;
    for (int32_t t : {4095, 4096}) {
        const uint16_t* drawn = Frame(t);
        if (t == 4095) {
            PlasmaFade(ref.data(), row34, 255);
        } else {
            Plasma(ref.data(), row34);
        }
        EXPECT_EQ(std::memcmp(drawn, ref.data(), kPixels * 2), 0) << t;
    }
    part = 6;
    for (int32_t t : {0, 2047, 2048}) {
        const uint16_t* drawn = Frame(t);
        OpenVKR(ref.data(), 31);
        RunScene3d(ref.data(), 4);
        if (t <= 2047) PlasmaFade2(ref.data(), row34, static_cast<uint32_t>(255 - (t >> 3)));
        EXPECT_EQ(std::memcmp(drawn, ref.data(), kPixels * 2), 0) << t;
    }
}

TEST_F(ScriptTest, StarColoursRunOutToWhiteAtTheEndOfPart1) {
    part = 1;
    uint16_t* row32 = &shades[32 * 256];
    Frame(40320);
    EXPECT_EQ(std::memcmp(row32, &sshades[32 * 256], 512), 0);
    Frame(40384);
    uint16_t half[256];
    Fade2Shade(&sshades[32 * 256], wshade, 0.5f, half);
    EXPECT_EQ(std::memcmp(row32, half, 512), 0);
    EXPECT_EQ(part, 1);
    // A late last frame would take f past 1: the row stops at white.
    Frame(40700);
    EXPECT_EQ(part, 2);
    EXPECT_EQ(std::memcmp(row32, wshade, 512), 0);
}

TEST(Fade2Shade, BlendsEachChannelTruncated) {
    uint16_t from[256], to[256], out[256], edge[256];
    for (int i = 0; i < 256; i++) {
        from[i] = static_cast<uint16_t>(i * 257);
        to[i] = static_cast<uint16_t>(0xFFFF - i * 131);
    }
    // The ends give the rows with bit 0 clear; factors outside 0..1 (or NaN) hold the ends.
    for (float f : {0.0f, -1.0f, std::nanf("")}) {
        Fade2Shade(from, to, f, out);
        for (int i = 0; i < 256; i++)
            ASSERT_EQ(out[i], from[i] & 0xFFFE) << f << " " << i;
    }
    for (float f : {1.0f, 2.5f}) {
        Fade2Shade(from, to, f, out);
        for (int i = 0; i < 256; i++)
            ASSERT_EQ(out[i], to[i] & 0xFFFE) << f << " " << i;
    }
    std::fill(from, from + 256, 0);
    std::fill(to, to + 256, 0xFFFF);
    Fade2Shade(from, to, 0.5f, out);
    EXPECT_EQ(out[0], 0x7BDE);
    Fade2Shade(to, from, 0.25f, edge); // 31 - 7.75 truncates to 23
    EXPECT_EQ(edge[0], (23 << 11) | (23 << 6) | (23 << 1));
}

TEST(ScriptDeathTest, ModeThatCannotBeSetEndsWithStatusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            part = 7;
            chpart = 1;
            Script();
        },
        ::testing::ExitedWithCode(1), "Unable to set video mode: ");
}
