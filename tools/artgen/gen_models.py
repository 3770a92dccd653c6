#!/usr/bin/python3
"""Writes assets/models/face.obj and assets/models/teapot.obj.

Both models use integer model units (-64..63, what the packed format holds).

face: the front half of a head, modelled over a parameter disc whose edge is the head-shaped
outline. Axes as the plasma scene shows it: +x towards the viewer (nose tip at 16, the rim at
-28), y across (-30..30), z up (chin at -63, crown at 31). The sides curve back to meet the rim
at right angles in the plane x = -28, so the silhouette stays a clean closed curve as the head
turns; brow, eyes, nose, lips, cheekbones and chin are modelled as relief on the front. The
points are laid out densest around eyes, nose and mouth, with a ring of points along the rim,
and joined by a Delaunay triangulation of the disc; the triangles are ordered from the nose
outwards, so the model builds up from its centre. 430 points, 805 triangles.
Corners run clockwise seen from the front: the loader computes the normals of this order
without negation and the object setup then reverses every triangle.

teapot: the classic 32-patch Bezier teapot, each patch cut into 2 x 2 quads, shared points
welded, degenerate triangles dropped. Axes: +x towards the spout, -y up (the object setup
turns it upright), z across. Corners run counter-clockwise seen from outside in screen terms
(x right, y up, z away from the viewer), as the loader's negated normals expect.
"""
import math
import os

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..')


# ---------------------------------------------------------------------------------------------
# Exact Delaunay triangulation (Bowyer-Watson) of integer points.

def orient(a, b, c):
    return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])


def in_circle(a, b, c, d):
    """> 0 when d lies inside the circumcircle of the counter-clockwise triangle a, b, c."""
    rows = []
    for p in (a, b, c):
        dx, dy = p[0] - d[0], p[1] - d[1]
        rows.append((dx, dy, dx * dx + dy * dy))
    (a0, a1, a2), (b0, b1, b2), (c0, c1, c2) = rows
    return a0 * (b1 * c2 - b2 * c1) - a1 * (b0 * c2 - b2 * c0) + a2 * (b0 * c1 - b1 * c0)


def sorted_ccw(points):
    """The same points as convex_hull returns them: counter-clockwise from the lowest-leftmost."""
    start = min(range(len(points)), key=lambda i: points[i])
    seq = points[start:] + points[:start]
    return seq if orient(seq[0], seq[1], seq[2]) > 0 else [seq[0]] + seq[1:][::-1]


def convex_hull(points):
    """Strict convex hull, counter-clockwise (monotone chain)."""
    pts = sorted(points)
    lower, upper = [], []
    for p in pts:
        while len(lower) >= 2 and orient(lower[-2], lower[-1], p) <= 0:
            lower.pop()
        lower.append(p)
    for p in reversed(pts):
        while len(upper) >= 2 and orient(upper[-2], upper[-1], p) <= 0:
            upper.pop()
        upper.append(p)
    return lower[:-1] + upper[:-1]


def delaunay(points):
    big = 1 << 24
    pts = list(points) + [(-big, -big), (big, -big), (0, big)]
    n = len(points)
    tris = [(n, n + 1, n + 2)]
    for i in range(n):
        p = pts[i]
        bad = [t for t in tris if in_circle(pts[t[0]], pts[t[1]], pts[t[2]], p) > 0]
        edges = {}
        for t in bad:
            for e in ((t[0], t[1]), (t[1], t[2]), (t[2], t[0])):
                key = (min(e), max(e))
                edges[key] = None if key in edges else e
        tris = [t for t in tris if t not in bad]
        for e in edges.values():
            if e is not None:
                tri = (e[0], e[1], i)
                assert orient(pts[tri[0]], pts[tri[1]], pts[tri[2]]) > 0
                tris.append(tri)
    return [t for t in tris if max(t) < n]


# ---------------------------------------------------------------------------------------------
# Face.

TOP, BOTTOM = 31, -63
CENTRE = -16.0           # height of the outline's centre
REAR, FRONT = -28, 6     # depth of the rim, and of the front of the head before the features
N_POINTS, N_RIM = 430, 53


