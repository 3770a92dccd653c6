#!/usr/bin/python3
"""Writes assets/pictures/vkr0.png: a mountain lake at dusk, 320 x 240.

Rendered at twice the size and averaged down: a sky with a low sun, lit clouds and the first
stars; four mountain ranges fading into the haze; the lake mirroring all of it with waves that
grow towards the viewer and a glitter path under the sun; a pine-covered shore in front.
The top-right pixel is black (the program relies on its last pixel being 0)."""
import numpy as np

from artlib import Noise, dither5, mix, save_rgb, smoothstep  # noqa: E402

S = 2
W, H = 320 * S, 240 * S
HORIZON = 152 * S          # water line
SUN = np.array([212.0 * S, 128.0 * S])
EDGE = 6.0                 # columns over which the edge column meets the picture

noise = Noise(1987)
noise2 = Noise(4242)


def sky(x, y):
    """Sky colour for pixel coordinates (arrays), y measured from the top."""
    t = np.clip(y / HORIZON, 0, 1)
    # Night blue at the top, through teal and mauve to orange and gold at the horizon.
    stops = [(0.0, [8, 10, 44]), (0.3, [30, 52, 120]), (0.5, [70, 96, 150]), (0.66, [150, 100, 150]),
             (0.84, [246, 130, 80]), (1.0, [255, 196, 110])]
    col = np.zeros(np.shape(y) + (3,)) + np.array(stops[0][1], dtype=np.float64)
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        col = mix(col, np.array(c1, dtype=np.float64), smoothstep(t0, t1, t))
    d = np.hypot(x - SUN[0], (y - SUN[1]) * 1.15) / S
    glow = np.exp(-d / 38.0) * 0.85 + np.exp(-d / 9.0) * 0.6
    col = col + glow[..., None] * np.array([255, 190, 110.0])
    disc = smoothstep(9.5, 8.0, d)
    col = mix(col, np.array([255, 246, 214.0]), disc)
    # Clouds: long streaks, lit from below near the sun, purple away from it.
    cx, cy = x / S, y / S
    n = noise.fbm(cx / 70.0, cy / 9.0, octaves=6)
    band = smoothstep(20, 60, cy) * smoothstep(150, 95, cy)
    dens = smoothstep(0.52, 0.75, n) * band
    lit = np.exp(-np.hypot(cx - SUN[0] / S, (cy - SUN[1] / S) * 2.0) / 90.0)
    cloud = mix(np.array([60, 34, 96.0]), np.array([200, 90, 140.0]), np.clip(lit * 2.2, 0, 1))
    cloud = mix(cloud, np.array([255, 190, 110.0]), np.clip(lit * 1.6 - 0.4, 0, 1))
    rim = smoothstep(0.62, 0.70, n) - smoothstep(0.70, 0.82, n)
    cloud = cloud + (rim * lit)[..., None] * np.array([90, 60, 20.0])
    col = mix(col, cloud, dens * 0.9)
    # Stars in the dark part of the sky.
    star = noise2.value(cx * 1.0, cy * 1.0)
    stars = smoothstep(0.985, 0.999, star) * smoothstep(70, 10, cy) * (1 - dens)
    col = col + stars[..., None] * np.array([200, 200, 230.0])
    return col


def ridge(x, base, height, scale, seed_shift, sharp):
    """Ridge line (y of the crest, from the top) of one mountain range."""
    n = noise.fbm(x / scale + seed_shift, seed_shift * 3.1, octaves=6, gain=0.55)
    r = 1 - np.abs(noise.fbm(x / (scale * 0.6) + seed_shift * 2, 7.7, octaves=4) * 2 - 1)
    h = (n * (1 - sharp) + r * sharp)
    return base - height * h


RANGES = [
    # base, height, scale, shift, sharpness, colour, haze
    (HORIZON, 78 * S, 150.0 * S, 3.0, 0.55, np.array([104, 78, 118.0]), 0.34),
    (HORIZON, 62 * S, 110.0 * S, 11.0, 0.45, np.array([78, 60, 96.0]), 0.30),
    (HORIZON, 40 * S, 80.0 * S, 19.0, 0.35, np.array([52, 44, 82.0]), 0.22),
    (HORIZON, 22 * S, 50.0 * S, 27.0, 0.25, np.array([30, 30, 52.0]), 0.08),
]


