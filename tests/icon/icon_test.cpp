// tools/icon: the program's icon, plain (transparent around the sphere) and maskable (opaque
// black, the sphere inside the circle that home-screen masks keep).
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Rgba {
    uint32_t size = 0;
    std::vector<uint8_t> pixels; // 4 bytes a pixel, rows top to bottom
    const uint8_t* At(double x, double y) const {
        return &pixels[(static_cast<size_t>(y) * size + static_cast<size_t>(x)) * 4];
    }
};

int RunIcon(const std::string& arguments) {
    const std::string command = "'" ZARVELIN_BINARY_DIR "/tools/icon' " + arguments + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Render(const std::string& arguments, Rgba& icon) {
    // One file per test: ctest runs them side by side.
    const std::string file = testing::TempDir() + "zarvelin_icon_" +
                             testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
    if (RunIcon("'" + file + "' " + arguments) != 0) return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str()) || image.width != image.height) return false;
    image.format = PNG_FORMAT_RGBA;
    icon.size = image.width;
    icon.pixels.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, icon.pixels.data(), 0, nullptr) != 0;
}

bool Black(const uint8_t* p) { return p[0] == 0 && p[1] == 0 && p[2] == 0; }

TEST(Icon, PlainSphereFillsATransparentSquare) {
    Rgba icon;
    ASSERT_TRUE(Render("64", icon));
    ASSERT_EQ(icon.size, 64u);
    EXPECT_EQ(icon.At(0, 0)[3], 0);
    EXPECT_EQ(icon.At(63, 63)[3], 0);
    EXPECT_EQ(icon.At(32, 32)[3], 255);
    EXPECT_FALSE(Black(icon.At(32, 32)));
    EXPECT_EQ(icon.At(1.5, 32)[3], 255); // the sphere reaches the one-pixel margin
}

TEST(Icon, MaskableSphereStaysInsideTheSafeCircle) {
    Rgba icon;
    ASSERT_TRUE(Render("192 maskable", icon));
    ASSERT_EQ(icon.size, 192u);
    int opaque = 0, outside_dark = 0, outside = 0;
    for (uint32_t y = 0; y < 192; y++) {
        for (uint32_t x = 0; x < 192; x++) {
            const uint8_t* p = icon.At(x, y);
            opaque += p[3] == 255;
            // Beyond the circle (radius 40% of the width) and the pixel its smoothed edge touches.
            if (std::hypot(x + 0.5 - 96, y + 0.5 - 96) > 0.4 * 192 + 1) {
                outside++;
                outside_dark += Black(p);
            }
        }
    }
    EXPECT_EQ(opaque, 192 * 192);
    EXPECT_EQ(outside_dark, outside);
    // The sphere still fills nearly all of that circle.
    EXPECT_FALSE(Black(icon.At(96 - 0.38 * 192, 96)));
    EXPECT_FALSE(Black(icon.At(96, 96)));
}

TEST(Icon, RefusesBadArguments) {
    const std::string file = "'" + testing::TempDir().append("zarvelin_icon_bad.png' ");
    EXPECT_EQ(RunIcon(file + "8"), 2);
    EXPECT_EQ(RunIcon(file + "2048"), 2);
    EXPECT_EQ(RunIcon(file + "64 round"), 2);
    EXPECT_EQ(RunIcon(file), 2);
    EXPECT_EQ(RunIcon("/nonexistent-folder/icon.png 64"), 1);
}

} // namespace