def half_width(h):
    """Half width of the face outline at height h: widest at the cheekbones, a rounded crown
    above, the jaw narrowing to the chin below (concave in h, so the outline stays convex)."""
    if h >= -16:
        t = min(1.0, (h + 16) / (TOP + 16))
        return 30.0 * max(0.0, 1 - t ** 2.4) ** 0.5
    t = min(1.0, (-16 - h) / (-16 - BOTTOM))
    return 30.0 * (1 - 0.45 * t ** 2.2) * max(0.0, 1 - t ** 6) ** 0.5


def outline_point(a):
    """The outline in direction a (0 = up, pi/2 = +w) from the centre, found by bisection."""
    lo, hi = 0.0, 80.0
    for _ in range(40):
        mid = (lo + hi) / 2
        w, h = mid * math.sin(a), CENTRE + mid * math.cos(a)
        if h > TOP or h < BOTTOM or abs(w) > half_width(h):
            hi = mid
        else:
            lo = mid
    return lo * math.sin(a), CENTRE + lo * math.cos(a)


def bump(w, h, cw, ch, sw, sh, amp):
    return amp * math.exp(-((w - cw) / sw) ** 2 - ((h - ch) / sh) ** 2)


def relief(w, h):
    """The features, as depth added to the head's front at (w, h) of the front view."""
    aw = abs(w)
    d = 0.0
    # Forehead, brow ridges and the dip between the brows.
    d += bump(0, h, 0, 12, 1, 12, 1.5) * math.exp(-(w / 15) ** 2)
    d += bump(aw, h, 11, -3.5, 8, 2.8, 3.5)
    d += bump(aw, h, 2.5, -5.5, 3, 2.5, -1.2)
    # Eye sockets under the brows, the eyeballs in them, upper and lower lids.
    d += bump(aw, h, 12, -11, 7, 5, -10.0)
    d += bump(aw, h, 12, -11.5, 4, 2.8, 6.0)
    d += bump(aw, h, 12, -8.8, 4.6, 1.1, 1.2)
    d += bump(aw, h, 12.5, -14.5, 4.2, 1.0, 0.8)
    # Nose: the bridge between the eyes growing into a straight ridge, the tip, the wings,
    # and the nostrils tucked under them.
    if h < -5:
        t = min(1.0, (-5 - h) / 24.0)
        fall = math.exp(-max(0.0, -30 - h) ** 2 / 5.0)
        d += (2.0 + 8.0 * t ** 1.2) * fall * math.exp(-(w / (2.6 + 2.6 * t)) ** 4)
    d += bump(w, h, 0, -28.5, 3.2, 3.0, 2.5)
    d += bump(aw, h, 4.8, -29.5, 2.0, 2.4, 3.0)
    d += bump(aw, h, 2.6, -32.5, 1.4, 1.0, -2.0)
    # Cheekbones, the hollows under them, the folds from nose to mouth.
    d += bump(aw, h, 18, -18, 6, 5, 4.5)
    d += bump(aw, h, 20, -36, 5, 7, -3.0)
    d += bump(aw, h, 9.5, -35, 1.6, 6, -1.5)
    # Mouth: the groove above, the upper and lower lip, the line between them, the corners.
    d += bump(0, h, 0, -35.5, 1, 1.6, 1.2) * math.exp(-(w / 2.2) ** 2)
    d += bump(w, h, 0, -40.2, 8.0, 2.0, 4.0)
    d += bump(w, h, 0, -45.0, 6.5, 2.2, 3.6)
    d += bump(w, h, 0, -42.6, 8.0, 0.7, -4.5)
    d += bump(aw, h, 9.0, -42.5, 1.4, 1.6, -2.0)
    # The hollow under the lip and a firm, rounded chin.
    d += bump(w, h, 0, -49.5, 7, 1.7, -1.8)
    d += bump(w, h, 0, -55, 9, 4.5, 5.0)
    return d


def surface(p):
    """The head's point for a point p of the parameter disc (the outline itself, scaled towards
    its centre). Going out from the centre the front view moves outwards as the sine and the
    depth falls as a superellipse, so the sides meet the rim at right angles: the rim lies flat
    in the plane x = REAR and never shows as a ragged edge. The front is flatter from brow to
    chin than across the cheeks."""
    w, h = p
    a = math.atan2(w, h - CENTRE)
    ow, oh = outline_point(a)
    reach = math.hypot(ow, oh - CENTRE)
    s = min(1.0, math.hypot(w, h - CENTRE) / reach)
    rho = math.sin(s * math.pi / 2)
    m = 2.2 + 1.8 * math.cos(a) ** 2
    fw, fh = ow * rho, CENTRE + (oh - CENTRE) * rho
    depth = REAR + (FRONT - REAR) * max(0.0, 1 - rho ** m) ** (1 / m)
    depth += relief(fw, fh) * (1 - smoothstep(0.55, 0.85, s))
    return depth, fw, fh


