#!/usr/bin/python3
"""Writes assets/models/face.obj and assets/models/teapot.obj.

Both models use integer model units (-64..63, what the packed format holds).

face: a face mask modelled as a depth field over its front outline. Axes as the plasma scene
shows it: +x towards the viewer (nose tip at 16, the rim of the mask at -28), y across
(-30..30), z up (chin at -63, crown at 31). The points are laid out densest around eyes, nose
and mouth and joined by a Delaunay triangulation of the front view; the triangles are ordered
from the nose outwards, so the model builds up from its centre. 430 points, 805 triangles.
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


def half_width(h):
    """Half width of the face outline at height h: widest at the cheekbones, a rounded crown
    above, the jaw narrowing to the chin below (concave in h, so the outline stays convex)."""
    if h >= -16:
        t = min(1.0, (h + 16) / (TOP + 16))
        return 30.0 * max(0.0, 1 - t ** 2.4) ** 0.5
    t = min(1.0, (-16 - h) / (-16 - BOTTOM))
    return 30.0 * (1 - 0.45 * t ** 2.2) * max(0.0, 1 - t ** 6) ** 0.5


def outline_radius(w, h):
    """0 at the centre line, 1 on the outline."""
    hw = half_width(h)
    return abs(w) / hw if hw > 0 else 1.0


def bump(w, h, cw, ch, sw, sh, amp):
    return amp * math.exp(-((w - cw) / sw) ** 2 - ((h - ch) / sh) ** 2)


def face_depth(w, h):
    """Depth towards the viewer of the face surface at (w, h), before scaling."""
    # Base: a shell with a broad, gently rounded front that falls away fast at the rim.
    hc = -16.0
    rv = (h - hc) / (48.0 if h > hc else 48.0)
    rw = w / 31.0
    r2 = min(1.0, rw * rw + rv * rv)
    d = -28 + 30 * (1 - r2 ** 1.6) ** 0.55
    aw = abs(w)
    # Forehead and brow ridges.
    d += bump(0, h, 0, 10, 1, 14, 1.5) * math.exp(-(w / 16) ** 2)
    d += bump(aw, h, 11, -3.5, 8, 2.6, 3.0)
    d += bump(aw, h, 3, -6, 3, 2.5, -1.0)
    # Eye sockets with the eyes in them; the upper lid as a fold, the lower as a rim.
    d += bump(aw, h, 12, -11, 6.5, 4.8, -9.0)
    d += bump(aw, h, 12, -11.5, 3.6, 2.5, 6.0)
    d += bump(aw, h, 12, -8.6, 4.4, 1.0, 1.2)
    d += bump(aw, h, 12.5, -14.6, 4.0, 0.9, 0.8)
    # Nose: a ridge from the brows to the tip, the tip, its wings and the nostrils.
    if h < -5:
        t = min(1.0, (-5 - h) / 24.0)
        ridge = 10.0 * t ** 1.1
        fall = math.exp(-max(0.0, -30 - h) ** 2 / 6.0)
        d += ridge * fall * math.exp(-(w / (2.8 + 2.8 * t)) ** 4)
    d += bump(w, h, 0, -28.5, 3.4, 3.2, 3.0)
    d += bump(aw, h, 4.6, -29.5, 2.0, 2.4, 3.5)
    d += bump(aw, h, 2.6, -32.5, 1.3, 1.0, -2.5)
    # Cheekbones, the hollows under them, the folds beside nose and mouth.
    d += bump(aw, h, 18, -19, 6, 5, 3.5)
    d += bump(aw, h, 20, -36, 5, 6, -2.5)
    d += bump(aw, h, 9.0, -36, 1.5, 6, -1.6)
    # Mouth: the groove above it, upper and lower lip, the line between them, the corners.
    d += bump(0, h, 0, -35.5, 1, 1.6, 1.5) * math.exp(-(w / 2.2) ** 2)
    d += bump(w, h, 0, -40.3, 8.5, 1.9, 4.4)
    d += bump(w, h, 0, -45, 7.0, 2.1, 4.0)
    d += bump(w, h, 0, -42.6, 8.0, 0.7, -5.0)
    d += bump(aw, h, 9.5, -42.5, 1.3, 1.5, -2.0)
    # The hollow under the lip and the chin.
    d += bump(w, h, 0, -49.5, 7, 1.6, -1.6)
    d += bump(w, h, 0, -55, 8, 4.5, 5.0)
    return d


def halton(i, base):
    f, r = 1.0, 0.0
    while i > 0:
        f /= base
        r += f * (i % base)
        i //= base
    return r


def face_density(w, h):
    """Relative point density: high where the features are."""
    aw = abs(w)
    d = 0.35
    d += 1.2 * math.exp(-((aw - 12) / 7) ** 2 - ((h + 10) / 6) ** 2)     # eyes and brows
    d += 1.3 * math.exp(-(w / 7) ** 2 - ((h + 24) / 11) ** 2)            # nose
    d += 1.1 * math.exp(-(w / 11) ** 2 - ((h + 43) / 5) ** 2)            # mouth
    d += 0.4 * math.exp(-(w / 10) ** 2 - ((h + 55) / 5) ** 2)            # chin
    return d


def make_face():
    n_boundary, n_total = 53, 430
    # Outline points, evenly spaced along the outline, strictly convex.
    samples = []
    steps = 4000
    for k in range(steps):
        a = 2 * math.pi * k / steps
        # Walk the outline by angle from the centre (0, -16).
        lo, hi = 0.0, 80.0
        for _ in range(40):
            mid = (lo + hi) / 2
            w, h = mid * math.sin(a), -16 + mid * math.cos(a)
            if h > TOP or h < BOTTOM or outline_radius(w, h) > 1:
                hi = mid
            else:
                lo = mid
        samples.append((lo * math.sin(a), -16 + lo * math.cos(a)))
    # Evenly spaced along the outline; the triangulation works on a fine integer grid
    # (1/4096 unit), where the outline stays strictly convex.
    lengths = [0.0]
    for k in range(1, steps + 1):
        lengths.append(lengths[-1] + math.dist(samples[k - 1], samples[k % steps]))
    boundary = []
    k = 0
    for j in range(n_boundary):
        target = lengths[-1] * j / n_boundary
        while lengths[k + 1] < target:
            k += 1
        boundary.append(samples[k])
    grid = [(round(w * 4096), round(h * 4096)) for (w, h) in boundary]
    assert convex_hull(grid) == sorted_ccw(grid)

    # Feature points: eye outlines, the mouth line, the nose ridge and wings.
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

    points = list(boundary)

    def inside(p):
        return outline_radius(p[0], p[1]) < 0.93 and BOTTOM + 3 < p[1] < TOP - 3

    def far_enough(p, rmin):
        return all((p[0] - q[0]) ** 2 + (p[1] - q[1]) ** 2 >= rmin * rmin for q in points)

    for p in features:
        if inside(p) and far_enough(p, 1.9):
            points.append(p)
    # Fill with a low-discrepancy sequence, thinned by the density, with a shrinking spacing
    # until the count is reached.
    spacing = 4.4
    i = 1
    while len(points) < n_total:
        w = -31 + 62 * halton(i, 2)
        h = BOTTOM + (TOP - BOTTOM) * halton(i, 3)
        accept = halton(i, 5)
        i += 1
        if i % 20000 == 0:
            spacing *= 0.97
        p = (w, h)
        if not inside(p):
            continue
        dens = face_density(p[0], p[1])
        if accept > dens / 1.6 + 0.15:
            continue
        if not far_enough(p, max(1.9, spacing / math.sqrt(dens + 0.3))):
            continue
        points.append(p)

    # Depth scale: the rim at -28, the nose tip at 16.
    lo = min(face_depth(w, h) for (w, h) in boundary)
    hi = max(face_depth(w / 4, h / 4) for w in range(-40, 41) for h in range(-160, -80))

    def depth(w, h):
        return -28 + (face_depth(w, h) - lo) * 44 / (hi - lo)

    # Snap the inner points to the unit grid, each to the neighbouring grid point where the
    # surface lies closest to a whole unit of depth: the rounding of the depth is what makes a
    # flat-shaded model look rough.
    snapped = list(boundary)
    for (w, h) in points[n_boundary:]:
        best = None
        for gw in range(math.floor(w) - 1, math.floor(w) + 3):
            for gh in range(math.floor(h) - 1, math.floor(h) + 3):
                near = min(math.hypot(gw - q[0], gh - q[1]) for q in snapped)
                if near < 1.4:
                    continue
                d = depth(gw, gh)
                score = abs(d - round(d)) + 0.4 * math.hypot(gw - w, gh - h) + max(0.0, 2.0 - near)
                if best is None or score < best[0]:
                    best = (score, (gw, gh))
        assert best is not None
        snapped.append(best[1])
    points = snapped
    tris = delaunay([(round(w * 4096), round(h * 4096)) for (w, h) in points])
    assert len(tris) == 805, len(tris)
    verts = [(min(16, max(-28, round(depth(round(w), round(h))))), round(w), round(h)) for (w, h) in points]

    # Order the triangles from the nose outwards (ties by angle, for a steady build-up).
    def key(t):
        cw = sum(points[k][0] for k in t) / 3
        ch = sum(points[k][1] for k in t) / 3
        return (round(math.hypot(cw, (ch + 26) * 0.85), 3), math.atan2(cw, ch + 26))
    tris.sort(key=key)
    # Seen from the front the screen shows -y to the right and z upwards: store every
    # triangle clockwise in those terms.
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
