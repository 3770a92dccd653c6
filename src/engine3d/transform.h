// Rotation, translation and perspective projection of the current object.
//
// The rotation matrix holds sines and cosines x 256 (8 fraction bits) and is built afresh
// from the object's float angles on every call: Rz(az) . Ry(ay) . Rx(ax).
// fpts: model units x 256. spts: column and element, screen centre (160, 120).
#pragma once
#include <cstdint>
#include "generate3d/generate3d.h"

extern const float proj; // projection distance in pixels; the projection shifts by 8

struct Matrix3d {
    int32_t m[3][3]; // rows x', y', z'; columns x, y, z
};

// Entries of the work arrays an object count addresses: the count limited to 0..kMaxWork.
inline int32_t WorkCount(int32_t n) {
    return n < 0 ? 0 : (n > kMaxWork ? kMaxWork : n);
}

Matrix3d RotationMatrix(float ax, float ay, float az);
// Float to int32, truncated toward zero; saturates outside the int32 range (NaN gives 0).
int32_t TruncToInt32(double v);

void rotate3d(Object3d* obj);            // pts -> fpts
void rotate3d_normals(Object3d* obj);    // pl_normals -> norms
void rotate3d_pt_normals(Object3d* obj); // pt_normals -> pt_norms
void translate3d(Object3d* obj);         // fpts += (px, py, pz) x 256
void project3d(Object3d* obj);           // fpts -> spts x, y for points in front of the viewer
void Calc3d(Object3d* obj);              // rotate3d, translate3d, project3d
