#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "generate3d/generate3d.h"

static bool operator==(const Vector3d& a, const Vector3d& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

namespace {

// An object built in a test owns its arrays; this frees them when the test ends.
struct Built {
    Object3d o{};
    ~Built() { ReleaseObject3d(&o); }
};

void Tri(Polygon3d* t, int32_t p0, int32_t p1, int32_t p2) {
    *t = Polygon3d{};
    t->p0 = p0;
    t->p1 = p1;
    t->p2 = p2;
}
} // namespace

TEST(Vectors, ExactValuesAndWrapping) {
    EXPECT_EQ(CrossProduct(1, 0, 0, 0, 1, 0), (Vector3d{0, 0, 1}));
    EXPECT_EQ(CrossProduct(2, 3, 4, 5, 6, 7), (Vector3d{-3, 6, -3}));
    EXPECT_EQ(Normalize(3, 4, 0), (Vector3d{153, 204, 0}));
    EXPECT_EQ(Normalize(-3, 0, -4), (Vector3d{-153, 0, -204})); // truncation toward zero
    EXPECT_EQ(Normalize(0, 0, 0), (Vector3d{0, 0, 0}));
    EXPECT_EQ(Normalize(0, 0, 1), (Vector3d{0, 0, 256}));
    EXPECT_EQ(NegVec(1, -2, 0), (Vector3d{-1, 2, 0}));
    EXPECT_EQ(DotProduct(1, 2, 3, 4, 5, 6), 32);
    // Products past 32 bits wrap instead of trapping.
    EXPECT_EQ(CrossProduct(0, 65536, 0, 0, 0, 65536).x, 0);
    EXPECT_EQ(DotProduct(65536, 0, 0, 65536, 0, 0), 0);
    EXPECT_EQ(NegVec(INT32_MIN, 0, 0).x, INT32_MIN);
    const Vector3d big = Normalize(40000, 40000, 0); // square sum wraps negative
    EXPECT_GE(big.x, 0);
}

TEST(Normals, DegenerateTrianglesAndNegation) {
    Built b;
    Object3d& o = b.o;
    AllocateObject3d(&o, 6, 4);
    o.pts[0] = {0, 0, 0, 0};
    o.pts[1] = {10, 0, 0, 0};
    o.pts[2] = {0, 10, 0, 0};
    o.pts[3] = {20, 0, 0, 0};
    Tri(&o.pls[0], 0, 1, 2);
    Tri(&o.pls[1], 0, 1, 3); // collinear
    Tri(&o.pls[2], 1, 1, 2); // two equal corners
    Tri(&o.pls[3], 2, 1, 0); // reversed
    CalcNorms(&o, 2);        // only 1 negates
    EXPECT_EQ(o.pl_normals[0], (Vector3d{0, 0, -256}));
    EXPECT_EQ(o.pl_normals[1], (Vector3d{0, 0, 0}));
    EXPECT_EQ(o.pl_normals[2], (Vector3d{0, 0, 0}));
    EXPECT_EQ(o.pl_normals[3], (Vector3d{0, 0, 256}));
    std::free(o.pl_normals);
    CalcNorms(&o, 1);
    EXPECT_EQ(o.pl_normals[0], (Vector3d{0, 0, 256}));

    // Point 0 sums +256 and -256 (and zeros): (0, 0, 0). Points 4 and 5 are used by nothing.
    CalcPtNorms(&o);
    EXPECT_EQ(o.pt_normals[0], (Vector3d{0, 0, 0}));
    EXPECT_EQ(o.pt_normals[3], (Vector3d{0, 0, 0}));
    EXPECT_EQ(o.pt_normals[4], (Vector3d{0, 0, 0}));
    EXPECT_EQ(o.pt_normals[5], (Vector3d{0, 0, 0}));
    EXPECT_EQ(addtimes[0], 3);
    EXPECT_EQ(addtimes[1], 5);
    EXPECT_EQ(addtimes[4], 0);
}

TEST(Normals, PointNormalIsTheNormalizedTruncatedAverage) {
    Built b;
    Object3d& o = b.o;
    AllocateObject3d(&o, 4, 2);
    o.pl_normals = NewArray3d<Vector3d>(2);
    Tri(&o.pls[0], 0, 1, 2);
    Tri(&o.pls[1], 0, 2, 3);
    o.pl_normals[0] = {256, 0, 1};
    o.pl_normals[1] = {0, 256, 0};
    CalcPtNorms(&o);
    EXPECT_EQ(o.pt_normals[0], (Vector3d{181, 181, 0})); // (128, 128, 0) after dividing by 2
    EXPECT_EQ(o.pt_normals[1], (Vector3d{256, 0, 1}));   // length 256.0019 truncates to 256
    EXPECT_EQ(o.pt_normals[3], (Vector3d{0, 256, 0}));
}

TEST(Generators, GridAndCube) {
    Built grid;
    InitTestObject(&grid.o, 0);
    EXPECT_EQ(grid.o.npts, 64);
    EXPECT_EQ(grid.o.npls, 0);
    EXPECT_EQ(grid.o.nlns, 0);
    EXPECT_NE(grid.o.pls, nullptr);
    EXPECT_EQ(grid.o.pl_normals, nullptr);
    EXPECT_EQ(grid.o.pts[15].colour, 240);
    EXPECT_EQ(grid.o.pts[16].colour, 0);
    EXPECT_EQ(grid.o.pts[0].x, -48);
    EXPECT_EQ(grid.o.pts[63].z, 48);
    EXPECT_EQ(grid.o.pts[16 + 4 + 2].x, 16);
    EXPECT_EQ(grid.o.pts[16 + 4 + 2].y, -16);
    EXPECT_EQ(grid.o.pts[16 + 4 + 2].z, -16);
    EXPECT_EQ(grid.o.pz, 256.0f);

    Built cube;
    InitTestObject(&cube.o, 1);
    EXPECT_EQ(cube.o.npts, 8);
    EXPECT_EQ(cube.o.npls, 12);
    EXPECT_EQ(cube.o.nlns, 12);
    EXPECT_EQ(cube.o.pz, 320.0f);
    // Face z = -64, negated: +z. Face x = +64 (triangles 4, 5): -x after negation.
    EXPECT_EQ(cube.o.pl_normals[0], (Vector3d{0, 0, 256}));
    EXPECT_EQ(cube.o.pl_normals[1], (Vector3d{0, 0, 256}));
    EXPECT_EQ(cube.o.pl_normals[4], (Vector3d{-256, 0, 0}));
    EXPECT_EQ(cube.o.pls[1].u1, 248);
    EXPECT_EQ(cube.o.pls[1].v2, 8);
    EXPECT_EQ(cube.o.pls[2].v1, 248);
    EXPECT_EQ(cube.o.lns[11].p0, 3);
    EXPECT_EQ(cube.o.lns[11].p1, 7);
    EXPECT_EQ(cube.o.lns[11].colour, 0xFFFF);
    for (int i = 0; i < 8; i++) {
        const Vector3d n = cube.o.pt_normals[i];
        EXPECT_NE(n.x, 0);
        EXPECT_NE(n.y, 0);
        EXPECT_NE(n.z, 0);
    }
}

TEST(Generators, CylinderSeamAndCaps) {
    Built b;
    GenerateCylinder(&b.o);
    const Object3d& o = b.o;
    EXPECT_EQ(o.npts, 130);
    EXPECT_EQ(o.npls, 256);
    EXPECT_EQ(o.nlns, 0);
    EXPECT_EQ(o.pts[0].x, 32);
    EXPECT_EQ(o.pts[0].y, -64);
    EXPECT_EQ(o.pts[16].x, 0); // 90 degrees with the program's pi: cos is just above 0
    EXPECT_EQ(o.pts[16].z, 31);
    EXPECT_EQ(o.pts[64 + 32].x, -31);
    EXPECT_EQ(o.pts[129].y, 64);

    const Polygon3d& a = o.pls[126];
    EXPECT_EQ((std::vector<int>{a.p0, a.p1, a.p2}), (std::vector<int>{63, 0, 127}));
    EXPECT_EQ((std::vector<int>{a.u0, a.v0, a.u1, a.v1, a.u2, a.v2}),
              (std::vector<int>{251, 0, 255, 0, 251, 255}));
    const Polygon3d& c = o.pls[127];
    EXPECT_EQ((std::vector<int>{c.p0, c.p1, c.p2}), (std::vector<int>{127, 0, 64}));
    EXPECT_EQ((std::vector<int>{c.u0, c.v0, c.u1, c.v1, c.u2, c.v2}),
              (std::vector<int>{251, 255, 255, 0, 255, 255}));

    const Polygon3d& low = o.pls[128];
    EXPECT_EQ((std::vector<int>{low.p0, low.p1, low.p2}), (std::vector<int>{128, 1, 0}));
    EXPECT_EQ((std::vector<int>{low.u0, low.v0, low.u1, low.v1, low.u2, low.v2}),
              (std::vector<int>{128, 128, 249, 126, 249, 126}));
    const Polygon3d& high = o.pls[255];
    EXPECT_EQ((std::vector<int>{high.p0, high.p1, high.p2}), (std::vector<int>{127, 64, 129}));
    EXPECT_EQ(high.u2, 128);
    EXPECT_EQ(high.u0, high.u1);
    // Negated normals point into the solid, like the cube's: side 0 from (384, 0, 128).
    EXPECT_EQ(o.pl_normals[128], (Vector3d{0, 256, 0}));
    EXPECT_EQ(o.pl_normals[192], (Vector3d{0, -256, 0}));
    EXPECT_EQ(o.pl_normals[0], (Vector3d{-243, 0, -81}));
}

TEST(Generators, RippledSpheresAreExchangedAfterTheirNormals) {
    Built b;
    InitTestObject(&b.o, 16);
    const Object3d& o = b.o;
    EXPECT_EQ(o.npts, 576);
    EXPECT_EQ(o.npls, 1104);
    EXPECT_EQ(o.nlns, 0);
    EXPECT_EQ(o.lns, nullptr);
    EXPECT_EQ(o.pts[0].x, 0);
    EXPECT_EQ(o.pts[0].z, 48); // theta 0: radius 48, on the z axis
    EXPECT_EQ(o.pts[0].colour, 0xFFFF);
    // Polygons (0, 1, 24) and (24, 1, 25), exchanged.
    EXPECT_EQ((std::vector<int>{o.pls[0].p0, o.pls[0].p1, o.pls[0].p2}), (std::vector<int>{24, 1, 0}));
    EXPECT_EQ((std::vector<int>{o.pls[1].p0, o.pls[1].p1, o.pls[1].p2}), (std::vector<int>{25, 1, 24}));
    // The last row joins back to row 0.
    const Polygon3d& last = o.pls[1103];
    EXPECT_EQ((std::vector<int>{last.p0, last.p1, last.p2}), (std::vector<int>{23, 23 * 24 + 23, 22}));
    // Polygon 0 spans (0, 0, 48), point 1 and (0, 0, 72) in the xz plane; its normal comes
    // from the order before the exchange (after it, the same formula would give -y).
    EXPECT_EQ(o.pts[24].z, 72);
    EXPECT_EQ(o.pl_normals[0], (Vector3d{0, 256, 0}));

    Built c;
    InitTestObject(&c.o, 20);
    EXPECT_EQ(c.o.pts[0].z, 64);
    EXPECT_EQ(c.o.pz, 320.0f);
}

TEST(Generators, UnknownTypeLeavesTheRecordAlone) {
    Object3d o;
    std::memset(&o, 0x5A, sizeof(o));
    Object3d before = o;
    InitTestObject(&o, 5);
    InitTestObject(&o, -1);
    EXPECT_EQ(std::memcmp(&o, &before, sizeof(o)), 0);
}

namespace {
struct Packed {
    std::vector<uint8_t> bytes;
    void Word(uint32_t v) {
        bytes.push_back(v & 0xFF);
        bytes.push_back(v >> 8);
    }
};

// Three points (an odd count), one line, one triangle; a trailing byte that is ignored.
Packed SmallModel() {
    Packed m;
    m.Word(3);
    m.Word(1);
    m.Word(1);
    for (uint8_t b : {0, 128, 129, 255, 127, 130, 128, 200, 128})
        m.bytes.push_back(b);
    m.Word(2);
    m.Word(0);
    m.Word(0);
    m.Word(1);
    m.Word(2);
    m.bytes.push_back(0xEE);
    return m;
}
} // namespace

TEST(Loader, DecodesAnOddlyAlignedModel) {
    const Packed m = SmallModel();
    Built b;
    Load16bit3do(&b.o, m.bytes.data(), static_cast<uint32_t>(m.bytes.size()), 0, "small");
    const Object3d& o = b.o;
    EXPECT_EQ(o.npts, 3);
    EXPECT_EQ(o.nlns, 1);
    EXPECT_EQ(o.npls, 1);
    EXPECT_EQ((std::vector<int>{o.pts[0].x, o.pts[0].y, o.pts[0].z}), (std::vector<int>{-64, 0, 0}));
    EXPECT_EQ((std::vector<int>{o.pts[1].x, o.pts[1].y, o.pts[1].z}), (std::vector<int>{63, -1, 1}));
    EXPECT_EQ((std::vector<int>{o.pts[2].x, o.pts[2].y, o.pts[2].z}), (std::vector<int>{0, 36, 0}));
    EXPECT_EQ(o.pts[2].colour, 0xFFFF);
    EXPECT_EQ(o.lns[0].p0, 2);
    EXPECT_EQ(o.lns[0].p1, 0);
    EXPECT_EQ(o.lns[0].colour, 0xFFFF);
    EXPECT_EQ((std::vector<int>{o.pls[0].p0, o.pls[0].p1, o.pls[0].p2}), (std::vector<int>{0, 1, 2}));
    EXPECT_NE(o.pl_normals[0], (Vector3d{0, 0, 0}));
    EXPECT_EQ(o.pt_normals[1], o.pl_normals[0]);

    Built neg;
    Load16bit3do(&neg.o, m.bytes.data(), 1); // the header alone decides the length
    EXPECT_EQ(neg.o.pl_normals[0], NegVec(o.pl_normals[0].x, o.pl_normals[0].y, o.pl_normals[0].z));
}

TEST(Loader, NoLinesPutsTrianglesRightAfterThePoints) {
    Packed m;
    m.Word(3);
    m.Word(0);
    m.Word(1);
    for (uint8_t b : {128, 128, 128, 160, 128, 128, 128, 160, 128})
        m.bytes.push_back(b);
    m.Word(0);
    m.Word(1);
    m.Word(2);
    Built b;
    Load16bit3do(&b.o, m.bytes.data(), static_cast<uint32_t>(m.bytes.size()), 0, "nolines");
    EXPECT_EQ(b.o.nlns, 0);
    EXPECT_NE(b.o.lns, nullptr);
    EXPECT_EQ(b.o.pls[0].p2, 2);
    EXPECT_EQ(b.o.pl_normals[0], (Vector3d{0, 0, -256}));
}

TEST(Loader, RejectsWhatWouldNotFit) {
    Packed m = SmallModel();
    EXPECT_EQ(Packed3doFault(m.bytes.data(), static_cast<uint32_t>(m.bytes.size())), nullptr);
    EXPECT_NE(Packed3doFault(m.bytes.data(), static_cast<uint32_t>(m.bytes.size()) - 2), nullptr); // short
    EXPECT_NE(Packed3doFault(m.bytes.data(), 4), nullptr);

    Packed bad_line = SmallModel();
    bad_line.bytes[6 + 9] = 3; // line index 3 with 3 points
    EXPECT_NE(Packed3doFault(bad_line.bytes.data(), static_cast<uint32_t>(bad_line.bytes.size())), nullptr);
    Packed bad_tri = SmallModel();
    bad_tri.bytes[6 + 9 + 4 + 4] = 0xFF;
    EXPECT_NE(Packed3doFault(bad_tri.bytes.data(), static_cast<uint32_t>(bad_tri.bytes.size())), nullptr);

    Packed many;
    many.Word(8193);
    many.Word(0);
    many.Word(0);
    many.bytes.resize(6 + 3 * 8193, 128);
    EXPECT_EXIT(
        Load16bit3do(&object[31], many.bytes.data(), static_cast<uint32_t>(many.bytes.size()), 0, "bigmodel"),
        ::testing::ExitedWithCode(1), "bigmodel");
    EXPECT_EXIT(Load16bit3do(&object[31], bad_tri.bytes.data(), 0), ::testing::ExitedWithCode(1), "index");
}

TEST(Init3d, FillsTheSevenSlotsFromOurModels) {
    Init3d();
    const struct {
        int slot, npts, npls, nlns;
    } expected[] = {{0, 64, 0, 0},      {1, 430, 805, 1234}, {2, 137, 240, 376}, {4, 8, 12, 12},
                    {16, 576, 1104, 0}, {20, 576, 1104, 0},  {24, 130, 256, 0}};
    for (const auto& e : expected) {
        EXPECT_EQ(object[e.slot].npts, e.npts) << e.slot;
        EXPECT_EQ(object[e.slot].npls, e.npls) << e.slot;
        EXPECT_EQ(object[e.slot].nlns, e.nlns) << e.slot;
    }
    EXPECT_EQ(objnpls, 805);
    EXPECT_EQ(objnlns, 1234);
    const Object3d empty{};
    for (int s : {3, 5, 6, 15, 17, 19, 21, 23, 25, 31})
        EXPECT_EQ(std::memcmp(&object[s], &empty, sizeof(empty)), 0) << s;

    // The face's first triangle is stored as (2, 1, 0) and exchanged; its lines are kept.
    const Object3d& face = object[1];
    EXPECT_EQ((std::vector<int>{face.pls[0].p0, face.pls[0].p1, face.pls[0].p2}),
              (std::vector<int>{0, 1, 2}));
    EXPECT_EQ((std::vector<int>{face.lns[0].p0, face.lns[0].p1, face.lns[2].p0, face.lns[2].p1}),
              (std::vector<int>{2, 1, 0, 2}));
    EXPECT_EQ(face.pz, 128.0f);
    EXPECT_EQ(face.ay, -1.5707585f);
    EXPECT_EQ(object[2].az, 3.1415169f);
    // Every point of both models belongs to a triangle, so none keeps a zero normal.
    for (int s : {1, 2}) {
        for (int i = 0; i < object[s].npts; i++) {
            const Vector3d n = object[s].pt_normals[i];
            EXPECT_FALSE(n.x == 0 && n.y == 0 && n.z == 0) << s << ":" << i;
        }
    }
    // A second call rebuilds the same table.
    const Vector3d n = object[24].pt_normals[5];
    Init3d();
    EXPECT_EQ(object[24].pt_normals[5], n);
    EXPECT_EQ(object[1].npls, 805);
}
