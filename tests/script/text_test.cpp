#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "precalcs/shades.h"
#include "script/script.h"
#include "script/text.h"
#include "zarvelin/zarvelin.h"

namespace {
// Every glyph a full 8 x 8 block except '!' (code 33), which has only its top-left pixel.
void SolidSmallFont() {
    uint8_t bits[472];
    std::memset(bits, 0xFF, sizeof(bits));
    std::memset(bits + 8, 0, 8);
    bits[8] = 0x80;
    InitFontsFrom(bits);
}

class SmallFontTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SolidSmallFont();
        fb.assign(76800, 0);
        surface = {fb.data(), 16, 320, 240, 0, 0};
    }
    // Screen pixel (x, row from the top).
    uint16_t Px(int x, int row) const { return fb[x * 240 + 239 - row]; }
    int ColumnsTouched() const {
        int n = 0;
        for (int x = 0; x < 320; x++) {
            for (int e = 0; e < 240; e++) {
                if (fb[x * 240 + e] != 0) {
                    n++;
                    break;
                }
            }
        }
        return n;
    }
    std::vector<uint16_t> fb;
    LcdSurface surface;
};
} // namespace

TEST_F(SmallFontTest, ConversionTurnsRowsIntoColumns) {
    // '!' has its top-left pixel only: column 0, top row, i.e. the last byte of column 0.
    for (int i = 0; i < 64; i++)
        EXPECT_EQ(fonts[64 + i], i == 7 ? 0xFF : 0) << i;
    DrawText(20, 50, 1, "!", 16, &surface);
    EXPECT_EQ(Px(20, 43), 0x00FF);
    EXPECT_EQ(ColumnsTouched(), 1);
}

TEST_F(SmallFontTest, ClipsColumnsZeroAnd319) {
    DrawText(0, 20, 1, "A", 16, &surface);
    for (int row = 13; row <= 20; row++) {
        EXPECT_EQ(Px(0, row), 0);
        EXPECT_EQ(Px(1, row), 0x00FF);
        EXPECT_EQ(Px(7, row), 0x00FF);
    }
    EXPECT_EQ(Px(1, 12), 0);
    EXPECT_EQ(Px(1, 21), 0);
    fb.assign(76800, 0);
    DrawText(312, 20, 1, "A", 16, &surface);
    EXPECT_EQ(Px(311, 20), 0);
    EXPECT_EQ(Px(312, 20), 0x00FF);
    EXPECT_EQ(Px(318, 20), 0x00FF);
    EXPECT_EQ(Px(319, 20), 0);
    EXPECT_EQ(ColumnsTouched(), 7);
}

TEST_F(SmallFontTest, StopsWhenThePenReachesTheRightEdge) {
    // 41 characters and no terminator: reading a 42nd would leave the array.
    std::unique_ptr<char[]> text(new char[41]);
    std::memset(text.get(), 'A', 41);
    DrawText(0, 20, 1000, text.get(), 16, &surface);
    EXPECT_EQ(ColumnsTouched(), 318);
}

TEST_F(SmallFontTest, CharactersWithoutGlyphsAdvanceAndZeroEnds) {
    DrawText(8, 20, 10, "a[A\0A", 16, &surface);
    EXPECT_EQ(Px(8, 20), 0);
    EXPECT_EQ(Px(16, 20), 0);
    EXPECT_EQ(Px(24, 20), 0x00FF);
    EXPECT_EQ(Px(32, 20), 0);
    EXPECT_EQ(ColumnsTouched(), 8);
}

TEST_F(SmallFontTest, OrsIntoTheBufferAtEitherDepth) {
    fb[10 * 240 + 239 - 20] = 0xFFFF;
    fb[11 * 240 + 239 - 20] = 0x80A0;
    DrawText(10, 20, 1, "A", 16, &surface);
    EXPECT_EQ(Px(10, 20), 0xFFFF);
    EXPECT_EQ(Px(11, 20), 0x80FF);
    EXPECT_EQ(Px(12, 20), 0x00FF);

    std::vector<uint8_t> bytes(76800, 0x11);
    LcdSurface s8 = {bytes.data(), 8, 320, 240, 0, 0};
    DrawText(10, 20, 1, "A", 8, &s8);
    EXPECT_EQ(bytes[10 * 240 + 239 - 20], 0xFF);
    EXPECT_EQ(bytes[10 * 240 + 239 - 21], 0x11);

    fb.assign(76800, 0);
    DrawText(10, 20, 1, "A", 15, &surface);
    EXPECT_EQ(ColumnsTouched(), 0);
}

