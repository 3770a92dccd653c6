"""Shared helpers of the picture generators: noise, dithering to 5-bit channels, PNG output."""
import os

import numpy as np
from PIL import Image

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..')
PICTURES = os.path.join(ROOT, 'assets', 'pictures')
FONTS = '/usr/share/fonts/truetype/dejavu/'

BAYER4 = np.array([[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]], dtype=np.float64)


class Noise:
    """Smooth value noise on a hashed lattice; deterministic for a seed."""

    def __init__(self, seed):
        rng = np.random.RandomState(seed)
        self.perm = np.concatenate([rng.permutation(256)] * 2)
        self.values = rng.random_sample(256)

    def _hash(self, ix, iy):
        return self.values[self.perm[(self.perm[ix & 255] + iy) & 255]]

    def value(self, x, y):
        x = np.asarray(x, dtype=np.float64)
        y = np.asarray(y, dtype=np.float64)
        ix = np.floor(x).astype(np.int64)
        iy = np.floor(y).astype(np.int64)
        fx, fy = x - ix, y - iy
        sx = fx * fx * (3 - 2 * fx)
        sy = fy * fy * (3 - 2 * fy)
        a = self._hash(ix, iy)
        b = self._hash(ix + 1, iy)
        c = self._hash(ix, iy + 1)
        d = self._hash(ix + 1, iy + 1)
        return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy

    def fbm(self, x, y, octaves=5, gain=0.5, lacunarity=2.0):
        total = np.zeros(np.broadcast(np.asarray(x), np.asarray(y)).shape)
        amp, freq, norm = 1.0, 1.0, 0.0
        for o in range(octaves):
            total = total + amp * self.value(x * freq + 17.3 * o, y * freq - 9.1 * o)
            norm += amp
            amp *= gain
            freq *= lacunarity
        return total / norm


def smoothstep(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3 - 2 * t)


def mix(a, b, t):
    t = np.asarray(t)[..., None] if np.ndim(t) else t
    return np.asarray(a) * (1 - t) + np.asarray(b) * t


def dither5(rgb):
    """Float RGB 0..255 (h, w, 3) to 8-bit values that are exact 5-bit steps (multiples of 8),
    with a 4 x 4 ordered dither so gradients do not band."""
    h, w, _ = rgb.shape
    threshold = np.tile(BAYER4, (h // 4 + 1, w // 4 + 1))[:h, :w][..., None]
    levels = np.floor(np.clip(rgb, 0, 255) / 8.0 + (threshold + 0.5) / 16.0)
    return (np.clip(levels, 0, 31) * 8).astype(np.uint8)


def save_rgb(name, rgb8):
    Image.fromarray(rgb8, 'RGB').save(os.path.join(PICTURES, name), optimize=False, compress_level=9)


def save_rgba(name, rgba8):
    Image.fromarray(rgba8, 'RGBA').save(os.path.join(PICTURES, name), optimize=False, compress_level=9)


def quantize_logo(rgb, alpha, colours):
    """Reduces an RGB picture with coverage alpha (0..1) to at most `colours` opaque colours of
    exact 5-bit steps; pixels with alpha below one half become transparent. Returns RGBA8."""
    opaque = alpha >= 0.5
    pixels = rgb[opaque].reshape(-1, 1, 3)
    img = Image.fromarray(np.clip(pixels, 0, 255).astype(np.uint8), 'RGB')
    pal_img = img.quantize(colors=colours, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = np.array(pal_img.getpalette()[:3 * colours], dtype=np.int64).reshape(-1, 3)
    palette = (palette // 8) * 8
    palette[(palette == 0).all(axis=1)] = 8  # opaque black must not read as transparent
    index = np.array(pal_img).reshape(-1)
    out = np.zeros(rgb.shape[:2] + (4,), dtype=np.uint8)
    out[opaque, :3] = palette[index]
    out[opaque, 3] = 255
    return out


def palette_logo(rgb, alpha, palette):
    """As quantize_logo, but every opaque pixel takes the nearest colour of a given palette
    (at most 15 colours, 8-bit values on 5-bit steps)."""
    pal = np.array(palette, dtype=np.float64)
    assert len(pal) <= 15 and not (pal % 8).any() and (pal.sum(axis=1) > 0).all()
    opaque = alpha >= 0.5
    d = ((rgb[..., None, :] - pal[None, None, :, :]) ** 2).sum(axis=-1)
    index = d.argmin(axis=-1)
    out = np.zeros(rgb.shape[:2] + (4,), dtype=np.uint8)
    out[..., :3] = pal[index].astype(np.uint8)
    out[..., 3] = 255
    out[~opaque] = 0
    return out
