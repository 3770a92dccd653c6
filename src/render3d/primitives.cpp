#include "render3d/primitives.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "data/data.h"
#include "precalcs/tables.h"
#include "render3d/triangles.h"

uint16_t ball_p[256];
uint8_t ball_c[256];

void InitBallsFrom(const uint8_t* ball) {
    for (int i = 0; i < 256; i++) {
        const uint32_t colour = ball[2 + 2 * i] | (ball[3 + 2 * i] << 8);
        ball_p[i] = (i == 0 || i == 255) ? 0 : static_cast<uint16_t>(colour << 1);
    }
    for (int i = 0; i < 256; i++) {
        const uint8_t t = ball[512 + i];
        ball_c[i] = t > 15 ? 15 : t;
    }
}

void InitBalls() {
    InitBallsFrom(gp32ball);
}

void drawpoint(int32_t x, int32_t y, uint16_t value, uint16_t* buffer) {
    if (static_cast<uint32_t>(x) <= 319 && y >= 0 && y <= 239) buffer[x * 240 + y] = value;
}

namespace {
// One axis of the placement: the first frame position, how many positions are drawn and
// the start sample, or false when the box misses the frame on this axis. Worked in double
// so that no size overflows; what is drawn is at most the frame's width.
bool PlaceAxis(int32_t centre, double s, int32_t limit, int32_t* pos, int32_t* count, int32_t* start) {
    const double p = std::trunc(centre - 8.0 * s);
    if (p > limit - 1 || p <= -16.0 * s) return false;
    const double box_last = std::trunc(16.0 * s - 1.0);
    double first = 0.0; // box index of the first position drawn
    double p0 = p;
    *start = 0;
    if (p < 0) {
        first = -p;
        // -p < 16 s, so the start lies inside the sprite's 16 samples.
        *start = static_cast<int32_t>(std::trunc((-p * 65536.0) / s));
        p0 = 0;
    }
    double n = box_last - first + 1.0;
    // Ends the walk at the frame's edge. A box clipped on both sides would otherwise run
    // past its own last sample, so the box's end still bounds it.
    if (limit - 16.0 * s < p0) n = std::min(n, limit - p0);
    if (n < 1.0) return false;
    *pos = static_cast<int32_t>(p0);
    *count = static_cast<int32_t>(n);
    return true;
}

// Positions drawn from start with this step before the sample leaves the sprite's 16.
int32_t SamplesInside(int32_t start, int32_t step, int32_t count) {
    constexpr int32_t kLast = 16 * 65536 - 1;
    if (start > kLast) return 0;
    if (step == 0) return count;
    return std::min(count, (kLast - start) / step + 1);
}
} // namespace

bool PlaceScaledSprite(int32_t x, int32_t y, double s, ScaledSprite* box) {
    if (!(s > 0.0) || !std::isfinite(s)) return false;
    if (!PlaceAxis(x, s, 320, &box->x0, &box->columns, &box->u_start)) return false;
    if (!PlaceAxis(y, s, 240, &box->y0, &box->elements, &box->v_start)) return false;
    // Sample positions are whole 16.16 numbers: trunc(v + 65536 / s) is v + floor(65536 / s).
    // A step past the sprite's width is kept at its width: such a sprite has one sample.
    box->step = static_cast<int32_t>(std::min(std::floor(65536.0 / s), 16.0 * 65536.0));
    box->columns = SamplesInside(box->u_start, box->step, box->columns);
    box->elements = SamplesInside(box->v_start, box->step, box->elements);
    return box->columns > 0 && box->elements > 0;
}

void DrawScaledSprite(const ScaledSprite& box, const uint8_t* sprite, const uint16_t* colours, int stride,
                      uint16_t* buffer) {
    int32_t u = box.u_start;
    uint16_t* column = buffer + box.x0 * 240 + box.y0;
    for (int32_t i = 0; i < box.columns; i++) {
        const uint8_t* samples = sprite + (u >> 16) * 16;
        int32_t v = box.v_start;
        for (int32_t j = 0; j < box.elements; j++) {
            const uint8_t t = samples[v >> 16];
            if (t != 0) column[j] = colours[t * stride];
            v += box.step;
        }
        column += 240;
        u += box.step;
    }
}

