#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "data/data.h"
#include "effects/picture.h"

namespace {
constexpr int kPixels = 76800;

bool ColumnIs(const std::vector<uint16_t>& frame, int x, const uint16_t* picture, int px) {
    return std::memcmp(frame.data() + x * 240, picture + px * 240, 240 * sizeof(uint16_t)) == 0;
}

// Which columns of the frame are all black.
std::vector<int> BlackColumns(const std::vector<uint16_t>& frame) {
    std::vector<int> cols;
    for (int x = 0; x < 320; x++) {
        bool black = true;
        for (int k = 0; k < 240; k++) black = black && frame[x * 240 + k] == 0;
        if (black) cols.push_back(x);
    }
    return cols;
}

std::vector<int> Range(int first, int last) {
    std::vector<int> r;
    for (int x = first; x <= last; x++) r.push_back(x);
    return r;
}
} // namespace

TEST(OpenPicture, ShiftPicksColumnXShiftedAndIsBounded) {
    std::vector<uint16_t> picture(kPixels);
    for (int i = 0; i < kPixels; i++) picture[i] = static_cast<uint16_t>(((i / 240) << 7) ^ (i % 240));
    std::vector<uint16_t> frame(kPixels, 0xFFFE);

    OpenPicture(frame.data(), picture.data(), 0);
    EXPECT_EQ(frame, picture);

    // Out of range shifts are taken as the nearest of 0 and 31.
    for (int32_t shift : {1, 8, 9, 31, 32, 1000, INT32_MAX, -1, INT32_MIN}) {
        OpenPicture(frame.data(), picture.data(), shift);
        const int s = shift < 0 ? 0 : (shift > 31 ? 31 : shift);
        for (int x = 0; x < 320; x++) ASSERT_TRUE(ColumnIs(frame, x, picture.data(), x >> s)) << shift << " " << x;
    }
    OpenPicture(frame.data(), picture.data(), 8);
    EXPECT_TRUE(ColumnIs(frame, 255, picture.data(), 0));
    EXPECT_TRUE(ColumnIs(frame, 256, picture.data(), 1));
    EXPECT_TRUE(ColumnIs(frame, 319, picture.data(), 1));
}

TEST(OpenVKR, ShowsThePicture) {
    std::vector<uint16_t> frame(kPixels, 0xFFFE);
    OpenVKR(frame.data(), 0);
    EXPECT_EQ(std::memcmp(frame.data(), vkr0, sizeof vkr0), 0);
    OpenVKR(frame.data(), 31);
    for (int x = 0; x < 320; x++) ASSERT_TRUE(ColumnIs(frame, x, vkr0, 0)) << x;
}

TEST(Close, BlackensCountColumnsLeftAndOneMoreRight) {
    struct Case {
        int32_t count;
        std::vector<int> black;
    };
    std::vector<int> c159 = Range(0, 158);
    for (int x = 160; x <= 319; x++) c159.push_back(x);
    const std::vector<Case> cases = {
        {0, {319}},
        {1, {0, 318, 319}},
        {159, c159},
        {160, Range(0, 319)},
        {318, Range(0, 319)},
        {1000, Range(0, 319)},
        {INT32_MAX, Range(0, 319)},
        {-1, {}},
        {INT32_MIN, {}},
    };
    for (const Case& c : cases) {
        std::vector<uint16_t> frame(kPixels, 0xFFFE);
        Close(frame.data(), c.count);
        EXPECT_EQ(BlackColumns(frame), c.black) << c.count;
        // Columns not closed keep their pixels.
        int kept = 0;
        for (uint16_t p : frame) kept += p == 0xFFFE;
        EXPECT_EQ(kept, static_cast<int>(320 - c.black.size()) * 240) << c.count;
    }
}
