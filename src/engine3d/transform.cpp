#include "engine3d/transform.h"

#include <cmath>

const float proj = 256.0f;

namespace {
int32_t ScaledEntry(float v) {
    return TruncToInt32(static_cast<double>(v * 256.0f));
}

// One matrix-vector product in wrapping 32-bit arithmetic.
Vector3d Rotate(const Matrix3d& r, int32_t x, int32_t y, int32_t z) {
    const uint32_t ux = static_cast<uint32_t>(x), uy = static_cast<uint32_t>(y),
                   uz = static_cast<uint32_t>(z);
    Vector3d out;
    int32_t* dst[3] = {&out.x, &out.y, &out.z};
    for (int row = 0; row < 3; row++) {
        const uint32_t v = static_cast<uint32_t>(r.m[row][0]) * ux + static_cast<uint32_t>(r.m[row][1]) * uy +
                           static_cast<uint32_t>(r.m[row][2]) * uz;
        *dst[row] = static_cast<int32_t>(v);
    }
    return out;
}

template <class Source> void RotateAll(const Object3d* obj, int32_t count, const Source* src, Vector3d* dst) {
    if (src == nullptr) return;
    const Matrix3d r = RotationMatrix(obj->ax, obj->ay, obj->az);
    const int32_t n = WorkCount(count);
    for (int32_t i = 0; i < n; i++)
        dst[i] = Rotate(r, src[i].x, src[i].y, src[i].z);
}

int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
} // namespace

int32_t TruncToInt32(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

Matrix3d RotationMatrix(float ax, float ay, float az) {
    const float cx = static_cast<float>(std::cos(static_cast<double>(ax)));
    const float sx = static_cast<float>(std::sin(static_cast<double>(ax)));
    const float cy = static_cast<float>(std::cos(static_cast<double>(ay)));
    const float sy = static_cast<float>(std::sin(static_cast<double>(ay)));
    const float cz = static_cast<float>(std::cos(static_cast<double>(az)));
    const float sz = static_cast<float>(std::sin(static_cast<double>(az)));
    Matrix3d r;
    r.m[0][0] = ScaledEntry(cy * cz);
    r.m[0][1] = ScaledEntry(cz * sx * sy - cx * sz);
    r.m[0][2] = ScaledEntry(cz * cx * sy + sx * sz);
    r.m[1][0] = ScaledEntry(cy * sz);
    r.m[1][1] = ScaledEntry(cx * cz + sx * sy * sz);
    r.m[1][2] = ScaledEntry(cx * sy * sz - cz * sx);
    r.m[2][0] = ScaledEntry(-sy);
    r.m[2][1] = ScaledEntry(sx * cy);
    r.m[2][2] = ScaledEntry(cx * cy);
    return r;
}

void rotate3d(Object3d* obj) {
    RotateAll(obj, obj->npts, obj->pts, fpts);
}

void rotate3d_normals(Object3d* obj) {
    RotateAll(obj, obj->npls, obj->pl_normals, norms);
}

void rotate3d_pt_normals(Object3d* obj) {
    RotateAll(obj, obj->npts, obj->pt_normals, pt_norms);
}

void translate3d(Object3d* obj) {
    const int32_t tx = TruncToInt32(static_cast<double>(obj->px) * 256.0);
    const int32_t ty = TruncToInt32(static_cast<double>(obj->py) * 256.0);
    const int32_t tz = TruncToInt32(static_cast<double>(obj->pz) * 256.0);
    const int32_t n = WorkCount(obj->npts);
    for (int32_t i = 0; i < n; i++) {
        fpts[i].x = WrapAdd(fpts[i].x, tx);
        fpts[i].y = WrapAdd(fpts[i].y, ty);
        fpts[i].z = WrapAdd(fpts[i].z, tz);
    }
}

void project3d(Object3d* obj) {
    const int32_t n = WorkCount(obj->npts);
    for (int32_t i = 0; i < n; i++) {
        const int32_t z = fpts[i].z;
        if (z <= 0) continue; // behind the viewer: keeps its earlier screen position
        const int32_t sx = static_cast<int32_t>(static_cast<uint32_t>(fpts[i].x) << 8);
        const int32_t sy = static_cast<int32_t>(static_cast<uint32_t>(fpts[i].y) << 8);
        spts[i].x = WrapAdd(sx / z, 160);
        spts[i].y = WrapAdd(sy / z, 120);
    }
}

void Calc3d(Object3d* obj) {
    rotate3d(obj);
    translate3d(obj);
    project3d(obj);
}