def smoothstep(e0, e1, x):
    t = min(1.0, max(0.0, (x - e0) / (e1 - e0)))
    return t * t * (3 - 2 * t)


def halton(i, base):
    f, r = 1.0, 0.0
    while i > 0:
        f /= base
        r += f * (i % base)
        i //= base
    return r


def face_density(w, h):
    """Relative point density over the parameter disc: high where the features are."""
    aw = abs(w)
    d = 0.35
    d += 1.2 * math.exp(-((aw - 12) / 7) ** 2 - ((h + 10) / 6) ** 2)     # eyes and brows
    d += 1.3 * math.exp(-(w / 6) ** 2 - ((h + 22) / 9) ** 2)             # nose
    d += 1.1 * math.exp(-(w / 11) ** 2 - ((h + 43) / 5) ** 2)            # mouth
    d += 0.4 * math.exp(-(w / 10) ** 2 - ((h + 55) / 5) ** 2)            # chin
    return d


def make_face():
    # Where the front view of a parameter point lies: the parameter disc is the front view
    # stretched outwards (the inverse of the sine), so features are placed by their front view.
    def to_param(w, h):
        a = math.atan2(w, h - CENTRE)
        ow, oh = outline_point(a)
        reach = math.hypot(ow, oh - CENTRE)
        rho = min(1.0, math.hypot(w, h - CENTRE) / reach)
        s = math.asin(rho) * 2 / math.pi
        return (ow * s, CENTRE + (oh - CENTRE) * s)

    # The rim and a second ring just inside it, evenly spaced along the outline.
    samples = [outline_point(2 * math.pi * k / 4000) for k in range(4000)]
    lengths = [0.0]
    for k in range(1, 4001):
        lengths.append(lengths[-1] + math.dist(samples[k - 1], samples[k % 4000]))
    rim = []
    k = 0
    for j in range(N_RIM):
        target = lengths[-1] * j / N_RIM
        while lengths[k + 1] < target:
            k += 1
        rim.append(samples[k])
    points = list(rim)
    for j in range(N_RIM):
        a = math.atan2(*((rim[j][0] + rim[(j + 1) % N_RIM][0]) / 2,
                         (rim[j][1] + rim[(j + 1) % N_RIM][1]) / 2 - CENTRE))
        ow, oh = outline_point(a)
        points.append((ow * 0.91, CENTRE + (oh - CENTRE) * 0.91))
    grid = [(round(w * 4096), round(h * 4096)) for (w, h) in rim]
    assert convex_hull(grid) == sorted_ccw(grid)

    # Feature points, placed by their front view: eye outlines, the brows, the mouth, the nose.
    features = []
    for side in (-1, 1):
        for k in range(10):
            a = 2 * math.pi * k / 10
            features.append((side * (12 + 5.0 * math.cos(a)), -11.5 + 3.0 * math.sin(a)))
        features.append((side * 12, -11.5))
        for k in range(5):
            features.append((side * (6 + 3 * k), -3.5))
    for k in range(-4, 5):
        features.append((2.2 * k, -42.6 - 0.04 * k * k))
        features.append((2.2 * k, -40))
        features.append((2.0 * k, -45.5))
    for h in (-10, -14, -18, -22, -26, -29, -32):
        features.append((0, h))
        features.append((-3.2, h - 1.5))
        features.append((3.2, h - 1.5))
    for side in (-1, 1):
        features += [(side * 5, -30), (side * 3, -33), (side * 3, -24), (side * 4, -19)]

    # The outline's distance from the centre by direction, tabulated for the many tests below.
    reach = [math.hypot(w, h - CENTRE) for (w, h) in samples]

    def radius(p):
        a = math.atan2(p[0], p[1] - CENTRE) % (2 * math.pi) / (2 * math.pi) * 4000
        k = int(a)
        r = reach[k % 4000] + (reach[(k + 1) % 4000] - reach[k % 4000]) * (a - k)
        return math.hypot(p[0], p[1] - CENTRE) / r

    def far_enough(p, rmin):
        return all((p[0] - q[0]) ** 2 + (p[1] - q[1]) ** 2 >= rmin * rmin for q in points)

    for f in features:
        p = to_param(*f)
        if radius(p) < 0.82 and far_enough(p, 2.0):
            points.append(p)
    # Fill with a low-discrepancy sequence, thinned by the density, with a shrinking spacing
    # until the count is reached.
    spacing = 5.0
    i = 1
    while len(points) < N_POINTS:
        p = (-31 + 62 * halton(i, 2), BOTTOM + (TOP - BOTTOM) * halton(i, 3))
        accept = halton(i, 5)
        i += 1
        if i % 20000 == 0:
            spacing *= 0.97
        if radius(p) >= 0.84:
            continue
        rho = math.sin(min(1.0, radius(p)) * math.pi / 2) / max(1e-9, radius(p))
        dens = face_density(p[0] * rho, CENTRE + (p[1] - CENTRE) * rho)
        if accept > dens / 1.6 + 0.15:
            continue
        if not far_enough(p, max(2.0, spacing / math.sqrt(dens + 0.3))):
            continue
        points.append(p)

    # Each inner point moves a little within the disc to where the head's surface lies closest
    # to whole units, since the model stores whole units: the rounding is what makes a
    # flat-shaded model look rough.
    def rounding(p):
        return sum(abs(c - round(c)) for c in surface(p))

    placed = points[:N_RIM]
    for p in points[N_RIM:]:
        best = None
        for dw in (-0.6, -0.3, 0.0, 0.3, 0.6):
            for dh in (-0.6, -0.3, 0.0, 0.3, 0.6):
                q = (p[0] + dw, p[1] + dh)
                score = rounding(q) + 0.3 * math.hypot(dw, dh)
                if radius(q) < 0.95 and (best is None or score < best[0]):
                    best = (score, q)
        placed.append(best[1])
    points = placed
    verts = [tuple(round(c) for c in surface(p)) for p in points]
    assert len(set(verts)) == len(verts), 'two points round to the same place'
    tris = delaunay([(round(w * 4096), round(h * 4096)) for (w, h) in points])
    assert len(tris) == 2 * N_POINTS - N_RIM - 2, len(tris)

    # Order the triangles from the nose outwards (ties by angle, for a steady build-up).
    def key(t):
        cw = sum(points[k][0] for k in t) / 3
        ch = sum(points[k][1] for k in t) / 3
        return (round(math.hypot(cw, (ch + 26) * 0.85), 3), math.atan2(cw, ch + 26))
    tris.sort(key=key)
    # Seen from the front the screen shows -y to the right and z upwards: store every
    # triangle clockwise in those terms (the disc has the front view's orientation).
    out = []
    for t in tris:
        a, b, c = ((-points[k][0], points[k][1]) for k in t)
        if orient(a, b, c) > 0:  # counter-clockwise on screen: store the other way round
            t = (t[2], t[1], t[0])
        out.append(t)
    return renumber(verts, out)


