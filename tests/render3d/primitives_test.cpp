#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "precalcs/tables.h"
#include "render3d/primitives.h"

namespace {
constexpr uint16_t kBack = 0x1234;

// Ball data whose palette entry i is 0x4000 + i (so ball_p[i] = 0x8000 + 2i) and whose sprite
// sample (c, r) is 1 + (c + r) % 15, with one 16 in it.
std::vector<uint8_t> SyntheticBall() {
    std::vector<uint8_t> ball(768, 0xAB);
    for (int i = 1; i <= 254; i++) {
        const int v = 0x4000 + i;
        ball[2 + 2 * i] = v & 0xFF;
        ball[3 + 2 * i] = v >> 8;
    }
    for (int c = 0; c < 16; c++) {
        for (int r = 0; r < 16; r++)
            ball[512 + 16 * c + r] = static_cast<uint8_t>(1 + (c + r) % 15);
    }
    ball[512 + 16 * 3 + 4] = 16;
    return ball;
}

int Sample(int c, int r) {
    return c == 3 && r == 4 ? 15 : 1 + (c + r) % 15;
}

class BallTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::vector<uint8_t> ball = SyntheticBall();
        InitBallsFrom(ball.data());
        fb.assign(76800, kBack);
    }
    uint16_t At(int column, int element) const { return fb[column * 240 + element]; }
    int Changed() const {
        int n = 0;
        for (uint16_t p : fb)
            n += p != kBack;
        return n;
    }
    std::vector<uint16_t> fb;
};
} // namespace

TEST_F(BallTest, TablesFromData) {
    EXPECT_EQ(ball_p[0], 0);
    EXPECT_EQ(ball_p[255], 0);
    EXPECT_EQ(ball_p[1], 0x8002);
    EXPECT_EQ(ball_p[254], 0x81FC);
    EXPECT_EQ(ball_c[16 * 3 + 4], 15); // a 16 in the data draws as step 15
    EXPECT_EQ(ball_c[0], 1);

    // Bit 15 of a palette colour is shifted out.
    std::vector<uint8_t> ball = SyntheticBall();
    ball[2 + 2 * 7] = 0xFF;
    ball[3 + 2 * 7] = 0xFF;
    InitBallsFrom(ball.data());
    EXPECT_EQ(ball_p[7], 0xFFFE);
}

TEST_F(BallTest, UnclippedBallAtScaleOne) {
    drawball(100, 100, 32, 1.0f, fb.data());
    EXPECT_EQ(Changed(), 256);
    for (int c = 0; c < 16; c++) {
        for (int r = 0; r < 16; r++)
            ASSERT_EQ(At(92 + c, 92 + r), ball_p[32 + Sample(c, r)]) << c << "," << r;
    }
}

TEST_F(BallTest, ClippedAtAllFourEdges) {
    drawball(3, 100, 0, 1.0f, fb.data()); // x0 = -5: sprite columns 5..15 at columns 0..10
    EXPECT_EQ(Changed(), 11 * 16);
    for (int c = 5; c < 16; c++) {
        for (int r = 0; r < 16; r++)
            ASSERT_EQ(At(c - 5, 92 + r), ball_p[Sample(c, r)]);
    }

    fb.assign(76800, kBack);
    drawball(100, 3, 0, 1.0f, fb.data()); // y0 = -5: sprite elements 5..15 at elements 0..10
    EXPECT_EQ(Changed(), 16 * 11);
    for (int c = 0; c < 16; c++) {
        for (int r = 5; r < 16; r++)
            ASSERT_EQ(At(92 + c, r - 5), ball_p[Sample(c, r)]);
    }

    fb.assign(76800, kBack);
    drawball(319 + 8, 100, 0, 1.0f, fb.data()); // x0 = 319: one column, sprite column 0
    EXPECT_EQ(Changed(), 16);
    for (int r = 0; r < 16; r++)
        EXPECT_EQ(At(319, 92 + r), ball_p[Sample(0, r)]);

    fb.assign(76800, kBack);
    drawball(100, 239 + 8, 0, 1.0f, fb.data()); // y0 = 239: one element
    EXPECT_EQ(Changed(), 16);
    for (int c = 0; c < 16; c++)
        EXPECT_EQ(At(92 + c, 239), ball_p[Sample(c, 0)]);

    fb.assign(76800, kBack);
    drawball(320 + 8, 100, 0, 1.0f, fb.data());
    drawball(100, 240 + 8, 0, 1.0f, fb.data());
    drawball(-8, 100, 0, 1.0f, fb.data()); // x0 = -16: the box ends at column -1
    drawball(100, 100, 0, 0.0f, fb.data());
    drawball(100, 100, 0, -2.0f, fb.data());
    drawball(100, 100, 0, NAN, fb.data());
    EXPECT_EQ(Changed(), 0);
}

