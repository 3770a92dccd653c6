#include "ico.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// The start of a PNG as far as the packer reads it: signature and header chunk.
std::string PngHead(uint32_t width, uint32_t height, const std::string& rest = "") {
    std::string png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    for (const uint32_t v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            png += static_cast<char>((v >> shift) & 0xFF);
    return png + rest;
}

TEST(Ico, DirectoryThenEachPictureUnchanged) {
    const std::string small = PngHead(16, 16, "A");
    const std::string large = PngHead(256, 256, "BC");
    std::string error;
    const std::string icon = ico::Pack({small, large}, error);
    ASSERT_EQ(icon.size(), 6u + 2 * 16 + small.size() + large.size()) << error;
    const std::string expected_head(
        "\0\0\1\0\2\0"                               // reserved, icon, two pictures
        "\x10\x10\0\0\1\0\x20\0\x19\0\0\0\x26\0\0\0" // 16 x 16, 25 bytes at 38
        "\0\0\0\0\1\0\x20\0\x1a\0\0\0\x3f\0\0\0",    // 256 x 256 (as 0), 26 bytes at 63
        38);
    EXPECT_EQ(icon.substr(0, 38), expected_head);
    EXPECT_EQ(icon.substr(38), small + large);
}

TEST(Ico, RefusesWhatIsNotAnIconPicture) {
    std::string error;
    EXPECT_EQ(ico::Pack({}, error), "");
    EXPECT_EQ(error, "an icon holds 1 to 65535 pictures");
    EXPECT_EQ(ico::Pack({PngHead(32, 32), "GIF89a and more than twenty-four bytes"}, error), "");
    EXPECT_EQ(error, "picture 2 is not a PNG");
    EXPECT_EQ(ico::Pack({PngHead(32, 32).substr(0, 23)}, error), "");
    EXPECT_EQ(error, "picture 1 is not a PNG");
    EXPECT_EQ(ico::Pack({PngHead(257, 16)}, error), "");
    EXPECT_EQ(error, "picture 1 is 257 x 16, not 1 to 256 pixels a side");
    EXPECT_EQ(ico::Pack({PngHead(16, 0)}, error), "");
    EXPECT_EQ(error, "picture 1 is 16 x 0, not 1 to 256 pixels a side");
}

} // namespace
