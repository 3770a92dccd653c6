// The compiled-in artwork: sizes, layouts, transparency, fonts, the ball ramps and the packed models.
#include "data/data.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

template <size_t N> size_t DistinctValues(const uint16_t (&pixels)[N]) {
    return std::set<uint16_t>(pixels, pixels + N).size();
}

template <size_t N> bool AnyBitZero(const uint16_t (&pixels)[N]) {
    for (uint16_t p : pixels)
        if (p & 1) return true;
    return false;
}

// Column-ordered picture of w columns of h elements: every outermost column and element is 0.
bool BorderTransparent(const uint16_t* pixels, int w, int h) {
    for (int x = 0; x < w; ++x)
        for (int e = 0; e < h; ++e)
            if ((x == 0 || x == w - 1 || e == 0 || e == h - 1) && pixels[x * h + e] != 0) return false;
    return true;
}

TEST(Pictures, SizesLayoutsAndContents) {
    static_assert(sizeof vkr0 == 153600 && sizeof quellmark == 32256 && sizeof presents == 8192);
    static_assert(sizeof vornelo == 32768 && sizeof vornelo_top == 32768 && sizeof vornelo_bottom == 32768);
    static_assert(sizeof env1 == 8192);

    // Full colour, bit 0 unused, the last pixel (column 319, element 239) black.
    EXPECT_GE(DistinctValues(vkr0), 2000u);
    EXPECT_EQ(vkr0[319 * 240 + 239], 0);
    EXPECT_FALSE(AnyBitZero(vkr0));

    // Logos: few colours, 0 transparent and all round the edge.
    EXPECT_LE(DistinctValues(quellmark), 16u);
    EXPECT_GE(DistinctValues(quellmark), 8u);
    EXPECT_TRUE(BorderTransparent(quellmark, 192, 84));
    EXPECT_LE(DistinctValues(presents), 16u);
    EXPECT_GE(DistinctValues(presents), 8u);
    EXPECT_TRUE(BorderTransparent(presents, 128, 32));
    EXPECT_FALSE(AnyBitZero(quellmark));
    EXPECT_FALSE(AnyBitZero(presents));

    // Textures carry real pictures, not flat colour; the environment map ends in a black texel.
    EXPECT_GE(DistinctValues(vornelo), 200u);
    EXPECT_GE(DistinctValues(vornelo_top), 200u);
    EXPECT_GE(DistinctValues(vornelo_bottom), 200u);
    EXPECT_GE(DistinctValues(env1), 200u);
    EXPECT_EQ(env1[64 * 64 - 1], 0);
    EXPECT_FALSE(AnyBitZero(vornelo) || AnyBitZero(vornelo_top) || AnyBitZero(vornelo_bottom) ||
                 AnyBitZero(env1));
}

TEST(Pictures, LogosAreOpaqueWhereTheyDraw) {
    // A logo that is mostly transparent but not empty: its letters cover a fair share.
    int covered = 0;
    for (uint16_t p : quellmark)
        covered += p != 0;
    EXPECT_GT(covered, 192 * 84 / 4);
    EXPECT_LT(covered, 192 * 84 * 9 / 10);
    covered = 0;
    for (uint16_t p : presents)
        covered += p != 0;
    EXPECT_GT(covered, 128 * 32 / 5);
}

TEST(Fonts, SmallFontCoversItsCodes) {
    static_assert(sizeof bitfonts == 472);
    std::set<std::array<uint8_t, 8>> shapes;
    for (int g = 0; g < 59; ++g) {
        std::array<uint8_t, 8> glyph;
        int ink = 0;
        for (int r = 0; r < 8; ++r) {
            glyph[r] = bitfonts[g * 8 + r];
            ink += __builtin_popcount(glyph[r]);
            EXPECT_EQ(glyph[r] & 1, 0) << "code " << 32 + g << " touches its right neighbour";
        }
        if (g == 0) {
            EXPECT_EQ(ink, 0) << "space must be blank";
        } else {
            EXPECT_GT(ink, 1) << "code " << 32 + g << " is blank";
        }
        shapes.insert(glyph);
    }
    EXPECT_EQ(shapes.size(), 59u) << "two codes share one glyph";
}