TEST_F(BallTest, LargeBallClippedOnBothSidesStaysInsideItsBox) {
    // x0 = -178 and the box is 336 wide: it ends at column 157, not at the frame's edge.
    for (uint8_t& c : ball_c)
        c = 1;
    drawball(-10, 120, 0, 21.0f, fb.data());
    for (int e = 0; e < 240; e++) {
        EXPECT_EQ(At(157, e), ball_p[1]);
        EXPECT_EQ(At(158, e), kBack);
    }
}

TEST_F(BallTest, ColourValuesAboveTheLastRampClamp) {
    drawball(100, 100, 0x10000 + 32, 1.0f, fb.data()); // only the low 16 bits count
    EXPECT_EQ(At(92, 92), ball_p[32 + Sample(0, 0)]);
    drawball(100, 100, 0xFFFF, 1.0f, fb.data());
    for (int c = 0; c < 16; c++) {
        for (int r = 0; r < 16; r++)
            ASSERT_EQ(At(92 + c, 92 + r), ball_p[240 + Sample(c, r)]);
    }
    // Ramp 240 with step 15 is the forced black of entry 255.
    EXPECT_EQ(At(92 + 3, 92 + 4), 0);
}

namespace {
// drawball step by step as defined, in double and 64-bit arithmetic with a bounds test on
// every pixel: the box's own columns and elements that lie on the frame, sample positions
// stepped by trunc(position + 65536 / s). Every sample it reads must lie in the sprite.
void ReferenceBall(int32_t x, int32_t y, int32_t colour, float size, std::vector<uint16_t>& fb) {
    const double s = size;
    if (!(s > 0.0) || !std::isfinite(s)) return;
    const double n = std::trunc(16.0 * s - 1.0);
    const double x0 = std::trunc(x - 8.0 * s);
    const double y0 = std::trunc(y - 8.0 * s);
    if (x0 > 319 || x0 <= -16.0 * s || y0 > 239 || y0 <= -16.0 * s) return;
    const double step = 65536.0 / s;
    const uint32_t ramp = std::min<uint32_t>(static_cast<uint32_t>(colour) & 0xFFFF, 240);
    double u = x0 < 0 ? std::trunc((-x0 * 65536.0) / s) : 0.0;
    for (double c = std::max(x0, 0.0); c <= 319 && c <= x0 + n; c++) {
        double v = y0 < 0 ? std::trunc((-y0 * 65536.0) / s) : 0.0;
        for (double e = std::max(y0, 0.0); e <= 239 && e <= y0 + n; e++) {
            const int64_t su = static_cast<int64_t>(u) >> 16, sv = static_cast<int64_t>(v) >> 16;
            ASSERT_TRUE(su < 16 && sv < 16) << "size " << size << " at " << x << "," << y;
            const uint8_t t = ball_c[su * 16 + sv];
            if (t != 0) fb[static_cast<size_t>(c) * 240 + static_cast<size_t>(e)] = ball_p[t + ramp];
            v = std::trunc(v + step);
        }
        u = std::trunc(u + step);
    }
}
} // namespace

