// assetpreview <directory>: writes a PNG of every compiled-in data unit, read back from the
// linked data the way the program reads it: pictures from their column or texture order, the
// fonts glyph by glyph, the ball sprite through its ramps, the cylinder, the reflective sphere
// and both models drawn with the engine's rotation, projection, back-face test and lighting.
#include "data/data.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Image {
    int w, h;
    std::vector<uint8_t> rgb;
    Image(int width, int height, uint32_t fill = 0x202028)
        : w(width), h(height), rgb(size_t(width) * height * 3) {
        for (size_t i = 0; i < rgb.size(); i += 3) {
            rgb[i] = uint8_t(fill >> 16);
            rgb[i + 1] = uint8_t(fill >> 8);
            rgb[i + 2] = uint8_t(fill);
        }
    }
    void Set(int x, int y, uint32_t c) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
        p[0] = uint8_t(c >> 16);
        p[1] = uint8_t(c >> 8);
        p[2] = uint8_t(c);
    }
    // An RGB5551 pixel shown as the display does: each 5-bit channel times 8.
    void Set5551(int x, int y, uint16_t v) {
        Set(x, y,
            uint32_t((v >> 11) & 31) << 19 | uint32_t((v >> 6) & 31) << 11 | uint32_t((v >> 1) & 31) << 3);
    }
    void Block(int x, int y, int size, uint16_t v, bool transparent_checker = false) {
        for (int j = 0; j < size; ++j)
            for (int i = 0; i < size; ++i) {
                if (v == 0 && transparent_checker)
                    Set(x + i, y + j, (((x + i) / 6 + (y + j) / 6) & 1) ? 0x505058 : 0x383840);
                else
                    Set5551(x + i, y + j, v);
            }
    }
};

std::string g_dir;

void Save(const Image& img, const char* name) {
    png_image out;
    std::memset(&out, 0, sizeof out);
    out.version = PNG_IMAGE_VERSION;
    out.width = png_uint_32(img.w);
    out.height = png_uint_32(img.h);
    out.format = PNG_FORMAT_RGB;
    const std::string path = g_dir + "/" + name;
    if (!png_image_write_to_file(&out, path.c_str(), 0, img.rgb.data(), 0, nullptr)) {
        std::fprintf(stderr, "assetpreview: cannot write %s: %s\n", path.c_str(), out.message);
        std::exit(1);
    }
    std::printf("%s\n", path.c_str());
}

// Column-ordered picture (element 0 at the bottom), scaled up.
void Picture(const uint16_t* pixels, int w, int h, int scale, bool transparent, const char* name) {
    Image img(w * scale, h * scale);
    for (int x = 0; x < w; ++x)
        for (int e = 0; e < h; ++e)
            img.Block(x * scale, (h - 1 - e) * scale, scale, pixels[x * h + e], transparent);
    Save(img, name);
}

// Texture as stored: texel (u, v) at v * n + u, drawn with v = 0 at the top.
void Texture(const uint16_t* texels, int n, int scale, const char* name) {
    Image img(n * scale, n * scale);
    for (int v = 0; v < n; ++v)
        for (int u = 0; u < n; ++u)
            img.Block(u * scale, v * scale, scale, texels[v * n + u]);
    Save(img, name);
}

// ---- fonts -----------------------------------------------------------------------------

void SmallFont() {
    const int scale = 4;
    Image img(16 * 9 * scale, 6 * 9 * scale);
    for (int g = 0; g < 59; ++g) {
        const int ox = (g % 16) * 9 * scale, oy = (g / 16) * 9 * scale;
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c) {
                const bool on = bitfonts[g * 8 + r] & (0x80 >> c);
                for (int j = 0; j < scale; ++j)
                    for (int i = 0; i < scale; ++i)
                        img.Set(ox + c * scale + i, oy + r * scale + j, on ? 0x0000FF : 0x101018);
            }
    }
    // A line as the loading bar and the counter print it, at 1:1 and doubled.
    const char* text = "FPS = 60  LOADING... 100%";
    for (int k = 0; text[k]; ++k) {
        const int g = text[k] - 32;
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c)
                if (bitfonts[g * 8 + r] & (0x80 >> c)) {
                    img.Set(8 + k * 8 + c, 4 * 9 * scale + 8 + r, 0x0000FF);
                    for (int j = 0; j < 2; ++j)
                        for (int i = 0; i < 2; ++i)
                            img.Set(8 + (k * 8 + c) * 2 + i, 4 * 9 * scale + 32 + r * 2 + j, 0x0000FF);
                }
    }
    Save(img, "bitfonts.png");
}

