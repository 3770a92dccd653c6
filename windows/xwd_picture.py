#!/usr/bin/env python3
"""Reads a window dump of xwd (X11 ZPixmap, 24 or 32 bits a pixel) and tells how much of it
is not black; with --png FILE also writes it as a PNG. Exit status 1 when less than
--min-lit (default 0.02) of the pixels are lit, 2 on an unreadable dump. With --centre WxH
only the centred W x H box counts, and any lit pixel outside it is a failure too (full
screen in a larger mode shows the picture in the middle of black).

    xwd -id WINDOW -silent | python3 windows/xwd_picture.py - --png shot.png
"""
import argparse
import struct
import sys
import zlib


def read_xwd(data):
    """Width, height and rows of (r, g, b) bytes of an xwd dump."""
    if len(data) < 100:
        raise ValueError("too short for an xwd header")
    fields = struct.unpack(">25I", data[:100])
    (header_size, version, pixmap_format, _depth, width, height, _xoffset, byte_order, _unit,
     _bit_order, _pad, bits_per_pixel, bytes_per_line, _visual, red_mask, green_mask, blue_mask,
     _bits_per_rgb, _entries, ncolors) = fields[:20]
    if version != 7 or pixmap_format != 2 or bits_per_pixel not in (24, 32):
        raise ValueError("not a 24- or 32-bit ZPixmap xwd dump (version %d, format %d, %d bits)"
                         % (version, pixmap_format, bits_per_pixel))
    start = header_size + 12 * ncolors
    if len(data) < start + bytes_per_line * height:
        raise ValueError("the dump is cut off")
    step = bits_per_pixel // 8
    order = "<" if byte_order == 0 else ">"

    def channel(value, mask):
        shift = (mask & -mask).bit_length() - 1
        return ((value & mask) >> shift) * 255 // (mask >> shift)

    rows = []
    for y in range(height):
        line = data[start + y * bytes_per_line:start + y * bytes_per_line + width * step]
        row = bytearray()
        for x in range(0, width * step, step):
            chunk = line[x:x + step]
            value = int.from_bytes(chunk, "little" if order == "<" else "big")
            row += bytes((channel(value, red_mask), channel(value, green_mask), channel(value, blue_mask)))
        rows.append(bytes(row))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + row for row in rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("dump", help="xwd file, or - for standard input")
    parser.add_argument("--png", help="also write the picture here")
    parser.add_argument("--min-lit", type=float, default=0.02,
                        help="least share of pixels that must not be black")
    parser.add_argument("--centre", help="WxH: count only the centred box, black around it")
    args = parser.parse_args()
    data = sys.stdin.buffer.read() if args.dump == "-" else open(args.dump, "rb").read()
    try:
        width, height, rows = read_xwd(data)
    except ValueError as error:
        print("xwd_picture: %s" % error, file=sys.stderr)
        return 2
    box_w, box_h = (int(v) for v in args.centre.split("x")) if args.centre else (width, height)
    left, top = (width - box_w) // 2, (height - box_h) // 2
    inside = outside = 0
    for y, row in enumerate(rows):
        for x in range(width):
            if max(row[3 * x:3 * x + 3]) > 16:
                if left <= x < left + box_w and top <= y < top + box_h:
                    inside += 1
                else:
                    outside += 1
    share = inside / float(box_w * box_h) if box_w * box_h > 0 else 0.0
    if args.png:
        write_png(args.png, width, height, rows)
    print("%d x %d, %.1f%% of the pixels lit%s" % (
        width, height, 100 * share,
        " in the centred %dx%d, %d outside" % (box_w, box_h, outside) if args.centre else ""))
    return 0 if share >= args.min_lit and outside == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
