// Writes the program's icon: the show's environment map (env1) on a sphere, as an RGBA
// PNG of the given size with a transparent background.  Usage: icon <file.png> <size>
// [maskable]: maskable is the home-screen form, opaque black with the sphere inside the
// central circle (80% of the width) that every platform's mask keeps.
#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "data/data.h"

namespace {

constexpr int kSamples = 4; // 4 x 4 samples a pixel smooth the sphere's edge

struct Rgb {
    double r, g, b;
};

Rgb Texel(int u, int v) {
    const uint16_t p = env1[v * 64 + u];
    return {((p >> 11) & 31) / 31.0, ((p >> 6) & 31) / 31.0, ((p >> 1) & 31) / 31.0};
}

// Bilinear between the four texels around (u, v), texel units.
Rgb Filtered(double u, double v) {
    const int u0 = static_cast<int>(u);
    const int v0 = static_cast<int>(v);
    const int u1 = u0 < 63 ? u0 + 1 : 63;
    const int v1 = v0 < 63 ? v0 + 1 : 63;
    const double fu = u - u0;
    const double fv = v - v0;
    const Rgb a = Texel(u0, v0), b = Texel(u1, v0), c = Texel(u0, v1), d = Texel(u1, v1);
    auto mix = [&](double pa, double pb, double pc, double pd) {
        return (pa * (1 - fu) + pb * fu) * (1 - fv) + (pc * (1 - fu) + pd * fu) * fv;
    };
    return {mix(a.r, b.r, c.r, d.r), mix(a.g, b.g, c.g, d.g), mix(a.b, b.b, c.b, d.b)};
}

// The sphere seen head-on (y down the picture): the point's normal picks the texel, as
// the show's environment mapping does (sky on top), and the rim is shaded a little darker.
bool Sample(double x, double y, Rgb& out) {
    const double r2 = x * x + y * y;
    if (r2 >= 1.0) return false;
    const Rgb t = Filtered((x * 0.5 + 0.5) * 63.0, (0.5 - y * 0.5) * 63.0);
    const double light = 0.6 + 0.4 * std::sqrt(1.0 - r2);
    out = {t.r * light, t.g * light, t.b * light};
    return true;
}

bool WritePng(const char* name, int size, const std::vector<uint8_t>& rgba) {
    FILE* f = std::fopen(name, "wb");
    if (f == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png == nullptr ? nullptr : png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, size, size, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < size; y++)
        png_write_row(png, rgba.data() + static_cast<size_t>(y) * size * 4);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char** argv) {
    const bool maskable = argc == 4 && std::strcmp(argv[3], "maskable") == 0;
    const int size = argc == 3 || maskable ? std::atoi(argv[2]) : 0;
    if (size < 16 || size > 1024) {
        std::fprintf(stderr, "usage: icon <file.png> <size from 16 to 1024> [maskable]\n");
        return 2;
    }
    // Picture units per unit of the sphere's radius: a one-pixel margin, or the safe circle.
    const double zoom = maskable ? 1.25 : size / (size - 2.0);
    std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
    for (int py = 0; py < size; py++) {
        for (int px = 0; px < size; px++) {
            Rgb sum{0, 0, 0};
            int hits = 0;
            for (int s = 0; s < kSamples * kSamples; s++) {
                const double x = ((px + (s % kSamples + 0.5) / kSamples) * 2.0 / size - 1.0) * zoom;
                const double y = ((py + (s / kSamples + 0.5) / kSamples) * 2.0 / size - 1.0) * zoom;
                Rgb c;
                if (!Sample(x, y, c)) continue;
                sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                hits++;
            }
            uint8_t* out = rgba.data() + (static_cast<size_t>(py) * size + px) * 4;
            if (hits == 0 && !maskable) continue; // transparent black
            // The sphere's colour with its coverage as alpha; maskable: over opaque black.
            const int samples = maskable ? kSamples * kSamples : hits;
            out[0] = static_cast<uint8_t>(std::lround(255.0 * sum.r / samples));
            out[1] = static_cast<uint8_t>(std::lround(255.0 * sum.g / samples));
            out[2] = static_cast<uint8_t>(std::lround(255.0 * sum.b / samples));
            out[3] = static_cast<uint8_t>(maskable ? 255 : hits * 255 / (kSamples * kSamples));
        }
    }
    if (!WritePng(argv[1], size, rgba)) {
        std::fprintf(stderr, "icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
