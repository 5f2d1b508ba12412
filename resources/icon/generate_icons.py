#!/usr/bin/env python3
"""Draws the application's images in the panels' palette.

The application icon is a dark tile holding one of the panels' dials: a grey
knob with a yellow pointer, its cyan value arc over a dim track, and a green
"connected" light in the gap at the bottom of the arc. Each size is drawn on
its own (not scaled down), with thicker strokes and fewer details the smaller
it gets, so it still reads as a dial at 16 px in a tray.

The three fader images are channel faders on the same dark plate: a scale, a
slot with the level filled in an accent colour and a grey slider cap, at three
positions (low in cyan, middle in yellow, high in green).

Writes into this directory:
  icon.png                 64 px, the window and tray icon
  icon.ico                 16, 20, 24, 32, 48, 64 and 256 px, the application icon
  quorlin-driver-256.png   the desktop icon installed on Linux
  fader_1.png .. fader_3.png   40 x 120 px

Plain Python 3, no imaging library:
    python3 resources/icon/generate_icons.py
"""
import math
import os
import struct
import zlib

# The panels' palette.
TILE_TOP = (0x2C, 0x31, 0x3C)
TILE_BOTTOM = (0x1B, 0x1E, 0x23)
TRACK = (0x44, 0x47, 0x5A)
CYAN = (0x00, 0xFF, 0xFF)
YELLOW = (0xF1, 0xFA, 0x8C)
GREEN = (0x00, 0xFF, 0x7F)


def png(width, height, pixels):
    """Encodes straight-alpha RGBA rows as a PNG file."""
    rows = b''.join(
        b'\x00' + bytes(pixels[y * width * 4:(y + 1) * width * 4]) for y in range(height))

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) +
            chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b''))


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# Shapes are signed distance functions in the drawing's own coordinates
# (negative inside). A layer is (distance function, colour function, alpha,
# softness): softness 0 is a hard edge, smoothed by supersampling; a larger
# softness fades the layer out over that distance, which draws a glow.

def rounded_rect(cx, cy, half_w, half_h, radius):
    def distance(x, y):
        qx = abs(x - cx) - (half_w - radius)
        qy = abs(y - cy) - (half_h - radius)
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return distance


def circle(cx, cy, radius):
    return lambda x, y: math.hypot(x - cx, y - cy) - radius


def segment(x0, y0, x1, y1, half_width):
    """A stroke with round caps."""
    def distance(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - x0 - t * dx, y - y0 - t * dy) - half_width
    return distance


def arc(cx, cy, radius, half_width, start_deg, sweep_deg):
    """A stroke along a circle with round caps, clockwise from start_deg
    (degrees counter-clockwise from three o'clock, y pointing down)."""
    def point(deg):
        return (cx + radius * math.cos(math.radians(deg)),
                cy - radius * math.sin(math.radians(deg)))

    ends = (point(start_deg), point(start_deg - sweep_deg))

    def distance(x, y):
        angle = math.degrees(math.atan2(-(y - cy), x - cx))
        if (start_deg - angle) % 360.0 <= sweep_deg:
            return abs(math.hypot(x - cx, y - cy) - radius) - half_width
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - half_width
    return distance


def solid(colour):
    return lambda x, y: colour


def render(width, height, layers, samples):
    """Rasterises the layers with samples x samples points per pixel."""
    out = []
    step = 1.0 / samples
    for py in range(height):
        for px in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(samples):
                for sx in range(samples):
                    x = px + (sx + 0.5) * step
                    y = py + (sy + 0.5) * step
                    r = g = b = a = 0.0
                    for distance, colour, alpha, softness in layers:
                        d = distance(x, y)
                        if softness > 0:
                            if d >= softness:
                                continue
                            cover = alpha * (1.0 - max(d, 0.0) / softness) ** 2
                        else:
                            if d > 0:
                                continue
                            cover = alpha
                        cr, cg, cb = colour(x, y)
                        r = cr * cover + r * (1 - cover)
                        g = cg * cover + g * (1 - cover)
                        b = cb * cover + b * (1 - cover)
                        a = cover + a * (1 - cover)
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += a
            n = samples * samples
            alpha = acc[3] / n
            if alpha <= 0:
                out += [0, 0, 0, 0]
                continue
            out += [min(255, int(round(acc[i] / n / alpha))) for i in range(3)]
            out.append(min(255, int(round(alpha * 255))))
    return png(width, height, out)


