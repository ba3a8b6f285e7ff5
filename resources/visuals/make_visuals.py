#!/usr/bin/env python3
"""Draws the owner-drawn button's pictures and sound into this folder: the stock-kind glyphs (a grey
normal one and a coloured hot one each), the drop-down mark "Strela", the hand cursor and the hover click.
Run it again after changing a picture; the build uses the files it writes."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
KEY = (255, 0, 255)   # the bottom-left pixel: the transparent colour of every glyph
SIZE = 16


def canvas(w=SIZE, h=SIZE):
    return [[KEY] * w for _ in range(h)]


def stroke(img, points, colour, width=2.2):
    """Thick polyline by distance to each segment."""
    h, w = len(img), len(img[0])
    for y in range(h):
        for x in range(w):
            if (x, y) == (0, h - 1):
                continue
            px, py = x + 0.5, y + 0.5
            for (x0, y0), (x1, y1) in zip(points, points[1:]):
                dx, dy = x1 - x0, y1 - y0
                t = max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy or 1)))
                if math.hypot(px - (x0 + t * dx), py - (y0 + t * dy)) <= width / 2:
                    img[y][x] = colour
                    break


def ring(img, cx, cy, r, colour, width=2.0, gap=None):
    h, w = len(img), len(img[0])
    for y in range(h):
        for x in range(w):
            if (x, y) == (0, h - 1):
                continue
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if abs(d - r) <= width / 2:
                angle = math.degrees(math.atan2(y + 0.5 - cy, x + 0.5 - cx)) % 360
                if gap and gap[0] <= angle <= gap[1]:
                    continue
                img[y][x] = colour


def dot(img, cx, cy, r, colour):
    for y in range(len(img)):
        for x in range(len(img[0])):
            if math.hypot(x + 0.5 - cx, y + 0.5 - cy) <= r:
                img[y][x] = colour


def write_bmp(name, img):
    h, w = len(img), len(img[0])
    row_bytes = (w * 3 + 3) & ~3
    data = b''
    for row in reversed(img):
        line = b''.join(bytes((b, g, r)) for (r, g, b) in row)
        data += line + b'\0' * (row_bytes - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(header + info + data)


def glyph(draw, colour):
    img = canvas()
    draw(img, colour)
    return img


GREY = (128, 128, 128)
PICTURES = {
    'da': (lambda i, c: stroke(i, [(3, 8), (6.5, 11.5), (13, 4)], c, 2.6), (0, 150, 0)),
    'iksic': (lambda i, c: (stroke(i, [(4, 4), (12, 12)], c, 2.6), stroke(i, [(12, 4), (4, 12)], c, 2.6)), (200, 0, 0)),
    'pomoc': (lambda i, c: (ring(i, 8, 5.5, 3, c, 2.0, gap=(100, 190)), stroke(i, [(9.5, 8), (8, 9.5), (8, 10.5)], c, 2.0),
                            dot(i, 8, 13.5, 1.2, c)), (0, 70, 200)),
    'ne': (lambda i, c: (ring(i, 8, 8, 5.5, c, 2.0), stroke(i, [(4.5, 11.5), (11.5, 4.5)], c, 2.0)), (200, 0, 0)),
    'exit': (lambda i, c: (stroke(i, [(9, 3), (3, 3), (3, 13), (9, 13)], c, 1.6), stroke(i, [(6, 8), (14, 8)], c, 1.8),
                           stroke(i, [(11, 5), (14, 8), (11, 11)], c, 1.8)), (150, 60, 0)),
    'Retri': (lambda i, c: (ring(i, 8, 8, 5, c, 2.0, gap=(300, 360)), stroke(i, [(10, 2.5), (13, 3), (12.5, 6)], c, 1.8)),
              (0, 120, 160)),
    'igno': (lambda i, c: (ring(i, 8, 8, 5.5, c, 1.6), stroke(i, [(5, 8), (11, 8)], c, 2.2)), (200, 130, 0)),
    'sve': (lambda i, c: (stroke(i, [(1.5, 8), (4.5, 11), (9.5, 4)], c, 2.0), stroke(i, [(6.5, 8), (9.5, 11), (14.5, 4)], c, 2.0)),
            (0, 150, 0)),
    'glupi': (lambda i, c: (ring(i, 8, 8, 6, c, 1.4), dot(i, 6, 6.5, 1.1, c), dot(i, 10, 6.5, 1.1, c),
                            ring(i, 8, 8, 3.5, c, 1.2, gap=(200, 340)), ring(i, 8, 8, 3.5, c, 1.2, gap=(0, 20))), (180, 140, 0)),
}


def write_mark():
    img = [[KEY] * 7 for _ in range(4)]
    for y in range(4):
        for x in range(y, 7 - y):
            img[y][x] = (0, 0, 0)
    write_bmp('strela.bmp', img)


def write_cursor():
    """A pointing hand, monochrome 32 x 32, hot spot at the finger tip."""
    size = 32
    shape = [[0] * size for _ in range(size)]   # 0 outside, 1 outline (black), 2 inside (white)
    def fill(x0, y0, x1, y1):
        for y in range(y0, y1):
            for x in range(x0, x1):
                shape[y][x] = 2
    fill(6, 1, 10, 16)      # index finger
    fill(10, 8, 13, 16)     # middle finger
    fill(13, 9, 16, 16)     # ring finger
    fill(16, 10, 19, 16)    # little finger
    fill(6, 15, 19, 24)     # palm
    fill(2, 13, 6, 18)      # thumb
    outline = [[0] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            if shape[y][x] == 2:
                continue
            if any(0 <= y + dy < size and 0 <= x + dx < size and shape[y + dy][x + dx] == 2
                   for dy in (-1, 0, 1) for dx in (-1, 0, 1)):
                outline[y][x] = 1
    xor_rows, and_rows = [], []
    for y in reversed(range(size)):
        xr, ar = 0, 0
        for x in range(size):
            bit = 1 << (31 - x)
            if shape[y][x] == 2:
                xr |= bit            # white
            elif not outline[y][x]:
                ar |= bit            # transparent
        xor_rows.append(struct.pack('>I', xr))
        and_rows.append(struct.pack('>I', ar))
    bitmap = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    bitmap += bytes((0, 0, 0, 0, 255, 255, 255, 0)) + b''.join(xor_rows) + b''.join(and_rows)
    header = struct.pack('<HHH', 0, 2, 1) + struct.pack('<BBBBHHII', size, size, 2, 0, 7, 1, len(bitmap), 22)
    with open(os.path.join(HERE, 'handtmqb.cur'), 'wb') as f:
        f.write(header + bitmap)


def write_click():
    """A 25 ms decaying 2 kHz tick, 8-bit mono at 11025 Hz."""
    rate, count = 11025, 276
    samples = bytes(int(128 + 90 * math.exp(-i / 50) * math.sin(2 * math.pi * 2000 * i / rate)) for i in range(count))
    fmt = struct.pack('<4sIHHIIHH', b'fmt ', 16, 1, 1, rate, rate, 1, 8)
    data = struct.pack('<4sI', b'data', len(samples)) + samples
    riff = struct.pack('<4sI4s', b'RIFF', 4 + len(fmt) + len(data), b'WAVE')
    with open(os.path.join(HERE, 'preko.wav'), 'wb') as f:
        f.write(riff + fmt + data)


if __name__ == '__main__':
    for stem, (draw, colour) in PICTURES.items():
        write_bmp(f'{stem}gtmqb.bmp', glyph(draw, GREY))
        write_bmp(f'{stem}tmqb.bmp', glyph(draw, colour))
    write_mark()
    write_cursor()
    write_click()
