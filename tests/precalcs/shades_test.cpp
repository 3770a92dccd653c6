#include <gtest/gtest.h>

#include "precalcs/shades.h"

namespace {
class ShadesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        colortest();
        CloneColors();
        MakeFadeColors();
    }
    static uint16_t Row(int r, int e) { return shades[r * 256 + e]; }
};
} // namespace

TEST_F(ShadesTest, RampEdgeValues) {
    EXPECT_EQ(Row(16, 0), 0x001C);
    EXPECT_EQ(Row(16, 127), 0xF800);
    EXPECT_EQ(Row(16, 255), 0xFFFE);
    EXPECT_EQ(Row(32, 0), 0);
    EXPECT_EQ(Row(32, 1), 0);
    EXPECT_EQ(Row(32, 127), 0x79FE);
    EXPECT_EQ(Row(32, 255), 0xBFFE);
    EXPECT_EQ(Row(34, 0), 0x718E);
    EXPECT_EQ(Row(34, 255), 0x79CE);
    EXPECT_EQ(Row(9, 63), 0xFFFE);
    EXPECT_EQ(Row(9, 64), 0xF7BC);
    EXPECT_EQ(Row(12, 127), 0);
    EXPECT_EQ(Row(12, 128), 0x783E);
    for (int e = 0; e < 256; e++) {
        EXPECT_EQ(Row(13, e), 0) << e;
        EXPECT_EQ(Row(33, 192 + e / 4), 0xFFFE);
    }
}

TEST_F(ShadesTest, EveryValueHasBitZeroClearAndCopyMatches) {
    for (int i = 0; i < 64 * 256; i++) {
        ASSERT_EQ(shades[i] & 1, 0) << i;
        ASSERT_EQ(sshades[i], shades[i]) << i;
    }
    for (int i = 0; i < 256; i++) {
        EXPECT_EQ(bshade[i], 0);
        EXPECT_EQ(wshade[i], 0xFFFE);
    }
}

TEST(MakeColors, SingleEntryIsTargetAndEmptyRangeWritesNothing) {
    uint16_t row[4] = {7, 7, 7, 7};
    MakeColors(row, {0, 0, 0}, {31, 15, 3}, 1, 1);
    EXPECT_EQ(row[1], PackColor({31, 15, 3}));
    EXPECT_EQ(row[0], 7);
    EXPECT_EQ(row[2], 7);
    MakeColors(row, {0, 0, 0}, {31, 31, 31}, 3, 2);
    EXPECT_EQ(row[3], 7);
}

TEST(Set8bitPals, GreyRampRepeatsEachLevelEightTimes) {
    Set8bitPals();
    ASSERT_NE(blurpal, nullptr);
    EXPECT_EQ(blurpal[0], 0u);
    EXPECT_EQ(blurpal[7], 0u);
    EXPECT_EQ(blurpal[8], static_cast<uint32_t>((1 << 11) | (1 << 6) | (1 << 1)));
    EXPECT_EQ(blurpal[255], 0xFFFEu);
}
