#include <gtest/gtest.h>

#include <cmath>
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

TEST_F(LineTest, LinesBeyondTheReciprocalTableOrBadIndicesDrawNothing) {
    drawline16bit(Between(-3000, 10, 100, 10), fb16.data());
    drawline16bit(Between(10, 100000, 11, -100000), fb16.data());
    drawline16bit({-1, 1, 0}, fb16.data());
    drawline16bit({0, kMaxWork, 0}, fb16.data());
    EXPECT_TRUE(Written(fb16).empty());
    // The largest extents the table covers still draw.
    drawline16bit(Between(-2000, 100, 47, 100), fb16.data());
    EXPECT_EQ(Written(fb16).size(), 48u);
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
