// The built-in objects: grid, cube, rippled sphere and textured cylinder.
#include <cmath>

#include "generate3d/generate3d.h"

namespace {
constexpr double kDegPerRad = 57.29716;
constexpr double kTwoPi = 6.2830338;

void SetPose(Object3d* obj, float pz) {
    obj->px = 0;
    obj->py = 0;
    obj->pz = pz;
    obj->ax = 0;
    obj->ay = 0;
    obj->az = 0;
}

Polygon3d Triangle(int32_t p0, int32_t p1, int32_t p2) {
    Polygon3d t{};
    t.p0 = p0;
    t.p1 = p1;
    t.p2 = p2;
    return t;
}

void SetUv(Polygon3d* t, int32_t u0, int32_t v0, int32_t u1, int32_t v1, int32_t u2, int32_t v2) {
    t->u0 = u0;
    t->v0 = v0;
    t->u1 = u1;
    t->v1 = v1;
    t->u2 = u2;
    t->v2 = v2;
}
} // namespace

void GenerateGrid(Object3d* obj) {
    AllocateObject3d(obj, 64, 0);
    AllocateLines3d(obj, 0);
    for (int zi = 0; zi < 4; zi++) {
        for (int yi = 0; yi < 4; yi++) {
            for (int xi = 0; xi < 4; xi++) {
                const int i = 16 * zi + 4 * yi + xi;
                obj->pts[i] = {(xi * 2 - 3) * 16, (yi * 2 - 3) * 16, (zi * 2 - 3) * 16,
                               static_cast<uint16_t>((i % 16) * 16)};
            }
        }
    }
    SetPose(obj, 256);
}

void GenerateCube(Object3d* obj) {
    static const int32_t kCorners[8][3] = {{-64, 64, -64}, {-64, -64, -64}, {64, -64, -64}, {64, 64, -64},
                                           {-64, 64, 64},  {-64, -64, 64},  {64, -64, 64},  {64, 64, 64}};
    static const int32_t kTriangles[12][3] = {{0, 1, 2}, {0, 2, 3}, {7, 6, 5}, {7, 5, 4},
                                              {3, 2, 6}, {3, 6, 7}, {4, 5, 1}, {4, 1, 0},
                                              {4, 0, 3}, {4, 3, 7}, {1, 5, 6}, {1, 6, 2}};
    static const int32_t kEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                          {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    AllocateObject3d(obj, 8, 12);
    AllocateLines3d(obj, 12);
    for (int i = 0; i < 8; i++)
        obj->pts[i] = {kCorners[i][0], kCorners[i][1], kCorners[i][2], 0};
    for (int i = 0; i < 12; i++) {
        Polygon3d& t = obj->pls[i];
        t = Triangle(kTriangles[i][0], kTriangles[i][1], kTriangles[i][2]);
        // Each square face shows the texture's square 8..248.
        if (i % 2 == 0)
            SetUv(&t, 8, 8, 8, 248, 248, 248);
        else
            SetUv(&t, 8, 8, 248, 248, 248, 8);
        obj->lns[i] = {kEdges[i][0], kEdges[i][1], 0xFFFF};
    }
    CalcNorms(obj, 1);
    CalcPtNorms(obj);
    SetPose(obj, 320);
}

void GenerateSpherical(Object3d* obj, int32_t, float rphi, float rtheta, float aphi, float atheta,
                       float base) {
    AllocateObject3d(obj, 576, 1104);
    for (int k = 0; k < 24; k++) {
        const double phi = 15.0 * k / kDegPerRad;
        for (int l = 0; l < 24; l++) {
            const double theta = 7.5 * l / kDegPerRad;
            const float r = static_cast<float>(base + aphi * std::sin(4.0 * rphi * phi) +
                                               atheta * std::sin(4.0 * rtheta * theta));
            obj->pts[k * 24 + l] = {static_cast<int32_t>(r * std::sin(theta) * std::cos(phi)),
                                    static_cast<int32_t>(r * std::sin(theta) * std::sin(phi)),
                                    static_cast<int32_t>(r * std::cos(theta)), 0xFFFF};
        }
    }
    int n = 0;
    for (int k = 0; k < 24; k++) {
        const int row = (k % 24) * 24;
        const int next = ((k + 1) % 24) * 24;
        for (int l = 0; l < 23; l++) {
            obj->pls[n++] = Triangle(row + l, row + l + 1, next + l);
            obj->pls[n++] = Triangle(next + l, row + l + 1, next + l + 1);
        }
    }
    CalcNorms(obj, 0);
    CalcPtNorms(obj);
    SetPose(obj, 320);
}

void GenerateCylinder(Object3d* obj) {
    AllocateObject3d(obj, 130, 256);
    for (int n = 0; n < 64; n++) {
        const double a = 5.625 * n / kDegPerRad;
        const int32_t x = static_cast<int32_t>(std::cos(a) * 32);
        const int32_t z = static_cast<int32_t>(std::sin(a) * 32);
        obj->pts[n] = {x, -64, z, 0};
        obj->pts[n + 64] = {x, 64, z, 0};
    }
    obj->pts[128] = {0, -64, 0, 0};
    obj->pts[129] = {0, 64, 0, 0};
    for (int n = 0; n < 64; n++) {
        const int m = (n + 1) % 64;
        const int32_t u = n * 255 / 64;
        const int32_t u1 = (n + 1) * 255 / 64;
        Polygon3d* side = obj->pls + 2 * n;
        side[0] = Triangle(n, m, n + 64);
        SetUv(&side[0], u, 0, u1, 0, u, 255);
        side[1] = Triangle(n + 64, m, m + 64);
        SetUv(&side[1], u, 255, u1, 0, u1, 255);

        // Both rim corners of a cap triangle share the rim point's coordinate.
        const double b = n * kTwoPi / 64;
        const int32_t cu = static_cast<int32_t>(std::cos(b) * 123 + 126);
        const int32_t cv = static_cast<int32_t>(std::sin(b) * 123 + 126);
        Polygon3d& low = obj->pls[128 + n];
        low = Triangle(128, m, n);
        SetUv(&low, 128, 128, cu, cv, cu, cv);
        Polygon3d& high = obj->pls[192 + n];
        high = Triangle(n + 64, m + 64, 129);
        SetUv(&high, cu, cv, cu, cv, 128, 128);
    }
    CalcNorms(obj, 1);
    CalcPtNorms(obj);
}