def crest_of(i, x):
    base, height, scale, shift, sharp = RANGES[i][:5]
    crest = ridge(x, base, height, scale, shift, sharp)
    if i == 0:  # a high massif on the left, a saddle where the sun sets
        crest = crest - 34 * S * np.exp(-((x - 90 * S) / (70 * S)) ** 2)
    if i <= 1:
        crest = crest + 34 * S * np.exp(-((x - SUN[0]) / (34 * S)) ** 2) * (1.0 if i == 0 else 0.6)
    return crest


def landscape(x, y):
    """The view above the water line: sky with the mountain ranges in front of it."""
    col = sky(x, y)
    haze_col = np.array([236, 150, 110.0])
    for i, (base, height, scale, shift, sharp, colour, haze) in enumerate(RANGES):
        crest = crest_of(i, x)
        inside = smoothstep(crest - 0.7, crest + 0.7, y)
        below = y - crest
        # Broad faces: the slope of the smoothed crest; the side facing the sun is lit warm.
        slope = (crest_of(i, x + 6.0 * S) - crest_of(i, x - 6.0 * S)) / (12.0 * S)
        side = np.tanh(-slope * 2.5)
        # Gullies running down the faces, slanted with the slope.
        # Relief: ridged rock lit from the sun's side (right) and from above.
        def relief(px, py):
            n = noise.fbm(px / (16.0 * S) + i * 13, py / (11.0 * S) + i * 3, octaves=5, gain=0.5)
            return (1 - np.abs(2 * n - 1)) ** 2
        gully = relief(x, y)
        gx = (relief(x + 1.0, y) - gully) * 10.0 * S
        gy = (relief(x, y + 1.0) - gully) * 10.0 * S
        strata = noise2.fbm(x / (40.0 * S) + i, below / (6.0 * S), octaves=3)
        light = np.clip(0.45 + 0.35 * side + 0.8 * gx - 0.5 * gy + 0.25 * (gully - 0.3), 0.0, 1.3)
        depth = np.clip(below / (HORIZON - crest + 1), 0, 1)
        rockcol = mix(colour, np.array([116, 76, 64.0]) * (1 - 0.2 * i), 0.7 * smoothstep(0.3, 0.7, strata))
        c = rockcol * (0.35 + 0.7 * light[..., None]) * (0.75 + 0.5 * gully[..., None])
        if i >= 2:  # forest on the low ranges: dark crowns along the foot
            crowns = noise2.fbm(x / (2.2 * S) + i * 7, y / (2.0 * S), octaves=3)
            forest = smoothstep(0.15, 0.5, depth) * smoothstep(0.35, 0.55, crowns + 0.2 * depth)
            green = np.array([16, 40, 34.0]) * (0.6 + 0.8 * crowns[..., None]) + \
                (np.clip(side, 0, 1) * crowns)[..., None] * np.array([70, 50, 10.0])
            c = mix(c, green, forest * 0.85)
        c = c + (np.clip(light - 0.6, 0, 1) * (1 - haze))[..., None] * np.array([80, 34, 0.0])
        if i <= 1:  # snow on the high faces, in the gullies' ridges
            snow = smoothstep(0.35, 0.05, depth) * smoothstep(0.25, 0.5, gully + 0.3 * (1 - depth) - np.abs(gy) * 0.5)
            snow_col = mix(np.array([120, 110, 170.0]), np.array([255, 222, 214.0]), np.clip(light, 0, 1))
            c = mix(c, snow_col, snow * (0.9 if i == 0 else 0.6))
        # Haze thickens towards the foot of each range.
        c = mix(c, haze_col, haze * (0.45 + 0.55 * depth ** 1.5))
        col = mix(col, c, inside)
    return col


