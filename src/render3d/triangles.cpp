#include "render3d/triangles.h"

#include <utility>

#include "effects/water.h"
#include "precalcs/tables.h"

uint32_t zbuffer[76800];
int32_t tm = 0;

int32_t Reciprocal(int64_t n) {
    if (n >= -2048 && n <= 2047) return lut::div[2048 + n];
    // Beyond the table: the same truncated quotient by direct division.
    return static_cast<int32_t>(65536 / n);
}

int32_t Slope(int64_t difference, int32_t reciprocal) {
    // Arithmetic shift of the exact product; the 32-bit product gives the same wherever it fits.
    return static_cast<int32_t>((difference * reciprocal) >> 16);
}

namespace {
constexpr int kMaxAttrs = 3;
constexpr int64_t kPixels = 76800;

inline int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t Scaled(int32_t v) {
    return static_cast<int32_t>(static_cast<uint32_t>(v) << 8);
}

// Row (8.8) and the member's attributes at a corner, an edge position or as a slope.
struct Attrs {
    int32_t y;
    int32_t a[kMaxAttrs];
};

struct Corner {
    int32_t x;
    Attrs v;
};

template <int N> Attrs EdgeSlopes(const Corner& from, const Corner& to) {
    const int32_t r = Reciprocal(static_cast<int64_t>(to.x) - from.x);
    Attrs s{};
    s.y = Slope(static_cast<int64_t>(to.v.y) - from.v.y, r);
    for (int i = 0; i < N; i++)
        s.a[i] = Slope(static_cast<int64_t>(to.v.a[i]) - from.v.a[i], r);
    return s;
}

template <int N> void Advance(Attrs& e, const Attrs& s) {
    e.y = WrapAdd(e.y, s.y);
    for (int i = 0; i < N; i++)
        e.a[i] = WrapAdd(e.a[i], s.a[i]);
}

// One column: rows from the lower edge's whole row up to, not including, the upper one's.
// Each pixel first advances the attributes, then applies the member's rule if its offset
// lies inside the frame buffer. Pixels outside are skipped arithmetically, not one by one.
template <class Rule> void Span(const Rule& rule, int64_t column, const Attrs& ea, const Attrs& eb) {
    constexpr int N = Rule::kAttrs;
    const int32_t ra = ea.y >> 8;
    const int32_t rb = eb.y >> 8;
    const bool a_first = ra <= rb;
    const Attrs& s = a_first ? ea : eb;
    const Attrs& e = a_first ? eb : ea;
    const int32_t start = a_first ? ra : rb;
    const int64_t n = static_cast<int64_t>(a_first ? rb : ra) - start;
    if (n == 0) return;
    const int32_t r = Reciprocal(n);
    int32_t step[kMaxAttrs] = {};
    for (int i = 0; i < N; i++)
        step[i] = Slope(static_cast<int64_t>(e.a[i]) - s.a[i], r);
    // Pixel j (1..n) lies at offset base + j - 1.
    const int64_t base = column * 240 + start;
    const int64_t first = base < 0 ? 1 - base : 1;
    const int64_t last = n < kPixels - base ? n : kPixels - base;
    if (first > last) return;
    int32_t a[kMaxAttrs] = {};
    for (int i = 0; i < N; i++)
        a[i] = static_cast<int32_t>(static_cast<uint32_t>(s.a[i]) +
                                    static_cast<uint32_t>(first) * static_cast<uint32_t>(step[i]));
    auto offset = static_cast<uint32_t>(base + first - 1);
    for (int64_t j = first; j <= last; j++, offset++) {
        rule.Pixel(offset, a);
        for (int i = 0; i < N; i++)
            a[i] = WrapAdd(a[i], step[i]);
    }
}

// The walk shared by every member. Rule supplies kAttrs, the corner attributes and the pixel.
template <class Rule> void Walk(const Polygon3d& poly, const Rule& rule) {
    constexpr int N = Rule::kAttrs;
    const int32_t points[3] = {poly.p0, poly.p1, poly.p2};
    Corner c[3] = {}; // a rule may fill fewer attributes than the swaps copy
    for (int k = 0; k < 3; k++) {
        const int32_t p = points[k];
        if (p < 0 || p >= kMaxWork) return; // a corner outside the work arrays: nothing to draw
        c[k].x = spts[p].x;
        c[k].v.y = Scaled(spts[p].y);
        rule.Corner(k, p, c[k].v.a);
    }
    if (c[1].x < c[0].x) std::swap(c[0], c[1]);
    if (c[2].x < c[0].x) std::swap(c[0], c[2]);
    if (c[2].x < c[1].x) std::swap(c[1], c[2]);
    const Corner& l = c[0];
    const Corner& m = c[1];
    const Corner& rt = c[2];
    const Attrs long_slope = EdgeSlopes<N>(l, rt);
    Attrs ea = l.v;
    Attrs eb = l.v;
    if (l.x < m.x) {
        const Attrs short_slope = EdgeSlopes<N>(l, m);
        const int64_t count = static_cast<int64_t>(m.x) - l.x;
        for (int64_t k = 0; k < count; k++) {
            Span(rule, l.x + k + 1, ea, eb);
            Advance<N>(ea, short_slope);
            Advance<N>(eb, long_slope);
        }
    }
    if (m.x < rt.x) {
        const Attrs short_slope = EdgeSlopes<N>(m, rt);
        ea = m.v;
        const int64_t count = static_cast<int64_t>(rt.x) - m.x;
        for (int64_t k = 0; k < count; k++) {
            Span(rule, m.x + k + 1, ea, eb);
            Advance<N>(ea, short_slope);
            Advance<N>(eb, long_slope);
        }
    }
}

// Strict unsigned depth test; a passing pixel stores its depth.
inline bool DepthPass(uint32_t offset, int32_t z) {
    const auto uz = static_cast<uint32_t>(z);
    if (uz >= zbuffer[offset]) return false;
    zbuffer[offset] = uz;
    return true;
}

inline uint16_t ShadeEntry(const uint16_t* shade, int32_t index) {
    return shade[index < 0 ? 0 : (index > 255 ? 255 : index)];
}

// Attribute 0 is the depth in the depth-tested members (and in both water members).
template <bool ZB> struct DepthAttr {
    static constexpr int kFirst = ZB ? 1 : 0;
    static void Fetch(int32_t p, int32_t* a) {
        if constexpr (ZB)
            a[0] = fpts[p].z;
        else {
            (void)p;
            (void)a;
        }
    }
};

template <bool ZB> struct FlatRule {
    static constexpr int kAttrs = DepthAttr<ZB>::kFirst;
    uint16_t* buffer;
    uint16_t colour;
    void Corner(int, int32_t p, int32_t* a) const { DepthAttr<ZB>::Fetch(p, a); }
    void Pixel(uint32_t offset, const int32_t* a) const {
        if constexpr (ZB) {
            if (!DepthPass(offset, a[0])) return;
        } else {
            (void)a;
        }
        buffer[offset] = colour;
    }
};

template <bool ZB> struct WaterRule {
    static constexpr int kAttrs = 1;
    uint16_t* buffer;
    uint16_t colour_a, colour_b;
    void Corner(int, int32_t p, int32_t* a) const { a[0] = fpts[p].z; }
    void Pixel(uint32_t offset, const int32_t* a) const {
        const int32_t z = a[0];
        if constexpr (ZB) {
            if (!DepthPass(offset, z)) return;
            if (static_cast<uint32_t>(z) <= 128000u) {
                buffer[offset] = colour_a;
            } else {
                buffer1[offset] = static_cast<uint8_t>(z);
                buffer[offset] = colour_b;
            }
        } else if (z <= 128000) {
            buffer[offset] = colour_a;
        } else {
            buffer[offset] = colour_b;
            if (z < 130000) buffer1[offset] = static_cast<uint8_t>(z);
        }
    }
};

template <bool ZB> struct GouraudRule {
    static constexpr int kC = DepthAttr<ZB>::kFirst;
    static constexpr int kAttrs = kC + 1;
    uint16_t* buffer;
    const uint16_t* shade;
    void Corner(int, int32_t p, int32_t* a) const {
        DepthAttr<ZB>::Fetch(p, a);
        a[kC] = Scaled(static_cast<int32_t>(spts[p].colour & 0xFFFFu));
    }
    void Pixel(uint32_t offset, const int32_t* a) const {
        if constexpr (ZB) {
            if (!DepthPass(offset, a[0])) return;
        }
        buffer[offset] = ShadeEntry(shade, a[kC] >> 8);
    }
};

// Texture coordinates of a corner: the polygon's own, or the point's environment coordinates.
enum class Coords { kPolygon, kEnvironment };

template <bool ZB, Coords C> struct UvAttr {
    static constexpr int kU = DepthAttr<ZB>::kFirst;
    static constexpr int kV = kU + 1;
    static constexpr int kAttrs = kV + 1;
    static void Fetch(const Polygon3d& poly, int k, int32_t p, int32_t* a) {
        DepthAttr<ZB>::Fetch(p, a);
        if constexpr (C == Coords::kEnvironment) {
            a[kU] = Scaled(point_tc[p].u);
            a[kV] = Scaled(point_tc[p].v);
        } else {
            const int32_t u[3] = {poly.u0, poly.u1, poly.u2};
            const int32_t v[3] = {poly.v0, poly.v1, poly.v2};
            a[kU] = Scaled(u[k]);
            a[kV] = Scaled(v[k]);
        }
    }
};

template <bool ZB, Coords C> struct TexelRule {
    using Uv = UvAttr<ZB, C>;
    static constexpr int kAttrs = Uv::kAttrs;
    const Polygon3d* poly;
    uint16_t* buffer;
    const uint16_t* texture;
    int32_t shift;
    int32_t last; // last column and row of the texture
    void Corner(int k, int32_t p, int32_t* a) const { Uv::Fetch(*poly, k, p, a); }
    void Pixel(uint32_t offset, const int32_t* a) const {
        if constexpr (ZB) {
            if (!DepthPass(offset, a[0])) return;
        }
        // Reads stay inside the texture: below 0 reads 0, past the end the last texel.
        int32_t c = (a[Uv::kU] >> 8) >> shift;
        int32_t r = (a[Uv::kV] >> 8) >> shift;
        c = c < 0 ? 0 : (c > last ? last : c);
        r = r < 0 ? 0 : (r > last ? last : r);
        buffer[offset] = texture[c + (r << (8 - shift))];
    }
};

template <bool ZB> struct PlasmaRule {
    using Uv = UvAttr<ZB, Coords::kPolygon>;
    static constexpr int kAttrs = Uv::kAttrs;
    const Polygon3d* poly;
    uint16_t* buffer;
    const uint16_t* shade;
    int32_t phase;
    void Corner(int k, int32_t p, int32_t* a) const { Uv::Fetch(*poly, k, p, a); }
    static int32_t Whole(int32_t v) {
        const int32_t w = v >> 8;
        return w < 0 ? 0 : (w > 255 ? 255 : w); // above 255 only for coordinates beyond 0..255
    }
    void Pixel(uint32_t offset, const int32_t* a) const {
        if constexpr (ZB) {
            if (!DepthPass(offset, a[0])) return;
        }
        const int32_t u = Whole(a[Uv::kU]);
        const int32_t v = Whole(a[Uv::kV]);
        const int32_t w = fsin8[u + v + phase];
        int32_t index;
        if constexpr (ZB) {
            index = fsin6[u] + fsin7[v + phase] + fsin8[u + v + 2 * phase] + fsin7[fsin6[u] + phase + w];
        } else {
            index = fsin6[u] + fsin7[v] + w + fsin7[w + fsin6[u]];
        }
        buffer[offset] = shade[index & 255];
    }
};

uint16_t FlatColour(const uint16_t* shade, const Polygon3d& poly) {
    return ShadeEntry(shade, poly.colour);
}

template <bool ZB, Coords C>
void DrawTexel(const Polygon3d& poly, uint16_t* buffer, int32_t shift, const uint16_t* texture) {
    if (texture == nullptr || shift < 0 || shift > 8) return;
    Walk(poly, TexelRule<ZB, C>{&poly, buffer, texture, shift, (256 >> shift) - 1});
}

template <bool ZB> void DrawPlasma(const Polygon3d& poly, uint16_t* buffer, const uint16_t* shade) {
    // The phase is 0..437 for a running clock; a negative clock would index before the tables.
    const int32_t phase = tm < 0 ? 0 : (tm > 437 ? 437 : tm);
    Walk(poly, PlasmaRule<ZB>{&poly, buffer, shade, phase});
}
} // namespace