void LargeFont() {
    const int scale = 3;
    Image img(16 * 17 * scale, 8 * 17 * scale + 80);
    auto level_colour = [](int v) {
        // A warm ramp, as a shade row would give the credits.
        const int r = std::min(255, v * 24), g = std::min(255, v * 17), b = std::min(255, 40 + v * 10);
        return uint32_t(r << 16 | g << 8 | b);
    };
    auto glyph = [&](int g, int ox, int oy, int s) {
        for (int r = 0; r < 16; ++r)
            for (int c = 0; c < 16; ++c) {
                const int v = fonts16[256 + g * 256 + r * 16 + c];
                for (int j = 0; j < s; ++j)
                    for (int i = 0; i < s; ++i)
                        img.Set(ox + c * s + i, oy + r * s + j,
                                v ? level_colour(v) : ((c + r) & 1 ? 0x181820 : 0x202028));
            }
    };
    for (int g = 0; g <= 85; ++g)
        glyph(g, (g % 16) * 17 * scale, (g / 16) * 17 * scale, scale);
    int y = 8 * 17 * scale + 4;
    for (const char* line : {"Code:Corvane", "Music:The Ombrelist"}) {
        for (int k = 0; line[k]; ++k)
            glyph(fonts16[uint8_t(line[k])], 8 + k * 16 * 2, y, 2);
        y += 36;
    }
    Save(img, "fonts16.png");
}

// ---- ball ------------------------------------------------------------------------------

void Ball() {
    uint16_t ball_p[256];
    uint8_t ball_c[256];
    for (int i = 0; i < 256; ++i) {
        ball_p[i] =
            (i == 0 || i == 255) ? 0 : uint16_t((gp32ball[2 + 2 * i] | gp32ball[3 + 2 * i] << 8) << 1);
        ball_c[i] = std::min<uint8_t>(15, gp32ball[512 + i]);
    }
    const int scale = 4;
    Image img(16 * 17 * scale, 2 * 17 * scale + 8);
    for (int k = 0; k < 16; ++k) {
        // The ramp as swatches, then the sprite in it (column c, element r upwards).
        for (int i = 0; i < 16; ++i)
            img.Block(k * 17 * scale + i * scale, 0, scale, ball_p[k * 16 + i]);
        for (int c = 0; c < 16; ++c)
            for (int r = 0; r < 16; ++r) {
                const int t = ball_c[c * 16 + r];
                if (t) img.Block(k * 17 * scale + c * scale, 8 + (31 - r) * scale, scale, ball_p[k * 16 + t]);
            }
    }
    Save(img, "gp32ball.png");
}

// ---- 3D: the engine's pose, projection, culling and lighting ----------------------------

struct Mesh {
    std::vector<std::array<int, 3>> pts;
    std::vector<std::array<int, 3>> tris;
    std::vector<std::array<int, 2>> lines;
};

Mesh Unpack(const uint8_t* b) {
    auto rd = [&](size_t at) { return b[at] | b[at + 1] << 8; };
    Mesh m;
    const int n = rd(0), l = rd(2), t = rd(4);
    size_t at = 6;
    for (int i = 0; i < n; ++i, at += 3)
        m.pts.push_back({(b[at] - 128) >> 1, (b[at + 1] - 128) >> 1, (b[at + 2] - 128) >> 1});
    for (int i = 0; i < l; ++i, at += 4)
        m.lines.push_back({rd(at), rd(at + 2)});
    for (int i = 0; i < t; ++i, at += 6)
        m.tris.push_back({rd(at), rd(at + 2), rd(at + 4)});
    return m;
}

struct Pose {
    int m[3][3];
    Pose(float ax, float ay, float az) {
        const float cx = float(std::cos(double(ax))), sx = float(std::sin(double(ax)));
        const float cy = float(std::cos(double(ay))), sy = float(std::sin(double(ay)));
        const float cz = float(std::cos(double(az))), sz = float(std::sin(double(az)));
        const float e[3][3] = {{cy * cz, cz * sx * sy - cx * sz, cz * cx * sy + sx * sz},
                               {cy * sz, cx * cz + sx * sy * sz, cx * sy * sz - cz * sx},
                               {-sy, sx * cy, cx * cy}};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                m[i][j] = int(e[i][j] * 256);
    }
    std::array<long, 3> Rotate(const std::array<int, 3>& v) const {
        std::array<long, 3> r{};
        for (int i = 0; i < 3; ++i)
            r[i] = long(m[i][0]) * v[0] + long(m[i][1]) * v[1] + long(m[i][2]) * v[2];
        return r;
    }
};

