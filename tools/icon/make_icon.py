#!/usr/bin/env python3
"""Draws Orvane's icon and writes it as a Windows .ico file.

The picture is a disk platter above a row of aligned data blocks. It is drawn
from shapes in unit coordinates, supersampled for each size, and stored as
eleven images: 32x32 and 16x16 in 16 colours, 48/32/16 in 256 colours (each
with only the palette entries it uses) and 48/40/32/24/20/16 in 32-bit colour
with alpha. 40 and 20 px are the large
and small icon at 125%, 24 px the small one at 150% (the large one is then
48), which Windows would otherwise scale from another size; they come in
32-bit colour only, as every display set to those sizes has it. Standard library only.

Usage: make_icon.py [output.ico]   (default: resources/orvane.ico)
"""

import math
import os
import struct
import sys

SUPERSAMPLE = 8

# Colours, (r, g, b) in 0..255. The 16-colour images use colours of the
# standard 16-colour palette, so that nothing turns into a neighbouring hue.
FULL_COLOUR = {
    'outline': (52, 56, 66),
    'platter_light': (236, 239, 244),
    'platter_dark': (150, 158, 172),
    'track': (120, 128, 142),
    'hub': (92, 98, 110),
    'hole': (36, 38, 46),
    'block_light': (96, 156, 240),
    'block_dark': (30, 86, 196),
    'block_edge': (18, 44, 120),
    'tray': (58, 62, 72),
}
SIXTEEN_COLOURS = {
    'outline': (0, 0, 0),
    'platter_light': (255, 255, 255),
    'platter_dark': (192, 192, 192),
    'track': (128, 128, 128),
    'hub': (128, 128, 128),
    'hole': (0, 0, 0),
    'block_light': (0, 0, 255),
    'block_dark': (0, 0, 255),
    'block_edge': (0, 0, 128),
    'tray': (128, 128, 128),
}

PLATTER_CENTRE = (0.5, 0.40)
PLATTER_RADIUS = 0.38


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def platter(x, y, colours, detail):
    """Colour of the platter at (x, y), or None outside it."""
    cx, cy = PLATTER_CENTRE
    d = math.hypot(x - cx, y - cy)
    r = PLATTER_RADIUS
    if d > r:
        return None
    if d > r - 0.035:
        return colours['outline']
    if d < 0.035:
        return colours['hole']
    if d < 0.095:
        return colours['hub']
    if d < 0.115:
        return colours['outline']
    # Two thin tracks, so that it reads as a recording surface; too fine
    # for the smallest size.
    if detail:
        for track in (0.20, 0.28):
            if abs(d - track) < 0.008:
                return colours['track']
    # Light from the upper left.
    shade = ((x - cx) + (y - cy)) / (2 * r) + 0.5
    return mix(colours['platter_light'], colours['platter_dark'], shade)


BLOCK_TOP = 0.66
BLOCK_BOTTOM = 0.94
BLOCKS = [(0.08, 0.34), (0.37, 0.63), (0.66, 0.92)]


def blocks(x, y, colours, detail):
    """Colour of the row of data blocks at (x, y), or None."""
    if not (BLOCK_TOP - 0.03 <= y <= BLOCK_BOTTOM + 0.03):
        return None
    if not (0.05 <= x <= 0.95):
        return None
    for left, right in BLOCKS:
        if left <= x <= right and BLOCK_TOP <= y <= BLOCK_BOTTOM:
            edge = 0.03
            if (x - left < edge or right - x < edge or y - BLOCK_TOP < edge
                    or BLOCK_BOTTOM - y < edge):
                return colours['block_edge']
            t = (y - BLOCK_TOP) / (BLOCK_BOTTOM - BLOCK_TOP)
            return mix(colours['block_light'], colours['block_dark'], t)
    return colours['tray']


LAYERS = [blocks, platter]  # top first


