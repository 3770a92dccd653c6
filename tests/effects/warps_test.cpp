#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "data/data.h"
#include "effects/julia.h"
#include "effects/warps.h"
#include "precalcs/tables.h"
#include "script/script.h"

namespace {
constexpr uint16_t kBackground = 0x0842;

// A picture with transparent outermost columns and elements and distinct values inside,
// some of them transparent too.
std::vector<uint16_t> Picture(int columns, int elements) {
    std::vector<uint16_t> image(columns * elements, 0);
    for (int c = 1; c < columns - 1; c++) {
        for (int e = 1; e < elements - 1; e++) {
            if ((c + e) % 7 != 0) image[c * elements + e] = static_cast<uint16_t>(2 * (c * elements + e) + 2);
        }
    }
    return image;
}

std::vector<uint16_t> Frame() {
    return std::vector<uint16_t>(76800, kBackground);
}
} // namespace

TEST(LogoZoom, OneToOneDoubleSizeAndTransparency) {
    const std::vector<uint16_t> image = Picture(128, 32);
    std::vector<uint16_t> frame = Frame();
    ZoomPicture(frame.data(), image.data(), 96, 108, 1.0f);
    for (int c = 0; c < 320; c++) {
        for (int k = 0; k < 240; k++) {
            const bool inside = c >= 96 && c < 224 && k >= 108 && k < 140;
            const uint16_t src = inside ? image[(c - 96) * 32 + (k - 108)] : 0;
            ASSERT_EQ(frame[c * 240 + k], src != 0 ? src : kBackground) << c << " " << k;
        }
    }
    // z = 2: area column 0 shows image column 32, element 0 image element 8, 2 x 2 each.
    frame = Frame();
    ZoomPicture(frame.data(), image.data(), 10, 20, 2.0f);
    for (int x = 0; x < 128; x++) {
        for (int j = 0; j < 32; j++) {
            const uint16_t src = image[(32 + x / 2) * 32 + 8 + j / 2];
            ASSERT_EQ(frame[(10 + x) * 240 + 20 + j], src != 0 ? src : kBackground) << x << " " << j;
        }
    }
    // Shrunk: the edge pixels repeated around the picture are transparent.
    frame = Frame();
    ZoomPicture(frame.data(), image.data(), 96, 108, 0.25f);
    for (int c = 0; c < 320; c++) {
        for (int k = 0; k < 240; k++) {
            const bool centre = c >= 96 + 48 && c < 96 + 80 && k >= 108 + 12 && k < 108 + 20;
            if (!centre) {
                ASSERT_EQ(frame[c * 240 + k], kBackground) << c << " " << k;
            }
        }
    }
}

TEST(LogoZoom, TinyOrInvalidZoomDrawsNothing) {
    const std::vector<uint16_t> image = Picture(128, 32);
    std::vector<uint16_t> frame = Frame();
    for (float z : {0.0f, 1.0f / 512.0f, 1.0f / 1024.0f, -1.0f, std::nanf("")}) {
        ZoomPicture(frame.data(), image.data(), 96, 108, z);
    }
    EXPECT_EQ(frame, Frame());
    // Just above the limit the sums stay in range; an area off the frame is cut.
    ZoomPicture(frame.data(), image.data(), 96, 108, std::nextafter(1.0f / 512.0f, 1.0f));
    ZoomPicture(frame.data(), image.data(), 300, 230, 1.0f);
    ZoomPicture(frame.data(), image.data(), -100, -20, 1e30f);
}

TEST(LogoDistort, DrawsOnlyUnmaskedOpaquePixelsNearTheirPlace) {
    const std::vector<uint16_t> image = Picture(192, 84);
    std::vector<uint16_t> frame = Frame();
    const int32_t saved = prticks;
    DistortInit();
    prticks = 12345;
    DistortPicture(frame.data(), image.data(), 64, 78); // yscan all 0: nothing
    EXPECT_EQ(frame, Frame());

    for (int n = 0; n < 92; n++)
        yscan[n] = (n % 3) != 1;
    for (int n = 0; n < 192; n++)
        xscan[n] = (n % 5) != 2;
    for (int32_t t : {0, 12345, 100000}) {
        prticks = t;
        frame = Frame();
        DistortPicture(frame.data(), image.data(), 64, 78);
        int drawn = 0;
        for (int c = 0; c < 320; c++) {
            for (int k = 0; k < 240; k++) {
                const uint16_t p = frame[c * 240 + k];
                const int i = c - 64, j = k - 78;
                if (i < 0 || i >= 192 || j < -4 || j >= 88 || !xscan[i] || !yscan[j + 4]) {
                    ASSERT_EQ(p, kBackground) << c << " " << k;
                    continue;
                }
                if (p == kBackground) continue;
                ASSERT_NE(p, 0);
                const int src = (p - 2) / 2; // the picture pixel shown: within 3 columns, 5 elements
                ASSERT_LE(std::abs(src / 84 - i), 3) << c << " " << k;
                ASSERT_LE(std::abs(src % 84 - j), 5) << c << " " << k;
                drawn++;
            }
        }
        EXPECT_GT(drawn, 192 * 84 / 3) << t;
    }
    DistortInit();
    prticks = saved;
}

