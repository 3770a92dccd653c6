#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "headless/bench.h"

TEST(Bench, MedianPercentileAndTable) {
    std::vector<double> empty;
    EXPECT_EQ(headless::Median(empty), 0.0);
    EXPECT_EQ(headless::Percentile95(empty), 0.0);
    std::vector<double> odd = {5, 1, 3};
    EXPECT_EQ(headless::Median(odd), 3.0);
    std::vector<double> even = {4, 1, 3, 2};
    EXPECT_EQ(headless::Median(even), 2.5);
    std::vector<double> hundred;
    for (int i = 100; i >= 1; i--)
        hundred.push_back(i);
    EXPECT_EQ(headless::Percentile95(hundred), 95.0);
    std::vector<double> one = {7};
    EXPECT_EQ(headless::Percentile95(one), 7.0);

    // present_floor_ratio is the part's 2x median over the 2x memset median of all frames.
    const std::string table = headless::FormatBench({{0, 1.0, 0.5, 0.1, 0.25, 0.0, 0.01, 3, 2.0, 0.5},
                                                     {0, 3.0, 0.25, 0.2, 0.25, 0.0, 0.02, 0, 0.0, 0.0},
                                                     {1, 2.0, 1.0, 0.3, 0.5, 0.0, 0.03, 3, 4.0, 1.5},
                                                     {0, 2.0, 0.75, 0.4, 0.125, 0.0, 0.04, 0, 0.0, 0.0}});
    EXPECT_EQ(table, "part 0 frames 3 draw_median_ms 2.000 draw_p95_ms 3.000 present_median_ms 0.500 "
                     "present_floor_ratio 2.0\n"
                     "part 1 frames 1 draw_median_ms 2.000 draw_p95_ms 2.000 present_median_ms 1.000 "
                     "present_floor_ratio 4.0\n"
                     "total frames 4 draw_median_ms 2.000\n"
                     "floor memset_ms 0.2500 memset1_ms 0.0000 memcpy_ms 0.0250\n"
                     "present scale1_median_ms 0.6250 scale1_floor_ratio 2.5 scale0_median_ms 0.2500 "
                     "scale0_floor_ratio 0.0\n"
                     "present_scaled n 3 frames 2 median_ms 3.0000 floor_ratio 3.0\n");
}

TEST(Bench, ShowHashSeesEveryPixelAndOrder) {
    std::vector<uint16_t> a(76800, 0);
    std::vector<uint16_t> b(76800, 0);
    b[76799] = 1;
    const uint64_t h0 = headless::HashFrame(headless::kShowHashSeed, a.data());
    EXPECT_EQ(h0, headless::HashFrame(headless::kShowHashSeed, a.data()));
    EXPECT_NE(h0, headless::HashFrame(headless::kShowHashSeed, b.data()));
    EXPECT_NE(headless::HashFrame(h0, b.data()),
              headless::HashFrame(headless::HashFrame(headless::kShowHashSeed, b.data()), a.data()));
    EXPECT_EQ(headless::FormatShow(4000, 2.0, 0xabcULL),
              "show frames 4000 seconds 2.000 fps 2000 show_hash 0000000000000abc\n");
}
