#!/usr/bin/python3
"""Writes the 3D textures: assets/pictures/vornelo.png (the cylinder's side, drawn upright),
vornelo_top.png and vornelo_bottom.png (its caps) and env1.png (the reflection map).

The side wraps once around the cylinder and carries the show's name ZARVELIN twice, in gold
letters on a dark enamel band between two riveted brass trims.
The caps are drawn as functions of radius and angle only: the cylinder maps each cap triangle
onto one radius of its texture, so a cap shows 64 spokes of whatever lies along them.
env1 is indexed by the direction of the surface normal (right = normal to the right, top =
normal up): sky above a bright horizon, a dark floor below, and the sun to the upper left."""
import numpy as np
from PIL import Image, ImageDraw, ImageFont

from artlib import FONTS, Noise, dither5, mix, save_rgb, smoothstep

noise = Noise(2024)
SS = 4


def letters_strip(text, width, height, font_file):
    """Coverage of text stretched to fill width x height (supersampled)."""
    font = ImageFont.truetype(FONTS + font_file, 64 * SS)
    tmp = Image.new('L', (64 * SS * len(text), 128 * SS), 0)
    ImageDraw.Draw(tmp).text((8 * SS, 16 * SS), text, font=font, fill=255)
    tmp = tmp.crop(tmp.getbbox()).resize((width * SS, height * SS), Image.LANCZOS)
    return np.asarray(tmp, dtype=np.float64) / 255.0


def down(a):
    h, w = a.shape[0] // SS, a.shape[1] // SS
    return a.reshape(h, SS, w, SS, *a.shape[2:]).mean(axis=(1, 3))


def grow(mask, pixels):
    from PIL import ImageFilter
    img = Image.fromarray((np.clip(mask, 0, 1) * 255).astype(np.uint8))
    return np.asarray(img.filter(ImageFilter.MaxFilter(2 * pixels + 1)), dtype=np.float64) / 255.0


