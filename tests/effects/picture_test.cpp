#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "data/data.h"
#include "effects/picture.h"

namespace {
bool ColumnIs(const uint16_t* frame, int x, const uint16_t* picture, int px) {
    return std::memcmp(frame + x * 240, picture + px * 240, 480) == 0;
}
} // namespace

TEST(OpenPicture, ColumnXShowsColumnXShifted) {
    std::vector<uint16_t> picture(76800), frame(76800);
    for (int i = 0; i < 76800; i++)
        picture[i] = static_cast<uint16_t>(((i / 240) << 7) ^ (i % 240));
    // Shifts outside 0..31 are taken as the nearest end.
    for (int32_t shift : {0, 1, 8, 9, 31, 32, INT32_MAX, -1, INT32_MIN}) {
        OpenPicture(frame.data(), picture.data(), shift);
        const int s = shift < 0 ? 0 : (shift > 31 ? 31 : shift);
        for (int x = 0; x < 320; x++)
            ASSERT_TRUE(ColumnIs(frame.data(), x, picture.data(), x >> s)) << shift;
    }
    OpenVKR(frame.data(), 0);
    EXPECT_EQ(std::memcmp(frame.data(), vkr0, sizeof vkr0), 0);
    OpenVKR(frame.data(), 31);
    for (int x = 0; x < 320; x++)
        ASSERT_TRUE(ColumnIs(frame.data(), x, vkr0, 0)) << x;
}

TEST(Close, BlackensCountColumnsLeftAndOneMoreRight) {
    for (int32_t count : {0, 1, 159, 160, 318, 1000, INT32_MAX, -1, INT32_MIN}) {
        std::vector<uint16_t> frame(76800, 0xFFFE);
        Close(frame.data(), count);
        for (int x = 0; x < 320; x++) {
            const bool black = count >= 0 && (x < count || x >= 319 - count);
            for (int k = 0; k < 240; k++)
                ASSERT_EQ(frame[x * 240 + k], black ? 0 : 0xFFFE) << count << " " << x;
        }
    }
}
