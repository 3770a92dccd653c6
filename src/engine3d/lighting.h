// One light along the viewing axis: a shade is the rotated normal's z, scaled to 0..255.
#pragma once
#include <cstdint>
#include "generate3d/generate3d.h"

// 0: integer computation, 1: floating point (same results), anything else: no lighting.
extern int32_t lightcalc;

// Shade of a rotated normal's z (about -65536..65536): (z >> 8) clamped to 0..255.
int32_t ShadeOf(int32_t z);

void CalcPolyColor(Object3d* obj);  // spls[i] for i < npls, from norms
void CalcPointColor(Object3d* obj); // low 16 bits of spts[i].colour for i < npts, from pt_norms
void CalcPolyColorStatic(Object3d* obj);
void CalcPointColorStatic(Object3d* obj);
void CalcPolyColorDynamic(Object3d* obj);
void CalcPointColorDynamic(Object3d* obj);
