// The packed model format: little-endian 16-bit counts N, L, T, then N points of three
// bytes ((b - 128) >> 1 each), L lines of two 16-bit indices, T triangles of three.
#include "generate3d/generate3d.h"

namespace {
uint32_t Word(const uint8_t* bytes, uint32_t offset) {
    return bytes[offset] | (bytes[offset + 1] << 8);
}

int32_t Coordinate(uint8_t b) {
    return (static_cast<int32_t>(b) - 128) >> 1;
}
} // namespace

const char* Packed3doFault(const uint8_t* bytes, uint32_t size) {
    if (size < 6) return "shorter than its header";
    const uint32_t n = Word(bytes, 0);
    const uint32_t l = Word(bytes, 2);
    const uint32_t t = Word(bytes, 4);
    if (n > static_cast<uint32_t>(kMaxWork)) return "more points than the 8192-entry work arrays hold";
    if (t > static_cast<uint32_t>(kMaxWork)) return "more triangles than the 8192-entry work arrays hold";
    const uint32_t lines = 6 + 3 * n;
    const uint32_t triangles = lines + 4 * l;
    if (size < triangles + 6 * t) return "shorter than its header says";
    for (uint32_t i = 0; i < 2 * l; i++) {
        if (Word(bytes, lines + 2 * i) >= n) return "a line uses a point index at or above the point count";
    }
    for (uint32_t i = 0; i < 3 * t; i++) {
        if (Word(bytes, triangles + 2 * i) >= n)
            return "a triangle uses a point index at or above the point count";
    }
    return nullptr;
}

void Load16bit3do(Object3d* obj, const uint8_t* bytes, uint32_t size, int32_t negate, const char* name) {
    if (const char* fault = Packed3doFault(bytes, size)) {
        std::fprintf(stderr, "Model %s cannot be loaded: %s\n", name, fault);
        std::exit(1);
    }
    const int32_t n = static_cast<int32_t>(Word(bytes, 0));
    const int32_t l = static_cast<int32_t>(Word(bytes, 2));
    const int32_t t = static_cast<int32_t>(Word(bytes, 4));
    AllocateObject3d(obj, n, t);
    AllocateLines3d(obj, l);
    const uint8_t* p = bytes + 6;
    for (int32_t i = 0; i < n; i++, p += 3) {
        obj->pts[i] = {Coordinate(p[0]), Coordinate(p[1]), Coordinate(p[2]), 0xFFFF};
    }
    for (int32_t i = 0; i < l; i++, p += 4) {
        obj->lns[i] = {static_cast<int32_t>(Word(p, 0)), static_cast<int32_t>(Word(p, 2)), 0xFFFF};
    }
    for (int32_t i = 0; i < t; i++, p += 6) {
        Polygon3d& tri = obj->pls[i];
        tri.p0 = static_cast<int32_t>(Word(p, 0));
        tri.p1 = static_cast<int32_t>(Word(p, 2));
        tri.p2 = static_cast<int32_t>(Word(p, 4));
    }
    CalcNorms(obj, negate);
    CalcPtNorms(obj);
}

void Load16bit3do(Object3d* obj, const uint8_t* bytes, int32_t negate) {
    // Without a size the header alone decides how far the data is read.
    Load16bit3do(obj, bytes, UINT32_MAX, negate, "(packed model)");
}
