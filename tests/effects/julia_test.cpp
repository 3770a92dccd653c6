#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "effects/julia.h"
#include "script/script.h"

TEST(JuliaEscape, IntegerCornerCases) {
    // First iterate exactly on radius 2 (squares sum to 1024) still counts as inside.
    EXPECT_EQ(JuliaEscape(0, 0, 512, 0), 1);
    EXPECT_EQ(JuliaEscape(0, 0, 513, 0), 0);
    EXPECT_EQ(JuliaEscape(0, 0, 0, -512), 1);
    // First iterate outside: the start point itself is never tested.
    EXPECT_EQ(JuliaEscape(-640, 4, 0, 0), 0);
    EXPECT_EQ(JuliaEscape(600, 0, 0, 0), 0);
    // Bounded for all fifteen tests.
    EXPECT_EQ(JuliaEscape(0, 4, 0, 0), 15);
    EXPECT_EQ(JuliaEscape(0, 0, 0, 0), 15);
    // The cross term floors: (2 * -1 * 1) >> 8 is -1, so the first iterate is (0, 512),
    // on the circle; truncating toward zero would give (0, 513), outside.
    EXPECT_EQ(JuliaEscape(-1, 1, 0, 513), 1);
    EXPECT_EQ(JuliaEscape(1, 1, 0, 513), 0);
    // c = i: 0 -> i -> -1 + i -> -i -> -1 + i ... stays bounded.
    EXPECT_EQ(JuliaEscape(0, 0, 0, 256), 15);
}

namespace {
std::vector<uint16_t> IdentityRow() {
    std::vector<uint16_t> row(256);
    for (int e = 0; e < 256; e++)
        row[e] = static_cast<uint16_t>(0x1000 + e);
    return row;
}
} // namespace

TEST(Juhlia, ZeroConstantGivesDiscAndPointSymmetricFrame) {
    const std::vector<uint16_t> row = IdentityRow();
    std::vector<uint16_t> frame(76800, 0xFFFF);
    Juhlia(frame.data(), row.data(), 0.0f, 0.0f);
    for (int p = 0; p < 76800; p++) {
        ASSERT_NE(frame[p], 0xFFFF) << "pixel not written " << p;
        ASSERT_EQ((frame[p] - 0x1000) % 16, 0) << p;
        ASSERT_EQ(frame[p], frame[76799 - p]) << p; // turned by 180 degrees about the centre
    }
    // Row next to the centre (element 120, y = 1/64): m = 15 exactly for |x| <= 0.984375.
    for (int i = 0; i < 320; i++) {
        const int x = -640 + 4 * i;
        const uint16_t expect = (x >= -252 && x <= 252) ? 0x1000 + 240 : 0;
        if (expect != 0) {
            EXPECT_EQ(frame[i * 240 + 120], expect) << i;
        } else {
            EXPECT_LT(frame[i * 240 + 120], 0x1000 + 240) << i;
        }
    }
    EXPECT_EQ(frame[160 * 240 + 120], 0x1000 + 240);
    EXPECT_EQ(frame[0 * 240 + 239], 0x1000); // corner (-2.5, 1.875): escapes at once
}

TEST(Juhlia, HugeOrInvalidConstantsGiveEntryZeroEverywhere) {
    const std::vector<uint16_t> row = IdentityRow();
    std::vector<uint16_t> frame(76800);
    for (float c : {11.7f, -1e30f, 1e30f}) {
        Juhlia(frame.data(), row.data(), c, c);
        for (int p = 0; p < 76800; p++)
            ASSERT_EQ(frame[p], 0x1000) << c << " " << p;
    }
}

TEST(Juhlia128, StartConstantIsIAndImageIsPointSymmetric) {
    const int32_t saved = prticks;
    prticks = 0;
    Juhlia128(rotbitmap);
    for (int j = 0; j < 128; j++) {
        for (int q = 0; q < 128; q++) {
            const int b = rotbitmap[j * 128 + q];
            ASSERT_EQ(b, rotbitmap[(127 - j) * 128 + (127 - q)]);
            if (q >= 64) {
                ASSERT_EQ(b, JuliaEscape(-448 + 7 * j, 7 * (q - 63), 0, 256) * 16) << j << " " << q;
            }
        }
    }
    // x = 0, y = 7/256 lies on the bounded orbit of c = i.
    EXPECT_EQ(rotbitmap[64 * 128 + 64], 240);
    std::vector<uint8_t> later(16384);
    prticks = 1000;
    Juhlia128(later.data());
    EXPECT_NE(0, std::memcmp(later.data(), rotbitmap, 16384));
    prticks = saved;
}