TEST_F(BallTest, BallsOfAnySizeAsTheReferenceDrawsThem) {
    // Size 5000 at (10000, 40000): x0 = -30000, y0 = 0, a box 80000 wide; the frame shows
    // sprite column 393216 >> 16 = 6, element 0 and its neighbours within 13 / 65536.
    drawball(10000, 40000, 16, 5000.0f, fb.data());
    for (int i = 0; i < 76800; i++)
        ASSERT_EQ(fb[i], ball_p[16 + Sample(6, 0)]) << i;

    std::mt19937 rng(26);
    std::vector<uint16_t> expected;
    const float fixed_sizes[] = {1e-40f, 1e-6f, 0.03f, 0.0625f, 4096.0f, 4096.5f, 65535.0f, 65536.0f, 65537.0f,
                                 1e9f,   1e30f, FLT_MAX};
    for (int k = 0; k < 2000; k++) {
        float s;
        if (k < 12)
            s = fixed_sizes[k];
        else
            s = static_cast<float>(std::pow(10.0, std::uniform_real_distribution<double>(-2.0, 6.0)(rng)));
        const double reach = 16.0 * std::min<double>(s, 1e7);
        std::uniform_int_distribution<int64_t> near(static_cast<int64_t>(-reach) - 20,
                                                    static_cast<int64_t>(reach) + 340);
        const int32_t x = static_cast<int32_t>(std::clamp<int64_t>(near(rng), INT32_MIN, INT32_MAX));
        const int32_t y = static_cast<int32_t>(std::clamp<int64_t>(near(rng), INT32_MIN, INT32_MAX));
        const int32_t colour = static_cast<int32_t>(rng());
        fb.assign(76800, kBack);
        expected.assign(76800, kBack);
        drawball(x, y, colour, s, fb.data());
        ReferenceBall(x, y, colour, s, expected);
        ASSERT_EQ(fb, expected) << "size " << s << " at " << x << "," << y;
    }
}

TEST(Primitives, PointBounds) {
    std::vector<uint16_t> fb(76800, 0);
    drawpoint(319, 239, 7, fb.data());
    EXPECT_EQ(fb[76799], 7);
    drawpoint(320, 0, 9, fb.data());
    drawpoint(0, -1, 9, fb.data());
    drawpoint(-1, 5, 9, fb.data());
    drawpoint(5, 240, 9, fb.data());
    int changed = 0;
    for (uint16_t p : fb)
        changed += p != 0;
    EXPECT_EQ(changed, 1);
}

namespace {
class LineTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { precdivs(); }
    void SetUp() override {
        fb16.assign(76800, 0);
        fb8.assign(76800, 0);
    }
    static Line3d Between(int xa, int ya, int xb, int yb) {
        spts[0] = {xa, ya, 0};
        spts[1] = {xb, yb, 0};
        return {0, 1, 0};
    }
    template <class T> static std::vector<int> Written(const std::vector<T>& fb) {
        std::vector<int> out;
        for (int i = 0; i < 76800; i++) {
            if (fb[i] != 0) out.push_back(i);
        }
        return out;
    }
    std::vector<uint16_t> fb16;
    std::vector<uint8_t> fb8;
};
} // namespace

TEST_F(LineTest, SixteenBitLineShiftsOneColumnAndSkipsTheFarEnd) {
    std::vector<int> expected;
    for (int x = 11; x <= 20; x++)
        expected.push_back(x * 240 + 5);
    drawline16bit(Between(10, 5, 20, 5), fb16.data());
    EXPECT_EQ(Written(fb16), expected);
    EXPECT_EQ(fb16[11 * 240 + 5], 0xFFFE);
    fb16.assign(76800, 0);
    drawline16bit(Between(20, 5, 10, 5), fb16.data());
    EXPECT_EQ(Written(fb16), expected);
}

TEST_F(LineTest, EightBitSteepLineAndCoincidentEnds) {
    drawline8bit(Between(0, 0, 0, 10), fb8.data());
    std::vector<int> expected;
    for (int e = 0; e < 10; e++)
        expected.push_back(e);
    EXPECT_EQ(Written(fb8), expected);
    EXPECT_EQ(fb8[0], 63);
    fb8.assign(76800, 0);
    drawline8bit(Between(50, 50, 50, 50), fb8.data());
    EXPECT_TRUE(Written(fb8).empty());
}