TEST_F(SmallFontTest, RowsOffTheFrameStayInTheirColumn) {
    DrawText(10, 3, 1, "A", 16, &surface); // rows -4..3: only 0..3 are on the frame
    EXPECT_EQ(Px(10, 0), 0x00FF);
    EXPECT_EQ(Px(10, 3), 0x00FF);
    EXPECT_EQ(fb[11 * 240 + 0], 0); // nothing spilled into the next column's bottom
    int set = 0;
    for (uint16_t p : fb)
        set += p != 0;
    EXPECT_EQ(set, 8 * 4);
}

namespace {
// Map: 'A' -> glyph 1 (full, level of pixel (column c, row r from the top) = 1 + (c + 2r) % 15),
// 'B' -> glyph 2 (only its top row set), ' ' -> glyph 0.
std::vector<uint8_t> SyntheticLargeFont() {
    std::vector<uint8_t> f(22272, 0);
    f['A'] = 1;
    f['B'] = 2;
    f[' '] = 0;
    f[0xE9] = 3; // a code above 127 reaches its own map entry
    for (int r = 0; r < 16; r++) {
        for (int c = 0; c < 16; c++) {
            // Glyph g follows the map at 256 + 256 * g; glyph 0 stays blank.
            f[512 + r * 16 + c] = static_cast<uint8_t>(1 + (c + 2 * r) % 15);
            f[768 + r * 16 + c] = r == 0 ? 7 : 0;
            f[1024 + r * 16 + c] = 5;
        }
    }
    return f;
}

int Level(int c, int row_from_top) {
    return 1 + (c + 2 * row_from_top) % 15;
}

class LargeFontTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::vector<uint8_t> f = SyntheticLargeFont();
        FontInitFrom(f.data(), static_cast<uint32_t>(f.size()));
        for (int i = 0; i < 256; i++)
            colours[i] = static_cast<uint16_t>(0x1000 + i);
        fb.assign(76800, 0);
    }
    uint16_t At(int column, int element) const { return fb[column * 240 + element]; }
    int Changed() const {
        int n = 0;
        for (uint16_t p : fb)
            n += p != 0;
        return n;
    }
    uint16_t colours[256];
    std::vector<uint16_t> fb;
};
} // namespace

TEST_F(LargeFontTest, ScaleOneBoxAndOrientation) {
    drawfont16(100, 100, 1.0f, 'A', colours, fb.data());
    EXPECT_EQ(Changed(), 256);
    // Columns 92..107, elements 92..107; the glyph's top row is the highest element.
    for (int c = 0; c < 16; c++) {
        for (int e = 0; e < 16; e++)
            ASSERT_EQ(At(92 + c, 92 + e), 0x1000 + 16 * Level(c, 15 - e)) << c << "," << e;
    }
    // Only the top row of 'B': element 107 of each column.
    fb.assign(76800, 0);
    drawfont16(100, 100, 1.0f, 'B', colours, fb.data());
    EXPECT_EQ(Changed(), 16);
    EXPECT_EQ(At(92, 107), 0x1000 + 16 * 7);
    fb.assign(76800, 0);
    drawfont16(100, 100, 1.0f, 0xE9, colours, fb.data());
    EXPECT_EQ(At(100, 100), 0x1000 + 16 * 5);
}

TEST_F(LargeFontTest, ClippedGlyphKeepsItsUnclippedPlaces) {
    drawfont16(100, 3, 1.0f, 'A', colours, fb.data()); // Y0 = -5
    EXPECT_EQ(Changed(), 16 * 11);
    for (int c = 0; c < 16; c++) {
        for (int e = 5; e < 16; e++)
            ASSERT_EQ(At(92 + c, e - 5), 0x1000 + 16 * Level(c, 15 - e));
    }
    fb.assign(76800, 0);
    drawfont16(3, 100, 1.0f, 'A', colours, fb.data()); // X0 = -5
    EXPECT_EQ(Changed(), 11 * 16);
    for (int c = 5; c < 16; c++) {
        for (int e = 0; e < 16; e++)
            ASSERT_EQ(At(c - 5, 92 + e), 0x1000 + 16 * Level(c, 15 - e));
    }
    fb.assign(76800, 0);
    drawfont16(319 + 8, 239 + 8, 1.0f, 'A', colours, fb.data()); // one pixel in the top-right corner
    EXPECT_EQ(Changed(), 1);
    EXPECT_EQ(At(319, 239), 0x1000 + 16 * Level(0, 15));
}

