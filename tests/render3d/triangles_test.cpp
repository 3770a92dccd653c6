#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "effects/water.h"
#include "precalcs/tables.h"
#include "support/tables.h"
#include "render3d/triangles.h"

namespace {
struct Vertex {
    int32_t x, y;
    int32_t z = 1000;
    uint32_t colour = 0;
    int32_t u = 0, v = 0;
};

class TrianglesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        precdivs();
        BuildSineTables();
    }
    void SetUp() override {
        std::fill(frame.begin(), frame.end(), kBlank);
        for (int i = 0; i < 256; i++) {
            row_a[i] = static_cast<uint16_t>(0x1000 + i);
            row_b[i] = static_cast<uint16_t>(0x2000 + i);
        }
        std::fill(std::begin(zbuffer), std::end(zbuffer), 0xFFFFFFFFu);
        tm = 0;
    }
    // Corners 0, 1, 2 become points 0, 1, 2 of the work arrays.
    static Polygon3d Triangle(const Vertex& a, const Vertex& b, const Vertex& c, int32_t colour = 5) {
        const Vertex* v[3] = {&a, &b, &c};
        for (int i = 0; i < 3; i++) {
            spts[i] = {v[i]->x, v[i]->y, v[i]->colour};
            fpts[i] = {0, 0, v[i]->z};
        }
        return {0, a.u, a.v, 1, b.u, b.v, 2, c.u, c.v, colour};
    }
    std::vector<int> Written() const {
        std::vector<int> out;
        for (int i = 0; i < 76800; i++)
            if (frame[i] != kBlank) out.push_back(i);
        return out;
    }
    static constexpr uint16_t kBlank = 0xBEEF;
    std::vector<uint16_t> frame = std::vector<uint16_t>(76800);
    uint16_t row_a[256];
    uint16_t row_b[256];
};
} // namespace

TEST_F(TrianglesTest, WalkCases) {
    // Three corners in one column: nothing.
    DrawFlatTriangle(Triangle({5, 0}, {5, 10}, {5, 20}), frame.data(), row_a);
    EXPECT_TRUE(Written().empty());

    // x_l = x_m < x_r: the first half is skipped and the first column already has rows 0..3.
    DrawFlatTriangle(Triangle({0, 0}, {4, 0}, {0, 4}), frame.data(), row_a);
    EXPECT_EQ(Written(), (std::vector<int>{240, 241, 242, 243, 480, 481, 482, 720, 721, 960}));
    EXPECT_EQ(frame[240], row_a[5]);

    // x_l < x_m = x_r: the first walked column is empty and column x_r is not walked.
    SetUp();
    DrawFlatTriangle(Triangle({0, 0}, {4, 0}, {4, 4}), frame.data(), row_a);
    EXPECT_EQ(Written(), (std::vector<int>{480, 720, 721, 960, 961, 962}));

    // Corner order does not matter.
    SetUp();
    DrawFlatTriangle(Triangle({4, 4}, {0, 0}, {4, 0}), frame.data(), row_a);
    EXPECT_EQ(Written(), (std::vector<int>{480, 720, 721, 960, 961, 962}));
}

TEST_F(TrianglesTest, ColumnShiftAndOffsetGuard) {
    // A corner at x = -1 draws into frame-buffer column 0.
    DrawFlatTriangle(Triangle({-1, 0}, {-1, 4}, {1, 0}), frame.data(), row_a);
    EXPECT_EQ(Written(), (std::vector<int>{0, 1, 2, 3, 240, 241}));

    // Rows -3..2 of column 10 land in rows 237..239 of column 9 and rows 0..2 of column 10.
    SetUp();
    DrawFlatTriangle(Triangle({9, -3}, {9, 3}, {10, -3}), frame.data(), row_a);
    EXPECT_EQ(Written(), (std::vector<int>{2397, 2398, 2399, 2400, 2401, 2402}));

    // Walked column 319 lands in column 320: only its negative rows stay inside the buffer.
    SetUp();
    DrawFlatTriangle(Triangle({319, -3}, {319, 3}, {320, -3}), frame.data(), row_a);
    EXPECT_EQ(Written(), (std::vector<int>{76797, 76798, 76799}));

    // Far outside in every direction: nothing, and no access outside the buffer.
    SetUp();
    DrawFlatTriangle(Triangle({-5000, -90000}, {3000, 90000}, {9000, 100}), frame.data(), row_a);
    DrawFlatTriangle(Triangle({-40, -10}, {-20, 10}, {-30, 5}), frame.data(), row_a);
    EXPECT_TRUE(Written().size() <= 76800u);
    // A corner index outside the work arrays draws nothing.
    SetUp();
    Polygon3d bad = Triangle({0, 0}, {4, 0}, {0, 4});
    bad.p1 = kMaxWork;
    DrawFlatTriangle(bad, frame.data(), row_a);
    EXPECT_TRUE(Written().empty());
}

