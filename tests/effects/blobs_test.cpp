#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "effects/blobs.h"
#include "precalcs/shades.h"
#include "precalcs/tables.h"
#include "script/script.h"

namespace {
class BlobTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        BlobInit();
        colortest();
    }
    void SetUp() override { std::memset(blobbuffer, 0, sizeof blobbuffer); }
    void TearDown() override { std::memset(blobbuffer, 0, sizeof blobbuffer); }
    static std::vector<uint8_t> Snapshot() { return std::vector<uint8_t>(blobbuffer, blobbuffer + 76800); }
};

// Every nonzero pixel of a equals the pixel of b shifted by (dc, de); columns and
// elements given are the only ones that may be nonzero.
void ExpectShifted(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int dc, int de, int c_lo,
                   int c_hi, int e_lo, int e_hi) {
    int drawn = 0;
    for (int c = 0; c < 320; c++) {
        for (int e = 0; e < 240; e++) {
            const uint8_t v = a[c * 240 + e];
            if (c < c_lo || c > c_hi || e < e_lo || e > e_hi) {
                ASSERT_EQ(v, 0) << c << " " << e;
                continue;
            }
            ASSERT_EQ(v, b[(c + dc) * 240 + e + de]) << c << " " << e;
            drawn++;
        }
    }
    EXPECT_EQ(drawn, (c_hi - c_lo + 1) * (e_hi - e_lo + 1));
}
} // namespace

TEST_F(BlobTest, ClippedAtAllFourEdgesFromTheMatchingProfileOffset) {
    // Scale 0.5: 16 x 16 pixels, two profile steps a pixel. Inside at (100, 100): x0 = y0 = 92.
    draw_blob(100, 100, 0.5f);
    const std::vector<uint8_t> inside = Snapshot();
    EXPECT_EQ(inside[100 * 240 + 100], 255);
    EXPECT_EQ(inside[92 * 240 + 92], blob[0]);
    clean_blob(100, 100, 0.5f);

    draw_blob(3, 100, 0.5f); // x0 = -5: columns 0..10 show profile steps 5..15
    ExpectShifted(Snapshot(), inside, 97, 0, 0, 10, 92, 107);
    clean_blob(3, 100, 0.5f);
    draw_blob(100, 2, 0.5f); // y0 = -6
    ExpectShifted(Snapshot(), inside, 0, 98, 92, 107, 0, 9);
    clean_blob(100, 2, 0.5f);
    draw_blob(315, 100, 0.5f); // x0 = 307: cut after column 319
    ExpectShifted(Snapshot(), inside, -215, 0, 307, 319, 92, 107);
    clean_blob(315, 100, 0.5f);
    draw_blob(100, 236, 0.5f); // y0 = 228: cut after element 239
    ExpectShifted(Snapshot(), inside, 0, -136, 92, 107, 228, 239);
    clean_blob(100, 236, 0.5f);
    EXPECT_EQ(Snapshot(), std::vector<uint8_t>(76800, 0));

    // Entirely outside, scale 0 and invalid scales draw nothing.
    draw_blob(-20, 100, 0.5f);
    draw_blob(100, 248, 0.5f);
    draw_blob(100, 100, 0.0f);
    draw_blob(100, 100, -1.0f);
    draw_blob(100, 100, std::nanf(""));
    draw_blob(2147483647, -2147483647, 1.0f);
    EXPECT_EQ(Snapshot(), std::vector<uint8_t>(76800, 0));
}

TEST_F(BlobTest, OverlapSaturatesAndCleanTouchesExactlyTheDrawnPixels) {
    draw_blob(50, 60, 0.66f);
    const std::vector<uint8_t> once = Snapshot();
    draw_blob(50, 60, 0.66f);
    for (int p = 0; p < 76800; p++)
        ASSERT_EQ(blobbuffer[p], std::min(2 * once[p], 255)) << p;

    // Corner blob over a buffer of 7s: clean_blob zeroes exactly what draw_blob changed.
    std::memset(blobbuffer, 7, sizeof blobbuffer);
    draw_blob(318, 1, 0.8f);
    const std::vector<uint8_t> drawn = Snapshot();
    clean_blob(318, 1, 0.8f);
    int touched = 0;
    for (int p = 0; p < 76800; p++) {
        ASSERT_EQ(blobbuffer[p], drawn[p] != 7 ? 0 : 7) << p;
        touched += drawn[p] != 7;
    }
    EXPECT_GT(touched, 0);
}

TEST_F(BlobTest, StarFieldFrame) {
    const int32_t saved = prticks;
    for (int i = 0; i < 512; i++) { // every star at the far depth: scale 0, nothing drawn
        star3dx[i] = star3dy[i] = 0.0f;
        star3dz[i] = static_cast<float>(starfar);
        star3dv[i] = 10.0f;
    }
    star3dz[0] = 1024.0f; // scale (4096 - 1024) / 6144 = 0.5 at the centre
    star3dz[1] = 0.0f;    // on the viewer's plane: not drawn, then reborn
    star3dv[1] = 12.0f;
    prticks = 1000;
    wtime = 985;
    std::vector<uint16_t> frame(76800);
    BlobStars3D(frame.data());
    const uint16_t* row = shades + 32 * 256;
    EXPECT_EQ(frame[160 * 240 + 120], row[255]);
    EXPECT_EQ(frame[152 * 240 + 112], row[blob[0]]);
    EXPECT_EQ(frame[151 * 240 + 112], row[0]);
    EXPECT_EQ(frame[0], row[0]);
    EXPECT_EQ(Snapshot(), std::vector<uint8_t>(76800, 0));
    EXPECT_EQ(sx[0], 160);
    EXPECT_EQ(sy[0], 120);
    EXPECT_EQ(sz[0], 0.5f);
    EXPECT_EQ(sz[2], 0.0f);
    // Difference 15: no movement; the star on the plane was reborn far away.
    EXPECT_EQ(star3dz[0], 1024.0f);
    EXPECT_EQ(wtime, 985);
    EXPECT_EQ(star3dz[1], static_cast<float>(starfar));
    EXPECT_GE(star3dv[1], 8.0f);
    EXPECT_LT(star3dv[1], 8.0f + 256.0f); // rand() % 65536 / 256
    EXPECT_GE(star3dx[1], -2048.0f);
    EXPECT_LT(star3dx[1], 2048.0f);

    prticks = 1001; // difference 16: one step
    BlobStars3D(frame.data());
    EXPECT_EQ(star3dz[0], 1014.0f);
    EXPECT_EQ(wtime, 1001);
    EXPECT_EQ(Snapshot(), std::vector<uint8_t>(76800, 0));

    prticks = 500; // clock behind wtime: the unsigned difference is huge, so they move
    BlobStars3D(frame.data());
    EXPECT_EQ(star3dz[0], 1004.0f);
    prticks = saved;
}
