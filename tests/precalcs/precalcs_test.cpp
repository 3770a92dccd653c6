#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "precalcs/precalcs.h"
#include "precalcs/shades.h"
#include "script/text.h"
#include "zarvelin/zarvelin.h"

namespace {
constexpr uint16_t kBackground = 0x80A0;

std::vector<std::string> captions;
std::vector<const void*> presented;
void Record(const LcdSurface* s) {
    captions.push_back(textbuffer);
    presented.push_back(s->buffer);
}

// Two loading-colour buffers behind GP32Surface, a small font whose glyphs are full
// blocks, and a hook that records every presentation.
class LoadingBarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        uint8_t bits[472];
        std::memset(bits, 0xFF, sizeof(bits));
        InitFontsFrom(bits);
        for (int i = 0; i < 2; i++) {
            saved[i] = GP32Surface[i];
            fb[i].assign(76800, kBackground);
            GP32Surface[i] = {fb[i].data(), 16, 320, 240, 0, 0};
            prec_framebuffer[i] = fb[i].data();
        }
        prec_flip = 0;
        prec_ybar = 0;
        captions.clear();
        presented.clear();
        GpSetPresentHook(Record);
    }
    void TearDown() override {
        GpSetPresentHook(nullptr);
        for (int i = 0; i < 2; i++)
            GP32Surface[i] = saved[i];
        prec_flip = 0;
        prec_ybar = 0;
    }
    // Screen pixel (x, row from the top) of buffer b.
    uint16_t Px(int b, int x, int row) const { return fb[b][x * 240 + 239 - row]; }
    // Columns of row `row` that are black in buffer b, as first..last (or -1 when none).
    std::pair<int, int> BlackSpan(int b, int row) const {
        int first = -1, last = -1;
        for (int x = 0; x < 320; x++) {
            if (Px(b, x, row) == 0) {
                if (first < 0) first = x;
                last = x;
            }
        }
        return {first, last};
    }
    LcdSurface saved[2];
    std::vector<uint16_t> fb[2];
};
} // namespace

TEST_F(LoadingBarTest, EighteenPresentationsPerLineAlternatingBuffers) {
    for (int total : {512, 2048, 4096}) {
        presented.clear();
        for (int n = 0; n < total; n++)
            update_precbar("X", n, total);
        EXPECT_EQ(presented.size(), 18u) << total;
    }
    presented.clear();
    for (int c = 1; c <= 76800; c++)
        update_precbar("X", c, 76800);
    ASSERT_EQ(presented.size(), 18u);
    for (size_t i = 0; i < presented.size(); i++)
        EXPECT_EQ(presented[i], fb[(i + 18 * 3) % 2].data());
}

TEST_F(LoadingBarTest, FirstUpdatesAndBarWidths) {
    update_precbar("PRECALCULATING SINES..", 0, 2048);
    EXPECT_EQ(BlackSpan(0, 1), std::make_pair(159, 159)); // 0 %: one column
    EXPECT_EQ(prec_flip, 1);

    prec_ybar = 2;
    update_precbar("RADIUS AND ANGLE FOR EACH PIXEL!", 4800, 76800); // 6 %: w = 9
    EXPECT_EQ(BlackSpan(1, 25), std::make_pair(150, 168));
    EXPECT_EQ(BlackSpan(1, 35), std::make_pair(150, 168));
    EXPECT_EQ(BlackSpan(1, 24), std::make_pair(-1, -1)); // the line's first row stays
    EXPECT_EQ(BlackSpan(1, 36), std::make_pair(-1, -1));
    EXPECT_EQ(std::string(textbuffer), "RADIUS AND ANGLE FOR EACH PIXEL! (3/6)");
    update_precbar("RADIUS AND ANGLE FOR EACH PIXEL!", 4801, 76800); // not drawn
    EXPECT_EQ(presented.size(), 2u);

    // A caption longer than any the show uses is kept whole, extreme counts included.
    const std::string long_text(60, 'X');
    total_precs = INT32_MIN;
    update_precbar(long_text.c_str(), 0, 2048);
    total_precs = 6;
    EXPECT_EQ(std::string(textbuffer), long_text + " (3/-2147483648)");
}

