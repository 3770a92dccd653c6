// Scene runner: animates one prepared object for prticks and renders it over the frame.
#pragma once
#include <cstdint>

void RunScene3d(uint16_t* buffer, int32_t scene);