TEST_F(LineTest, PositionAdvancesBeforeThePixel) {
    // The start is stepped once before its first pixel: a diagonal from (0, 0) to (4, 4)
    // lands at columns 2..5 in the 16-bit buffer (one of them from the shift).
    drawline16bit(Between(0, 0, 4, 4), fb16.data());
    EXPECT_EQ(Written(fb16), (std::vector<int>{2 * 240 + 0, 3 * 240 + 1, 4 * 240 + 2, 5 * 240 + 3}));
    // Shallow and falling: from (0, 10) to (8, 6), slope -0.5 element per column.
    drawline8bit(Between(8, 6, 0, 10), fb8.data());
    EXPECT_EQ(Written(fb8), (std::vector<int>{0 * 240 + 9, 1 * 240 + 9, 2 * 240 + 8, 3 * 240 + 8, 4 * 240 + 7,
                                              5 * 240 + 7, 6 * 240 + 6, 7 * 240 + 6}));
}

TEST_F(LineTest, ElementsOffTheColumnWrapOrAreDropped) {
    // Elements 240..249 of column 0 are elements 0..9 of column 1.
    drawline8bit(Between(0, 230, 0, 250), fb8.data());
    std::vector<int> expected;
    for (int i = 230; i < 250; i++)
        expected.push_back(i);
    EXPECT_EQ(Written(fb8), expected);
    // Offsets below 0 or past the buffer are skipped.
    fb8.assign(76800, 0);
    drawline8bit(Between(0, -5, 0, 5), fb8.data());
    drawline8bit(Between(319, 235, 319, 260), fb8.data());
    expected.clear();
    for (int i = 0; i < 5; i++)
        expected.push_back(i);
    for (int i = 319 * 240 + 235; i < 76800; i++)
        expected.push_back(i);
    EXPECT_EQ(Written(fb8), expected);
}

namespace {
// The line rule step by step in 64-bit arithmetic, the reciprocal by division.
template <class T> void ReferenceLine(int64_t xa, int64_t ya, int64_t xb, int64_t yb, T value, std::vector<T>& fb) {
    const int64_t dx = xb - xa, dy = yb - ya;
    auto reciprocal = [](int64_t d) { return d == 0 ? 65536 : 65536 / d; };
    auto put = [&](int64_t offset) {
        if (offset >= 0 && offset <= 76799) fb[offset] = value;
    };
    if (std::llabs(dy) < std::llabs(dx)) {
        int64_t y = (xa < xb ? ya : yb) * 4096;
        const int64_t slope = ((dy * 4096) * reciprocal(dx)) >> 16;
        for (int64_t x = std::min(xa, xb); x < std::max(xa, xb); x++) {
            y += slope;
            put(x * 240 + (y >> 12));
        }
    } else {
        int64_t x = (ya < yb ? xa : xb) * 4096;
        const int64_t slope = ((dx * 4096) * reciprocal(dy)) >> 16;
        for (int64_t y = std::min(ya, yb); y < std::max(ya, yb); y++) {
            x += slope;
            put((x >> 12) * 240 + y);
        }
    }
}
} // namespace

