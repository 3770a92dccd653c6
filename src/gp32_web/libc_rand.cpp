// The show's random numbers are those of the GNU C library's unseeded rand(); the page's
// C library would give another sequence, so the platform brings the GNU generator:
// additive feedback r[i] = r[i-3] + r[i-31] (mod 2^32), output r[i] >> 1, with the
// state seeded from 1 and its first 310 outputs discarded.
#include <cstdint>
#include <cstdlib>

namespace {

struct GnuRand {
    uint32_t r[34]; // the last 34 values, r[i] at i mod 34
    int next = 0;   // i mod 34 of the value made next

    GnuRand() {
        int32_t word = 1;
        r[0] = 1;
        for (int i = 1; i < 31; i++) {
            // 16807 * word mod (2^31 - 1) by Schrage's method: no overflow.
            const int32_t hi = word / 127773;
            const int32_t lo = word % 127773;
            word = 16807 * lo - 2836 * hi;
            if (word < 0) word += 2147483647;
            r[i] = static_cast<uint32_t>(word);
        }
        for (int i = 31; i < 34; i++)
            r[i] = r[i - 31];
        for (int i = 34; i < 344; i++)
            Next();
    }

    uint32_t Next() {
        const uint32_t v = r[(next + 3) % 34] + r[(next + 31) % 34]; // r[i-31] + r[i-3]
        r[next] = v;
        next = (next + 1) % 34;
        return v >> 1;
    }
};

GnuRand generator;

} // namespace

extern "C" int rand(void) {
    return static_cast<int>(generator.Next());
}
