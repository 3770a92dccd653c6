#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "frame_files.h"
#include "gp32_functions/gp32_functions.h"
#include "test_files.h"
#include "video.h"

namespace {

using capture_test::Png;
using capture_test::ReadPng;

std::vector<uint8_t> ReadBytes(const std::string& path) {
    const std::string bytes = capture_test::Slurp(path);
    return {bytes.begin(), bytes.end()};
}

class FrameFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("zarvelin-frame-files-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    std::filesystem::path dir_;
};

} // namespace

TEST(FrameFileNames, StemAndNumbering) {
    EXPECT_EQ(capture::FrameStem("out", 5, 5000), "out/p5_t5000");
    EXPECT_EQ(capture::FrameStem(".", 0, 0), "./p0_t0");
    EXPECT_EQ(capture::NumberedFrameName("d", 0), "d/frame_000000.png");
    EXPECT_EQ(capture::NumberedFrameName("d", 11399), "d/frame_011399.png");
}

TEST_F(FrameFiles, KnownFrameBufferAsRawAndPng) {
    // Column x, element k: screen pixel (x, 239 - k).
    std::vector<uint16_t> frame(76800);
    for (int i = 0; i < 76800; i++)
        frame[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
    frame[0] = 0xFFFF;         // bottom-left
    frame[239] = 0x80A0;       // top-left
    frame[240] = 0x00FF;       // bottom of column 1
    frame[76799] = 0x0001;     // top-right: bit 0 is never shown
    frame[319 * 240] = 0xF800; // bottom-right

    std::vector<uint32_t> scratch(76800);
    ASSERT_TRUE(capture::WriteRaw(Path("f.raw"), frame.data()));
    ASSERT_TRUE(capture::WriteFramePng(Path("f.png"), frame.data(), 16, scratch.data()));

    const std::string raw = capture_test::Slurp(Path("f.raw"));
    ASSERT_EQ(raw.size(), 153600u);
    for (int i = 0; i < 76800; i++)
        ASSERT_EQ(static_cast<uint8_t>(raw[2 * i]) | (static_cast<uint8_t>(raw[2 * i + 1]) << 8), frame[i])
            << i;

    Png png;
    ASSERT_TRUE(ReadPng(Path("f.png"), png));
    EXPECT_EQ(png.width, 320u);
    EXPECT_EQ(png.height, 240u);
    EXPECT_EQ(png.bit_depth, 8);
    EXPECT_EQ(png.colour_type, 2); // truecolour, no alpha
    auto at = [&png](int x, int y) { return png.pixels[static_cast<size_t>(y) * 320 + x]; };
    EXPECT_EQ(at(0, 239), 0xF8F8F8u);
    EXPECT_EQ(at(0, 0), 0x801080u);
    EXPECT_EQ(at(1, 239), 0x0018F8u);
    EXPECT_EQ(at(319, 0), 0x000000u);
    EXPECT_EQ(at(319, 239), 0xF80000u);
    EXPECT_TRUE(capture_test::PngShowsRaw(png, raw, Rgb5551ToPC));
}

TEST_F(FrameFiles, UnwritablePathsFail) {
    std::vector<uint16_t> frame(76800, 0);
    std::vector<uint32_t> scratch(76800);
    EXPECT_FALSE(capture::WriteRaw(Path("missing/f.raw"), frame.data()));
    EXPECT_FALSE(capture::WriteFramePng(Path("missing/f.png"), frame.data(), 16, scratch.data()));
    capture::WavWriter wav;
    EXPECT_FALSE(wav.Open(Path("missing/s.wav"), 2, 44100));
}

TEST_F(FrameFiles, WavHeaderCarriesTheSizes) {
    capture::WavWriter wav;
    ASSERT_TRUE(wav.Open(Path("s.wav"), 2, 44100));
    const int16_t samples[6] = {1, -1, 32767, -32768, 0x1234, 0};
    ASSERT_TRUE(wav.Write(samples, 2));
    ASSERT_TRUE(wav.Write(samples + 4, 1));
    ASSERT_TRUE(wav.Close());
    const std::vector<uint8_t> b = ReadBytes(Path("s.wav"));
    ASSERT_EQ(b.size(), 44u + 12u);
    auto u32 = [&b](size_t i) {
        return b[i] | (b[i + 1] << 8) | (b[i + 2] << 16) | (uint32_t{b[i + 3]} << 24);
    };
    auto u16 = [&b](size_t i) { return static_cast<uint32_t>(b[i] | (b[i + 1] << 8)); };
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(u32(4), 36u + 12u);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(u16(20), 1u);
    EXPECT_EQ(u16(22), 2u);
    EXPECT_EQ(u32(24), 44100u);
    EXPECT_EQ(u32(28), 44100u * 4);
    EXPECT_EQ(u16(32), 4u);
    EXPECT_EQ(u16(34), 16u);
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    EXPECT_EQ(u32(40), 12u);
    EXPECT_EQ(u16(44), 1u);
    EXPECT_EQ(u16(46), 0xFFFFu);
    EXPECT_EQ(u16(48), 0x7FFFu);
    EXPECT_EQ(u16(50), 0x8000u);
    EXPECT_EQ(u16(52), 0x1234u);
}
