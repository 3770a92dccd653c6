#include "effects/plasma.h"

#include <bit>
#include <cstring>

#include "gp32_functions/gp32_functions.h"
#include "precalcs/shades.h"
#include "precalcs/tables.h"
#include "script/script.h"

namespace {
// (t >> 4) mod 438, kept in 0..437 so the fsin8 index stays within 0..995 for any t.
int32_t PlasmaPhase(int64_t t) {
    int64_t ph = (t >> 4) % 438;
    if (ph < 0) ph += 438;
    return static_cast<int32_t>(ph);
}

// The terms that depend on the column alone, computed once per column.
struct Column {
    int32_t cx;        // fsin4[x]
    const int32_t* s8; // fsin8 + ph + x, indexed by the element
};

inline Column ColumnTerms(int32_t ph, int x) {
    return {fsin4[x], fsin8 + ph + x};
}

inline uint32_t Value(const Column& c, int k) {
    return static_cast<uint32_t>(fsin6[k] + c.cx + c.s8[k]) & 255u;
}

// Elements k (low half) and k + 1 (high half) as one 32-bit store.
inline void StorePair(uint16_t* at, uint16_t lo, uint16_t hi) {
    uint32_t w;
    if constexpr (std::endian::native == std::endian::little) {
        w = lo | (static_cast<uint32_t>(hi) << 16);
    } else {
        w = hi | (static_cast<uint32_t>(lo) << 16);
    }
    std::memcpy(at, &w, sizeof w);
}
} // namespace

void Plasma(uint16_t* buffer, const uint16_t* row) {
    const int32_t ph = PlasmaPhase(prticks);
    for (int x = 0; x < kFrameWidth; x++) {
        const Column c = ColumnTerms(ph, x);
        uint16_t* col = buffer + x * kFrameHeight;
        for (int k = 0; k < kFrameHeight; k += 8) {
            StorePair(col + k, row[Value(c, k)], row[Value(c, k + 1)]);
            StorePair(col + k + 2, row[Value(c, k + 2)], row[Value(c, k + 3)]);
            StorePair(col + k + 4, row[Value(c, k + 4)], row[Value(c, k + 5)]);
            StorePair(col + k + 6, row[Value(c, k + 6)], row[Value(c, k + 7)]);
        }
    }
}

void PlasmaFade(uint16_t* buffer, const uint16_t* row, uint32_t limit) {
    const int32_t ph = PlasmaPhase(prticks);
    // The background cannot change during the frame: only the frame buffer is written.
    const uint16_t background = shades[16 * 256];
    for (int x = 0; x < kFrameWidth; x++) {
        const Column c = ColumnTerms(ph, x);
        uint16_t* col = buffer + x * kFrameHeight;
        for (int k = 0; k < kFrameHeight; k++) {
            const uint32_t v = Value(c, k);
            col[k] = v < limit ? row[v] : background;
        }
    }
}

void PlasmaFade2(uint16_t* buffer, const uint16_t* row, uint32_t limit) {
    const int32_t ph = PlasmaPhase(static_cast<int64_t>(prticks) + 53248);
    for (int x = 0; x < kFrameWidth; x++) {
        const Column c = ColumnTerms(ph, x);
        uint16_t* col = buffer + x * kFrameHeight;
        for (int k = 0; k < kFrameHeight; k++) {
            const uint32_t v = Value(c, k);
            if (v < limit) col[k] = row[v];
        }
    }
}
