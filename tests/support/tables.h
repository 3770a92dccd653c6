// Builds lookup tables for tests without the loading bar.
#pragma once
#include "precalcs/tables.h"

inline void BuildSineTables() {
    for (int n = 0; n < 2048; n++) {
        SineEntriesA(n);
        SineEntriesB(n);
    }
}

inline void BuildDistAngle() {
    for (int i = 0; i < 76800; i++)
        DistAngleEntry(i);
}