TEST(Fonts, LargeFontMapAndGlyphs) {
    static_assert(sizeof fonts16 == 22272);
    auto glyph_of = [](char c) { return fonts16[static_cast<uint8_t>(c)]; };
    std::set<int> used;
    for (int code = 0; code < 256; ++code) {
        const int g = fonts16[code];
        ASSERT_LE(g, 85) << "code " << code;
        if (g != 0) {
            EXPECT_TRUE(used.insert(g).second) << "glyph " << g << " mapped twice";
        }
    }
    // Digits, both cases and 22 punctuation signs, among them those of the credits.
    for (const char* set : {"0123456789", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz",
                            "Code:Corvane", "Music:TheOmbrelist"})
        for (const char* c = set; *c; ++c)
            EXPECT_NE(glyph_of(*c), 0) << "no glyph for '" << *c << "'";
    EXPECT_EQ(used.size(), 10u + 52u + 22u);
    EXPECT_EQ(glyph_of(' '), 0);

    for (int g = 0; g <= 85; ++g) {
        const uint8_t* glyph = fonts16 + 256 + g * 256;
        int ink = 0;
        for (int r = 0; r < 16; ++r)
            for (int c = 0; c < 16; ++c) {
                const int v = glyph[r * 16 + c];
                ASSERT_LE(v, 15);
                ink += v;
                if (c == 0 || c == 15) {
                    EXPECT_EQ(v, 0) << "glyph " << g << " leaves its box at column " << c;
                }
            }
        if (g == 0 || !used.count(g)) {
            EXPECT_EQ(ink, 0) << "glyph " << g << " is drawn but never mapped";
        } else {
            EXPECT_GT(ink, 30) << "glyph " << g << " is nearly empty";
        }
    }
    // A lower-case letter differs from its capital.
    EXPECT_NE(glyph_of('a'), glyph_of('A'));
}

// The ball ramps: rising channels 0, 2, ... 14, 17, ... 31; falling the same backwards.
TEST(Ball, PaletteFollowsTheRamps) {
    static const int rise[16] = {0, 2, 4, 6, 8, 10, 12, 14, 17, 19, 21, 23, 25, 27, 29, 31};
    // Per ramp and channel: +1 rising, -1 falling, otherwise the constant value.
    struct Ramp {
        int r, g, b;
    };
    constexpr int U = 100, D = -100;
    static const Ramp ramps[15] = {{U, 0, 0},  {0, U, 0}, {0, 0, U},  {U, U, 0},  {U, 0, U},
                                   {0, U, U},  {U, U, U}, {D, U, 0},  {D, 0, U},  {0, D, U},
                                   {31, U, 0}, {U, D, U}, {U, 0, 31}, {U, 16, D}, {31, U, D}};
    auto channel = [&](int rule, int pos) {
        return rule == U ? rise[pos] : rule == D ? rise[15 - pos] : rule;
    };
    auto stored = [](int i) { return gp32ball[2 + 2 * i] | gp32ball[3 + 2 * i] << 8; };

    static_assert(sizeof gp32ball == 768);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(gp32ball[i], 0);
    static const int red0[16] = {2, 4, 6, 8, 10, 12, 14, 16, 17, 19, 21, 23, 25, 27, 29, 31};
    static const int grey15[15] = {31, 29, 27, 25, 22, 20, 18, 16, 13, 11, 9, 7, 4, 2, 0};
    for (int i = 1; i <= 254; ++i) {
        const int m = i / 16, pos = i % 16;
        int r, g, b;
        if (m == 15) {
            r = g = b = grey15[pos];
        } else {
            r = m == 0 ? red0[pos] : channel(ramps[m].r, pos);
            g = channel(ramps[m].g, pos);
            b = channel(ramps[m].b, pos);
        }
        EXPECT_EQ(stored(i), r << 10 | g << 5 | b) << "palette entry " << i;
    }
    // Spot values: ramp 0 starts dark red, ramp 13 runs (0,16,31) to (31,16,0).
    EXPECT_EQ(stored(1), 4 << 10);
    EXPECT_EQ(stored(13 * 16 + 15), 31 << 10 | 16 << 5);
    EXPECT_EQ(stored(253), 2 << 10 | 2 << 5 | 2);
    EXPECT_EQ(stored(254), 0);
}

