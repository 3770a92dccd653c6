#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "effects/polar.h"
#include "precalcs/precalcs.h"
#include "precalcs/tables.h"
#include "support/tables.h"
#include "script/script.h"

namespace {
class PolarTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        BuildSineTables();
        BuildDistAngle();
        PolarInit();
    }
    void SetUp() override {
        for (int e = 0; e < 256; e++) {
            wall[e] = static_cast<uint16_t>(0x1000 + e);
            cloud[e] = static_cast<uint16_t>(0x8000 + e);
        }
        saved = prticks;
    }
    void TearDown() override { prticks = saved; }
    void Draw(int32_t t) {
        prticks = t;
        Polar(frame.data(), wall, cloud);
    }
    uint16_t At(int i, int k) const { return frame[i * 240 + k]; }

    uint16_t wall[256], cloud[256];
    std::vector<uint16_t> frame = std::vector<uint16_t>(76800, 0);
    int32_t saved = 0;
};
} // namespace

TEST_F(PolarTest, ExtendedSinesContinueTheTables) {
    for (int n = 0; n < 2048; n++) {
        ASSERT_EQ(PolarSine(1, n), fsin1[n]);
        ASSERT_EQ(PolarSine(2, n), fsin2[n]);
        ASSERT_EQ(PolarSine(3, n), fsin3[n]);
    }
    for (int n : {-128, -96, -1, 2048, 5000, kPolarSineEnd - 1}) {
        const float x = static_cast<float>(n) / 13.581549644470215f;
        EXPECT_EQ(PolarSine(1, n), static_cast<int32_t>(std::sin(static_cast<double>(x)) * 96 + 96)) << n;
    }
}

TEST_F(PolarTest, FourQuartersMirrorEachOther) {
    for (int32_t t : {0, 777, 16064, 26624, 65535}) {
        Draw(t);
        for (int i = 0; i < 160; i++) {
            for (int k = 0; k < 120; k++) {
                const uint16_t p = At(i, k);
                ASSERT_EQ(p, At(i, 239 - k));
                ASSERT_EQ(p, At(319 - i, k));
                ASSERT_EQ(p, At(319 - i, 239 - k));
            }
        }
    }
    // Time is taken modulo 65536.
    Draw(70000);
    const std::vector<uint16_t> wrapped = frame;
    Draw(70000 - 65536);
    EXPECT_EQ(frame, wrapped);
}

TEST_F(PolarTest, CloudThresholdAndWallClampAtStart) {
    // At t = 0: s = 0, L = fsin3[0] = 128, R = 0, Z = 0; every index lies in the tables.
    Draw(0);
    EXPECT_EQ(ra, 0.0f);
    EXPECT_EQ(zm, 0.0f);
    int clouds = 0, low = 0, high = 0, at_threshold = 0;
    for (int i = 0; i < 160; i++) {
        for (int k = 0; k < 120; k++) {
            const int r = dist_angle[i * 240 + k].dist;
            const int a = dist_angle[i * 240 + k].angle;
            const int v = r < 256 ? (fsin1[r] + fsin2[a] + fsin3[a + r] + fsin1[r + fsin1[a]]) & 255 : 0;
            const int b = fsin4[a + fsin5[a]] + r - 128;
            const uint16_t p = At(i, k);
            if (r < 256 && v >= (r >> 1) + 128) {
                ASSERT_EQ(p, cloud[v]) << i << " " << k;
                clouds++;
                at_threshold += v == (r >> 1) + 128;
            } else {
                ASSERT_EQ(p, wall[b < 0 ? 0 : b > 255 ? 255 : b]) << i << " " << k;
                low += b < 0;
                high += b > 255;
            }
        }
    }
    EXPECT_GT(clouds, 0);
    EXPECT_GT(at_threshold, 0);
    EXPECT_GT(low, 0);
    EXPECT_GT(high, 0);
    EXPECT_EQ(At(159, 119), wall[255]); // next to the centre the wall saturates
}

TEST_F(PolarTest, LateFramesKeepCloudsAndNeverCloudNearTheCentre) {
    // From t = 16064 every cloud index runs past the 2048 entries of the tables.
    for (int32_t t : {16064, 26623}) {
        Draw(t);
        int clouds = 0;
        for (int i = 0; i < 160; i++) {
            for (int k = 0; k < 120; k++) {
                const uint16_t p = At(i, k);
                if (p & 0x8000) {
                    clouds++;
                    ASSERT_LT(dist_angle[i * 240 + k].dist, 256);
                    ASSERT_GE(p & 255, 148);
                }
            }
        }
        EXPECT_GT(clouds, 1000) << t;
    }
}