TEST(Rotozoomer, AngleZeroZoomOneAndZoomZero) {
    for (int p = 0; p < 16384; p++)
        rotbitmap[p] = static_cast<uint8_t>((p * 37) >> 3);
    std::vector<uint16_t> row(256);
    for (int e = 0; e < 256; e++)
        row[e] = static_cast<uint16_t>(0x3000 + e);
    std::vector<uint16_t> frame(76800);
    Rotozoomer(frame.data(), row.data(), 0.0f, 1.0f);
    for (int i = 0; i < 320; i++) {
        for (int k = 0; k < 240; k++) {
            ASSERT_EQ(frame[i * 240 + k], row[rotbitmap[((i + 114) % 128) * 128 + (k + 11) % 128]])
                << i << " " << k;
        }
    }
    Rotozoomer(frame.data(), row.data(), 1234.0f, 0.0f);
    for (int p = 0; p < 76800; p++)
        ASSERT_EQ(frame[p], row[rotbitmap[113 * 128 + 10]]) << p;
    // Zoom 2 at angle 0 skips every other texel.
    Rotozoomer(frame.data(), row.data(), 0.0f, 2.0f);
    EXPECT_EQ(frame[0], row[rotbitmap[((113 + 2) % 128) * 128 + 12]]);
    // Steps beyond 32 bits and invalid values still give a frame from the texture.
    Rotozoomer(frame.data(), row.data(), 100.0f, 1e12f);
    Rotozoomer(frame.data(), row.data(), std::nanf(""), std::nanf(""));
    for (int p = 0; p < 76800; p++)
        ASSERT_EQ(frame[p], row[rotbitmap[113 * 128 + 10]]) << p;
}

TEST(EightBitMode, BlursKeepLanesApartAndZoomEnlarges) {
    std::vector<uint8_t> buffer(76800, 40), out(76800, 0);
    Blur(buffer.data(), out.data());
    EXPECT_EQ(buffer[240], 40);
    EXPECT_EQ(buffer[76559], 40);
    EXPECT_EQ(out[1000], 160);
    EXPECT_EQ(out[239], 0);
    EXPECT_EQ(out[76560], 0);
    // One lane at 63 between lanes at 0: halving never spills into the neighbours.
    for (int p = 0; p < 76800; p++)
        buffer[p] = (p % 4 == 1) ? 63 : 0;
    BlurY2(buffer.data(), out.data());
    for (int p = 240; p < 76560; p++)
        ASSERT_EQ(buffer[p], (p % 4 == 1) ? 63 : 0) << p;
    BlurX2(buffer.data(), out.data());
    for (int p = 240; p < 76560; p++)
        ASSERT_EQ(buffer[p], (p % 4 == 1) ? 63 : 0) << p;

    std::vector<uint8_t> src(76800), dst(76800);
    for (int p = 0; p < 76800; p++)
        src[p] = static_cast<uint8_t>(p * 7);
    Zoom(src.data(), dst.data(), 2.0f);
    for (int x = 0; x < 320; x++) {
        for (int k = 0; k < 240; k++)
            ASSERT_EQ(dst[x * 240 + k], src[(x / 2) * 240 + k / 2]);
    }
    Zoom(src.data(), dst.data(), 0.5f); // past the source: its last column and element
    EXPECT_EQ(dst[319 * 240 + 239], src[76799]);
}

TEST(LogoZoom, RealCaptionAndLogoKeepTheirTransparentEdges) {
    std::vector<uint16_t> frame = Frame();
    LogoZoom(frame.data(), 96, 108, 1.0f);
    int drawn = 0;
    for (int c = 0; c < 128; c++) {
        for (int e = 0; e < 32; e++) {
            const uint16_t p = presents[c * 32 + e];
            ASSERT_EQ(frame[(96 + c) * 240 + 108 + e], p != 0 ? p : kBackground);
            drawn += p != 0;
        }
    }
    EXPECT_GT(drawn, 0);
    // Shrunk to a quarter, nothing leaves the centre quarter of the area.
    frame = Frame();
    LogoZoom(frame.data(), 96, 108, 0.25f);
    for (int c = 0; c < 320; c++) {
        for (int k = 0; k < 240; k++) {
            if (c < 144 || c >= 176 || k < 120 || k >= 128) {
                ASSERT_EQ(frame[c * 240 + k], kBackground) << c << " " << k;
            }
        }
    }
    // The logo drawn through the start masks (nothing shown) and then fully shown.
    const int32_t saved = prticks;
    DistortInit();
    prticks = 0;
    frame = Frame();
    LogoDistort(frame.data(), 64, 78);
    EXPECT_EQ(frame, Frame());
    for (int n = 0; n < 92; n++)
        yscan[n] = 1;
    LogoDistort(frame.data(), 64, 78);
    EXPECT_NE(frame, Frame());
    DistortInit();
    prticks = saved;
}