TEST(Ball, SpriteIsTheShadedDisc) {
    static const uint8_t sprite[16][16] = {{0, 0, 0, 0, 0, 0, 13, 13, 13, 14, 0, 0, 0, 0, 0, 0},
                                           {0, 0, 0, 0, 12, 12, 12, 13, 13, 13, 13, 14, 0, 0, 0, 0},
                                           {0, 0, 0, 12, 11, 12, 13, 14, 14, 14, 13, 12, 14, 0, 0, 0},
                                           {0, 0, 11, 11, 12, 13, 14, 14, 14, 15, 14, 13, 12, 13, 0, 0},
                                           {0, 10, 10, 11, 12, 14, 14, 15, 15, 15, 15, 14, 13, 12, 13, 0},
                                           {0, 10, 10, 11, 12, 13, 14, 15, 15, 16, 16, 15, 14, 12, 13, 0},
                                           {10, 9, 9, 10, 11, 12, 13, 14, 15, 16, 16, 16, 15, 12, 11, 13},
                                           {10, 8, 9, 9, 10, 11, 12, 13, 14, 14, 15, 15, 14, 12, 11, 13},
                                           {9, 8, 9, 9, 9, 10, 11, 12, 12, 13, 14, 14, 12, 11, 10, 11},
                                           {8, 7, 8, 9, 9, 9, 10, 11, 11, 12, 12, 12, 11, 10, 9, 10},
                                           {0, 7, 6, 8, 9, 9, 9, 10, 10, 11, 11, 11, 10, 9, 10, 0},
                                           {0, 6, 6, 7, 8, 8, 9, 9, 9, 10, 10, 10, 9, 9, 10, 0},
                                           {0, 0, 6, 6, 7, 7, 8, 9, 9, 9, 9, 9, 9, 9, 0, 0},
                                           {0, 0, 0, 6, 6, 7, 7, 7, 8, 9, 9, 9, 8, 0, 0, 0},
                                           {0, 0, 0, 0, 5, 5, 7, 7, 7, 7, 7, 7, 0, 0, 0, 0},
                                           {0, 0, 0, 0, 0, 0, 5, 5, 5, 6, 0, 0, 0, 0, 0, 0}};
    for (int c = 0; c < 16; ++c)
        for (int r = 0; r < 16; ++r)
            EXPECT_EQ(gp32ball[512 + 16 * c + r], sprite[c][r]) << "column " << c << " element " << r;
}

// ---- packed models, decoded by the loader's rules ------------------------------------------

struct Model {
    std::vector<std::array<int, 3>> points;
    std::vector<std::pair<int, int>> lines;
    std::vector<std::array<int, 3>> triangles;
};

int Read16(const uint8_t* b, size_t at) {
    return b[at] | b[at + 1] << 8;
}

Model Decode(const uint8_t* b) {
    Model m;
    const int n = Read16(b, 0), l = Read16(b, 2), t = Read16(b, 4);
    size_t at = 6;
    for (int i = 0; i < n; ++i, at += 3)
        m.points.push_back({(b[at] - 128) >> 1, (b[at + 1] - 128) >> 1, (b[at + 2] - 128) >> 1});
    for (int i = 0; i < l; ++i, at += 4)
        m.lines.push_back({Read16(b, at), Read16(b, at + 2)});
    for (int i = 0; i < t; ++i, at += 6)
        m.triangles.push_back({Read16(b, at), Read16(b, at + 2), Read16(b, at + 4)});
    return m;
}

