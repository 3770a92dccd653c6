#include <cstddef>
#include <cstring>

#include "gp32_functions/gp32_functions.h"

namespace {
// One window row of the frame at 1x, widened n times: the rows below it repeat it.
template <int N> void WidenRow(const uint32_t* row, uint32_t* out) {
    for (int x = 0; x < 320; x++, out += N) {
        const uint32_t v = row[x];
        for (int d = 0; d < N; d++)
            out[d] = v;
    }
}

void WidenRow(const uint32_t* row, uint32_t* out, int n) {
    switch (n) {
    case 3:
        WidenRow<3>(row, out);
        break;
    case 4:
        WidenRow<4>(row, out);
        break;
    case 5:
        WidenRow<5>(row, out);
        break;
    default:
        WidenRow<6>(row, out);
        break;
    }
}

// The 1x picture, converted at once by the fast conversion and then widened row by row.
uint32_t plain[kFramePixels];
} // namespace

void ConvertFrameScaled(const void* source, int depth, uint32_t* dest, int n) {
    if (n < 1 || n > kMaxWindowScale) return;
    if (n <= 2) {
        ConvertFrame(source, depth, dest, n - 1);
        return;
    }
    ConvertFrame(source, depth, plain, 0);
    const ptrdiff_t row = ptrdiff_t{320} * n;
    for (int y = 0; y < 240; y++) {
        uint32_t* first = dest + static_cast<ptrdiff_t>(y) * n * row;
        WidenRow(plain + y * 320, first, n);
        for (int dy = 1; dy < n; dy++)
            std::memcpy(first + dy * row, first, static_cast<size_t>(row) * sizeof(uint32_t));
    }
}
