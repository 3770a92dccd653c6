#include <gtest/gtest.h>

#include "engine3d/lighting.h"
#include "engine3d/transform.h"

namespace {
void ExpectMatrix(const Matrix3d& r, const int32_t (&want)[3][3]) {
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            EXPECT_EQ(r.m[i][j], want[i][j]) << "row " << i << " column " << j;
}

Object3d ObjectWith(Point3d* pts, int32_t npts) {
    Object3d o{};
    o.pts = pts;
    o.npts = npts;
    return o;
}
} // namespace

TEST(TransformTest, RotationMatrixAtTheEnginesAngles) {
    ExpectMatrix(RotationMatrix(0.0f, 0.0f, 0.0f), {{256, 0, 0}, {0, 256, 0}, {0, 0, 256}});
    // pi/2 about x: sine rounds to 1.0, cosine's entry truncates to 0.
    ExpectMatrix(RotationMatrix(1.5707585f, 0.0f, 0.0f), {{256, 0, 0}, {0, 0, -256}, {0, 256, 0}});
    ExpectMatrix(RotationMatrix(0.0f, 1.5707585f, 0.0f), {{0, 0, 256}, {0, 256, 0}, {-256, 0, 0}});
    ExpectMatrix(RotationMatrix(0.0f, 0.0f, 1.5707585f), {{0, -256, 0}, {256, 0, 0}, {0, 0, 256}});
    // pi: cosine -1, the sine's scaled entry truncates to 0.
    ExpectMatrix(RotationMatrix(3.1415169f, 0.0f, 0.0f), {{256, 0, 0}, {0, -256, 0}, {0, 0, -256}});
    ExpectMatrix(RotationMatrix(0.0f, 0.0f, 3.1415169f), {{-256, 0, 0}, {0, -256, 0}, {0, 0, 256}});
}

TEST(TransformTest, RotateTranslateProject) {
    Point3d pts[3] = {{1, 2, 3, 0}, {-48, 16, 48, 0}, {0, 0, 0, 0}};
    Object3d o = ObjectWith(pts, 3);
    rotate3d(&o);
    EXPECT_EQ(fpts[0].x, 256);
    EXPECT_EQ(fpts[0].y, 512);
    EXPECT_EQ(fpts[0].z, 768);
    EXPECT_EQ(fpts[1].x, -48 * 256);

    // Quarter turn about z: (x, y) -> (-y, x).
    o.az = 1.5707585f;
    rotate3d(&o);
    EXPECT_EQ(fpts[1].x, -16 * 256);
    EXPECT_EQ(fpts[1].y, -48 * 256);
    EXPECT_EQ(fpts[1].z, 48 * 256);

    // Translation truncates each of px, py, pz x 256 toward zero once.
    o.az = 0.0f;
    o.px = -0.999f;
    o.py = 1.5f;
    o.pz = 2.0f;
    Calc3d(&o);
    EXPECT_EQ(fpts[2].x, -255);
    EXPECT_EQ(fpts[2].y, 384);
    EXPECT_EQ(fpts[2].z, 512);
    EXPECT_EQ(fpts[0].z, 768 + 512);
}

TEST(TransformTest, ProjectionTruncatesAndSkipsPointsNotInFront) {
    Point3d none[4] = {};
    Object3d o = ObjectWith(none, 4);
    fpts[0] = {-1, 0, 512};
    fpts[1] = {-256, 0, 512};
    fpts[2] = {100, 100, 0};
    fpts[3] = {100, -512, -5};
    spts[2] = {7, 8, 0};
    spts[3] = {9, 10, 0};
    project3d(&o);
    EXPECT_EQ(spts[0].x, 160); // -256 / 512 truncates to 0
    EXPECT_EQ(spts[0].y, 120);
    EXPECT_EQ(spts[1].x, 32);
    EXPECT_EQ(spts[2].x, 7); // z = 0 and z < 0 keep their old screen position
    EXPECT_EQ(spts[2].y, 8);
    EXPECT_EQ(spts[3].x, 9);
    fpts[0] = {3, -300, 256};
    project3d(&o);
    EXPECT_EQ(spts[0].x, 163);
    EXPECT_EQ(spts[0].y, -180);
}

TEST(TransformTest, NormalsRotateOnlyTheirCount) {
    Vector3d pl[1] = {{0, 0, 256}};
    Vector3d pt[2] = {{256, 0, 0}, {0, -256, 0}};
    Object3d o{};
    o.pl_normals = pl;
    o.pt_normals = pt;
    o.npts = 2;
    o.npls = 0;
    norms[0] = {1, 2, 3};
    rotate3d_normals(&o);
    EXPECT_EQ(norms[0].z, 3); // npls = 0 writes nothing
    o.npls = 1;
    o.ax = 3.1415169f;
    rotate3d_normals(&o);
    rotate3d_pt_normals(&o);
    EXPECT_EQ(norms[0].z, -65536);
    EXPECT_EQ(pt_norms[0].x, 65536);
    EXPECT_EQ(pt_norms[1].y, 65536);
}

TEST(LightingTest, ShadeClamp) {
    EXPECT_EQ(ShadeOf(65536), 255);
    EXPECT_EQ(ShadeOf(65535), 255);
    EXPECT_EQ(ShadeOf(256), 1);
    EXPECT_EQ(ShadeOf(255), 0);
    EXPECT_EQ(ShadeOf(-1), 0);
    EXPECT_EQ(ShadeOf(-65536), 0);
}

TEST(LightingTest, BothComputationsAgreeAndOtherSwitchValuesWriteNothing) {
    Object3d o{};
    o.npls = 3;
    o.npts = 3;
    const int32_t zs[3] = {65536, 300, -70000};
    for (int i = 0; i < 3; i++)
        norms[i].z = pt_norms[i].z = zs[i];
    for (int32_t calc : {0, 1}) {
        lightcalc = calc;
        for (int i = 0; i < 3; i++) {
            spls[i] = 99;
            spts[i].colour = 0xABCD0063u;
        }
        CalcPolyColor(&o);
        CalcPointColor(&o);
        EXPECT_EQ(spls[0], 255);
        EXPECT_EQ(spls[1], 1);
        EXPECT_EQ(spls[2], 0);
        EXPECT_EQ(spts[0].colour, 0xABCD00FFu); // only the low half is written
        EXPECT_EQ(spts[1].colour, 0xABCD0001u);
        EXPECT_EQ(spts[2].colour, 0xABCD0000u);
    }
    lightcalc = 2;
    spls[0] = 7;
    spts[0].colour = 7;
    CalcPolyColor(&o);
    CalcPointColor(&o);
    EXPECT_EQ(spls[0], 7);
    EXPECT_EQ(spts[0].colour, 7u);
    lightcalc = 0;
    o.npls = 0;
    CalcPolyColor(&o);
    EXPECT_EQ(spls[0], 7);
}