def renumber(verts, tris):
    """Numbers the points in order of first use, corners taken p2, p1, p0, so the first
    triangle reads (2, 1, 0)."""
    order = {}
    for t in tris:
        for k in (t[2], t[1], t[0]):
            if k not in order:
                order[k] = len(order)
    assert len(order) == len(verts)
    new_verts = [None] * len(verts)
    for old, new in order.items():
        new_verts[new] = verts[old]
    return new_verts, [tuple(order[k] for k in t) for t in tris]


# ---------------------------------------------------------------------------------------------
# Teapot: the classic patch data (ten patches, mirrored into 32).

PATCHES = [
    # rim
    [102, 103, 104, 105, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15],
    # body
    [12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27],
    [24, 25, 26, 27, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40],
    # lid
    [96, 96, 96, 96, 97, 98, 99, 100, 101, 101, 101, 101, 0, 1, 2, 3],
    [0, 1, 2, 3, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117],
    # bottom
    [118, 118, 118, 118, 124, 122, 119, 121, 123, 126, 125, 120, 40, 39, 38, 37],
    # handle
    [41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56],
    [53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 28, 65, 66, 67],
    # spout
    [68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83],
    [80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95],
]
FOUR_WAY = 6  # the first six patches go round the pot; handle and spout are mirrored once

