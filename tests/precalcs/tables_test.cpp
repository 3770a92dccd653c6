#include <gtest/gtest.h>

#include <cstdlib>

#include "random/random.h"
#include "precalcs/precalcs.h"
#include "precalcs/tables.h"
#include "support/tables.h"
#include "zarvelin/zarvelin.h"

namespace {
class TablesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        precdivs();
        BuildSineTables();
        BuildDistAngle();
        BlobInit();
        DistortInit();
    }
    static DistAngle At(int dx, int dy) { return dist_angle[(dx + 160) * 240 + (dy + 120)]; }
};
} // namespace

TEST_F(TablesTest, ReciprocalsThroughBase2048) {
    EXPECT_EQ(lut::div[0], -32);
    EXPECT_EQ(lut::div[2047], -65536);
    EXPECT_EQ(lut::div[2048], 65536);
    EXPECT_EQ(lut::div[2049], 65536);
    EXPECT_EQ(lut::div[4095], 32);
    EXPECT_EQ(lut::div[2048 + 3], 21845);
    EXPECT_EQ(lut::div[2048 - 3], -21845); // truncates toward zero
}

TEST_F(TablesTest, SineTablesStartAndRange) {
    const int32_t f1[] = {96, 103, 110, 117, 123, 130, 137, 143};
    for (int n = 0; n < 8; n++)
        EXPECT_EQ(fsin1[n], f1[n]) << n;
    const int32_t f4[] = {64, 66, 68, 71};
    for (int n = 0; n < 4; n++)
        EXPECT_EQ(fsin4[n], f4[n]) << n;
    struct Range {
        const int32_t* t;
        int32_t lo, hi, first;
    };
    const Range ranges[] = {{fsin1, 0, 191, 96},  {fsin2, 0, 223, 112}, {fsin3, 0, 255, 128},
                            {fsin4, 16, 111, 64}, {fsin5, 8, 87, 48},   {fsin6, 0, 191, 96},
                            {fsin7, 0, 223, 112}, {fsin8, 0, 255, 128}};
    for (const Range& r : ranges) {
        EXPECT_EQ(r.t[0], r.first);
        for (int n = 0; n < 2048; n++) {
            ASSERT_GE(r.t[n], r.lo) << n;
            ASSERT_LE(r.t[n], r.hi) << n;
        }
    }
}

TEST_F(TablesTest, DistanceAndAngleExamples) {
    EXPECT_EQ(At(0, 0).dist, 0);
    EXPECT_EQ(At(0, 0).angle, 0);
    EXPECT_EQ(At(1, 0).dist, 8192);
    EXPECT_EQ(At(1, 0).angle, 0);
    EXPECT_EQ(At(0, -1).dist, 8192);
    EXPECT_EQ(At(0, -1).angle, 128);
    EXPECT_EQ(At(-1, -1).dist, 5792);
    EXPECT_EQ(At(-1, -1).angle, 64);
    EXPECT_EQ(At(-160, -120).dist, 40);
    EXPECT_EQ(At(-160, -120).angle, 53);
    EXPECT_EQ(At(-160, -1).dist, 51);
    EXPECT_EQ(At(-160, -1).angle, 1);
    EXPECT_EQ(At(-5, 0).angle, 0); // a half turn wraps to 0
    EXPECT_EQ(At(0, 7).angle, 128);
    // Column 0, element 0 is the bottom-left corner.
    EXPECT_EQ(dist_angle[0].dist, 40);
    EXPECT_EQ(dist_angle[0].angle, 53);
}

TEST_F(TablesTest, ClampBlobAndDistortTables) {
    // WaterInit reports progress: give the loading bar two buffers to draw into.
    static uint16_t bar[2][76800];
    prec_framebuffer[0] = bar[0];
    prec_framebuffer[1] = bar[1];
    GP32Surface[0].buffer = bar[0];
    GP32Surface[1].buffer = bar[1];
    prec_ybar = 4;
    WaterInit();
    EXPECT_EQ(uberclamp[255], 0);
    EXPECT_EQ(uberclamp[256], 0);
    EXPECT_EQ(uberclamp[300], 44);
    EXPECT_EQ(uberclamp[511], 255);
    EXPECT_EQ(blob[16 * 32 + 16], 255);
    EXPECT_EQ(blob[0], 2);
    EXPECT_EQ(blob[16 * 32], 8);
    int full = 0;
    for (uint8_t v : blob)
        full += v == 255;
    EXPECT_EQ(full, 145);

    EXPECT_EQ(dclampx[31], 0);
    EXPECT_EQ(dclampx[32], 0);
    EXPECT_EQ(dclampx[223], 191);
    EXPECT_EQ(dclampx[224], 0);
    EXPECT_EQ(dclampy[105], 83);
    EXPECT_EQ(dclampy[106], 0);
    const int32_t d1[] = {0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 3};
    for (int n = 0; n < 16; n++)
        EXPECT_EQ(dsin1[n], d1[n]) << n;
    for (int n = 0; n < 1024; n++) {
        ASSERT_GE(dsin1[n], -3);
        ASSERT_LE(dsin1[n], 3);
        ASSERT_GE(dsin2[n], -5);
        ASSERT_LE(dsin2[n], 5);
    }
    for (uint8_t v : xscan)
        EXPECT_EQ(v, 1);
    for (int n = 0; n < 92; n++)
        EXPECT_EQ(yscan[n], 0);
}

TEST(Stars, FieldIsTheSameOnEveryRunAndInRange) {
    ShowSrand(1);
    Stars3dInit();
    const float x0 = star3dx[0], v511 = star3dv[511];
    for (int i = 0; i < 512; i++) {
        ASSERT_GE(star3dx[i], -2048.0f);
        ASSERT_LE(star3dz[i], 2047.0f);
        ASSERT_GE(star3dv[i], 64.0f);
        ASSERT_LT(star3dv[i], 64.0f + 65536.0f / 256.0f);
    }
    ShowSrand(1);
    Stars3dInit();
    EXPECT_EQ(star3dx[0], x0);
    EXPECT_EQ(star3dv[511], v511);
}
