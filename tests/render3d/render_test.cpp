#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "engine3d/lighting.h"
#include "precalcs/shades.h"
#include "precalcs/tables.h"
#include "render3d/primitives.h"
#include "render3d/render.h"
#include "script/script.h"

namespace {
constexpr uint16_t kBlank = 0xBEEF;

// Polygons laid out side by side on screen, each its own small triangle facing the viewer.
struct Scene {
    std::vector<Point3d> pts;
    std::vector<Polygon3d> pls;
    std::vector<Vector3d> pl_normals;
    std::vector<Vector3d> pt_normals;
    Object3d obj{};

    explicit Scene(int n) : pts(3 * n), pls(n), pl_normals(n, {0, 0, 256}), pt_normals(3 * n, {0, 0, 128}) {
        for (int i = 0; i < n; i++) {
            const int x = (i % 64) * 5, y = (i / 64) * 50;
            const int32_t z = 1000 + 100 * i;
            const int32_t xs[3] = {x, x + 4, x}, ys[3] = {y, y, y + 4};
            for (int k = 0; k < 3; k++) {
                spts[3 * i + k] = {xs[k], ys[k], 0};
                fpts[3 * i + k] = {0, 0, z};
            }
            pls[i] = {3 * i, 0, 0, 3 * i + 1, 0, 0, 3 * i + 2, 0, 0, 0};
        }
        obj.npts = 3 * n;
        obj.npls = n;
        obj.pts = pts.data();
        obj.pls = pls.data();
        obj.pl_normals = pl_normals.data();
        obj.pt_normals = pt_normals.data();
    }
    // First pixel of polygon i: walked column x lands in column x + 1.
    static int FirstPixel(int i) { return ((i % 64) * 5 + 1) * 240 + (i / 64) * 50; }
};

class RenderTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { precdivs(); }
    void SetUp() override {
        std::fill(frame.begin(), frame.end(), kBlank);
        if (saved_shades.empty()) saved_shades.assign(shades, shades + 64 * 256);
        for (int i = 0; i < 64 * 256; i++)
            shades[i] = static_cast<uint16_t>(i);
        prticks = 0;
        lightcalc = 0;
    }
    void TearDown() override {
        RenderMode = 0;
        std::copy(saved_shades.begin(), saved_shades.end(), shades);
    }
    bool Blank() const {
        return std::all_of(frame.begin(), frame.end(), [](uint16_t v) { return v == kBlank; });
    }
    std::vector<uint16_t> frame = std::vector<uint16_t>(76800);
    std::vector<uint16_t> saved_shades;
};
} // namespace