CONTROL = [
    (0.2, 0, 2.7), (0.2, -0.112, 2.7), (0.112, -0.2, 2.7), (0, -0.2, 2.7),
    (1.3375, 0, 2.53125), (1.3375, -0.749, 2.53125), (0.749, -1.3375, 2.53125), (0, -1.3375, 2.53125),
    (1.4375, 0, 2.53125), (1.4375, -0.805, 2.53125), (0.805, -1.4375, 2.53125), (0, -1.4375, 2.53125),
    (1.5, 0, 2.4), (1.5, -0.84, 2.4), (0.84, -1.5, 2.4), (0, -1.5, 2.4),
    (1.75, 0, 1.875), (1.75, -0.98, 1.875), (0.98, -1.75, 1.875), (0, -1.75, 1.875),
    (2, 0, 1.35), (2, -1.12, 1.35), (1.12, -2, 1.35), (0, -2, 1.35),
    (2, 0, 0.9), (2, -1.12, 0.9), (1.12, -2, 0.9), (0, -2, 0.9),
    (-2, 0, 0.9),
    (2, 0, 0.45), (2, -1.12, 0.45), (1.12, -2, 0.45), (0, -2, 0.45),
    (1.5, 0, 0.225), (1.5, -0.84, 0.225), (0.84, -1.5, 0.225), (0, -1.5, 0.225),
    (1.5, 0, 0.15), (1.5, -0.84, 0.15), (0.84, -1.5, 0.15), (0, -1.5, 0.15),
    (-1.6, 0, 2.025), (-1.6, -0.3, 2.025), (-1.5, -0.3, 2.25), (-1.5, 0, 2.25),
    (-2.3, 0, 2.025), (-2.3, -0.3, 2.025), (-2.5, -0.3, 2.25), (-2.5, 0, 2.25),
    (-2.7, 0, 2.025), (-2.7, -0.3, 2.025), (-3, -0.3, 2.25), (-3, 0, 2.25),
    (-2.7, 0, 1.8), (-2.7, -0.3, 1.8), (-3, -0.3, 1.8), (-3, 0, 1.8),
    (-2.7, 0, 1.575), (-2.7, -0.3, 1.575), (-3, -0.3, 1.35), (-3, 0, 1.35),
    (-2.5, 0, 1.125), (-2.5, -0.3, 1.125), (-2.65, -0.3, 0.9375), (-2.65, 0, 0.9375),
    (-2, -0.3, 0.9), (-1.9, -0.3, 0.6), (-1.9, 0, 0.6),
    (1.7, 0, 1.425), (1.7, -0.66, 1.425), (1.7, -0.66, 0.6), (1.7, 0, 0.6),
    (2.6, 0, 1.425), (2.6, -0.66, 1.425), (3.1, -0.66, 0.825), (3.1, 0, 0.825),
    (2.3, 0, 2.1), (2.3, -0.25, 2.1), (2.4, -0.25, 2.025), (2.4, 0, 2.025),
    (2.7, 0, 2.4), (2.7, -0.25, 2.4), (3.3, -0.25, 2.4), (3.3, 0, 2.4),
    (2.8, 0, 2.475), (2.8, -0.25, 2.475), (3.525, -0.25, 2.49375), (3.525, 0, 2.49375),
    (2.9, 0, 2.475), (2.9, -0.15, 2.475), (3.45, -0.15, 2.5125), (3.45, 0, 2.5125),
    (2.8, 0, 2.4), (2.8, -0.15, 2.4), (3.2, -0.15, 2.4), (3.2, 0, 2.4),
    (0, 0, 3.15), (0.8, 0, 3.15), (0.8, -0.45, 3.15), (0.45, -0.8, 3.15), (0, -0.8, 3.15),
    (0, 0, 2.85),
    (1.4, 0, 2.4), (1.4, -0.784, 2.4), (0.784, -1.4, 2.4), (0, -1.4, 2.4),
    (0.4, 0, 2.55), (0.4, -0.224, 2.55), (0.224, -0.4, 2.55), (0, -0.4, 2.55),
    (1.3, 0, 2.55), (1.3, -0.728, 2.55), (0.728, -1.3, 2.55), (0, -1.3, 2.55),
    (1.3, 0, 2.4), (1.3, -0.728, 2.4), (0.728, -1.3, 2.4), (0, -1.3, 2.4),
    (0, 0, 0), (1.425, -0.798, 0), (1.5, 0, 0.075), (1.425, 0, 0), (0.798, -1.425, 0),
    (0, -1.5, 0.075), (0, -1.425, 0), (1.5, -0.84, 0.075), (0.84, -1.5, 0.075),
]


