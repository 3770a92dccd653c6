// glibc's default generator (TYPE_3): additive feedback r[i] = r[i-3] + r[i-31] (mod 2^32),
// output r[i] >> 1, the state seeded by 16807 * r mod (2^31 - 1) and its first 310 outputs
// discarded.
#include "random/random.h"

namespace {

struct GnuRand {
    uint32_t r[34]; // the last 34 values, r[i] at i mod 34
    int next = 0;   // i mod 34 of the value made next

    void Seed(uint32_t seed) {
        if (seed == 0) seed = 1;
        // glibc keeps the seed in a signed 32-bit word: seeds from 2^31 up start negative.
        int32_t word = static_cast<int32_t>(seed);
        r[0] = seed;
        for (int i = 1; i < 31; i++) {
            // 16807 * word mod (2^31 - 1) by Schrage's method, in glibc's steps: no overflow.
            const int32_t hi = word / 127773;
            const int32_t lo = word % 127773;
            word = 16807 * lo - 2836 * hi;
            if (word < 0) word += 2147483647;
            r[i] = static_cast<uint32_t>(word);
        }
        for (int i = 31; i < 34; i++)
            r[i] = r[i - 31];
        next = 0;
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

GnuRand& Generator() {
    static GnuRand generator = [] {
        GnuRand g;
        g.Seed(1);
        return g;
    }();
    return generator;
}

} // namespace

int32_t ShowRand() {
    return static_cast<int32_t>(Generator().Next());
}

void ShowSrand(uint32_t seed) {
    Generator().Seed(seed);
}

ShowRandState SaveShowRand() {
    ShowRandState s;
    const GnuRand& g = Generator();
    for (int i = 0; i < 34; i++)
        s.r[i] = g.r[i];
    s.next = g.next;
    return s;
}

void RestoreShowRand(const ShowRandState& s) {
    GnuRand& g = Generator();
    for (int i = 0; i < 34; i++)
        g.r[i] = s.r[i];
    g.next = s.next >= 0 && s.next < 34 ? s.next : 0;
}
