#include <gtest/gtest.h>

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
        for (int i = 0; i < 256; i++) {
            identity[i] = static_cast<uint16_t>(i);
            marked[i] = static_cast<uint16_t>((i << 8) | (255 - i)); // shows a swapped pair
        }
    }
    void TearDown() override { prticks = 0; }
    std::vector<uint16_t> Frame(int32_t t, const uint16_t* row) {
        std::vector<uint16_t> f(76800);
        prticks = t;
        Plasma(f.data(), row);
        return f;
    }
    static inline uint16_t identity[256], marked[256];
    std::vector<uint16_t> a = std::vector<uint16_t>(76800, 0x1234);
};
} // namespace

TEST_F(PlasmaTest, PairedStoresMatchPerPixelOrder) {
    EXPECT_EQ(Frame(0, identity)[0], 32); // (96 + 64 + 128) mod 256
    for (int32_t t : {0, 1234, 53248}) {
        const std::vector<uint16_t> f = Frame(t, marked);
        const int32_t ph = (t >> 4) % 438;
        for (int x = 0; x < 320; x++) {
            for (int k = 0; k < 240; k++) {
                ASSERT_EQ(f[x * 240 + k], marked[(fsin6[k] + fsin4[x] + fsin8[ph + x + k]) % 256])
                    << x << " " << k;
            }
        }
    }
    EXPECT_EQ(Frame(7008, identity), Frame(0, identity));
    EXPECT_NE(Frame(16, identity), Frame(0, identity));
}

TEST_F(PlasmaTest, FadeLimits) {
    const std::vector<uint16_t> full = Frame(2000, identity);
    PlasmaFade(a.data(), identity, 0);
    for (uint16_t p : a)
        ASSERT_EQ(p, 0x001C); // entry 0 of row 16
    PlasmaFade(a.data(), identity, 256);
    EXPECT_EQ(a, full);

    // PlasmaFade2 goes on from 53248 (phase 262 at 0) and draws only values below the limit.
    const std::vector<uint16_t> later = Frame(53248 + 1000, identity);
    std::fill(a.begin(), a.end(), 0x1234);
    prticks = 1000;
    PlasmaFade2(a.data(), identity, 0);
    for (uint16_t p : a)
        ASSERT_EQ(p, 0x1234);
    PlasmaFade2(a.data(), identity, 255);
    int kept = 0;
    for (int i = 0; i < 76800; i++) {
        ASSERT_EQ(a[i], later[i] == 255 ? 0x1234 : later[i]) << i;
        kept += a[i] == 0x1234;
    }
    EXPECT_GT(kept, 0);
    prticks = 0;
    PlasmaFade2(a.data(), identity, 256);
    EXPECT_EQ(a, Frame(53248, identity));
}

TEST_F(PlasmaTest, AnyClockStaysInsideTheTables) {
    for (int32_t t : {-1, -7008, INT32_MIN, INT32_MAX}) {
        prticks = t;
        Plasma(a.data(), identity);
        PlasmaFade(a.data(), identity, 128);
        PlasmaFade2(a.data(), identity, 128);
        for (uint16_t p : a)
            ASSERT_LT(p, 256);
    }
}