def bezier(p, t):
    s = 1 - t
    b = (s * s * s, 3 * s * s * t, 3 * s * t * t, t * t * t)
    return tuple(sum(b[i] * p[i][k] for i in range(4)) for k in range(3))


def patch_point(ctrl, u, v):
    rows = [bezier(ctrl[4 * r:4 * r + 4], u) for r in range(4)]
    return bezier(rows, v)


def make_teapot():
    cut = 2
    index = {}
    verts = []
    tris = []
    parts = []  # per triangle: which piece it belongs to (for orientation)

    def vertex(p):
        key = tuple(round(c, 6) + 0.0 for c in p)
        if key not in index:
            index[key] = len(verts)
            verts.append(key)
        return index[key]

    for n, patch in enumerate(PATCHES):
        mirrors = [(1, 1), (-1, 1), (-1, -1), (1, -1)] if n < FOUR_WAY else [(1, 1), (1, -1)]
        for mx, my in mirrors:
            ctrl = [(CONTROL[i][0] * mx, CONTROL[i][1] * my, CONTROL[i][2]) for i in patch]
            grid = [[vertex(patch_point(ctrl, i / cut, j / cut)) for i in range(cut + 1)]
                    for j in range(cut + 1)]
            flip = (mx * my) < 0
            for j in range(cut):
                for i in range(cut):
                    a, b, c, d = grid[j][i], grid[j][i + 1], grid[j + 1][i + 1], grid[j + 1][i]
                    for t in ((a, b, c), (a, c, d)):
                        if len(set(t)) < 3:
                            continue
                        tris.append((t[0], t[2], t[1]) if flip else t)
                        parts.append(n)
    return verts, tris, parts


GROUPS = [(0, 1, 2, 5), (3, 4), (6, 7), (8, 9)]  # pot, lid, handle, spout


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def make_teapot_model():
    verts, tris, parts = make_teapot()
    # Orient every patch so that its cross products point into its piece (towards the
    # piece's centre, area-weighted majority); the loader negates them.
    for group in GROUPS:
        members = [k for k, p in enumerate(parts) if p in group]
        used = {v for k in members for v in tris[k]}
        centre = [sum(verts[v][i] for v in used) / len(used) for i in range(3)]
        for n in group:
            score = 0.0
            for k in (k for k in members if parts[k] == n):
                a, b, c = (verts[v] for v in tris[k])
                nrm = cross([b[i] - a[i] for i in range(3)], [c[i] - a[i] for i in range(3)])
                score += sum(nrm[i] * ((a[i] + b[i] + c[i]) / 3 - centre[i]) for i in range(3))
            if score > 0:
                for k in members:
                    if parts[k] == n:
                        tris[k] = (tris[k][0], tris[k][2], tris[k][1])
    # Neighbouring triangles must run through their shared edge in opposite directions.
    directed = set()
    for t in tris:
        for e in ((t[0], t[1]), (t[1], t[2]), (t[2], t[0])):
            assert e not in directed, 'inconsistent orientation'
            directed.add(e)
    # Model axes: x towards the spout, y down, z across; 18.5 units to one patch unit.
    scale = 18.5
    q = [(math.floor(x * scale + 0.5), math.floor(25.5 - z * scale), math.floor(y * scale + 0.5))
         for (x, y, z) in verts]
    # Order: the pot from the bottom up, then lid, handle and spout (as the patches come).
    return renumber(q, tris)


def write_obj(path, title, verts, tris):
    with open(path, 'w') as f:
        f.write('# %s\n# Generated by tools/artgen/gen_models.py. Integer model units.\n' % title)
        f.write('# %d vertices, %d triangles\n' % (len(verts), len(tris)))
        for v in verts:
            f.write('v %d %d %d\n' % v)
        for t in tris:
            f.write('f %d %d %d\n' % tuple(k + 1 for k in t))


def main():
    verts, tris = make_face()
    write_obj(os.path.join(ROOT, 'assets', 'models', 'face.obj'), 'Face mask', verts, tris)
    verts, tris = make_teapot_model()
    write_obj(os.path.join(ROOT, 'assets', 'models', 'teapot.obj'), 'Teapot', verts, tris)


if __name__ == '__main__':
    main()