TEST_F(LineTest, LinesOfAnyLengthAsTheReferenceDrawsThem) {
    // Random lines up to 20000 pixels along their main axis (a tenth of them up to 200000),
    // through or near the frame, in both pixel sizes.
    std::mt19937 rng(26);
    std::vector<uint16_t> want16;
    std::vector<uint8_t> want8;
    int drawn_long = 0; // of the lines 2048 pixels or longer
    for (int k = 0; k < 2000; k++) {
        const int64_t longest = k % 10 == 0 ? 200000 : 20000;
        std::uniform_int_distribution<int64_t> along(-longest, longest);
        std::uniform_int_distribution<int64_t> col(-400, 720), elem(-300, 540);
        const int64_t cx = col(rng), cy = elem(rng);
        const int64_t ax = along(rng), ay = along(rng) / static_cast<int64_t>(1 + rng() % 64), t = along(rng) % 1000 + 1000;
        const bool steep = rng() % 2;
        const int64_t dx = steep ? ay : ax, dy = steep ? ax : ay;
        const int64_t xa = cx - dx * t / 2000, ya = cy - dy * t / 2000;
        const Line3d line = Between(static_cast<int>(xa), static_cast<int>(ya), static_cast<int>(xa + dx),
                                    static_cast<int>(ya + dy));
        fb16.assign(76800, 0);
        fb8.assign(76800, 0);
        want16.assign(76800, 0);
        want8.assign(76800, 0);
        drawline16bit(line, fb16.data());
        drawline8bit(line, fb8.data());
        ReferenceLine<uint16_t>(xa + 1, ya, xa + dx + 1, ya + dy, 0xFFFE, want16);
        ReferenceLine<uint8_t>(xa, ya, xa + dx, ya + dy, 63, want8);
        ASSERT_EQ(fb16, want16) << xa << "," << ya << " to " << xa + dx << "," << ya + dy;
        ASSERT_EQ(fb8, want8) << xa << "," << ya << " to " << xa + dx << "," << ya + dy;
        drawn_long += std::max(std::llabs(dx), std::llabs(dy)) >= 2048 && !Written(fb8).empty();
    }
    EXPECT_GT(drawn_long, 1000); // most of them cross the frame
}

TEST_F(LineTest, LinesAcrossTheWholeCoordinateRangeAndBadIndices) {
    // Longer than 65536 the reciprocal is 0: the line keeps its left (or low) end's row
    // (or column) for its whole length.
    drawline8bit(Between(INT32_MIN + 5, 100, INT32_MAX - 5, 7000), fb8.data());
    std::vector<int> expected;
    for (int x = 0; x < 320; x++)
        expected.push_back(x * 240 + 100);
    EXPECT_EQ(Written(fb8), expected);
    // Steep, upward from column 7: every element of that column, and the ones it wraps into.
    fb8.assign(76800, 0);
    drawline8bit(Between(7, INT32_MIN, -100000, INT32_MAX), fb8.data());
    expected.clear();
    for (int i = 0; i < 76800; i++)
        expected.push_back(i);
    EXPECT_EQ(Written(fb8), expected);
    // A slope of -17 / 4096 column a row keeps the offsets near each other for the whole
    // 65536 rows: they move by 16 / 4096 a row on average.
    fb8.assign(76800, 0);
    std::vector<uint8_t> want(76800, 0);
    drawline8bit(Between(300, -30000, 300 - 272, 35536), fb8.data());
    ReferenceLine<uint8_t>(300, -30000, 300 - 272, 35536, 63, want);
    EXPECT_EQ(fb8, want);
    EXPECT_FALSE(Written(fb8).empty());

    // The table's own extremes.
    fb16.assign(76800, 0);
    drawline16bit(Between(-2000, 100, 47, 100), fb16.data());
    EXPECT_EQ(Written(fb16).size(), 48u);

    fb16.assign(76800, 0);
    drawline16bit({-1, 1, 0}, fb16.data());
    drawline16bit({0, kMaxWork, 0}, fb16.data());
    EXPECT_TRUE(Written(fb16).empty());
}

TEST_F(LineTest, DispatchByPixelSize) {
    const Line3d line = Between(10, 5, 20, 5);
    drawline(line, fb8.data(), 8);
    EXPECT_EQ(fb8[10 * 240 + 5], 63);
    EXPECT_EQ(fb8[20 * 240 + 5], 0);
    drawline(line, fb16.data(), 16);
    EXPECT_EQ(fb16[20 * 240 + 5], 0xFFFE);
    std::vector<uint16_t> other(76800, 0);
    drawline(line, other.data(), 15);
    EXPECT_TRUE(Written(other).empty());
}
