#!/usr/bin/env python3
"""Draws the application icons: a dark rounded tile with a knob whose cyan
value arc sweeps over its track, in the panels' palette.

Writes icon.png (64 px), icon.ico (16, 32, 48 and 256 px), the 256 px
desktop icon quorlin-driver-256.png and the three fader images into this
directory. Plain Python 3, no imaging library:
    python3 resources/icon/generate_icons.py
"""
import os
import math
import struct
import zlib

def png(w, h, px):
    raw = b''.join(b'\x00' + bytes(px[y*w*4:(y+1)*w*4]) for y in range(h))
    def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    return b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)) + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')

def over(dst, src):
    sa = src[3] / 255.0; da = dst[3] / 255.0
    oa = sa + da * (1 - sa)
    if oa == 0: return [0, 0, 0, 0]
    return [ (src[i]*sa + dst[i]*da*(1-sa)) / oa for i in range(3)] + [oa*255]

def render(n, variant=0):
    S = 4
    out = []
    for y in range(n):
        for x in range(n):
            acc = [0.0]*4
            for sy in range(S):
                for sx in range(S):
                    u = (x + (sx+0.5)/S) / n * 2 - 1
                    v = (y + (sy+0.5)/S) / n * 2 - 1
                    c = [0, 0, 0, 0]
                    # rounded square background
                    r = 0.28; ax, ay = abs(u), abs(v)
                    qx, qy = max(ax - (1 - r), 0), max(ay - (1 - r), 0)
                    if ax <= 1 and ay <= 1 and qx*qx + qy*qy <= r*r:
                        c = [0x2c, 0x31, 0x3c, 255]
                    d = math.hypot(u, v)
                    ang = math.degrees(math.atan2(-v, u))  # 0 at 3 o'clock, ccw positive
                    # sweep from 225 clockwise
                    rel = (225 - ang) % 360
                    if 0.60 <= d <= 0.76 and rel <= 270:
                        fill = 200 if variant == 0 else 90 * (variant + 1)
                        col = [0x00, 0xff, 0xff, 255] if rel <= fill else [0x44, 0x47, 0x5a, 255]
                        c = over(c, col)
                    if d <= 0.46:
                        t = max(0.0, min(1.0, math.hypot(u + 0.6, v + 0.6) / 1.3))
                        g = int(230 * (1 - t) + 30 * t)
                        c = over(c, [g, g, g, 255])
                    for i in range(4): acc[i] += c[i] * (c[3]/255.0 if i < 3 else 1)
            a = acc[3] / (S*S)
            if a > 0:
                out += [int(round(acc[i] / (S*S) / (a/255.0))) if a else 0 for i in range(3)] + [int(round(a))]
            else:
                out += [0, 0, 0, 0]
    return png(n, n, [min(255, max(0, int(v))) for v in out])

os.chdir(os.path.dirname(os.path.abspath(__file__)))
open('icon.png', 'wb').write(render(64))
for i in (1, 2, 3):
    open(f'fader_{i}.png', 'wb').write(render(32, i))
sizes = [16, 32, 48, 256]
imgs = [render(s) for s in sizes]
hdr = struct.pack('<HHH', 0, 1, len(sizes))
off = 6 + 16 * len(sizes)
dirs = b''
for s, d in zip(sizes, imgs):
    dirs += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(d), off)
    off += len(d)
open('quorlin-driver-256.png', 'wb').write(render(256))
open('icon.ico', 'wb').write(hdr + dirs + b''.join(imgs))
