"""BMP and PNG writers with fixed output: no dates, names or other varying fields in the files."""
import struct
import zlib


def bmp24(width, height, rows):
    """A 24-bit Windows bitmap. rows: height rows top to bottom, each a sequence of (r, g, b)."""
    stride = (width * 3 + 3) & ~3
    pad = bytes(stride - width * 3)
    body = bytearray()
    for row in reversed(rows):          # the file stores the bottom row first
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        body += line + pad
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(body), 0, 0, 14 + len(info))
    return head + info + bytes(body)


def _chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png_rgba(width, height, pixels):
    """An 8-bit RGBA PNG. pixels: bytes of width*height*4, rows top to bottom, straight (not premultiplied) alpha."""
    raw = bytearray()
    stride = width * 4
    for y in range(height):
        raw.append(0)                   # filter type None: small files either way, and simplest to check
        raw += pixels[y * stride:(y + 1) * stride]
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", ihdr) + _chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + _chunk(b"IEND", b""))