def render():
    yy, xx = np.mgrid[0:H, 0:W].astype(np.float64)
    img = np.zeros((H, W, 3))
    above = yy < HORIZON
    img[above] = landscape(xx[above], yy[above])
    # Water: mirror the view about the water line, with waves that grow towards the viewer.
    wy = yy[~above]
    wx = xx[~above]
    depth = (wy - HORIZON) / (H - HORIZON)          # 0 at the far shore, 1 at the bottom
    persp = 1.0 / (0.04 + depth)
    wave = (noise.fbm(wx / (40.0 * S) * (0.3 + depth), persp * 9.0, octaves=4) - 0.5)
    my = HORIZON - (wy - HORIZON) - 1 + wave * (1.0 + 3 * depth) * S
    mx = wx + wave * 16 * S * depth
    refl = landscape(mx, np.clip(my, 0, HORIZON - 1))
    tint = mix(np.array([0.58, 0.64, 0.82]), np.array([0.85, 0.72, 0.62]),
               np.exp(-((wx - SUN[0]) / (50.0 * S)) ** 2))
    water = refl * tint + np.array([4, 10, 26.0])
    crest = smoothstep(0.2, 0.3, wave) * depth
    water = water + crest[..., None] * np.array([40, 30, 50.0])
    # Glitter path under the sun.
    sunline = np.exp(-((wx - SUN[0]) / ((8 + 34 * depth) * S)) ** 2)
    spark = smoothstep(0.58, 0.8, noise2.fbm(wx / (2.0 * S), persp * 14.0, octaves=3))
    water = water + (sunline * spark)[..., None] * np.array([255, 200, 140.0]) * 0.9
    # Darker, bluer water in front; a faint line of light along the far shore.
    water = mix(water, np.array([6, 36, 60.0]), smoothstep(0.15, 1.0, depth) * 0.6)
    water = water + (np.exp(-(wy - HORIZON) / (1.5 * S)) * 0.5)[..., None] * np.array([255, 170, 120.0])
    img[~above] = water
    shore(img, xx, yy)
    return img


def pine(img, xx, yy, cx, base, height, width, seed):
    """A dark pine: drooping tiers narrowing to the top, a warm rim on the sun side."""
    top = base - height
    t = np.clip((yy - top) / height, 0, 1)
    tiers = 6 + int(height / (30 * S))
    local = (t * tiers + seed * 0.37) % 1.0
    jag = 0.8 + 0.2 * noise.value(yy / (2.0 * S) + seed * 11, xx / (3.0 * S))
    half = width * (0.06 + 0.94 * t ** 0.9) * (0.3 + 0.7 * local ** 0.8) * jag
    inside = (yy >= top) & (yy <= base) & (np.abs(xx - cx) <= half)
    trunk = (yy > base - height * 0.1) & (yy <= base) & (np.abs(xx - cx) <= width * 0.07 + 0.5)
    mask = inside | trunk
    edge = np.clip((xx - cx) / (half + 1e-6), -1, 1)
    needles = noise2.value(xx / (1.5 * S), yy / (1.5 * S))
    colour = np.stack([8 + 8 * needles, 14 + 12 * needles, 16 + 8 * needles], -1)
    colour = colour + (smoothstep(0.6, 1.0, edge) * (0.5 + 0.5 * needles))[..., None] * np.array([130, 62, 28.0])
    img[mask] = colour[mask]


def shore(img, xx, yy):
    # The near shore on the left: a dark bank rising out of the water, with pines on it.
    bank = H - (60 * S) * smoothstep(150 * S, 0, xx) - 8 * S * noise.fbm(xx / (20.0 * S), 3.3, octaves=4)
    on_bank = yy > bank
    # Moss, earth and rock on the bank, the rocks lit on their sunward tops.
    n1 = noise.fbm(xx / (6.0 * S), yy / (4.0 * S), octaves=5)
    n2 = noise2.fbm(xx / (11.0 * S) + 3, yy / (7.0 * S), octaves=4)
    moss = np.array([34, 58, 30.0]) * (0.6 + 0.8 * n1[..., None])
    earth = np.array([70, 46, 30.0]) * (0.6 + 0.8 * n1[..., None])
    rock = np.array([84, 76, 96.0]) * (0.5 + 0.9 * n1[..., None])
    ground = mix(moss, earth, smoothstep(0.4, 0.6, n2))
    rocks = smoothstep(0.62, 0.66, n2)
    rock_lit = smoothstep(0.0, 0.06, noise2.fbm(xx / (11.0 * S) + 3 + 0.04, yy / (7.0 * S) - 0.04, octaves=4) - n2)
    ground = mix(ground, rock + rock_lit[..., None] * np.array([120, 70, 40.0]), rocks)
    depth_dark = smoothstep(bank, bank + 40 * S, yy)
    ground = ground * (1 - 0.45 * depth_dark[..., None])
    lit_edge = smoothstep(3 * S, 0, yy - bank)[..., None] * np.array([110, 60, 30.0])
    # Grass and wild flowers: lit tips in yellow-green, flowers in three colours.
    tuft = noise2.value(xx / (1.0 * S), yy / (2.5 * S))
    grass_tip = smoothstep(0.7, 0.9, tuft) * smoothstep(bank + 30 * S, bank, yy)
    hue = noise.value(xx / (25.0 * S), yy / (25.0 * S))
    tip_col = mix(np.array([110, 150, 40.0]), np.array([220, 170, 60.0]), hue)
    ground = mix(ground, tip_col, grass_tip * 0.8)
    bloom = smoothstep(0.93, 0.97, noise.value(xx / (1.2 * S) + 50, yy / (1.2 * S) + 50)) * \
        smoothstep(0.45, 0.55, n2) * (1 - rocks)
    petal = np.where((hue < 0.4)[..., None], np.array([240, 230, 250.0]),
                     np.where((hue < 0.65)[..., None], np.array([250, 210, 60.0]), np.array([230, 90, 160.0])))
    ground = mix(ground, petal * (0.5 + 0.5 * (1 - depth_dark[..., None])), bloom)
    img[on_bank] = (ground + lit_edge)[on_bank]
    for cx, h, w, seed in [(22, 150, 22, 1.0), (44, 118, 21, 2.0), (70, 96, 18, 3.0),
                           (94, 70, 14, 4.0), (112, 54, 11, 5.0),
                           (128, 40, 8, 7.0)]:
        base_y = H - 60 * S * float(smoothstep(150, 0, cx)) + 6 * S
        pine(img, xx, yy, cx * S, base_y, h * S, w * S, seed)
    # Reeds on the right, in the shallow water.
    for k in range(34):
        rx = (262 + 56 * noise2.value(k * 3.7, 1.0)) * S
        rh = (12 + 26 * noise2.value(k * 1.3, 5.0)) * S
        lean = (noise2.value(k * 2.1, 9.0) - 0.5) * 0.5
        ybase = H - 2 * S
        t = (ybase - yy) / rh
        xline = rx + lean * (ybase - yy)
        m = (t >= 0) & (t <= 1) & (np.abs(xx - xline) <= S * (1.2 - 0.8 * t))
        img[m] = np.array([16, 14, 18.0]) + (t[m, None] * np.array([60, 30, 10.0]))