void DrawFlatTriangle(Polygon3d poly, uint16_t* buffer, const uint16_t* shade) {
    Walk(poly, FlatRule<false>{buffer, FlatColour(shade, poly)});
}

void DrawFlatTriangleZB(Polygon3d poly, uint16_t* buffer, const uint16_t* shade) {
    Walk(poly, FlatRule<true>{buffer, FlatColour(shade, poly)});
}

void DrawFlatWaterTriangle(Polygon3d poly, uint16_t* buffer, const uint16_t* shade_a,
                           const uint16_t* shade_b) {
    Walk(poly, WaterRule<false>{buffer, FlatColour(shade_a, poly), FlatColour(shade_b, poly)});
}

void DrawFlatWaterTriangleZB(Polygon3d poly, uint16_t* buffer, const uint16_t* shade_a,
                             const uint16_t* shade_b) {
    Walk(poly, WaterRule<true>{buffer, FlatColour(shade_a, poly), FlatColour(shade_b, poly)});
}

void DrawGouraudTriangle(Polygon3d poly, uint16_t* buffer, const uint16_t* shade) {
    Walk(poly, GouraudRule<false>{buffer, shade});
}

void DrawGouraudTriangleZB(Polygon3d poly, uint16_t* buffer, const uint16_t* shade) {
    Walk(poly, GouraudRule<true>{buffer, shade});
}

void DrawTextureTriangle(Polygon3d poly, uint16_t* buffer, int32_t shift, const uint16_t* texture) {
    DrawTexel<false, Coords::kPolygon>(poly, buffer, shift, texture);
}

void DrawTextureTriangleZB(Polygon3d poly, uint16_t* buffer, int32_t shift, const uint16_t* texture) {
    DrawTexel<true, Coords::kPolygon>(poly, buffer, shift, texture);
}

void DrawEnvmappedTriangle(Polygon3d poly, uint16_t* buffer, int32_t shift, const uint16_t* texture) {
    DrawTexel<false, Coords::kEnvironment>(poly, buffer, shift, texture);
}

void DrawEnvmappedTriangleZB(Polygon3d poly, uint16_t* buffer, int32_t shift, const uint16_t* texture) {
    DrawTexel<true, Coords::kEnvironment>(poly, buffer, shift, texture);
}

void DrawTextureTriangle_plasma(Polygon3d poly, uint16_t* buffer, const uint16_t* shade) {
    DrawPlasma<false>(poly, buffer, shade);
}

void DrawTextureTriangleZB_plasma(Polygon3d poly, uint16_t* buffer, const uint16_t* shade) {
    DrawPlasma<true>(poly, buffer, shade);
}
