"""The program's own icon, vantoric.ico: a clock face at 16, 24, 32, 48, 64, 128 and 256 pixels. The
program shows it in its title bar, the notification area and, at 128 pixels, on the About page. It is
built into the program image, so it is drawn into the build folder rather than the program folder."""
import math
import struct

from . import imagefile, raster
from .raster import circle, linear, radial, segment

SIZES = (16, 24, 32, 48, 64, 128, 256)


def face(c):
    """Drawn on a 32 x 32 design grid; the canvas scale gives the size."""
    c.fill(circle(16, 16.6, 15.2), (20, 40, 80, 90))                           # soft shadow below
    c.fill(circle(16, 16, 15), linear(0, 1, (92, 160, 236), 0, 31, (22, 70, 150)))
    c.fill(circle(16, 16, 12.4), radial(13, 12, 16, (255, 255, 255), (214, 224, 238)))
    small = c.w < 32
    for hour in range(12):
        a = math.radians(hour * 30)
        outer, inner = 11.2, (8.8 if hour % 3 == 0 else 9.9)
        if small and hour % 3:
            continue                                                            # a 16 px face keeps only the quarters
        c.fill(segment(16 + inner * math.sin(a), 16 - inner * math.cos(a), 16 + outer * math.sin(a),
                       16 - outer * math.cos(a), 1.5 if hour % 3 == 0 else 0.8), (40, 52, 72))
    hour_a, minute_a = math.radians(10 * 30 + 10 * 0.5), math.radians(10 * 6)   # ten past ten
    c.fill(segment(16, 16, 16 + 6 * math.sin(hour_a), 16 - 6 * math.cos(hour_a), 2.2), (30, 38, 56))
    c.fill(segment(16, 16, 16 + 9.2 * math.sin(minute_a), 16 - 9.2 * math.cos(minute_a), 1.6), (30, 38, 56))
    if not small:
        second_a = math.radians(38 * 6)
        c.fill(segment(16 - 2.5 * math.sin(second_a), 16 + 2.5 * math.cos(second_a),
                       16 + 10 * math.sin(second_a), 16 - 10 * math.cos(second_a), 0.6), (220, 50, 40))
    c.fill(circle(16, 16, 1.5), (220, 50, 40))


def _dib_entry(size, rgba):
    """A 32-bit icon image: header with doubled height, BGRA rows bottom first, then the AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for y in reversed(range(size)):
        for x in range(size):
            o = (y * size + x) * 4
            colour += bytes((rgba[o + 2], rgba[o + 1], rgba[o], rgba[o + 3]))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            if rgba[(y * size + x) * 4 + 3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(colour) + bytes(mask)


def icon_file(images):
    """images: (size, straight RGBA bytes) pairs. The 256 px image is stored as PNG, the others as DIBs."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for size, rgba in images:
        blob = imagefile.png_rgba(size, size, rgba) if size >= 256 else _dib_entry(size, rgba)
        entries.append(struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


def build(out):
    images = []
    for size in SIZES:
        c = raster.Canvas(size, size, size / 32.0)
        face(c)
        images.append((size, c.rgba_bytes()))
    out.write("vantoric.ico", icon_file(images))


PRODUCTS = [("programicon", build)]