TEST_F(LoadingBarTest, FullLineInBothBuffersAndCaptionPlacement) {
    prec_ybar = 2;
    for (int c = 1; c <= 76800; c++)
        update_precbar("RADIUS AND ANGLE FOR EACH PIXEL!", c, 76800);
    for (int b = 0; b < 2; b++) {
        for (int row = 25; row <= 35; row++) {
            // Column 319 keeps the background; the caption's pixels are ORed blue.
            EXPECT_EQ(Px(b, 319, row), kBackground);
            EXPECT_EQ(Px(b, 0, row), 0);
            EXPECT_EQ(Px(b, 7, row), 0);
        }
        // 38 characters from x = 8: rows 27..34, columns 8..311 (the font's glyphs are full).
        for (int row = 27; row <= 34; row++) {
            EXPECT_EQ(Px(b, 8, row), 0x00FF);
            EXPECT_EQ(Px(b, 311, row), 0x00FF);
            EXPECT_EQ(Px(b, 312, row), 0);
        }
        EXPECT_EQ(Px(b, 8, 26), 0);
        EXPECT_EQ(Px(b, 8, 35), 0);
        EXPECT_EQ(Px(b, 8, 36), kBackground);
    }
}

TEST_F(LoadingBarTest, LastLineRowsAndCaptionOverBackground) {
    prec_ybar = 4;
    update_precbar("SLOW THE EGGS.", 0, 512);
    EXPECT_EQ(std::string(textbuffer), "SLOW THE EGGS. (5/6)");
    // Bar rows 49..59; caption rows 51..58, centred: 20 characters from x = 80.
    EXPECT_EQ(Px(0, 159, 49), 0);
    EXPECT_EQ(Px(0, 159, 59), 0);
    EXPECT_EQ(Px(0, 159, 48), kBackground);
    EXPECT_EQ(Px(0, 159, 60), kBackground);
    EXPECT_EQ(Px(0, 80, 58), 0x80FF);
    EXPECT_EQ(Px(0, 80, 51), 0x80FF);
    EXPECT_EQ(Px(0, 80, 50), kBackground);
    EXPECT_EQ(Px(0, 79, 58), kBackground);
    EXPECT_EQ(Px(0, 159, 58), 0x00FF);
    // The other buffer is untouched until the next update.
    EXPECT_EQ(BlackSpan(1, 49), std::make_pair(-1, -1));
}

TEST_F(LoadingBarTest, PrecalcsShowsFiveLinesOfEighteen) {
    precalcs();
    ASSERT_EQ(captions.size(), 90u);
    const char* const lines[5] = {"PRECALCULATING SINES.. (1/6)", "..AND MORE SINES (2/6)",
                                  "RADIUS AND ANGLE FOR EACH PIXEL! (3/6)", "TRICKY TEST.. (4/6)",
                                  "SLOW THE EGGS. (5/6)"};
    for (size_t i = 0; i < captions.size(); i++)
        EXPECT_EQ(captions[i], lines[i / 18]) << i;
    EXPECT_EQ(prec_ybar, 5);
    // Every line ends full in both buffers; the row between two lines keeps the background.
    for (int b = 0; b < 2; b++) {
        for (int p = 0; p < 5; p++) {
            EXPECT_EQ(BlackSpan(b, 12 * p + 1), std::make_pair(0, 318)) << b << "," << p;
            EXPECT_EQ(BlackSpan(b, 12 * p + 11), std::make_pair(0, 318)) << b << "," << p;
            EXPECT_EQ(BlackSpan(b, 12 * p), std::make_pair(-1, -1)) << b << "," << p;
        }
        EXPECT_EQ(BlackSpan(b, 61), std::make_pair(-1, -1));
    }
}