// Fills a screen triangle (x right, y up from the bottom) into a 320 x 240 view at (ox, oy).
void Fill(Image& img, int ox, int oy, const std::array<std::array<long, 2>, 3>& s, uint32_t colour) {
    const long minx = std::max(0L, std::min({s[0][0], s[1][0], s[2][0]}));
    const long maxx = std::min(319L, std::max({s[0][0], s[1][0], s[2][0]}));
    const long miny = std::max(0L, std::min({s[0][1], s[1][1], s[2][1]}));
    const long maxy = std::min(239L, std::max({s[0][1], s[1][1], s[2][1]}));
    auto edge = [](const std::array<long, 2>& a, const std::array<long, 2>& b, long x, long y) {
        return (b[0] - a[0]) * (y - a[1]) - (b[1] - a[1]) * (x - a[0]);
    };
    for (long y = miny; y <= maxy; ++y)
        for (long x = minx; x <= maxx; ++x) {
            const long e0 = edge(s[0], s[1], x, y), e1 = edge(s[1], s[2], x, y), e2 = edge(s[2], s[0], x, y);
            if ((e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0))
                img.Set(ox + int(x), oy + 239 - int(y), colour);
        }
}

// Draws the model flat-shaded (painter's order, the engine's back-face test, shade = rotated
// normal z >> 8) and, beside it, its line list over the same pose.
void Model(Image& img, int ox, int oy, const Mesh& mesh, bool negate, bool exchange, float ax, float ay,
           float az, float px, float py, float pz) {
    const Pose pose(ax, ay, az);
    std::vector<std::array<long, 3>> cam;
    std::vector<std::array<long, 2>> scr;
    for (const auto& p : mesh.pts) {
        auto r = pose.Rotate(p);
        r[0] += long(px * 256);
        r[1] += long(py * 256);
        r[2] += long(pz * 256);
        cam.push_back(r);
        scr.push_back({r[0] * 256 / r[2] + 160, r[1] * 256 / r[2] + 120});
    }
    struct Item {
        long key;
        size_t index;
    };
    std::vector<Item> order;
    for (size_t i = 0; i < mesh.tris.size(); ++i) {
        const auto& t = mesh.tris[i];
        order.push_back({-(cam[t[0]][2] + cam[t[1]][2] + cam[t[2]][2]), i});
    }
    std::sort(order.begin(), order.end(), [](const Item& a, const Item& b) { return a.key < b.key; });
    for (const Item& it : order) {
        auto t = mesh.tris[it.index];
        const auto &a = mesh.pts[t[0]], &b = mesh.pts[t[1]], &c = mesh.pts[t[2]];
        const std::array<int, 3> e1 = {c[0] - b[0], c[1] - b[1], c[2] - b[2]};
        const std::array<int, 3> e2 = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        std::array<int, 3> n = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                e1[0] * e2[1] - e1[1] * e2[0]};
        const double len = std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
        if (len == 0) continue;
        for (int& v : n)
            v = int(v * 256 / len) * (negate ? -1 : 1);
        if (exchange) std::swap(t[0], t[2]);
        const auto &s0 = scr[t[0]], &s1 = scr[t[1]], &s2 = scr[t[2]];
        if ((s0[0] - s1[0]) * (s2[1] - s1[1]) - (s2[0] - s1[0]) * (s0[1] - s1[1]) >= 0) continue;
        const long shade = std::clamp(pose.Rotate(n)[2] >> 8, 0L, 255L);
        Fill(img, ox, oy, {s0, s1, s2}, uint32_t(shade << 16 | (shade * 7 / 8) << 8 | (shade * 3 / 4)));
    }
    for (const auto& l : mesh.lines) {
        const auto &a = scr[l[0]], &b = scr[l[1]];
        const int steps = int(std::max(std::abs(b[0] - a[0]), std::abs(b[1] - a[1]))) + 1;
        for (int k = 0; k <= steps; ++k) {
            const long x = a[0] + (b[0] - a[0]) * k / steps, y = a[1] + (b[1] - a[1]) * k / steps;
            if (x >= 0 && x < 320 && y >= 0 && y < 240)
                img.Set(ox + 320 + int(x), oy + 239 - int(y), 0xE0E0FF);
        }
    }
}

