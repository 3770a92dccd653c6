#include "gp32_functions/gp32_functions.h"

#include <cstddef>

void ConvertFrameScaled(const void* source, int depth, uint32_t* dest, int n) {
    if (n < 1 || n > kMaxWindowScale) return;
    const ptrdiff_t row = ptrdiff_t{320} * n;
    const uint16_t* src16 = static_cast<const uint16_t*>(source);
    const uint8_t* src8 = static_cast<const uint8_t*>(source);
    for (int x = 0; x < 320; x++) {
        for (int k = 0; k < 240; k++) {
            const int i = x * 240 + k;
            const uint32_t v = depth == 16 ? Rgb5551ToPC(src16[i]) : gp_palette[src8[i]];
            // Element k of column x is screen row 239 - k: an n x n block from there.
            uint32_t* block =
                dest + static_cast<ptrdiff_t>(239 - k) * n * row + static_cast<ptrdiff_t>(x) * n;
            for (int dy = 0; dy < n; dy++) {
                for (int dx = 0; dx < n; dx++)
                    block[dy * row + dx] = v;
            }
        }
    }
}
