#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gp32_functions/convert.h"
#include "gp32_functions/gp32_functions.h"

TEST(PixelConversion, ChannelValues) {
    EXPECT_EQ(Rgb5551ToPC(0xFFFF), 0x00F8F8F8u);
    EXPECT_EQ(Rgb5551ToPC(0x0001), 0u);
    EXPECT_EQ(Rgb5551ToPC(0x80A0), 0x00801080u);
    EXPECT_EQ(Rgb5551ToPC(0x00FF), 0x000018F8u);
    EXPECT_EQ(Rgb5551ToPC(0xF800), 0x00F80000u);
}

namespace {
std::vector<uint16_t> NumberedFrame() {
    std::vector<uint16_t> fb(kFramePixels);
    for (int i = 0; i < kFramePixels; i++)
        fb[i] = static_cast<uint16_t>((i * 2654435761u) >> 16) & 0xFFFE;
    return fb;
}
} // namespace

TEST(PixelConversion, ColumnOrderAtOneToOne) {
    const std::vector<uint16_t> fb = NumberedFrame();
    std::vector<uint32_t> out(320 * 240, 0xDEADBEEF);
    ConvertFrame(fb.data(), 16, out.data(), 0);
    // Element 0 is bottom-left, 239 top-left, 240 the bottom of column 1, 76799 top-right.
    EXPECT_EQ(out[239 * 320 + 0], Rgb5551ToPC(fb[0]));
    EXPECT_EQ(out[0 * 320 + 0], Rgb5551ToPC(fb[239]));
    EXPECT_EQ(out[239 * 320 + 1], Rgb5551ToPC(fb[240]));
    EXPECT_EQ(out[0 * 320 + 319], Rgb5551ToPC(fb[76799]));
    for (int x = 0; x < 320; x += 37)
        for (int y = 0; y < 240; y += 11)
            ASSERT_EQ(out[y * 320 + x], Rgb5551ToPC(fb[x * 240 + 239 - y]));
}

TEST(PixelConversion, DoubledLayout) {
    const std::vector<uint16_t> fb = NumberedFrame();
    std::vector<uint32_t> out(640 * 480, 0xDEADBEEF);
    ConvertFrame(fb.data(), 16, out.data(), 1);
    const uint32_t v0 = Rgb5551ToPC(fb[0]);
    EXPECT_EQ(out[478 * 640 + 0], v0);
    EXPECT_EQ(out[478 * 640 + 1], v0);
    EXPECT_EQ(out[479 * 640 + 0], v0);
    EXPECT_EQ(out[479 * 640 + 1], v0);
    for (int x = 0; x < 640; x++)
        for (int y = 0; y < 480; y++)
            ASSERT_EQ(out[y * 640 + x], Rgb5551ToPC(fb[(x / 2) * 240 + 239 - y / 2])) << x << "," << y;
}

TEST(PixelConversion, OtherScalesDrawNothingAndPaletteDepthUsesPalette) {
    const std::vector<uint16_t> fb = NumberedFrame();
    std::vector<uint32_t> out(16, 7);
    ConvertFrame(fb.data(), 16, out.data(), 2);
    EXPECT_EQ(out[0], 7u);

    std::vector<uint16_t> colours(256);
    for (int i = 0; i < 256; i++)
        colours[i] = static_cast<uint16_t>(i << 8);
    colours[3] = 0xF800;
    uint32_t* table = GpPaletteCreate(256, colours.data());
    EXPECT_EQ(table[3], 0xF800u);
    GpPaletteSelect(table);
    EXPECT_EQ(gp_palette[3], 0x00F80000u);
    std::vector<uint8_t> fb8(kFramePixels, 3);
    std::vector<uint32_t> px(320 * 240);
    ConvertFrame(fb8.data(), 8, px.data(), 0);
    EXPECT_EQ(px[12345], 0x00F80000u);
    std::free(table);
}