void CheckContentRules(const Model& m, const std::array<int, 6>& range) {
    const int n = static_cast<int>(m.points.size());
    std::vector<bool> used(n, false);
    std::vector<std::pair<int, int>> expected;
    std::set<std::pair<int, int>> seen;
    for (const auto& t : m.triangles)
        for (int k = 0; k < 3; ++k) {
            ASSERT_LT(t[k], n);
            used[t[k]] = true;
            const int a = t[k], b = t[(k + 1) % 3];
            ASSERT_NE(a, b) << "degenerate triangle";
            if (seen.insert({std::min(a, b), std::max(a, b)}).second) expected.push_back({a, b});
        }
    for (int i = 0; i < n; ++i)
        EXPECT_TRUE(used[i]) << "point " << i << " belongs to no triangle";
    EXPECT_EQ(m.lines, expected) << "line list is not the triangles' edges in order of appearance";
    for (const auto& p : m.points)
        for (int k = 0; k < 3; ++k) {
            EXPECT_GE(p[k], range[2 * k]);
            EXPECT_LE(p[k], range[2 * k + 1]);
        }
    // The ranges are reached, so the model fills the space the scenes frame.
    for (int k = 0; k < 3; ++k) {
        int lo = 64, hi = -65;
        for (const auto& p : m.points) {
            lo = std::min(lo, p[k]);
            hi = std::max(hi, p[k]);
        }
        EXPECT_LE(lo, range[2 * k] + 2);
        EXPECT_GE(hi, range[2 * k + 1] - 2);
    }
}

// Of the triangles the painter's test keeps in a pose, the share lit from the front, and the
// kept share of all; the pose uses the engine's rotation (x, then y, then z), x 256 matrix and
// projection; the normal is (p2 - p1) x (p1 - p0), negated when asked.
struct Facing {
    double lit_of_kept;
    double kept;
    double kept_depth, culled_depth;
};

Facing Pose(const Model& m, bool negate, bool exchange, float ax, float ay, float az, float px, float py,
            float pz) {
    const float cx = static_cast<float>(std::cos(static_cast<double>(ax))),
                sx = static_cast<float>(std::sin(static_cast<double>(ax)));
    const float cy = static_cast<float>(std::cos(static_cast<double>(ay))),
                sy = static_cast<float>(std::sin(static_cast<double>(ay)));
    const float cz = static_cast<float>(std::cos(static_cast<double>(az))),
                sz = static_cast<float>(std::sin(static_cast<double>(az)));
    const int mat[3][3] = {
        {int(cy * cz * 256), int((cz * sx * sy - cx * sz) * 256), int((cz * cx * sy + sx * sz) * 256)},
        {int(cy * sz * 256), int((cx * cz + sx * sy * sz) * 256), int((cx * sy * sz - cz * sx) * 256)},
        {int(-sy * 256), int(sx * cy * 256), int(cx * cy * 256)}};
    auto rotate = [&](const std::array<int, 3>& v) {
        std::array<long, 3> r{};
        for (int i = 0; i < 3; ++i)
            r[i] = long(mat[i][0]) * v[0] + long(mat[i][1]) * v[1] + long(mat[i][2]) * v[2];
        return r;
    };
    std::vector<std::array<long, 3>> cam;
    std::vector<std::array<long, 2>> scr;
    for (const auto& p : m.points) {
        auto r = rotate(p);
        r[0] += long(px * 256);
        r[1] += long(py * 256);
        r[2] += long(pz * 256);
        cam.push_back(r);
        scr.push_back({r[0] * 256 / r[2] + 160, r[1] * 256 / r[2] + 120});
    }
    Facing f{0, 0, 0, 0};
    int kept = 0, lit = 0, culled = 0;
    for (auto t : m.triangles) {
        const auto &a = m.points[t[0]], &b = m.points[t[1]], &c = m.points[t[2]];
        const std::array<int, 3> e1 = {c[0] - b[0], c[1] - b[1], c[2] - b[2]};
        const std::array<int, 3> e2 = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        std::array<int, 3> n = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                e1[0] * e2[1] - e1[1] * e2[0]};
        if (negate) n = {-n[0], -n[1], -n[2]};
        if (exchange) std::swap(t[0], t[2]);
        const auto &s0 = scr[t[0]], &s1 = scr[t[1]], &s2 = scr[t[2]];
        const long test = (s0[0] - s1[0]) * (s2[1] - s1[1]) - (s2[0] - s1[0]) * (s0[1] - s1[1]);
        const double depth = double(cam[t[0]][2] + cam[t[1]][2] + cam[t[2]][2]) / 3;
        if (test < 0) {
            ++kept;
            lit += rotate(n)[2] > 0;
            f.kept_depth += depth;
        } else {
            ++culled;
            f.culled_depth += depth;
        }
    }
    f.lit_of_kept = kept ? double(lit) / kept : 0;
    f.kept = double(kept) / m.triangles.size();
    f.kept_depth = kept ? f.kept_depth / kept : 0;
    f.culled_depth = culled ? f.culled_depth / culled : 0;
    return f;
}

