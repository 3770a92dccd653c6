#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "random/random.h"
#include "effects/blobs.h"
#include "effects/water.h"
#include "script/script.h"

namespace {
class WaterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(buffer1, 0, sizeof(buffer1));
        std::memset(buffer2, 0, sizeof(buffer2));
        ba = buffer1 + 240;
        bb = buffer2 + 240;
        prticks = 0;
        wtime = 0;
        for (int i = 0; i < 76800; i++)
            picture[i] = static_cast<uint16_t>(i * 7 + 1);
    }
    void TearDown() override { prticks = 0; }
    static void ExpectBordersClear() {
        for (const uint8_t* b : {buffer1, buffer2}) {
            for (int j = 1; j <= 240; j++)
                ASSERT_EQ(b[j], 0) << j;
            for (int j = 76321; j <= 76560; j++)
                ASSERT_EQ(b[j], 0) << j;
        }
    }
    std::vector<uint16_t> picture = std::vector<uint16_t>(76800);
    std::vector<uint16_t> frame = std::vector<uint16_t>(76800, 0x5555);
};
} // namespace

TEST_F(WaterTest, StillWaterCopiesThePicture) {
    WaterStep(frame.data(), picture.data());
    EXPECT_EQ(frame[0], 0x5555); // pixel 0 is not written
    for (int p = 1; p <= 240; p++)
        ASSERT_EQ(frame[p], 0) << p; // column 0 and pixel 240 black
    for (int p = 241; p < 319 * 240; p++)
        ASSERT_EQ(frame[p], picture[p]) << p;
    for (int p = 319 * 240; p < 76800; p++)
        ASSERT_EQ(frame[p], 0x5555) << p; // column 319 untouched
    EXPECT_EQ(ba, buffer2 + 240);         // the roles alternate every call
    EXPECT_EQ(bb, buffer1 + 240);
    EXPECT_EQ(wtime, 0);
}

TEST_F(WaterTest, RaindropAndSaturatedCentre) {
    // wtime above prticks: the unsigned difference is huge, so a drop falls now.
    wtime = 500;
    prticks = 100;
    ShowSrand(1234);
    const int r1 = ShowRand() & 255;
    const int r2 = ShowRand() % 240;
    const int c = (r1 + 33) * 240 + r2;
    ShowSrand(1234);
    WaterStep(frame.data(), picture.data());
    EXPECT_EQ(wtime, 100);
    // The drop went into the heights current at entry (buffer1); the new ones into buffer2.
    EXPECT_EQ(buffer1[c], 255);
    EXPECT_EQ(buffer1[c + 240], 192);
    EXPECT_EQ(buffer1[c + 241], 64);
    EXPECT_EQ(buffer2[c], 255);    // (768 >> 1) - 0 = 384 saturates
    EXPECT_EQ(buffer2[c + 2], 96); // (192 + 0 + 0 + 0) >> 1
    ExpectBordersClear();

    // 127 later no drop; 128 later the next one.
    prticks = 227;
    WaterStep(frame.data(), picture.data());
    EXPECT_EQ(wtime, 100);
    prticks = 228;
    WaterStep(frame.data(), picture.data());
    EXPECT_EQ(wtime, 228);
}

TEST_F(WaterTest, LongRainStaysInsideAndRepeats) {
    auto run = [&](std::vector<uint16_t>& out) {
        SetUp();
        ShowSrand(99);
        for (int f = 0; f < 400; f++) {
            prticks = f * 40;
            WaterStep(out.data(), picture.data());
        }
    };
    std::vector<uint16_t> a(76800), b(76800);
    run(a);
    ExpectBordersClear();
    run(b);
    EXPECT_EQ(a, b);
}

namespace {
// The filter and drawing pixel by pixel in storage order, as the effect is defined.
void ReferenceStep(std::vector<uint8_t>& cur, std::vector<uint8_t>& prev, std::vector<uint16_t>& dst,
                   const std::vector<uint16_t>& picture) {
    for (int i = 1; i <= 318; i++) {
        for (int k = 0; k < 240; k++) {
            const int q = 240 * i + k;
            const int v = ((cur[q - 1] + cur[q + 1] + cur[q - 240] + cur[q + 240]) >> 1) - prev[q];
            prev[q] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
            const int s =
                240 * (i + ((prev[q - 1] - prev[q + 1]) >> 2)) + k + ((prev[q - 240] - prev[q + 240]) >> 2);
            dst[q] = picture[s < 0 ? 0 : s > 76799 ? 76799 : s];
        }
    }
    for (int j = 0; j < 240; j++) {
        prev[240 - j] = prev[76560 - j] = cur[240 - j] = cur[76560 - j] = 0;
        dst[240 - j] = 0;
    }
}
} // namespace

TEST_F(WaterTest, MatchesThePixelByPixelOrderOnRoughWater) {
    // Random heights everywhere: steep slopes push samples past both edges of the picture
    // and sums past the clamp; no raindrop falls.
    uint32_t seed = 7;
    for (int n = 0; n < 76800; n++) {
        buffer1[n] = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
        buffer2[n] = static_cast<uint8_t>(seed >> 13);
    }
    std::vector<uint8_t> cur(buffer1, buffer1 + 76800);
    std::vector<uint8_t> prev(buffer2, buffer2 + 76800);
    std::vector<uint16_t> want(76800, 0x5555);
    for (int f = 0; f < 4; f++) {
        WaterStep(frame.data(), picture.data());
        ReferenceStep(cur, prev, want, picture);
        std::swap(cur, prev);
        ASSERT_EQ(frame, want) << f;
        ASSERT_TRUE(std::equal(cur.begin(), cur.end(), ba - 240)) << f;
        ASSERT_TRUE(std::equal(prev.begin(), prev.end(), bb - 240)) << f;
    }
}