void Models() {
    const Mesh face = Unpack(face3do);
    Image faces(640, 240 * 4);
    // The plasma scene's pose: ay swings around 1.82, az about pi/2, ax rocks gently.
    const float poses[4][3] = {{0, 1.5707585f, 1.570758465f},
                               {0, 1.820758465f, 1.570758465f},
                               {0.4f, 2.6f, 1.9f},
                               {-0.4f, 0.9f, 1.2f}};
    for (int k = 0; k < 4; ++k)
        Model(faces, 0, 240 * k, face, false, true, poses[k][0], poses[k][1], poses[k][2], 0, 12, 128);
    Save(faces, "face3do.png");
    const Mesh pot = Unpack(teapot);
    Image pots(640, 240 * 3);
    const float pot_poses[3][3] = {{0, 0, 3.1415169f}, {0.5f, 0.8f, 3.1415169f}, {-0.6f, 2.5f, 3.1415169f}};
    for (int k = 0; k < 3; ++k)
        Model(pots, 0, 240 * k, pot, true, false, pot_poses[k][0], pot_poses[k][1], pot_poses[k][2], 0, 0,
              160);
    Save(pots, "teapot.png");
}

// ---- textures in place --------------------------------------------------------------------

// The cylinder seen from the side (axis upright, as it stands after its spin) and its top cap
// face-on, texel for texel as the textured triangles address them (128 x 128 textures).
void Cylinder() {
    Image img(640, 320);
    const double pi = 3.14151693;
    for (int sy = 0; sy < 256; ++sy)
        for (int sx = 0; sx < 256; ++sx) {
            // Side: orthographic, radius 32 -> 128 pixels, height 128 -> 256 pixels.
            const double x = (sx - 128) / 4.0;
            if (std::fabs(x) >= 32) continue;
            const double a = std::atan2(-std::sqrt(32 * 32 - x * x), x); // the near side, z < 0
            const double turn = std::fmod(a + 2 * pi, 2 * pi) / (2 * pi);
            const int u = std::min(255, int(turn * 255));
            const int v = 255 - sy; // top of the picture is y = 64, v = 255
            img.Set5551(16 + sx, 32 + sy, vornelo[(v >> 1) * 128 + (u >> 1)]);
        }
    // Caps: every triangle shows the texels along the line from the centre to its rim corner.
    for (int which = 0; which < 2; ++which) {
        const uint16_t* tex = which ? vornelo_bottom : vornelo_top;
        for (int sy = 0; sy < 256; ++sy)
            for (int sx = 0; sx < 256; ++sx) {
                const double dx = (sx - 128) / 4.0, dy = (128 - sy) / 4.0, r = std::hypot(dx, dy);
                if (r >= 32) continue;
                const double ang = std::fmod(std::atan2(dy, dx) + 2 * pi, 2 * pi);
                const int n = int(ang / (2 * pi / 64)) % 64;
                const double b = n * 6.2830338 / 64;
                const double rim_u = std::cos(b) * 123 + 126, rim_v = std::sin(b) * 123 + 126;
                const double f = r / 32;
                const int u = int(128 + (rim_u - 128) * f), v = int(128 + (rim_v - 128) * f);
                img.Set5551(288 + which * 176 + sx * 5 / 8, 32 + sy * 5 / 8, tex[(v >> 1) * 128 + (u >> 1)]);
            }
    }
    Save(img, "cylinder.png");
}

// The reflective sphere: each point's texel comes from its normal, u = (nx >> 9) + 127.
void Sphere() {
    Image img(256, 256);
    for (int sy = 0; sy < 256; ++sy)
        for (int sx = 0; sx < 256; ++sx) {
            const double nx = (sx - 127.5) / 120, ny = (127.5 - sy) / 120;
            if (nx * nx + ny * ny >= 1) continue;
            const int u = std::abs((int(nx * 65536) >> 9) + 127) & 255;
            const int v = std::abs((int(ny * 65536) >> 9) + 127) & 255;
            img.Set5551(sx, sy, env1[(v >> 2) * 64 + (u >> 2)]);
        }
    Save(img, "env1_sphere.png");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetpreview <directory>\n");
        return 2;
    }
    g_dir = argv[1];
    Picture(vkr0, 320, 240, 2, false, "vkr0.png");
    Picture(quellmark, 192, 84, 3, true, "quellmark.png");
    Picture(presents, 128, 32, 4, true, "presents.png");
    Texture(vornelo, 128, 3, "vornelo.png");
    Texture(vornelo_top, 128, 3, "vornelo_top.png");
    Texture(vornelo_bottom, 128, 3, "vornelo_bottom.png");
    Texture(env1, 64, 4, "env1.png");
    SmallFont();
    LargeFont();
    Ball();
    Models();
    Cylinder();
    Sphere();
    return 0;
}