TEST(PixelConversion, EveryPathAndSizeMatchesAStraightReference) {
    // Random frames at both depths and every window size; every window pixel is compared.
    uint32_t seed = 12345;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    for (int i = 0; i < 256; i++)
        gp_palette[i] = next() & 0xFFFFFF;
    for (int depth : {16, 8}) {
        std::vector<uint16_t> fb(kFramePixels);
        for (uint16_t& p : fb)
            p = static_cast<uint16_t>(next());
        const uint8_t* fb8 = reinterpret_cast<const uint8_t*>(fb.data());
        for (int n = 1; n <= kMaxWindowScale; n++) {
            const int w = 320 * n;
            std::vector<uint32_t> want(w * 240 * n);
            for (int y = 0; y < 240 * n; y++)
                for (int x = 0; x < w; x++) {
                    const int e = (x / n) * 240 + 239 - y / n;
                    want[y * w + x] = depth == 16 ? Rgb5551ToPC(fb[e]) : gp_palette[fb8[e]];
                }
            std::vector<uint32_t> out(want.size(), 1);
            ConvertFrameScaled(fb.data(), depth, out.data(), n);
            EXPECT_TRUE(out == want) << "depth " << depth << " n " << n;
            if (n > 2) continue;
            const int s = n - 1;
            std::fill(out.begin(), out.end(), 1);
            ConvertFrame(fb.data(), depth, out.data(), s);
            EXPECT_TRUE(out == want) << "depth " << depth << " scale " << s;
            for (ConvertPath path : {ConvertPath::Portable, ConvertPath::Sse2, ConvertPath::Avx2}) {
                std::fill(out.begin(), out.end(), 2);
                ConvertFrameOn(path, fb.data(), depth, out.data(), s);
                EXPECT_TRUE(out == want)
                    << "depth " << depth << " scale " << s << " path " << static_cast<int>(path)
                    << (ConvertPathAvailable(path) ? "" : " (not on this machine)");
            }
        }
    }
    std::vector<uint32_t> out(16, 7);
    ConvertFrameOn(ConvertPath::Portable, out.data(), 16, out.data(), -1);
    EXPECT_EQ(out[0], 7u);
}

TEST(PixelConversion, ScaledMatchesThePlainConversionAndRepeatsBlocks) {
    const std::vector<uint16_t> fb = NumberedFrame();
    for (int n = 1; n <= 2; n++) {
        std::vector<uint32_t> plain(76800 * n * n, 1), scaled(76800 * n * n, 2);
        ConvertFrame(fb.data(), 16, plain.data(), n - 1);
        ConvertFrameScaled(fb.data(), 16, scaled.data(), n);
        ASSERT_EQ(plain, scaled) << n;
    }
    // n = 6: element 0 (bottom-left) fills rows 1434..1439, columns 0..5 of 1920.
    std::vector<uint32_t> out(1920 * 1440, 0xDEADBEEF);
    ConvertFrameScaled(fb.data(), 16, out.data(), 6);
    EXPECT_EQ(out[1434 * 1920 + 5], Rgb5551ToPC(fb[0]));
    EXPECT_EQ(out[1439 * 1920 + 0], Rgb5551ToPC(fb[0]));
    EXPECT_EQ(out[1433 * 1920 + 0], Rgb5551ToPC(fb[1]));
    EXPECT_EQ(out[1439 * 1920 + 6], Rgb5551ToPC(fb[240]));
    EXPECT_EQ(out[0 * 1920 + 1919], Rgb5551ToPC(fb[76799]));
    EXPECT_EQ(std::count(out.begin(), out.end(), 0xDEADBEEFu), 0);
    for (int n : {0, 7, -1}) {
        std::vector<uint32_t> untouched(16, 7);
        ConvertFrameScaled(fb.data(), 16, untouched.data(), n);
        EXPECT_EQ(untouched[0], 7u);
    }
}
