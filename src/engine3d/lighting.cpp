#include "engine3d/lighting.h"

#include "engine3d/transform.h"

int32_t lightcalc = 0;

namespace {
int32_t ShadeOfFloat(int32_t z) {
    float s = static_cast<float>(z >> 8);
    if (s < 0.0f) s = 0.0f;
    if (s > 255.0f) s = 255.0f;
    return static_cast<int32_t>(s);
}

void SetPointShade(int32_t i, int32_t shade) {
    spts[i].colour = (spts[i].colour & 0xFFFF0000u) | static_cast<uint16_t>(shade);
}

template <int32_t (*Shade)(int32_t)> void PolyShades(const Object3d* obj) {
    const int32_t n = WorkCount(obj->npls);
    for (int32_t i = 0; i < n; i++)
        spls[i] = static_cast<uint16_t>(Shade(norms[i].z));
}

template <int32_t (*Shade)(int32_t)> void PointShades(const Object3d* obj) {
    const int32_t n = WorkCount(obj->npts);
    for (int32_t i = 0; i < n; i++)
        SetPointShade(i, Shade(pt_norms[i].z));
}
} // namespace

int32_t ShadeOf(int32_t z) {
    const int32_t s = z >> 8;
    if (s < 0) return 0;
    if (s > 255) return 255;
    return s;
}

void CalcPolyColorStatic(Object3d* obj) {
    PolyShades<ShadeOf>(obj);
}
void CalcPointColorStatic(Object3d* obj) {
    PointShades<ShadeOf>(obj);
}
void CalcPolyColorDynamic(Object3d* obj) {
    PolyShades<ShadeOfFloat>(obj);
}
void CalcPointColorDynamic(Object3d* obj) {
    PointShades<ShadeOfFloat>(obj);
}

void CalcPolyColor(Object3d* obj) {
    if (lightcalc == 0)
        CalcPolyColorStatic(obj);
    else if (lightcalc == 1)
        CalcPolyColorDynamic(obj);
}

void CalcPointColor(Object3d* obj) {
    if (lightcalc == 0)
        CalcPointColorStatic(obj);
    else if (lightcalc == 1)
        CalcPointColorDynamic(obj);
}
