// Integer vector operations and the normals of an object. Products and sums wrap in
// 32 bits; they are formed in uint32_t so that wrapping is defined.
#include <cmath>
#include <initializer_list>

#include "generate3d/generate3d.h"

namespace {
int32_t Wrap(uint32_t v) {
    return static_cast<int32_t>(v);
}
uint32_t U(int32_t v) {
    return static_cast<uint32_t>(v);
}
int32_t Mul(int32_t a, int32_t b) {
    return Wrap(U(a) * U(b));
}
int32_t Sub(int32_t a, int32_t b) {
    return Wrap(U(a) - U(b));
}
int32_t Add(int32_t a, int32_t b) {
    return Wrap(U(a) + U(b));
}

bool ValidPoint(const Object3d* obj, int32_t p) {
    return p >= 0 && p < obj->npts && p < kMaxWork;
}
} // namespace

Vector3d CrossProduct(int32_t ax, int32_t ay, int32_t az, int32_t bx, int32_t by, int32_t bz) {
    return {Sub(Mul(ay, bz), Mul(az, by)), Sub(Mul(az, bx), Mul(ax, bz)), Sub(Mul(ax, by), Mul(ay, bx))};
}

Vector3d Normalize(int32_t x, int32_t y, int32_t z) {
    const int32_t s = Add(Add(Mul(x, x), Mul(y, y)), Mul(z, z));
    // A square sum that wrapped negative is taken as unsigned instead of a root of a negative.
    const int32_t len = static_cast<int32_t>(std::sqrt(static_cast<double>(static_cast<uint32_t>(s))));
    if (len == 0) return {0, 0, 0};
    return {Mul(x, 256) / len, Mul(y, 256) / len, Mul(z, 256) / len};
}

Vector3d NegVec(int32_t x, int32_t y, int32_t z) {
    return {Sub(0, x), Sub(0, y), Sub(0, z)};
}

int32_t DotProduct(int32_t ax, int32_t ay, int32_t az, int32_t bx, int32_t by, int32_t bz) {
    return Add(Add(Mul(ax, bx), Mul(ay, by)), Mul(az, bz));
}

void PrintVector(int32_t x, int32_t y, int32_t z) {
    std::printf("(%d, %d, %d)\n", x, y, z);
}

void CalcNorms(Object3d* obj, int32_t negate) {
    obj->pl_normals = NewArray3d<Vector3d>(obj->npls);
    const Point3d* p = obj->pts;
    for (int32_t i = 0; i < obj->npls; i++) {
        const Polygon3d& t = obj->pls[i];
        Vector3d n = {0, 0, 0};
        // A corner outside the point array leaves the normal at zero.
        if (ValidPoint(obj, t.p0) && ValidPoint(obj, t.p1) && ValidPoint(obj, t.p2)) {
            const Point3d& a = p[t.p0];
            const Point3d& b = p[t.p1];
            const Point3d& c = p[t.p2];
            const Vector3d e = CrossProduct(Sub(c.x, b.x), Sub(c.y, b.y), Sub(c.z, b.z), Sub(b.x, a.x),
                                            Sub(b.y, a.y), Sub(b.z, a.z));
            n = Normalize(e.x, e.y, e.z);
            if (negate == 1) n = NegVec(n.x, n.y, n.z);
        }
        obj->pl_normals[i] = n;
    }
}

void CalcPtNorms(Object3d* obj) {
    obj->pt_normals = NewArray3d<Vector3d>(obj->npts);
    for (uint8_t& a : addtimes)
        a = 0;
    Vector3d* sum = obj->pt_normals;
    for (int32_t i = 0; i < obj->npls; i++) {
        const Polygon3d& t = obj->pls[i];
        const Vector3d& n = obj->pl_normals[i];
        for (const int32_t p : {t.p0, t.p1, t.p2}) {
            if (!ValidPoint(obj, p)) continue;
            sum[p] = {Add(sum[p].x, n.x), Add(sum[p].y, n.y), Add(sum[p].z, n.z)};
            addtimes[p]++;
        }
    }
    for (int32_t i = 0; i < obj->npts; i++) {
        // A point no polygon uses (or one whose count wrapped to 0) keeps (0, 0, 0).
        if (i >= kMaxWork || addtimes[i] == 0) {
            sum[i] = {0, 0, 0};
            continue;
        }
        const int32_t k = addtimes[i];
        sum[i] = Normalize(sum[i].x / k, sum[i].y / k, sum[i].z / k);
    }
}

void ReversePolygonOrder(Object3d* obj) {
    for (int32_t i = 0; i < obj->npls; i++) {
        Polygon3d& t = obj->pls[i];
        const int32_t p0 = t.p0;
        t.p0 = t.p2;
        t.p2 = p0;
    }
}