void CheckCounts(const Model& m, uint32_t size, size_t n, size_t l, size_t t) {
    EXPECT_EQ(m.points.size(), n);
    EXPECT_EQ(m.lines.size(), l);
    EXPECT_EQ(m.triangles.size(), t);
    EXPECT_EQ(6 + 3 * m.points.size() + 4 * m.lines.size() + 6 * m.triangles.size(), size);
}

TEST(Models, FaceDecodesWithItsContentRules) {
    const Model m = Decode(face3do);
    EXPECT_EQ(face3do_size, 11062u);
    CheckCounts(m, face3do_size, 430, 1234, 805);
    EXPECT_EQ(Read16(face3do, 6 + 3 * 430), m.lines[0].first); // line section at 1296
    EXPECT_EQ(m.triangles[0], (std::array<int, 3>{2, 1, 0}));
    EXPECT_EQ(m.lines[0], std::make_pair(2, 1));
    EXPECT_EQ(m.lines[1], std::make_pair(1, 0));
    EXPECT_EQ(m.lines[2], std::make_pair(0, 2));
    CheckContentRules(m, {-28, 16, -30, 30, -63, 31});
}

TEST(Models, TeapotDecodesWithItsContentRules) {
    const Model m = Decode(teapot);
    EXPECT_EQ(teapot_size, 3361u);
    CheckCounts(m, teapot_size, 137, 376, 240);
    CheckContentRules(m, {-56, 63, -34, 25, -37, 37});
}

TEST(Models, FaceLooksAtTheViewerAndIsLitFromTheFront) {
    // The plasma scene's pose at rest and at its start, after the object setup's exchange.
    const Model m = Decode(face3do);
    for (float ay : {1.5707585f, 1.820758465f, 2.3f, 1.1f}) {
        const Facing f = Pose(m, false, true, 0, ay, 1.570758465f, 0, 12, 128);
        EXPECT_GT(f.lit_of_kept, 0.9) << "ay " << ay;
        EXPECT_GT(f.kept, 0.6) << "ay " << ay;
    }
    // Seen from behind, the mask shows almost nothing.
    EXPECT_LT(Pose(m, false, true, 0, 1.5707585f + 3.1415169f, 1.570758465f, 0, 12, 128).kept, 0.2);
}

TEST(Models, TeapotShowsItsNearSideLit) {
    const Model m = Decode(teapot);
    for (float ay : {0.0f, 0.7f, 1.9f, 3.0f}) {
        const Facing f = Pose(m, true, false, 0.4f, ay, 3.1415169f, 0, 0, 160);
        EXPECT_GT(f.lit_of_kept, 0.85) << "ay " << ay;
        EXPECT_GT(f.kept, 0.3) << "ay " << ay;
        EXPECT_LT(f.kept, 0.7) << "ay " << ay;
        EXPECT_LT(f.kept_depth, f.culled_depth) << "ay " << ay;
    }
}

// ---- the converter ------------------------------------------------------------------------

struct Result {
    int status;
    std::string output;
};

Result Convert(const std::string& arguments) {
    const std::string command = std::string(ZARVELIN_BINARY_DIR) + "/tools/assetconv " + arguments + " 2>&1";
    Result run{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe))
        run.output += buffer;
    run.status = pclose(pipe);
    return run;
}

