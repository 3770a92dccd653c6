#include "render3d/render.h"

#include "engine3d/lighting.h"
#include "engine3d/transform.h"
#include "precalcs/shades.h"
#include "render3d/primitives.h"
#include "script/script.h"

int32_t RenderMode = 0;

namespace {
const uint16_t* ShadeRow(int32_t n) {
    return &shades[256 * (n < 0 ? 0 : (n > 63 ? 63 : n))];
}

int32_t PolygonCount(const Object3d* obj) {
    return obj->pls == nullptr ? 0 : WorkCount(obj->npls);
}
int32_t PointCount(const Object3d* obj) {
    return obj->pts == nullptr ? 0 : WorkCount(obj->npts);
}

bool InWork(int32_t p) {
    return p >= 0 && p < kMaxWork;
}
bool CornersInWork(const Polygon3d& poly) {
    return InWork(poly.p0) && InWork(poly.p1) && InWork(poly.p2);
}
int32_t Depth(int32_t p) {
    return InWork(p) ? fpts[p].z : 0;
}

// -((z0 + z1 + z2) >> 2) in wrapping 32-bit arithmetic: the farthest polygon sorts first.
int32_t PolygonKey(const Polygon3d& poly) {
    const uint32_t sum = static_cast<uint32_t>(Depth(poly.p0)) + static_cast<uint32_t>(Depth(poly.p1)) +
                         static_cast<uint32_t>(Depth(poly.p2));
    return static_cast<int32_t>(0u - static_cast<uint32_t>(static_cast<int32_t>(sum) >> 2));
}

// Screen-space facing test with 32-bit products: drawn only when the expression is negative.
bool FacesViewer(const Polygon3d& poly) {
    if (!CornersInWork(poly)) return false;
    const ScreenPoint& a = spts[poly.p0];
    const ScreenPoint& b = spts[poly.p1];
    const ScreenPoint& c = spts[poly.p2];
    auto d = [](int32_t p, int32_t q) { return static_cast<uint32_t>(p) - static_cast<uint32_t>(q); };
    const uint32_t e = d(a.x, b.x) * d(c.y, b.y) - d(c.x, b.x) * d(a.y, b.y);
    return static_cast<int32_t>(e) < 0;
}

void CopyPointColours(const Object3d* obj) {
    const int32_t n = PointCount(obj);
    for (int32_t i = 0; i < n; i++)
        spts[i].colour = (spts[i].colour & 0xFFFF0000u) | obj->pts[i].colour;
}

void EnvironmentCoords(const Object3d* obj) {
    const int32_t n = WorkCount(obj->npts);
    for (int32_t i = 0; i < n; i++) {
        const int32_t u = (pt_norms[i].x >> 9) + 127;
        const int32_t v = (pt_norms[i].y >> 9) + 127;
        point_tc[i].u = (u < 0 ? -u : u) & 255;
        point_tc[i].v = (v < 0 ? -v : v) & 255;
    }
}

void SortPolygons(Object3d* obj) {
    zsort(zdata, obj);
    quicksort(0, PolygonCount(obj) - 1, zdata);
}

// Far to near, each polygon that faces the viewer.
template <class Draw> void PainterOrder(Object3d* obj, Draw draw) {
    SortPolygons(obj);
    const int32_t n = PolygonCount(obj);
    for (int32_t k = 0; k < n; k++) {
        const int32_t i = swp[k];
        if (FacesViewer(obj->pls[i])) draw(i);
    }
}

// Index order, each polygon whose rotated normal does not point away.
template <class Draw> void DepthOrder(Object3d* obj, Draw draw) {
    const int32_t n = PolygonCount(obj);
    for (int32_t i = 0; i < n; i++)
        if (norms[i].z >= 0) draw(i);
}

// Cylinder textures by polygon index: the last 64 the third, the 64 before the second.
const uint16_t* TextureFor(int32_t i, int32_t n, const uint16_t* t1, const uint16_t* t2, const uint16_t* t3) {
    if (i >= n - 64) return t3;
    if (i < n - 128) return t1;
    return t2;
}

// Two quads' triangles share a row; objects past 120 polygons keep the last row.
const uint16_t* PlasmaRow(int32_t i) {
    return ShadeRow(4 + (i >> 1));
}

void Balls(Object3d* obj, uint16_t* buffer) {
    CopyPointColours(obj);
    const int32_t n = PointCount(obj);
    for (int32_t i = 0; i < n; i++) {
        swp[i] = static_cast<uint16_t>(i);
        zdata[i] = static_cast<int32_t>(0u - static_cast<uint32_t>(fpts[i].z));
    }
    quicksort(0, n - 1, zdata);
    for (int32_t k = 0; k < n; k++) {
        const int32_t i = swp[k];
        const auto size = static_cast<float>((93000.0 - fpts[i].z) / 24576.0);
        drawball(spts[i].x, spts[i].y, static_cast<int32_t>(spts[i].colour), size, buffer);
    }
}

void Points(Object3d* obj, uint16_t* buffer) {
    CopyPointColours(obj);
    const int32_t n = PointCount(obj);
    for (int32_t i = 0; i < n; i++)
        drawpoint(spts[i].x, spts[i].y, static_cast<uint16_t>(spts[i].colour), buffer);
}

void Lines(Object3d* obj, uint16_t* buffer, int32_t line_size) {
    CopyPointColours(obj);
    if (obj->lns == nullptr) return;
    for (int32_t i = 0; i < obj->nlns; i++)
        drawline(obj->lns[i], buffer, line_size);
}
} // namespace