def vornelo():
    N = 128
    yy, xx = np.mgrid[0:N * SS, 0:N * SS].astype(np.float64) / SS
    # Background enamel: deep violet with a fine diagonal weave.
    weave = 0.5 + 0.5 * np.sin((xx + yy) * 2 * np.pi / 4) * np.sin((xx - yy) * 2 * np.pi / 4)
    rgb = mix(np.array([26, 14, 60.0]), np.array([52, 30, 104.0]), weave * 0.6)
    # Brass trims top and bottom, with rivets, and thin bright lines inside them.
    for top in (6.0, 106.0):
        band = (yy >= top) & (yy < top + 16)
        v = (yy - top) / 16
        brass = mix(np.array([255, 230, 150.0]), np.array([140, 80, 20.0]), smoothstep(0.1, 0.9, v))
        brass = mix(brass, np.array([255, 250, 220.0]), smoothstep(0.2, 0.0, np.abs(v - 0.25)) * 0.7)
        rgb = np.where(band[..., None], brass, rgb)
        for rx in np.arange(4.0, 128.0, 8.0):
            d = np.hypot(xx - rx, yy - (top + 8))
            rivet = smoothstep(2.6, 1.8, d)
            shade = mix(np.array([255, 255, 230.0]), np.array([90, 50, 10.0]),
                        smoothstep(-2, 2, (xx - rx) + (yy - top - 8)))
            rgb = mix(rgb, shade, rivet)
            rgb = mix(rgb, np.array([60, 30, 5.0]), smoothstep(3.2, 2.6, d) * (1 - rivet))
    # Chevrons between trims and letters.
    for top, sign in ((24.0, 1), (92.0, -1)):
        band = (yy >= top) & (yy < top + 10)
        chev = ((xx + sign * np.abs(yy - top - 5) * 1.6) % 8) < 3.2
        rgb = np.where((band & chev)[..., None], mix(rgb, np.array([230, 120, 220.0]), 0.55), rgb)
    # The name, twice around: gold letters with a dark rim and a soft shadow.
    word = letters_strip('ZARVELIN', 54, 44, 'DejaVuSansCondensed-Bold.ttf')
    mask = np.zeros((N * SS, N * SS))
    for rep in range(2):
        x0 = (rep * 64 + 5) * SS
        mask[41 * SS:85 * SS, x0:x0 + 54 * SS] = word
        # A diamond between the two names.
        dx = np.abs(xx - (rep * 64 + 64) % 128)
        dx = np.minimum(dx, 128 - dx)
        mask = np.maximum(mask, smoothstep(0.4, -0.4, dx / 3.2 + np.abs(yy - 63) / 9.0 - 1))
    rim = grow(mask, 3 * SS // 2)
    shadow = np.roll(np.roll(rim, 2 * SS, 0), 2 * SS, 1)
    t = (yy - 41) / 44
    gold = mix(np.array([255, 252, 210.0]), np.array([250, 190, 40.0]), smoothstep(0.0, 0.45, t))
    gold = mix(gold, np.array([170, 80, 10.0]), smoothstep(0.45, 1.0, t))
    gold = mix(gold, np.array([255, 255, 255.0]), smoothstep(0.06, 0.0, np.abs(t - 0.5)) * 0.8)
    rgb = mix(rgb, np.array([8, 4, 20.0]), shadow * 0.7)
    rgb = mix(rgb, np.array([40, 16, 6.0]), rim)
    rgb = mix(rgb, gold, mask)
    save_rgb('vornelo.png', dither5(down(rgb)))


def cap(name, colours, spokes, seed):
    """A round emblem: coloured as a function of radius and angle only."""
    N = 128
    yy, xx = np.mgrid[0:N, 0:N].astype(np.float64)
    # Rim texels sit at 61.5 around (63, 63), the centre texel at (64, 64).
    r = np.hypot(xx - 63.5, yy - 63.5)
    a = np.arctan2(yy - 63.5, xx - 63.5)
    core, ring, petal_a, petal_b, rim_col = colours
    rgb = np.zeros((N, N, 3))
    # Core: a hot glow.
    rgb += mix(np.array(core) * 1.0, np.array(ring) * 0.8, smoothstep(0, 10, r))
    # Petals between radius 12 and 44, alternating in colour, brighter outwards.
    sector = (np.floor((a + np.pi) / (2 * np.pi) * spokes) % 2)
    petal = mix(np.array(petal_a), np.array(petal_b), sector)
    wave = 0.5 + 0.5 * np.cos((a * spokes / 2) * 2)
    petal = petal * (0.55 + 0.45 * smoothstep(12, 44, r)[..., None]) * (0.8 + 0.2 * wave[..., None])
    rgb = mix(rgb, petal, smoothstep(11, 13, r) * smoothstep(45, 43, r))
    # A bright ring, notched, then the rim.
    notch = (np.floor((a + np.pi) / (2 * np.pi) * 64) % 2)
    band = mix(np.array(ring), np.array(ring) * 0.55, notch)
    rgb = mix(rgb, band, smoothstep(43, 45, r) * smoothstep(53, 51, r))
    rgb = mix(rgb, np.array([255, 255, 240.0]), smoothstep(1.2, 0.0, np.abs(r - 44)) * 0.8)
    rim = mix(np.array(rim_col), np.array(rim_col) * 0.35, smoothstep(52, 63, r))
    rgb = mix(rgb, rim, smoothstep(51, 53, r))
    rgb = mix(rgb, np.array([255, 240, 200.0]), smoothstep(1.0, 0.0, np.abs(r - 56)) * 0.7)
    grain = Noise(seed).fbm(r / 3.0, a * 8, octaves=3) - 0.5
    rgb = rgb * (1 + 0.12 * grain[..., None])
    save_rgb(name, dither5(rgb))


def env1():
    N = 64
    yy, xx = np.mgrid[0:N, 0:N].astype(np.float64)
    nx = (xx + 0.5) / 32 - 1          # normal's x, -1..1 (right is +)
    ny = 1 - (yy + 0.5) / 32          # normal's y, -1..1 (up is +)
    # Only broad features, none narrower than about four texels, so that the small reflective
    # sphere shows smooth highlights rather than speckle.
    h = ny + 0.1 - 0.04 * np.sin(nx * 2.0)
    sky = mix(np.array([255, 236, 200.0]), np.array([120, 176, 250.0]), smoothstep(0.0, 0.45, h))
    sky = mix(sky, np.array([24, 48, 150.0]), smoothstep(0.45, 1.2, h))
    clouds = smoothstep(0.45, 0.7, noise.fbm(nx * 1.2 + 4, ny * 2.5, octaves=2)) * smoothstep(0.1, 0.4, h)
    sky = mix(sky, np.array([250, 250, 255.0]), clouds * 0.45)
    # The floor: dark and warm under the horizon, with broad soft reflections of the sky.
    floor = mix(np.array([150, 104, 110.0]), np.array([34, 26, 60.0]), smoothstep(0.0, 0.7, -h))
    bands = 0.5 + 0.5 * np.cos(np.hypot(nx * 1.3, h + 1.4) * 9.0)
    floor = floor + (bands * smoothstep(0.05, 0.5, -h))[..., None] * np.array([40, 34, 60.0])
    rgb = mix(floor, sky, smoothstep(-0.06, 0.06, h))
    rgb = mix(rgb, np.array([255, 246, 226.0]), smoothstep(0.16, 0.0, np.abs(h)) * 0.8)
    # The sun to the upper left, with a wide glow.
    d = np.hypot(nx + 0.42, ny - 0.45)
    rgb = rgb + (np.exp(-d / 0.22) * 200 + smoothstep(0.16, 0.1, d) * 255)[..., None] * np.array([1, 0.93, 0.75])
    out = (np.clip(np.floor(np.clip(rgb, 0, 255) / 8.0 + 0.5), 0, 31) * 8).astype(np.uint8)
    out[0, 63] = 0  # the last texel: column 63 of the top row, as the map is stored bottom-up
    save_rgb('env1.png', out)


if __name__ == '__main__':
    vornelo()
    cap('vornelo_top.png', ([255, 250, 220], [250, 170, 40], [40, 90, 220], [90, 220, 255],
                            [200, 200, 220]), 16, 5)
    cap('vornelo_bottom.png', ([255, 230, 250], [230, 90, 200], [120, 20, 140], [250, 120, 60],
                               [170, 160, 190]), 12, 6)
    env1()
