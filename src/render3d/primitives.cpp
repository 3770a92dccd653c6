#include "render3d/primitives.h"

uint16_t ball_p[256];
uint8_t ball_c[256];

void InitBalls() {}