def app_icon(size):
    """The dial icon, drawn for one pixel size."""
    s = float(size)
    small = size <= 24
    medium = size <= 48
    # Proportions of the tile; small sizes use more of the square and thicker strokes.
    margin = 0.0 if small else s * 0.04
    radius = s * (0.18 if small else 0.22)
    arc_radius = s * (0.33 if small else 0.31)
    arc_half = s * (0.085 if small else 0.06 if medium else 0.05)
    knob_radius = s * (0.19 if small else 0.20)
    value_sweep = 200.0
    start = 225.0
    c = s / 2.0
    # The dial sits a little high, leaving room for the light in the arc's gap.
    cy = c - s * (0.02 if small else 0.03)

    def tile_colour(x, y):
        return mix(TILE_TOP, TILE_BOTTOM, y / s)

    def knob_colour(x, y):
        # Lit from the top left, like the panels' knobs.
        t = math.hypot(x - (c - knob_radius * 0.7), y - (cy - knob_radius * 0.7))
        return mix((0xE8, 0xEA, 0xEE), (0x23, 0x26, 0x2D), t / (knob_radius * 1.9))

    layers = [(rounded_rect(c, c, c - margin, c - margin, radius), tile_colour, 1.0, 0)]
    if not small:
        # A faint rim lifts the tile off dark backgrounds.
        layers.append((lambda x, y, d=rounded_rect(c, c, c - margin, c - margin, radius):
                       abs(d(x, y) + s * 0.008) - s * 0.006,
                       solid((0x4A, 0x52, 0x63)), 0.8, 0))
    layers.append((arc(c, cy, arc_radius, arc_half, start, 270.0), solid(TRACK), 1.0, 0))
    if not small:
        layers.append((arc(c, cy, arc_radius, arc_half, start, value_sweep), solid(CYAN),
                       0.35, s * 0.07))
    layers.append((arc(c, cy, arc_radius, arc_half, start, value_sweep), solid(CYAN), 1.0, 0))
    if not medium:
        # A soft shadow under the knob.
        layers.append((circle(c + s * 0.01, cy + s * 0.02, knob_radius), solid((0, 0, 0)),
                       0.5, s * 0.04))
    layers.append((circle(c, cy, knob_radius), knob_colour, 1.0, 0))
    # The pointer, from the knob's centre towards the end of the value arc.
    end = math.radians(start - value_sweep)
    inner = knob_radius * (0.15 if small else 0.25)
    outer = knob_radius * (0.95 if small else 0.85)
    pointer_half = s * (0.06 if small else 0.035)
    layers.append((segment(c + inner * math.cos(end), cy - inner * math.sin(end),
                           c + outer * math.cos(end), cy - outer * math.sin(end), pointer_half),
                   solid(YELLOW), 1.0, 0))
    # The connected light in the arc's gap.
    light_y = cy + arc_radius * (0.95 if small else 0.9)
    light_radius = s * (0.075 if small else 0.045)
    if not small:
        layers.append((circle(c, light_y, light_radius), solid(GREEN), 0.5, s * 0.05))
    layers.append((circle(c, light_y, light_radius), solid(GREEN), 1.0, 0))
    samples = 8 if size <= 32 else 4 if size <= 64 else 3
    return render(size, size, layers, samples)


def fader(level, accent):
    """A channel fader, 40 x 120 px, with its cap at level (0 bottom .. 1 top)."""
    width, height = 40, 120
    cx = 22.0
    top, bottom = 14.0, 106.0
    cap_y = bottom - (bottom - top) * level

    def plate_colour(x, y):
        return mix(TILE_TOP, TILE_BOTTOM, y / height)

    def cap_colour(x, y):
        return mix((0xE8, 0xEA, 0xEE), (0x3A, 0x3F, 0x4A), (y - (cap_y - 8)) / 16.0)

    layers = [
        (rounded_rect(width / 2, height / 2, width / 2, height / 2, 6), plate_colour, 1.0, 0),
        # The slot, then the level filled in from the bottom.
        (segment(cx, top, cx, bottom, 3), solid(TILE_BOTTOM), 1.0, 0),
        (segment(cx, cap_y, cx, bottom, 2), solid(accent), 1.0, 0),
        (segment(cx, cap_y, cx, bottom, 2), solid(accent), 0.3, 4),
    ]
    # Scale marks on the left, longer every fourth.
    for i in range(13):
        y = top + (bottom - top) * i / 12.0
        length = 6.0 if i % 4 == 0 else 3.5
        layers.append((segment(10.0 - length, y, 10.0, y, 0.6), solid(TRACK), 1.0, 0))
    layers += [
        (rounded_rect(cx + 0.5, cap_y + 1.5, 12, 7, 2.5), solid((0, 0, 0)), 0.45, 2.5),
        (rounded_rect(cx, cap_y, 12, 7, 2.5), cap_colour, 1.0, 0),
        (segment(cx - 9, cap_y, cx + 9, cap_y, 0.9), solid(accent), 1.0, 0),
    ]
    return render(width, height, layers, 4)


def ico(images):
    """An .ico file holding PNG images, as (size, png bytes) pairs."""
    header = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b''
    for size, data in images:
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return header + entries + b''.join(data for _, data in images)


def main():
    os.chdir(os.path.dirname(os.path.abspath(__file__)))
    icons = {size: app_icon(size) for size in (16, 20, 24, 32, 48, 64, 256)}
    with open('icon.png', 'wb') as f:
        f.write(icons[64])
    with open('quorlin-driver-256.png', 'wb') as f:
        f.write(icons[256])
    with open('icon.ico', 'wb') as f:
        f.write(ico(sorted(icons.items())))
    for index, (level, accent) in enumerate(((0.3, CYAN), (0.6, YELLOW), (0.85, GREEN)), 1):
        with open(f'fader_{index}.png', 'wb') as f:
            f.write(fader(level, accent))


if __name__ == '__main__':
    main()
