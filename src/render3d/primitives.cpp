#include "render3d/primitives.h"

#include <cmath>
#include <cstdlib>

#include "data/data.h"
#include "precalcs/tables.h"

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
// One axis of the placement: first output index, last output index, start sample and
// the first frame position, or false when the box misses the frame on this axis.
bool PlaceAxis(int32_t centre, double s, int32_t limit, int32_t* pos, int32_t* first, int32_t* last,
               int32_t* start) {
    const double p = std::trunc(centre - 8.0 * s);
    if (p > limit - 1 || p <= -16.0 * s) return false;
    int32_t p0 = static_cast<int32_t>(p);
    const int32_t box_last = static_cast<int32_t>(std::trunc(16.0 * s - 1.0));
    *first = 0;
    *start = 0;
    if (p0 < 0) {
        *first = -p0;
        *start = static_cast<int32_t>(std::trunc((-static_cast<double>(p0) * 65536.0) / s));
        p0 = 0;
    }
    *last = box_last;
    if (limit - 16.0 * s < p0) {
        // Ends the walk at the frame's edge. A box clipped on both sides would otherwise
        // run past its own last sample, so the box's end still bounds it.
        const int32_t edge = *first - p0 + limit - 1;
        if (edge < *last) *last = edge;
    }
    *pos = p0;
    return true;
}
} // namespace

bool PlaceScaledSprite(int32_t x, int32_t y, double s, ScaledSprite* box) {
    // Sizes beyond 4096 (a sprite 65536 pixels wide) are refused so every position fits 32 bits.
    if (!(s > 0.0) || s > 4096.0) return false;
    if (!PlaceAxis(x, s, 320, &box->x0, &box->i_first, &box->i_last, &box->u_start)) return false;
    if (!PlaceAxis(y, s, 240, &box->y0, &box->j_first, &box->j_last, &box->v_start)) return false;
    box->step = 65536.0 / s;
    return true;
}

void DrawScaledSprite(const ScaledSprite& box, const uint8_t* sprite, const uint16_t* colours, int stride,
                      uint16_t* buffer) {
    int32_t u = box.u_start;
    uint16_t* column = buffer + box.x0 * 240 + box.y0;
    for (int32_t i = box.i_first; i <= box.i_last; i++) {
        const uint8_t* samples = sprite + (u >> 16) * 16;
        int32_t v = box.v_start;
        uint16_t* out = column;
        for (int32_t j = box.j_first; j <= box.j_last; j++) {
            const uint8_t t = samples[v >> 16];
            if (t != 0) *out = colours[t * stride];
            out++;
            v = static_cast<int32_t>(v + box.step);
        }
        column += 240;
        u = static_cast<int32_t>(u + box.step);
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
// Steps along the major axis from a to b, far end excluded, moving the minor coordinate
// (12 fraction bits) by the slope before each pixel; calls plot(major, minor).
template <class Plot>
void WalkMajor(int64_t major_a, int64_t minor_a, int64_t major_b, int64_t minor_b, Plot plot) {
    const int64_t d_major = major_b - major_a;
    // Longer than the reciprocal table reaches: no such line crosses the frame.
    if (d_major < -2048 || d_major > 2047) return;
    const int64_t slope = ((minor_b - minor_a) * 4096 * lut::div[2048 + d_major]) >> 16;
    const bool a_first = major_a < major_b;
    int64_t pos = (a_first ? minor_a : minor_b) * 4096;
    const int64_t end = a_first ? major_b : major_a;
    for (int64_t m = a_first ? major_a : major_b; m < end; m++) {
        pos += slope;
        plot(m, pos >> 12);
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
    if (std::llabs(yb - ya) < std::llabs(xb - xa)) {
        WalkMajor(xa, ya, xb, yb, [&plot](int64_t x, int64_t y) { plot(x * 240 + y); });
    } else {
        WalkMajor(ya, xa, yb, xb, [&plot](int64_t y, int64_t x) { plot(x * 240 + y); });
    }
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