def render(size, colours):
    """The image at `size`, as rows of (r, g, b, a) with a in 0..255."""
    detail = size >= 32
    n = SUPERSAMPLE
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(n):
                y = (py + (sy + 0.5) / n) / size
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) / size
                    for layer in LAYERS:
                        colour = layer(x, y, colours, detail)
                        if colour is not None:
                            acc[0] += colour[0]
                            acc[1] += colour[1]
                            acc[2] += colour[2]
                            covered += 1
                            break
            if covered:
                rgb = tuple(int(round(c / covered)) for c in acc)
                alpha = int(round(255 * covered / (n * n)))
            else:
                rgb, alpha = (0, 0, 0), 0
            row.append(rgb + (alpha,))
        rows.append(row)
    return rows


def vga_palette():
    return [
        (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
        (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
        (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
        (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
    ]


def palette_256():
    """The 16 standard colours, the 6x6x6 colour cube and a grey ramp."""
    colours = vga_palette()
    steps = (0, 51, 102, 153, 204, 255)
    for r in steps:
        for g in steps:
            for b in steps:
                colours.append((r, g, b))
    grey = 8
    while len(colours) < 256:
        colours.append((grey, grey, grey))
        grey += 10
    return colours[:256]


def nearest(palette, rgb, cache):
    hit = cache.get(rgb)
    if hit is None:
        best, best_d = 0, None
        for i, (r, g, b) in enumerate(palette):
            # Weighted like the eye: green counts most.
            d = (3 * (r - rgb[0]) ** 2 + 4 * (g - rgb[1]) ** 2 +
                 2 * (b - rgb[2]) ** 2)
            if best_d is None or d < best_d:
                best, best_d = i, d
        cache[rgb] = hit = best
    return hit


def row_bytes(bits_per_row):
    return (bits_per_row + 31) // 32 * 4


def and_mask(image):
    size = len(image)
    stride = row_bytes(size)
    out = bytearray()
    for row in reversed(image):  # bottom-up
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bits
    return bytes(out)


def dib(image, bpp):
    """A BITMAPINFOHEADER, palette, XOR image and AND mask for an icon."""
    size = len(image)
    stride = row_bytes(size * bpp)
    pixels = bytearray()
    palette = []
    if bpp == 32:
        for row in reversed(image):
            for r, g, b, a in row:
                pixels += bytes((b, g, r, a))
    else:
        palette = vga_palette() if bpp == 4 else palette_256()
        cache = {}
        for row in reversed(image):
            line = bytearray(stride)
            for x, (r, g, b, a) in enumerate(row):
                index = 0 if a < 128 else nearest(palette, (r, g, b), cache)
                if bpp == 8:
                    line[x] = index
                else:
                    line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            pixels += line
        if bpp == 8:
            # Only the colours the image uses, in the palette's order: the
            # same picture, without the bytes of the unused entries.
            used = sorted(set(pixels[i] for i in range(len(pixels))
                              if i % stride < size))
            index_of = {old: new for new, old in enumerate(used)}
            pixels = bytearray(index_of.get(v, 0) if i % stride < size else 0
                               for i, v in enumerate(pixels))
            palette = [palette[old] for old in used]
    mask = and_mask(image)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bpp, 0,
                         len(pixels) + len(mask), 0, 0,
                         len(palette), 0)
    table = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + table + bytes(pixels) + mask


IMAGES = [(32, 4), (16, 4), (48, 8), (32, 8), (16, 8), (48, 32), (32, 32),
          (16, 32), (40, 32), (24, 32), (20, 32)]


def build_ico():
    blobs = []
    for size, bpp in IMAGES:
        colours = SIXTEEN_COLOURS if bpp == 4 else FULL_COLOUR
        blobs.append(dib(render(size, colours), bpp))
    out = bytearray(struct.pack('<HHH', 0, 1, len(IMAGES)))
    offset = 6 + 16 * len(IMAGES)
    for (size, bpp), blob in zip(IMAGES, blobs):
        colours = 16 if bpp == 4 else 0
        out += struct.pack('<BBBBHHII', size, size, colours, 0, 1, bpp,
                           len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, '..', '..', 'resources', 'orvane.ico')
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.normpath(default)
    with open(path, 'wb') as f:
        f.write(build_ico())
    print(path)


if __name__ == '__main__':
    main()