void zsort(int32_t* keys, Object3d* obj) {
    const int32_t n = PolygonCount(obj);
    for (int32_t i = 0; i < n; i++) {
        swp[i] = static_cast<uint16_t>(i);
        keys[i] = PolygonKey(obj->pls[i]);
    }
}

void CleanZbuffer() {
    for (int i = 0; i < 76800; i += 2)
        zbuffer[i] = 0xFFFFFFFFu;
    for (int i = 1; i < 76800; i += 2)
        zbuffer[i] = 0xFFFFFFFFu;
}

void quicksort(int32_t lo, int32_t hi, int32_t* keys) {
    if (hi < lo) return;
    for (;;) {
        int32_t i = lo;
        int32_t j = hi;
        const int32_t pivot = keys[(lo + hi) >> 1];
        while (i <= j) {
            while (keys[i] < pivot)
                i++;
            while (keys[j] > pivot)
                j--;
            if (i > j) break;
            const int32_t k = keys[i];
            keys[i] = keys[j];
            keys[j] = k;
            const uint16_t s = swp[i];
            swp[i] = swp[j];
            swp[j] = s;
            i++;
            j--;
        }
        if (lo < j) quicksort(lo, j, keys);
        if (i >= hi) return;
        lo = i;
    }
}

void Render(Object3d* obj, int32_t shade_a, int32_t shade_b, uint16_t* buffer, int32_t shift,
            const uint16_t* texture1, const uint16_t* texture2, const uint16_t* texture3, int32_t line_size) {
    tm = (prticks >> 3) % 438;
    switch (RenderMode) {
    case 0:
        Balls(obj, buffer);
        return;
    case 1:
        Points(obj, buffer);
        return;
    case 2:
        Lines(obj, buffer, line_size);
        return;
    default:
        break;
    }
    // Triangle styles; modes are whole values, anything else draws nothing.
    const bool zb = RenderMode >= 256;
    const int32_t style = zb ? RenderMode - 256 : RenderMode;
    if (style != 4 && style != 8 && style != 16 && style != 32 && style != 64 && style != 128) return;
    if (style == 4 || style == 64 || zb) rotate3d_normals(obj);
    if (style == 4 || style == 64) CalcPolyColor(obj);
    if (style == 8 || style == 32) rotate3d_pt_normals(obj);
    if (style == 8) CalcPointColor(obj);
    if (zb) CleanZbuffer();
    if (style == 32) EnvironmentCoords(obj);

    const uint16_t* row_a = ShadeRow(shade_a);
    const uint16_t* row_b = ShadeRow(shade_b);
    Polygon3d* pls = obj->pls;
    const int32_t n = obj->npls;
    auto draw = [&](int32_t i) {
        Polygon3d& p = pls[i];
        switch (style) {
        case 4:
            p.colour = spls[i];
            (zb ? DrawFlatTriangleZB : DrawFlatTriangle)(p, buffer, row_a);
            break;
        case 8:
            (zb ? DrawGouraudTriangleZB : DrawGouraudTriangle)(p, buffer, row_a);
            break;
        case 16:
            (zb ? DrawTextureTriangleZB
                : DrawTextureTriangle)(p, buffer, shift, TextureFor(i, n, texture1, texture2, texture3));
            break;
        case 32:
            (zb ? DrawEnvmappedTriangleZB : DrawEnvmappedTriangle)(p, buffer, shift, texture1);
            break;
        case 64:
            p.colour = spls[i];
            (zb ? DrawFlatWaterTriangleZB : DrawFlatWaterTriangle)(p, buffer, row_a, row_b);
            break;
        default:
            (zb ? DrawTextureTriangleZB_plasma : DrawTextureTriangle_plasma)(p, buffer, PlasmaRow(i));
            break;
        }
    };
    if (zb)
        DepthOrder(obj, draw);
    else
        PainterOrder(obj, draw);
}

void RenderSpecial(Object3d* obj, int32_t flat_row, int32_t gouraud_row, float f, uint16_t* buffer) {
    rotate3d_normals(obj);
    rotate3d_pt_normals(obj);
    CalcPointColor(obj);
    CalcPolyColor(obj);
    SortPolygons(obj);
    const int32_t n = PolygonCount(obj);
    int32_t split = TruncToInt32(static_cast<double>(static_cast<float>(obj->npls) * f));
    split = split < 0 ? 0 : (split > n ? n : split); // a fraction outside 0..1 is held to it
    const uint16_t* row_a = ShadeRow(flat_row);
    const uint16_t* row_b = ShadeRow(gouraud_row);
    Polygon3d* pls = obj->pls;
    for (int32_t k = n - 1; k >= split; k--) {
        const int32_t i = swp[k];
        if (FacesViewer(pls[i])) DrawGouraudTriangle(pls[i], buffer, row_b);
    }
    for (int32_t k = split - 1; k >= 0; k--) {
        const int32_t i = swp[k];
        if (FacesViewer(pls[i])) {
            pls[i].colour = spls[i];
            DrawFlatTriangle(pls[i], buffer, row_a);
        }
    }
}