TEST(Converter, RejectsMalformedSourcesNamingTheFile) {
    const std::string dir = ZARVELIN_BINARY_DIR;
    const std::string out = dir + "/bad_unit.cpp";
    std::remove(out.c_str());

    const std::string obj = dir + "/bad_model.obj";
    std::ofstream(obj) << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 4\n";
    Result run = Convert("model " + obj + " " + out + " bad");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find(obj + ":4:"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("vertex index 4"), std::string::npos) << run.output;

    std::ofstream(obj) << "v 0 0 0\nv 1 0 99\nv 0 1 0\nf 1 2 3\n";
    run = Convert("model " + obj + " " + out + " bad");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find(obj + ":2:"), std::string::npos) << run.output;

    std::ofstream(obj) << "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 5 5 5\nf 1 2 3\n";
    run = Convert("model " + obj + " " + out + " bad");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("belongs to no triangle"), std::string::npos) << run.output;

    const std::string font = dir + "/bad_font.txt";
    std::ofstream(font) << "glyph 65\n..##....\n.#..#...\n";
    run = Convert("bitfont " + font + " " + out);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find(font), std::string::npos) << run.output;

    // A picture of the wrong size.
    const std::string png = std::string(ZARVELIN_SOURCE_DIR) + "/assets/pictures/env1.png";
    run = Convert("picture " + png + " " + out + " x 320 240 columns");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find(png), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("expected 320 x 240"), std::string::npos) << run.output;

    // Not a picture at all.
    run = Convert("picture " + obj + " " + out + " x 64 64 rows");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find(obj), std::string::npos) << run.output;

    // A header promising 100000 x 100000 pixels is refused before anything is decoded.
    const std::string huge = std::string(ZARVELIN_SOURCE_DIR) + "/fuzz/regressions/assets/picture-of-100000-by-100000";
    const std::string huge_png = dir + "/huge.png";
    {
        std::ifstream in(huge, std::ios::binary);
        in.get(); // the fuzz target's choice of reader
        std::ofstream(huge_png, std::ios::binary) << in.rdbuf();
    }
    run = Convert("picture " + huge_png + " " + out + " x 64 64 rows");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("picture is 100000 x 100000, expected 64 x 64"), std::string::npos) << run.output;

    std::ifstream written(out);
    EXPECT_FALSE(written.good()) << "a failed conversion left an output behind";
}

// Lines of blanks only, vertical tabs and form feeds among them, are empty lines.
TEST(Converter, LinesOfBlanksAreEmpty) {
    const std::string dir = ZARVELIN_BINARY_DIR;
    const std::string obj = dir + "/blank_lines.obj";
    const std::string out = dir + "/blank_lines.cpp";
    std::ofstream(obj) << "v 0 0 0\n\v\nv 1 0 0\n \f \r\nv 0 1 0\n\t\nf 1 2 3\n";
    const Result run = Convert("model " + obj + " " + out + " blank");
    EXPECT_EQ(run.status, 0) << run.output;
    std::ifstream in(out);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("blank_size = 33;"), std::string::npos) << text;
}

// The three layouts of one picture address the same pixels: texture rows from the top, texture
// rows from the bottom (env1 as built), and frame-buffer columns from the bottom.
TEST(Converter, LayoutsAddressTheSamePixels) {
    const std::string png = std::string(ZARVELIN_SOURCE_DIR) + "/assets/pictures/env1.png";
    auto convert = [&](const char* layout) {
        const std::string out = std::string(ZARVELIN_BINARY_DIR) + "/layout_" + layout + ".cpp";
        const Result run = Convert("picture " + png + " " + out + " env 64 64 " + layout);
        EXPECT_EQ(run.status, 0) << run.output;
        std::ifstream in(out);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<uint16_t> values;
        for (size_t at = text.find('{') + 1; at < text.size();) {
            const size_t digit = text.find_first_of("0123456789", at);
            if (digit == std::string::npos || digit > text.find('}', at)) break;
            size_t used = 0;
            values.push_back(static_cast<uint16_t>(std::stoul(text.substr(digit), &used)));
            at = digit + used;
        }
        return values;
    };
    const std::vector<uint16_t> rows = convert("rows"), up = convert("rows-up"), columns = convert("columns");
    ASSERT_EQ(rows.size(), 4096u);
    ASSERT_EQ(up.size(), 4096u);
    ASSERT_EQ(columns.size(), 4096u);
    for (int y = 0; y < 64; ++y) // PNG row, from the top
        for (int x = 0; x < 64; ++x) {
            EXPECT_EQ(up[(63 - y) * 64 + x], rows[y * 64 + x]);
            EXPECT_EQ(columns[x * 64 + (63 - y)], rows[y * 64 + x]);
            EXPECT_EQ(env1[(63 - y) * 64 + x], rows[y * 64 + x]);
        }
}

} // namespace