TEST_F(TrianglesTest, WideTrianglesUseDirectReciprocals) {
    EXPECT_EQ(Reciprocal(2047), 32);
    EXPECT_EQ(Reciprocal(-2048), -32);
    EXPECT_EQ(Reciprocal(0), 65536);
    EXPECT_EQ(Reciprocal(2048), 32);
    EXPECT_EQ(Reciprocal(3000), 21);
    EXPECT_EQ(Reciprocal(-3000), -21);
    EXPECT_EQ(Slope(-1, 1), -1); // rounds toward minus infinity
    EXPECT_EQ(Slope(255 << 8, 65536), 255 << 8);
    // Steeper than 128 rows a column: the product leaves 32 bits but the slope is exact.
    EXPECT_EQ(Slope(static_cast<int64_t>(1000) << 8, 65536), 256000);
}

TEST_F(TrianglesTest, StrictUnsignedDepthTest) {
    DrawFlatTriangleZB(Triangle({0, 0, 500}, {4, 0, 500}, {0, 4, 500}, 1), frame.data(), row_a);
    EXPECT_EQ(zbuffer[240], 500u);
    EXPECT_EQ(frame[240], row_a[1]);
    // Equal depth: the first drawn keeps the pixel.
    DrawFlatTriangleZB(Triangle({0, 0, 500}, {4, 0, 500}, {0, 4, 500}, 2), frame.data(), row_a);
    EXPECT_EQ(frame[240], row_a[1]);
    // Nearer wins; a negative depth compares as a huge unsigned value and loses.
    DrawFlatTriangleZB(Triangle({0, 0, 499}, {4, 0, 499}, {0, 4, 499}, 3), frame.data(), row_a);
    EXPECT_EQ(frame[240], row_a[3]);
    DrawFlatTriangleZB(Triangle({0, 0, -1}, {4, 0, -1}, {0, 4, -1}, 4), frame.data(), row_a);
    EXPECT_EQ(frame[240], row_a[3]);
    EXPECT_EQ(zbuffer[240], 499u);
}

TEST_F(TrianglesTest, WaterDepthBands) {
    const uint8_t kUntouched = 77;
    struct Case {
        int32_t z;
        uint16_t colour;
        int height; // -1: buffer1 untouched
    };
    const Case flat[] = {{128000, row_a[5], -1},
                         {128001, row_b[5], 1},
                         {129999, row_b[5], 129999 & 255},
                         {130000, row_b[5], -1},
                         {-5, row_a[5], -1}};
    for (const Case& c : flat) {
        buffer1[240] = kUntouched;
        DrawFlatWaterTriangle(Triangle({0, 0, c.z}, {4, 0, c.z}, {0, 4, c.z}), frame.data(), row_a, row_b);
        EXPECT_EQ(frame[240], c.colour) << c.z;
        EXPECT_EQ(buffer1[240], c.height < 0 ? kUntouched : c.height) << c.z;
    }
    // The depth-tested member writes the height for every depth above 128000, -5 included.
    const Case zb[] = {{128000, row_a[5], -1}, {130000, row_b[5], 130000 & 255}, {-5, row_b[5], 251}};
    for (const Case& c : zb) {
        SetUp();
        buffer1[240] = kUntouched;
        DrawFlatWaterTriangleZB(Triangle({0, 0, c.z}, {4, 0, c.z}, {0, 4, c.z}), frame.data(), row_a, row_b);
        EXPECT_EQ(frame[240], c.colour) << c.z;
        EXPECT_EQ(buffer1[240], c.height < 0 ? kUntouched : c.height) << c.z;
        EXPECT_EQ(zbuffer[240], static_cast<uint32_t>(c.z));
    }
}

