// Reading back what the capture writes.
#pragma once
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace capture_test {

inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Png {
    uint32_t width = 0;
    uint32_t height = 0;
    int bit_depth = 0;
    int colour_type = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, rows top to bottom
};

// Decodes with libpng's own reader, independently of the writer's code.
inline bool ReadPng(const std::string& path, Png& png) {
    const std::string bytes = Slurp(path);
    if (bytes.size() < 26) return false;
    png.bit_depth = static_cast<uint8_t>(bytes[24]); // from the header chunk
    png.colour_type = static_cast<uint8_t>(bytes[25]);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
    png.width = image.width;
    png.height = image.height;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return false;
    png.pixels.resize(static_cast<size_t>(png.width) * png.height);
    for (size_t i = 0; i < png.pixels.size(); i++)
        png.pixels[i] = (uint32_t{rgb[3 * i]} << 16) | (uint32_t{rgb[3 * i + 1]} << 8) | rgb[3 * i + 2];
    return true;
}

// Every pixel of the picture is the raw frame-buffer element through the window's conversion.
template <typename Convert> bool PngShowsRaw(const Png& png, const std::string& raw, Convert convert) {
    if (png.width != 320 || png.height != 240 || raw.size() != 153600) return false;
    for (int x = 0; x < 320; x++) {
        for (int y = 0; y < 240; y++) {
            const size_t e = static_cast<size_t>(x) * 240 + 239 - y;
            const uint16_t p = static_cast<uint16_t>(static_cast<uint8_t>(raw[2 * e]) |
                                                     (static_cast<uint8_t>(raw[2 * e + 1]) << 8));
            if (png.pixels[static_cast<size_t>(y) * 320 + x] != convert(p)) return false;
        }
    }
    return true;
}

} // namespace capture_test
