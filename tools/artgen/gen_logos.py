#!/usr/bin/python3
"""Writes assets/pictures/quellmark.png (192 x 84) and presents.png (128 x 32).

quellmark: the group's name in chrome letters (sky above a bright horizon, deep water below),
outlined in navy, with a drop shadow and a wave running beneath, as a spring ("Quell") would.
presents: the word in gold italic serif letters between two scrolled flourishes.
Both keep at most 15 colours plus a transparent border all round. Lettering is drawn with the
DejaVu fonts (licence in assets/fonts/DejaVu-LICENSE.txt)."""
import math

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

from artlib import FONTS, mix, palette_logo, quantize_logo, save_rgba, smoothstep

SS = 4  # supersampling


def text_mask(size, text, font_file, font_size, box):
    """Coverage mask (float 0..1, supersampled) of text fitted into box = (x0, y0, x1, y1)."""
    w, h = size
    font = ImageFont.truetype(FONTS + font_file, font_size * SS)
    tmp = Image.new('L', (w * SS * 2, h * SS * 2), 0)
    ImageDraw.Draw(tmp).text((w * SS // 2, h * SS // 2), text, font=font, fill=255)
    tmp = tmp.crop(tmp.getbbox())
    bw, bh = (box[2] - box[0]) * SS, (box[3] - box[1]) * SS
    tmp = tmp.resize((bw, bh), Image.LANCZOS)
    out = Image.new('L', (w * SS, h * SS), 0)
    out.paste(tmp, (box[0] * SS, box[1] * SS))
    return np.asarray(out, dtype=np.float64) / 255.0


def grow(mask, pixels):
    img = Image.fromarray((mask * 255).astype(np.uint8))
    img = img.filter(ImageFilter.MaxFilter(2 * pixels * SS + 1))
    return np.asarray(img, dtype=np.float64) / 255.0


def shift(mask, dx, dy):
    return np.roll(np.roll(mask, dy * SS, axis=0), dx * SS, axis=1)


def down(a):
    h, w = a.shape[0] // SS, a.shape[1] // SS
    if a.ndim == 3:
        return a.reshape(h, SS, w, SS, a.shape[2]).mean(axis=(1, 3))
    return a.reshape(h, SS, w, SS).mean(axis=(1, 3))


class Canvas:
    """Supersampled RGB with coverage; layers are painted over each other."""

    def __init__(self, w, h):
        self.rgb = np.zeros((h * SS, w * SS, 3))
        self.alpha = np.zeros((h * SS, w * SS))

    def layer(self, colour, mask):
        self.rgb = mix(self.rgb, colour, mask)
        self.alpha = np.maximum(self.alpha, mask)

    def save(self, name, palette=None):
        if palette is None:
            rgba = quantize_logo(down(self.rgb), down(self.alpha), 15)
        else:
            rgba = palette_logo(down(self.rgb), down(self.alpha), palette)
        rgba[0, :] = rgba[-1, :] = 0
        rgba[:, 0] = rgba[:, -1] = 0
        save_rgba(name, rgba)


QUELLMARK_PALETTE = [
    (8, 8, 24), (16, 24, 72),                                                  # shadow, outline
    (40, 80, 200), (80, 128, 232), (136, 176, 248), (200, 224, 248), (248, 248, 248),  # sky
    (16, 32, 104), (24, 72, 160), (48, 136, 216), (104, 208, 248),                # water
    (168, 248, 248), (248, 224, 120),                                          # foam, spark
]


def quellmark():
    W, H = 192, 84
    letters = text_mask((W, H), 'QUELLMARK', 'DejaVuSansCondensed-Bold.ttf', 40, (5, 14, 187, 54))
    yy, xx = np.mgrid[0:H * SS, 0:W * SS].astype(np.float64) / SS
    # Chrome: sky gradient over a hard horizon, water below.
    t = (yy - 14) / 40.0
    sky = mix(np.array([40, 80, 200.0]), np.array([235, 245, 255.0]), smoothstep(0.0, 0.5, t))
    water = mix(np.array([20, 30, 90.0]), np.array([90, 220, 255.0]), smoothstep(0.52, 1.0, t))
    chrome = np.where((t < 0.5)[..., None], sky, water)
    chrome = mix(chrome, np.array([255, 255, 255.0]), smoothstep(0.47, 0.5, t) * smoothstep(0.56, 0.5, t))
    outline = grow(letters, 2)
    shadow = shift(outline, 3, 3)
    # The wave beneath the letters: a ribbon swinging twice across the width.
    centre = 66 + 5 * np.sin(xx / W * 2 * np.pi * 2 + 0.6)
    thick = 2.2 + 2.0 * np.sin(xx / W * np.pi) ** 2
    ribbon = smoothstep(thick + 0.6, thick - 0.6, np.abs(yy - centre)) * smoothstep(4, 14, xx) * smoothstep(188, 178, xx)
    rib_col = mix(np.array([40, 120, 220.0]), np.array([170, 250, 255.0]),
                  smoothstep(-thick, thick, centre - yy))
    rib_edge = grow(ribbon, 1)
    # Sparkles: four-pointed stars on the Q and the K.
    sparkle = np.zeros_like(xx)
    for sx, sy, r in ((24.0, 15.0, 7.0), (176.0, 52.0, 5.0)):
        dx, dy = np.abs(xx - sx), np.abs(yy - sy)
        star = smoothstep(0.9, 0.3, dx * dy * 2.2 / r + (dx + dy) / r * 0.9 - 0.15)
        sparkle = np.maximum(sparkle, star * ((dx < r) & (dy < r)))
    # The bevel: a light line along the letters' upper edges.
    bevel = np.clip(letters - shift(letters, 0, 1), 0, 1) * smoothstep(0.45, 0.4, t)
    canvas = Canvas(W, H)
    layer = canvas.layer
    layer(np.array([8, 8, 24.0]), np.clip(shadow * 0.9 + shift(rib_edge, 2, 2) * 0.9, 0, 1))
    layer(np.array([10, 20, 60.0]), rib_edge)
    layer(rib_col, ribbon)
    layer(np.array([12, 18, 56.0]), outline)
    layer(chrome, letters)
    layer(np.array([255, 255, 255.0]), bevel * 0.8)
    layer(np.array([255, 224, 120.0]), grow(sparkle, 1) * 0.9)
    layer(np.array([255, 255, 255.0]), sparkle)
    canvas.save('quellmark.png', QUELLMARK_PALETTE)


def presents():
    W, H = 128, 32
    letters = text_mask((W, H), 'presents', 'DejaVuSerif-BoldItalic.ttf', 22, (25, 5, 103, 25))
    yy, xx = np.mgrid[0:H * SS, 0:W * SS].astype(np.float64) / SS
    t = (yy - 5) / 20.0
    gold = mix(np.array([255, 250, 200.0]), np.array([240, 170, 40.0]), smoothstep(0.0, 0.55, t))
    gold = mix(gold, np.array([150, 70, 10.0]), smoothstep(0.55, 1.0, t))
    outline = grow(letters, 1)
    # Flourishes: on each side a tapering stroke swings out from the word and rolls up into
    # a spiral, with a leaf where it leaves the word and a dot at the spiral's heart.
    pen = Image.new('L', (W * SS, H * SS), 0)
    draw = ImageDraw.Draw(pen)
    for side in (-1, 1):
        def at(px, py):
            return (64 + side * px) * SS, py * SS
        path = []
        # From the word outwards: a gentle S towards the spiral.
        for k in range(41):
            u = k / 40
            path.append((40 + 14 * u, 17.5 - 3.2 * math.sin(u * math.pi) + 1.2 * u))
        # The spiral, 1.3 turns inwards around its heart.
        cx, cy, r0 = 58.0, 14.2, 4.6
        for k in range(1, 61):
            u = k / 60
            a = math.pi / 2 + side * 0 - u * 2.6 * math.pi
            r = r0 * (1 - 0.78 * u)
            path.append((cx + r * math.cos(a), cy + r * math.sin(a) * 1.05))
        for k in range(len(path) - 1):
            width = 2.2 - 1.3 * k / len(path)
            draw.line([at(*path[k]), at(*path[k + 1])], fill=255, width=max(1, int(width * SS)))
        # The leaf by the word and the dot at the spiral's heart.
        lx, ly = 37.0, 17.6
        draw.polygon([at(lx - 3.2, ly), at(lx, ly - 1.7), at(lx + 3.0, ly), at(lx, ly + 1.7)], fill=255)
        draw.ellipse([at(cx - 1.2 * side, cy - 0.2)[0] - 1.3 * SS, (cy - 0.2) * SS - 1.3 * SS,
                      at(cx - 1.2 * side, cy - 0.2)[0] + 1.3 * SS, (cy - 0.2) * SS + 1.3 * SS], fill=255)
    scroll = np.asarray(pen, dtype=np.float64) / 255.0
    scroll_edge = grow(scroll, 1)
    canvas = Canvas(W, H)
    layer = canvas.layer
    layer(np.array([40, 16, 4.0]), scroll_edge)
    layer(mix(np.array([250, 210, 120.0]), np.array([200, 120, 30.0]), smoothstep(12, 20, yy)), scroll)
    layer(np.array([50, 20, 6.0]), shift(outline, 1, 1))
    layer(np.array([60, 24, 6.0]), outline)
    layer(gold, letters)
    canvas.save('presents.png')


if __name__ == '__main__':
    quellmark()
    presents()