TEST_F(TrianglesTest, GouraudInterpolatesAndClampsAtZero) {
    // One column: from colour 2 at row 0 down to 0 at row 3; the last step rounds below 0.
    // Steps of (-512 x 21845) >> 16 = -171: 341, 170, -1 -> indexes 1, 0, 0.
    DrawGouraudTriangle(Triangle({0, 0, 0, 2}, {0, 3, 0, 0}, {1, 0, 0, 0}), frame.data(), row_a);
    EXPECT_EQ(Written(), (std::vector<int>{240, 241, 242}));
    EXPECT_EQ(frame[240], row_a[1]);
    EXPECT_EQ(frame[241], row_a[0]);
    EXPECT_EQ(frame[242], row_a[0]);
    // Only the low 16 bits of the point colour are read.
    SetUp();
    DrawGouraudTriangleZB(Triangle({0, 0, 9, 0x10000u | 200}, {0, 2, 9, 0x10000u | 200}, {1, 0, 9, 200}),
                          frame.data(), row_a);
    EXPECT_EQ(frame[240], row_a[200]);
    EXPECT_EQ(frame[241], row_a[200]);
    EXPECT_EQ(zbuffer[240], 9u);
}

TEST_F(TrianglesTest, TexelIndexes) {
    std::vector<uint16_t> tex(128 * 128);
    for (size_t i = 0; i < tex.size(); i++)
        tex[i] = static_cast<uint16_t>(i);
    auto uniform = [&](int32_t u, int32_t v) {
        return Triangle({0, 0, 1000, 0, u, v}, {4, 0, 1000, 0, u, v}, {0, 4, 1000, 0, u, v});
    };
    DrawTextureTriangle(uniform(255, 0), frame.data(), 1, tex.data());
    EXPECT_EQ(frame[240], 127);
    EXPECT_EQ(frame[960], 127); // one texel over the whole triangle
    DrawTextureTriangleZB(uniform(0, 255), frame.data(), 1, tex.data());
    EXPECT_EQ(frame[240], 16256);
    SetUp();
    DrawTextureTriangle(uniform(252, 252), frame.data(), 2, tex.data());
    EXPECT_EQ(frame[240], 4095);
    // u falls from 1 to 0 over three rows and rounds to -2/256: read as column 0, not before it.
    SetUp();
    DrawTextureTriangle(Triangle({0, 0, 0, 0, 2, 0}, {0, 3, 0, 0, 0, 0}, {1, 0, 0, 0, 2, 0}), frame.data(), 1,
                        tex.data());
    EXPECT_EQ(frame[240], 0);
    EXPECT_EQ(frame[242], 0);
    // Environment members take the coordinates of the corners' points.
    SetUp();
    for (int i = 0; i < 3; i++)
        point_tc[i] = {64, 128};
    DrawEnvmappedTriangle(uniform(0, 0), frame.data(), 2, tex.data());
    EXPECT_EQ(frame[240], 16 + 32 * 64);
    DrawEnvmappedTriangleZB(uniform(0, 0), frame.data(), 1, tex.data());
    EXPECT_EQ(frame[240], 32 + 64 * 128);
}

TEST_F(TrianglesTest, PlasmaFormulas) {
    std::vector<uint16_t> shade(256);
    for (int i = 0; i < 256; i++)
        shade[i] = static_cast<uint16_t>(i);
    const Polygon3d p = Triangle({0, 0, 1000, 0, 10, 20}, {4, 0, 1000, 0, 10, 20}, {0, 4, 1000, 0, 10, 20});
    const int u = 10, v = 20;
    tm = 0;
    DrawTextureTriangle_plasma(p, frame.data(), shade.data());
    const int w0 = fsin8[u + v];
    const int first0 = (fsin6[u] + fsin7[v] + w0 + fsin7[w0 + fsin6[u]]) & 255;
    EXPECT_EQ(frame[240], first0);
    DrawTextureTriangleZB_plasma(p, frame.data(), shade.data());
    EXPECT_EQ(frame[240], first0); // with tm = 0 both formulas agree
    tm = 300;
    const int w = fsin8[u + v + 300];
    DrawTextureTriangle_plasma(p, frame.data(), shade.data());
    EXPECT_EQ(frame[240], (fsin6[u] + fsin7[v] + w + fsin7[w + fsin6[u]]) & 255);
    SetUp();
    tm = 300;
    DrawTextureTriangleZB_plasma(p, frame.data(), shade.data());
    EXPECT_EQ(frame[240], (fsin6[u] + fsin7[v + 300] + fsin8[u + v + 600] + fsin7[fsin6[u] + 300 + w]) & 255);
    // A coordinate that rounds below 0 is used as 0.
    SetUp();
    DrawTextureTriangle_plasma(Triangle({0, 0, 0, 0, 2, 0}, {0, 3, 0, 0, 0, 0}, {1, 0, 0, 0, 2, 0}),
                               frame.data(), shade.data());
    const int wz = fsin8[0];
    EXPECT_EQ(frame[242], (fsin6[0] + fsin7[0] + wz + fsin7[wz + fsin6[0]]) & 255);
}
