#include "frame_files.h"

#include <png.h>

#include <cstdio>
#include <memory>

#include "gp32_functions/gp32_functions.h"
#include "headless/run.h"

namespace capture {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Closes explicitly so that a failed flush is reported.
bool Finish(File file, bool ok) {
    std::FILE* f = file.release();
    return (std::fclose(f) == 0) && ok;
}

} // namespace

std::string FrameStem(const std::string& dir, int32_t part, int32_t prticks) {
    return dir + "/" + headless::FrameName(part, prticks);
}

std::string NumberedFrameName(const std::string& dir, uint32_t index) {
    char name[32];
    std::snprintf(name, sizeof(name), "/frame_%06u.png", static_cast<unsigned>(index));
    return dir + name;
}

bool WriteRaw(const std::string& path, const uint16_t* frame) {
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    uint8_t bytes[kRawBytes];
    for (size_t i = 0; i < kRawBytes / 2; i++) {
        bytes[2 * i] = static_cast<uint8_t>(frame[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<uint8_t>(frame[i] >> 8);
    }
    const bool ok = std::fwrite(bytes, 1, sizeof(bytes), file.get()) == sizeof(bytes);
    return Finish(std::move(file), ok);
}

bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height) {
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    // Allocated before the jump point and not changed after it, so a jump back leaves it valid.
    std::unique_ptr<png_byte[]> row(new png_byte[static_cast<size_t>(width) * 3]);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    // The pictures are flat areas of few colours: fast compression is nearly as small.
    png_set_compression_level(png, 3);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; y++) {
        const uint32_t* src = pixels + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; x++) {
            row[3 * x] = static_cast<png_byte>(src[x] >> 16);
            row[3 * x + 1] = static_cast<png_byte>(src[x] >> 8);
            row[3 * x + 2] = static_cast<png_byte>(src[x]);
        }
        png_write_row(png, row.get());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return Finish(std::move(file), true);
}

bool WriteFramePng(const std::string& path, const void* frame, int depth, uint32_t* scratch) {
    ConvertFrame(frame, depth, scratch, 0);
    return WritePng(path, scratch, kFrameWidth, kFrameHeight);
}

} // namespace capture
