#include "generate3d/generate3d.h"

Object3d object[32];
Vector3d fpts[kMaxWork];
ScreenPoint spts[kMaxWork];
Vector3d norms[kMaxWork];
Vector3d pt_norms[kMaxWork];
uint16_t spls[kMaxWork];
uint16_t swp[kMaxWork];
int32_t zdata[kMaxWork];
TexCoord point_tc[kMaxWork];
uint8_t addtimes[kMaxWork];
int32_t objnpls = 0;
int32_t objnlns = 0;

void Init3d() {}