TEST_F(RenderTest, QuicksortFollowsItsSteps) {
    int32_t keys[5] = {3, 1, 2};
    for (int i = 0; i < 5; i++)
        swp[i] = static_cast<uint16_t>(i);
    quicksort(0, 2, keys);
    EXPECT_EQ(std::vector<int32_t>(keys, keys + 3), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(std::vector<uint16_t>(swp, swp + 3), (std::vector<uint16_t>{1, 2, 0}));

    // Empty range: nothing read, nothing changed.
    quicksort(0, -1, nullptr);
    EXPECT_EQ(swp[0], 1);

    // Equal keys are exchanged from both ends inward.
    std::fill(keys, keys + 5, 5);
    for (int i = 0; i < 5; i++)
        swp[i] = static_cast<uint16_t>(i);
    quicksort(0, 4, keys);
    EXPECT_EQ(std::vector<uint16_t>(swp, swp + 5), (std::vector<uint16_t>{3, 4, 2, 0, 1}));

    // Any input: sorted keys and swp still naming each key's original position.
    std::vector<int32_t> big(3000), orig;
    std::srand(7);
    for (auto& k : big)
        k = std::rand() % 200 - 100;
    orig = big;
    for (int i = 0; i < 3000; i++)
        swp[i] = static_cast<uint16_t>(i);
    quicksort(0, 2999, big.data());
    EXPECT_TRUE(std::is_sorted(big.begin(), big.end()));
    for (int i = 0; i < 3000; i++)
        ASSERT_EQ(orig[swp[i]], big[i]);
}

TEST_F(RenderTest, SortKeysPhaseAndDepthBufferClear) {
    Scene s(2);
    fpts[0].z = 100;
    fpts[1].z = 200;
    fpts[2].z = 301;
    fpts[3].z = -5;
    fpts[4].z = 0;
    fpts[5].z = 0;
    int32_t keys[2];
    zsort(keys, &s.obj);
    EXPECT_EQ(keys[0], -150); // divided by 4, not 3
    EXPECT_EQ(keys[1], 2);
    EXPECT_EQ(swp[1], 1);

    zbuffer[1] = zbuffer[76798] = 3;
    CleanZbuffer();
    EXPECT_TRUE(
        std::all_of(std::begin(zbuffer), std::end(zbuffer), [](uint32_t z) { return z == 0xFFFFFFFFu; }));

    RenderMode = 6; // flat plus lines as bits is no mode: nothing drawn, only the phase kept
    prticks = 8 * 438 + 8 * 5 + 7;
    Render(&s.obj, 0, 0, frame.data(), 0, nullptr, nullptr, nullptr, 16);
    EXPECT_EQ(tm, 5);
    EXPECT_TRUE(Blank());
    prticks = -16;
    Render(&s.obj, 0, 0, frame.data(), 0, nullptr, nullptr, nullptr, 16);
    EXPECT_EQ(tm, -2);
}

TEST_F(RenderTest, PainterCullingAndFlatColours) {
    Scene s(3);
    // Polygon 1 seen from behind (corners reversed). Polygon 2 collinear (expression 0), whose
    // rounded edges would still fill one pixel in its second column.
    std::swap(s.pls[1].p0, s.pls[1].p2);
    spts[7] = {spts[6].x + 1, spts[6].y + 1, 0};
    spts[8] = {spts[6].x + 3, spts[6].y + 3, 0};
    RenderMode = 4;
    Render(&s.obj, 2, 0, frame.data(), 0, nullptr, nullptr, nullptr, 16);
    EXPECT_EQ(frame[Scene::FirstPixel(0)], shades[2 * 256 + 255]);
    EXPECT_EQ(frame[Scene::FirstPixel(1)], kBlank);
    EXPECT_EQ(frame[Scene::FirstPixel(2) + 240], kBlank);
    EXPECT_EQ(s.pls[0].colour, 255); // the shade is stored in the object's polygon
    EXPECT_EQ(s.pls[1].colour, 0);
}

TEST_F(RenderTest, DepthTestedStylesCullOnTheNormal) {
    Scene s(3);
    s.pl_normals[0] = {256, 0, 0};       // rotated z = 0: drawn
    s.pl_normals[1] = {0, 0, -1};        // z = -256: not drawn
    std::swap(s.pls[2].p0, s.pls[2].p2); // facing away on screen, but the normal decides here
    RenderMode = 260;
    Render(&s.obj, 1, 0, frame.data(), 0, nullptr, nullptr, nullptr, 16);
    EXPECT_EQ(frame[Scene::FirstPixel(0)], shades[256 + 0]);
    EXPECT_EQ(frame[Scene::FirstPixel(1)], kBlank);
    EXPECT_EQ(frame[Scene::FirstPixel(2)], shades[256 + 255]);
    EXPECT_EQ(zbuffer[Scene::FirstPixel(2)], 1200u);
}

TEST_F(RenderTest, TextureChosenByPolygonIndex) {
    const std::vector<uint16_t> t1(64 * 64, 1), t2(64 * 64, 2), t3(64 * 64, 3);
    for (int mode : {16, 272}) {
        Scene s(256);
        SetUp();
        RenderMode = mode;
        Render(&s.obj, 0, 0, frame.data(), 2, t1.data(), t2.data(), t3.data(), 16);
        for (int i = 0; i < 256; i++)
            ASSERT_EQ(frame[Scene::FirstPixel(i)], i < 128 ? 1 : (i < 192 ? 2 : 3)) << i;
    }
    Scene s(100);
    SetUp();
    RenderMode = 16;
    Render(&s.obj, 0, 0, frame.data(), 2, t1.data(), t2.data(), t3.data(), 16);
    for (int i = 0; i < 100; i++)
        ASSERT_EQ(frame[Scene::FirstPixel(i)], i < 36 ? 2 : 3) << i;
}

TEST_F(RenderTest, PlasmaRowsAndEnvironmentCoordinates) {
    for (int n = 0; n < 2048; n++) {
        SineEntriesA(n);
        SineEntriesB(n);
    }
    Scene s(130);
    RenderMode = 128;
    Render(&s.obj, 0, 0, frame.data(), 0, nullptr, nullptr, nullptr, 16);
    const int index = (fsin6[0] + fsin7[0] + fsin8[0] + fsin7[fsin8[0] + fsin6[0]]) & 255;
    EXPECT_EQ(frame[Scene::FirstPixel(0)], shades[4 * 256 + index]);
    EXPECT_EQ(frame[Scene::FirstPixel(3)], shades[5 * 256 + index]);
    EXPECT_EQ(frame[Scene::FirstPixel(119)], shades[63 * 256 + index]);
    EXPECT_EQ(frame[Scene::FirstPixel(129)], shades[63 * 256 + index]); // past row 63: row 63

    Scene e(1);
    e.pt_normals[0] = {0, 256, 0};
    e.pt_normals[1] = {-256, 258, 0};
    e.pt_normals[2] = {-255, -1, 0};
    const std::vector<uint16_t> env(64 * 64, 9);
    RenderMode = 32;
    Render(&e.obj, 0, 0, frame.data(), 2, env.data(), nullptr, nullptr, 16);
    EXPECT_EQ(point_tc[0].u, 127);
    EXPECT_EQ(point_tc[0].v, 255);
    EXPECT_EQ(point_tc[1].u, 1);   // |-128 + 127|
    EXPECT_EQ(point_tc[1].v, 0);   // 256 & 255
    EXPECT_EQ(point_tc[2].u, 1);   // (-65280 >> 9) = -128
    EXPECT_EQ(point_tc[2].v, 126); // (-256 >> 9) = -1
    EXPECT_EQ(frame[Scene::FirstPixel(0)], 9);
}

TEST_F(RenderTest, RenderSpecialSplitsNearGouraudFromFarFlat) {
    // Polygon i lies at depth 1000 + 100 i: polygon 0 is nearest, sorted last.
    const uint16_t flat = shades[3 * 256 + 255], gouraud = shades[0 * 256 + 128];
    Scene s(10);
    RenderSpecial(&s.obj, 3, 0, 0.5f, frame.data());
    for (int i = 0; i < 10; i++)
        ASSERT_EQ(frame[Scene::FirstPixel(i)], i < 5 ? gouraud : flat) << i;
    SetUp();
    Scene t(10);
    RenderSpecial(&t.obj, 3, 0, 0.99f, frame.data());
    for (int i = 0; i < 10; i++)
        ASSERT_EQ(frame[Scene::FirstPixel(i)], i < 1 ? gouraud : flat) << i;
    SetUp();
    Scene u(10);
    RenderSpecial(&u.obj, 3, 0, 0.0f, frame.data());
    for (int i = 0; i < 10; i++)
        ASSERT_EQ(frame[Scene::FirstPixel(i)], gouraud) << i;
}

TEST_F(RenderTest, PointLineAndBallStyles) {
    Point3d pts[3] = {{0, 0, 0, 0x1234}, {0, 0, 0, 0x4321}, {0, 0, 0, 32}};
    Line3d lns[1] = {{0, 1, 0}};
    Object3d o{};
    o.pts = pts;
    o.npts = 3;
    o.lns = lns;
    o.nlns = 1;
    spts[0] = {0, 0, 0xABCD0000u};
    spts[1] = {10, 0, 0};
    spts[2] = {320, 5, 0};
    RenderMode = 1; // points: no column shift; off-screen points skipped
    Render(&o, 0, 0, frame.data(), 0, nullptr, nullptr, nullptr, 16);
    EXPECT_EQ(spts[0].colour, 0xABCD1234u); // colour copy writes the low half
    EXPECT_EQ(frame[0], 0x1234);
    EXPECT_EQ(frame[2400], 0x4321);
    EXPECT_EQ(std::count_if(frame.begin(), frame.end(), [](uint16_t v) { return v != kBlank; }), 2);

    SetUp();
    RenderMode = 2; // lines: one column to the right, far end not drawn
    Render(&o, 0, 0, frame.data(), 0, nullptr, nullptr, nullptr, 16);
    EXPECT_EQ(frame[240], 0xFFFE);
    EXPECT_EQ(frame[2400], 0xFFFE);
    EXPECT_EQ(frame[2640], kBlank);
    SetUp();
    Render(&o, 0, 0, frame.data(), 0, nullptr, nullptr, nullptr, 12); // no such pixel size
    EXPECT_TRUE(Blank());

    // Balls: the nearer ball (depth 68424, size 1.0) is drawn last, over the farther one;
    // a ball at depth 93000 has size 0 and draws nothing.
    InitBalls();
    spts[0] = {100, 100, 0};
    spts[1] = {100, 100, 0};
    spts[2] = {200, 100, 0};
    fpts[0].z = 68424;
    fpts[1].z = 80000;
    fpts[2].z = 93000;
    pts[0].colour = 16;
    pts[1].colour = 48;
    RenderMode = 0;
    Render(&o, 0, 0, frame.data(), 0, nullptr, nullptr, nullptr, 16);
    EXPECT_EQ(swp[2], 0); // sorted far to near
    EXPECT_EQ(frame[(92 + 8) * 240 + 92 + 8], ball_p[16 + ball_c[8 * 16 + 8]]);
    for (int c = 190; c < 210; c++)
        ASSERT_EQ(frame[c * 240 + 100], kBlank);
}