void drawball(int32_t x, int32_t y, int32_t colour, float s, uint16_t* buffer) {
    ScaledSprite box;
    if (!PlaceScaledSprite(x, y, s, &box)) return;
    // Ramps start at multiples of 16 up to 240; larger values use the last ramp so that
    // step 15 stays inside ball_p.
    uint32_t ramp = static_cast<uint32_t>(colour) & 0xFFFF;
    if (ramp > 240) ramp = 240;
    DrawScaledSprite(box, ball_c, ball_p + ramp, 1, buffer);
}

namespace {
int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Walks lines longer than this only where their pixels can land in the buffer.
constexpr int64_t kShortLine = 2048;

// Steps along the major axis from a to b, far end excluded, moving the minor coordinate
// (12 fraction bits) by the slope before each pixel; calls plot with the pixel's offset
// major * major_weight + minor * minor_weight (one weight is 240, the other 1).
template <int64_t major_weight, int64_t minor_weight, class Plot>
void WalkMajor(int64_t major_a, int64_t minor_a, int64_t major_b, int64_t minor_b, Plot plot) {
    const int64_t d_major = major_b - major_a;
    if (d_major == 0) return;
    const int64_t reciprocal = d_major >= -2048 && d_major <= 2047 ? lut::div[2048 + d_major] : Reciprocal(d_major);
    // |minor difference| <= |d_major|, so |slope| <= 4096 and every product fits 64 bits.
    const int64_t slope = ((minor_b - minor_a) * 4096 * reciprocal) >> 16;
    const bool a_first = major_a < major_b;
    const int64_t first = a_first ? major_a : major_b;
    const int64_t start = (a_first ? minor_a : minor_b) * 4096;
    const int64_t steps = d_major < 0 ? -d_major : d_major;
    int64_t k_lo = 0;
    int64_t k_hi = steps - 1;
    if (steps > kShortLine) {
        // Step k's offset, times 4096, lies in (c0 + c1 k - 4096 minor_weight, c0 + c1 k]: only
        // the steps with 0 <= c0 + c1 k < 4096 (76799 + minor_weight) can be inside the buffer.
        // c1 is never 0 (|slope| <= 4096 and 4096 / 240 is not whole).
        const int64_t c0 = 4096 * major_weight * first + minor_weight * (start + slope);
        const int64_t c1 = 4096 * major_weight + minor_weight * slope;
        const int64_t top = 4096 * (76799 + minor_weight) - 1;
        const int64_t lo = c1 > 0 ? -FloorDiv(c0, c1) : -FloorDiv(top - c0, -c1);
        const int64_t hi = c1 > 0 ? FloorDiv(top - c0, c1) : FloorDiv(c0, -c1);
        k_lo = std::max<int64_t>(k_lo, lo);
        k_hi = std::min<int64_t>(k_hi, hi);
    }
    int64_t pos = start + k_lo * slope;
    for (int64_t k = k_lo; k <= k_hi; k++) {
        pos += slope;
        plot((first + k) * major_weight + (pos >> 12) * minor_weight);
    }
}

// Calls plot(offset) for every pixel of the line between spts[p0] and spts[p1], each
// x moved right by shift. Offsets are column * 240 + element and may leave the frame;
// the caller filters them.
template <class Plot> void WalkLine(const Line3d& line, int32_t shift, Plot plot) {
    if (static_cast<uint32_t>(line.p0) >= kMaxWork || static_cast<uint32_t>(line.p1) >= kMaxWork) return;
    const int64_t xa = static_cast<int64_t>(spts[line.p0].x) + shift;
    const int64_t ya = spts[line.p0].y;
    const int64_t xb = static_cast<int64_t>(spts[line.p1].x) + shift;
    const int64_t yb = spts[line.p1].y;
    if (std::llabs(yb - ya) < std::llabs(xb - xa))
        WalkMajor<240, 1>(xa, ya, xb, yb, plot);
    else
        WalkMajor<1, 240>(ya, xa, yb, xb, plot);
}
} // namespace

void drawline8bit(Line3d line, uint8_t* buffer) {
    WalkLine(line, 0, [buffer](int64_t offset) {
        if (offset >= 0 && offset <= 76799) buffer[offset] = 63;
    });
}

void drawline16bit(Line3d line, uint16_t* buffer) {
    WalkLine(line, 1, [buffer](int64_t offset) {
        if (offset >= 0 && offset <= 76799) buffer[offset] = 0xFFFE;
    });
}

void drawline(Line3d line, void* buffer, int pixel_size) {
    if (pixel_size == 8)
        drawline8bit(line, static_cast<uint8_t*>(buffer));
    else if (pixel_size == 16)
        drawline16bit(line, static_cast<uint16_t*>(buffer));
}
