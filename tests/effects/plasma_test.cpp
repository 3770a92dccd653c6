#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "effects/plasma.h"
#include "precalcs/shades.h"
#include "precalcs/tables.h"
#include "script/script.h"

namespace {
class PlasmaTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        for (int n = 0; n < 2048; n++) {
            SineEntriesA(n);
            SineEntriesB(n);
        }
        colortest();
        CloneColors();
        MakeFadeColors();
        for (int i = 0; i < 256; i++) {
            identity[i] = static_cast<uint16_t>(i);
            // Distinct high and low bytes: a swapped pair of a 32-bit store shows up.
            marked[i] = static_cast<uint16_t>((i << 8) | (255 - i));
        }
    }
    void TearDown() override { prticks = 0; }

    // The value of one pixel in the straightforward order.
    static uint32_t V(int32_t ph, int x, int k) {
        return static_cast<uint32_t>(fsin6[k] + fsin4[x] + fsin8[ph + x + k]) % 256u;
    }

    static inline uint16_t identity[256];
    static inline uint16_t marked[256];
    std::vector<uint16_t> a = std::vector<uint16_t>(76800, 0x1234);
    std::vector<uint16_t> b = std::vector<uint16_t>(76800, 0x1234);
};
} // namespace

TEST_F(PlasmaTest, WholeFrameMatchesPerPixelOrder) {
    prticks = 0;
    Plasma(a.data(), identity);
    EXPECT_EQ(a[0], 32); // (96 + 64 + 128) mod 256

    for (int32_t t : {0, 15, 16, 1234, 7007, 53248}) {
        prticks = t;
        Plasma(a.data(), marked);
        const int32_t ph = (t >> 4) % 438;
        for (int x = 0; x < 320; x++) {
            for (int k = 0; k < 240; k++) {
                ASSERT_EQ(a[x * 240 + k], marked[V(ph, x, k)]) << "t " << t << " x " << x << " k " << k;
            }
        }
    }
}

TEST_F(PlasmaTest, RepeatsEvery7008AndStaysInTablesForAnyClock) {
    prticks = 0;
    Plasma(a.data(), identity);
    prticks = 7008;
    Plasma(b.data(), identity);
    EXPECT_EQ(a, b);
    prticks = 16;
    Plasma(b.data(), identity);
    EXPECT_NE(a, b);

    // A clock running backwards or near its end must not leave the sine table.
    for (int32_t t : {-1, -7008, INT32_MIN, INT32_MAX}) {
        prticks = t;
        Plasma(a.data(), identity);
        PlasmaFade(a.data(), identity, 128);
        PlasmaFade2(a.data(), identity, 128);
        for (uint16_t p : a) ASSERT_LT(p, 256);
    }
}

TEST_F(PlasmaTest, PlasmaFadeLimits) {
    prticks = 2000;
    PlasmaFade(a.data(), identity, 0);
    for (uint16_t p : a) ASSERT_EQ(p, 0x001C); // entry 0 of the unfaded row 16

    Plasma(b.data(), identity);
    PlasmaFade(a.data(), identity, 256);
    EXPECT_EQ(a, b);
    PlasmaFade(a.data(), identity, UINT32_MAX);
    EXPECT_EQ(a, b);

    // The background is read from row 16 as it is now.
    shades[16 * 256] = 0x0842;
    PlasmaFade(a.data(), identity, 100);
    shades[16 * 256] = sshades[16 * 256];
    for (int i = 0; i < 76800; i++) ASSERT_EQ(a[i], b[i] < 100 ? b[i] : 0x0842) << i;
}

TEST_F(PlasmaTest, PlasmaFade2LimitsAndPhase) {
    prticks = 0;
    PlasmaFade2(a.data(), identity, 0);
    for (uint16_t p : a) ASSERT_EQ(p, 0x1234);

    // It continues from where the plasma part left off: phase (53248 >> 4) mod 438 = 262.
    PlasmaFade2(a.data(), identity, 256);
    for (int x = 0; x < 320; x++) {
        for (int k = 0; k < 240; k++) ASSERT_EQ(a[x * 240 + k], V(262, x, k));
    }
    prticks = 54248;
    Plasma(b.data(), identity);
    prticks = 1000;
    PlasmaFade2(a.data(), identity, 256);
    EXPECT_EQ(a, b);

    // Limit 255 changes every pixel but those of value 255.
    std::fill(a.begin(), a.end(), 0x1234);
    PlasmaFade2(a.data(), identity, 255);
    int at255 = 0;
    for (int i = 0; i < 76800; i++) {
        if (b[i] == 255) at255++;
        ASSERT_EQ(a[i], b[i] == 255 ? 0x1234 : b[i]) << i;
    }
    EXPECT_GT(at255, 0);
}