TEST_F(LargeFontTest, ScaledBoxAndBlankOrMissingGlyphs) {
    // Scale 2 at (100, 100): columns 84..115, each source pixel twice.
    drawfont16(100, 100, 2.0f, 'A', colours, fb.data());
    EXPECT_EQ(Changed(), 32 * 32);
    EXPECT_EQ(At(84, 84), 0x1000 + 16 * Level(0, 15));
    EXPECT_EQ(At(85, 85), 0x1000 + 16 * Level(0, 15));
    EXPECT_EQ(At(115, 115), 0x1000 + 16 * Level(15, 0));
    fb.assign(76800, 0);
    drawfont16(100, 100, 1.0f, ' ', colours, fb.data());
    drawfont16(100, 100, 1.0f, 'z', colours, fb.data());
    drawfont16(100, 100, 0.0f, 'A', colours, fb.data());
    drawfont16(100, 100, -1.0f, 'A', colours, fb.data());
    drawfont16(320 + 8, 100, 1.0f, 'A', colours, fb.data());
    drawfont16(100, -8, 1.0f, 'A', colours, fb.data());
    EXPECT_EQ(Changed(), 0);
}

TEST_F(LargeFontTest, PulsingTextUsesShadeRowSixteen) {
    colortest();
    prticks = 300;
    DrawText16(100, 100, "A A", fb.data());
    // Letter i at x + 16 i, its size a wave over prticks and i, coloured by shade row 16.
    std::vector<uint16_t> expected(76800, 0);
    for (int i : {0, 2}) {
        const float s = static_cast<float>((std::sin(300 * 0.0078125 + i * 0.5) * 0.35 + 0.95) * 1.5);
        drawfont16(100 + 16 * i, 100, s, 'A', shades + 4096, expected.data());
    }
    EXPECT_EQ(fb, expected);
    EXPECT_NE(At(100, 100), 0);
    prticks = 0;
}

namespace {
uint32_t fake_ms = 0;
uint32_t FakeClock() {
    return fake_ms;
}

class CounterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SolidSmallFont();
        saved_surface = GP32Surface[0];
        fb.assign(76800, 0);
        GP32Surface[0] = {fb.data(), 16, 320, 240, 0, 0};
        flip = 0;
        part = 0;
        bpp[0] = 16;
        atime = fps = mo = nfrm = 0;
        GpSetTickSource(FakeClock);
    }
    void TearDown() override {
        GpSetTickSource(nullptr);
        GP32Surface[0] = saved_surface;
        bpp[0] = 0;
        atime = fps = mo = nfrm = 0;
    }
    LcdSurface saved_surface;
    std::vector<uint16_t> fb;
};
} // namespace

TEST_F(CounterTest, UpdatesOncePerThousandUnits) {
    const struct {
        uint32_t ms;
        int32_t frames;
        int32_t shown;
    } steps[] = {{0, 5, 0},       {999, 60, 0},    {1000, 61, 61}, {1500, 90, 61},
                 {1999, 120, 61}, {2000, 130, 69}, {3500, 140, 10}};
    for (const auto& s : steps) {
        fake_ms = s.ms;
        nfrm = s.frames;
        CountFps(0);
        EXPECT_EQ(mo, s.shown) << s.ms;
    }
    EXPECT_EQ(atime, 3500);
    int set = 0;
    for (uint16_t p : fb)
        set += p != 0;
    EXPECT_EQ(set, 0);
}

TEST_F(CounterTest, ShowDrawsTheLineAtTopLeft) {
    fake_ms = 1000;
    nfrm = 42;
    CountFps(1);
    EXPECT_STREQ(sbuffer, "FPS = 42");
    // 'F' at columns 8..15, rows 9..16.
    EXPECT_EQ(fb[8 * 240 + 239 - 16], 0x00FF);
    EXPECT_EQ(fb[8 * 240 + 239 - 9], 0x00FF);
    EXPECT_EQ(fb[8 * 240 + 239 - 17], 0);
    EXPECT_EQ(fb[7 * 240 + 239 - 16], 0);
    // The 8-bit parts draw bytes; an unknown depth draws nothing.
    fb.assign(76800, 0);
    bpp[0] = 4;
    CountFps(1);
    int set = 0;
    for (uint16_t p : fb)
        set += p != 0;
    EXPECT_EQ(set, 0);
}