def birds(img):
    """A few gulls gliding home against the evening sky."""
    from PIL import Image, ImageDraw
    mask = Image.new('L', (W, H), 0)
    draw = ImageDraw.Draw(mask)
    for bx, by, span, lift in [(150, 74, 6.0, 0.5), (162, 80, 5.0, 0.2), (171, 71, 4.5, 0.7),
                               (140, 86, 4.0, 0.35), (186, 84, 3.5, 0.6), (248, 58, 3.0, 0.4)]:
        for side in (-1, 1):
            pts = []
            for k in range(9):
                u = k / 8
                x = bx + side * span * u
                y = by - span * (0.55 * np.sin(u * np.pi * 0.9) * (0.6 + lift) - 0.35 * u * u)
                pts.append((x * S, y * S))
            draw.line(pts, fill=255, width=S)
    m = np.asarray(mask, dtype=np.float64)[..., None] / 255.0
    img[:] = img * (1 - m) + np.array([34, 24, 46.0]) * m


def edge_column():
    """The first column, which the plasma cube's backdrop stretches over the whole screen: the dusk
    sky from night blue through violet and rose to gold at the water line, then its reflection,
    softer and bluer, down to the deep water in front."""
    y = np.arange(240, dtype=np.float64)
    stops = [(0, [28, 26, 96]), (40, [70, 56, 150]), (80, [150, 80, 170]), (118, [236, 110, 130]),
             (142, [255, 170, 90]), (151, [255, 222, 150]), (153, [250, 196, 130]),
             (170, [214, 120, 130]), (196, [130, 80, 164]), (218, [64, 64, 140]), (239, [30, 38, 70])]
    col = np.zeros((240, 3)) + np.array(stops[0][1], dtype=np.float64)
    for (y0, c0), (y1, c1) in zip(stops, stops[1:]):
        col = mix(col, np.array(c1, dtype=np.float64), smoothstep(y0, y1, y))
    return col


def main():
    big = render()
    birds(big)
    small = big.reshape(240, S, 320, S, 3).mean(axis=(1, 3))
    # The edge column fades into the picture over its first few columns.
    fade = smoothstep(0.0, EDGE, np.arange(320, dtype=np.float64))
    small = mix(edge_column()[:, None, :], small, fade[None, :])
    grain = Noise(77).value(np.arange(320)[None, :] * 0.9, np.arange(240)[:, None] * 0.9) - 0.5
    rgb = dither5(small + grain[..., None] * 10.0 * fade[None, :, None])
    rgb[0, 319] = 0  # last pixel of the picture in column order
    save_rgb('vkr0.png', rgb)


if __name__ == '__main__':
    main()
