#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "precalcs/precalcs.h"
#include "precalcs/shades.h"
#include "precalcs/tables.h"
#include "script/scenes.h"
#include "script/script.h"
#include "zarvelin/zarvelin.h"

namespace {
uint32_t now = 0;
uint32_t Clock() {
    return now;
}

bool ColumnBlack(const uint16_t* fb, int x) {
    for (int k = 0; k < 240; k++)
        if (fb[x * 240 + k] != 0) return false;
    return true;
}

class ScenesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        scale = 0;
        fullscreen = 0;
        ASSERT_EQ(InitGraphics(16), 0);
        precalcs();
        GpSetTickSource(Clock);
    }
    static void TearDownTestSuite() { GpSetTickSource(nullptr); }
    void SetUp() override {
        partime = 5000;
        chpart = 0;
        quit = 0;
        flip = 0;
        std::memcpy(shades, sshades, sizeof shades);
    }
    void TearDown() override {
        quit = 0;
        part = 0;
        std::memcpy(shades, sshades, sizeof shades);
    }
    // Runs one frame of part p at part time t through the timeline; returns the buffer drawn.
    static const uint16_t* Frame(int32_t p, int32_t t) {
        part = p;
        now = static_cast<uint32_t>(partime + t);
        Script();
        return framebuffer[flip];
    }
    static void StartSpace() {
        ypp = 1;
        yss = 0;
        xpp = 1;
        xss = 0;
        std::memset(yscan, 0, sizeof yscan);
        std::memset(xscan, 1, sizeof xscan);
    }
};
} // namespace

TEST_F(ScenesTest, SpaceRevealsEvenLinesThenOddLines) {
    StartSpace();
    Frame(0, 0);
    EXPECT_EQ(yscan[0], 1);
    for (int i = 1; i < 96; i++)
        ASSERT_EQ(yscan[i], 0) << i;
    EXPECT_EQ(yss, 0);
    EXPECT_EQ(ypp, 1);

    Frame(0, 512);
    EXPECT_EQ(yss, 23);
    Frame(0, 1023);
    EXPECT_EQ(ypp, 1);
    Frame(0, 1024); // 46 * t / 1024 reaches 46
    EXPECT_EQ(ypp, -1);
    EXPECT_EQ(yss, 46);
    EXPECT_EQ(yscan[92], 0); // line pair 46 is not set by the even pass

    Frame(0, 1100);
    EXPECT_EQ(yscan[93], 1);
    EXPECT_EQ(yscan[91], 0);
    EXPECT_EQ(yss, 42);
    // A long frame skips lines: only those down to the previous frame's extent are set.
    Frame(0, 2100);
    EXPECT_EQ(ypp, 0);
    for (int i = 0; i <= 90; i += 2)
        ASSERT_EQ(yscan[i], 1) << i;
    for (int i = 85; i <= 93; i += 2)
        ASSERT_EQ(yscan[i], 1) << i;
    EXPECT_EQ(yscan[83], 0);
}

TEST_F(ScenesTest, SpaceTakesTheLogoAwayColumnByColumn) {
    StartSpace();
    ypp = 0;
    Frame(0, 6784);
    for (int c = 0; c < 192; c++)
        ASSERT_EQ(xscan[c], 1) << c;
    Frame(0, 6785);
    EXPECT_EQ(xscan[0], 0);
    EXPECT_EQ(xscan[191], 0);
    EXPECT_EQ(xscan[1], 1);
    EXPECT_EQ(xscan[2], 1);
    Frame(0, 7000);
    EXPECT_EQ(xss, 13);
    EXPECT_EQ(xpp, 1);
    Frame(0, 8320);
    EXPECT_EQ(xpp, 0);
    for (int c = 0; c < 192; c++)
        ASSERT_EQ(xscan[c], 0) << c;
}

TEST_F(ScenesTest, PartsEndAtTheirBoundaries) {
    StartSpace();
    Frame(0, 12927);
    EXPECT_EQ(part, 0);
    Frame(0, 12928);
    EXPECT_EQ(part, 1);
    EXPECT_EQ(partime, 5000 + 12928);

    Frame(2, 26623);
    EXPECT_EQ(part, 2);
    Frame(2, 26624);
    EXPECT_EQ(part, 3);

    Frame(3, 26815);
    EXPECT_EQ(part, 3);
    Frame(3, 26816);
    EXPECT_EQ(part, 4);

    Frame(5, 53248);
    EXPECT_EQ(part, 5);
    Frame(5, 53249);
    EXPECT_EQ(part, 6);

    Frame(6, 12288);
    EXPECT_EQ(part, 6);
    Frame(6, 12289);
    EXPECT_EQ(part, 8);
}

TEST_F(ScenesTest, TunnelColoursComeOutOfWhiteAndSinkToBlack) {
    Frame(2, 0);
    for (int i = 0; i < 256; i++)
        ASSERT_EQ(shades[11 * 256 + i], 0xFFFE) << i;
    Frame(2, 500);
    for (int i = 0; i < 256; i++)
        ASSERT_EQ(shades[11 * 256 + i], sshades[11 * 256 + i] & 0xFFFE);
    Frame(2, 26623);
    uint16_t expect[256];
    Fade2Shade(&sshades[12 * 256], bshade, 1023.0f / 1024.0f, expect);
    for (int i = 0; i < 256; i++)
        ASSERT_EQ(shades[12 * 256 + i], expect[i]) << i;
}

TEST_F(ScenesTest, JuliaScenesFadeAndEndOnOneColour) {
    Frame(3, 0);
    for (int i = 0; i < 256; i++)
        ASSERT_EQ(shades[33 * 256 + i], 0) << i;

    Frame(4, 0);
    for (int i = 0; i < 256; i++)
        ASSERT_EQ(shades[16 * 256 + i], 0xFFFE) << i;
    Frame(4, 26624);
    EXPECT_EQ(part, 5);
    const uint16_t flat = shades[16 * 256];
    for (int b = 0; b < 2; b++)
        for (int i = 0; i < 76800; i++)
            ASSERT_EQ(framebuffer[b][i], flat) << b << ":" << i;
}

TEST_F(ScenesTest, WaterPartClosesTheCurtainsAndEndsTheShow) {
    const uint16_t* fb = Frame(8, 960);
    std::vector<uint16_t> sharp(fb, fb + 76800); // the picture is fully unfolded
    EXPECT_NE(sharp[0], sharp[319 * 240]);

    fb = Frame(8, 27439);
    for (int x = 0; x < 154; x++)
        ASSERT_TRUE(ColumnBlack(fb, x)) << x;
    EXPECT_FALSE(ColumnBlack(fb, 160));
    fb = Frame(8, 27440);
    for (int x = 0; x < 320; x++)
        ASSERT_TRUE(ColumnBlack(fb, x)) << x;

    Frame(8, 28776);
    EXPECT_EQ(part, 8);
    EXPECT_EQ(quit, 0);
    fb = Frame(8, 28777);
    EXPECT_EQ(part, 7);
    EXPECT_EQ(quit, 1);
    for (int x = 0; x < 320; x++)
        ASSERT_TRUE(ColumnBlack(fb, x)) << x;
}
