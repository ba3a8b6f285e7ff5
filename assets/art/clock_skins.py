"""Clock skins: skins\\<name>\\Numbers.bmp and Text.bmp.

Numbers.bmp is one row of 11 cells of equal width, digits 0 to 9 and a blank eleventh cell. Text.bmp is
31 columns by 3 rows of equal cells holding the small character set. The colour of Text.bmp's
bottom-right pixel is the transparent key for both pictures and the clock's own background, so every
background pixel is that colour and no glyph pixel ever is.

The clock cuts its colon, dot and minus sign from the top edge of the digit 0: a square of side
width / 4 at x = width / 3, y = 0. Every digit style therefore starts the 0 with a flat bar at least that
thick across that spot; check_sign_square() makes sure of it.
"""
import math

from . import imagefile, raster, strokefont

NUMBER_CELLS = 11
TEXT_COLUMNS, TEXT_ROWS = 31, 3

# Text.bmp character map: (column, row) of every character that has a glyph.
TEXT_MAP = {}
for _i, _ch in enumerate("ABCDEFGHIJKLMNOPQRSTUVWXYZ"):
    TEXT_MAP[_ch] = (_i, 0)
TEXT_MAP['"'] = (26, 0)
TEXT_MAP["@"] = (27, 0)
for _i in range(10):
    TEXT_MAP[str(_i)] = (_i, 1)
for _col, _ch in ((12, ":"), (13, "("), (14, ")"), (16, "'"), (17, "!"), (18, "_"), (19, "+"), (20, "\\"),
                  (21, "/"), (22, "["), (23, "]"), (24, "^"), (25, "&"), (26, "%"), (27, "."), (28, "="),
                  (29, "$")):
    TEXT_MAP[_ch] = (_col, 1)


class Skin:
    def __init__(self, name, digit, text, key, style, stroke, colors, text_color, text_bold=0, ghost=None,
                 inset=(1, 1)):
        self.name = name
        self.digit_w, self.digit_h = digit      # one cell of Numbers.bmp
        self.text_w, self.text_h = text         # one cell of Text.bmp
        self.key = key                          # background and transparent colour
        self.style = style                      # "strokes" or "segments"
        self.stroke = stroke                    # digit stroke thickness in pixels (whole pixels stay crisp)
        self.colors = colors                    # digit colours: top, middle, bottom
        self.text_color = text_color
        self.text_bold = text_bold              # extra pixels added to the right of every text stroke
        self.ghost = ghost                      # colour of unlit segments, or None
        self.inset = inset                      # empty columns left and right of the digit


# "Gold" is the skin the program uses until the user picks another. Cell sizes differ, but every skin
# fits Wine's 20 px taskbar whole: digits 14 or 16 high keep the text rows beside them (8 high, placed
# by the digit height) inside the window.
SKINS = [
    Skin("Gold", (10, 16), (6, 8), (18, 14, 8), "strokes", 2,
         ((255, 236, 150), (236, 184, 64), (176, 116, 22)), (240, 206, 120)),
    Skin("Silver", (8, 14), (6, 8), (22, 26, 34), "strokes", 2,
         ((255, 255, 255), (208, 214, 224), (138, 148, 166)), (214, 220, 232)),
    Skin("Azure", (11, 16), (6, 8), (6, 18, 38), "strokes", 3,
         ((176, 238, 255), (74, 174, 244), (24, 98, 200)), (150, 212, 255), text_bold=1),
    Skin("Ember", (13, 16), (6, 8), (14, 6, 4), "segments", 3,
         ((255, 184, 100), (255, 112, 44), (214, 52, 20)), (255, 146, 74), ghost=(34, 16, 11), inset=(0, 2)),
]

# Digits as strokes through the corners of the digit box: x 0 left, 1 right; y 0 top, 0.5 middle, 1 bottom.
DIGIT_STROKES = {
    0: [[(0, 0), (1, 0), (1, 1), (0, 1), (0, 0)]],
    1: [[(0.2, 0), (0.6, 0), (0.6, 1)]],
    2: [[(0, 0), (1, 0), (1, 0.5), (0, 0.5), (0, 1), (1, 1)]],
    3: [[(0, 0), (1, 0), (1, 1), (0, 1)], [(0.3, 0.5), (1, 0.5)]],
    4: [[(0, 0), (0, 0.5), (1, 0.5)], [(1, 0), (1, 1)]],
    5: [[(1, 0), (0, 0), (0, 0.5), (1, 0.5), (1, 1), (0, 1)]],
    6: [[(1, 0), (0, 0), (0, 1), (1, 1), (1, 0.5), (0, 0.5)]],
    7: [[(0, 0), (1, 0), (1, 1)]],
    8: [[(0, 0), (1, 0), (1, 1), (0, 1), (0, 0)], [(0, 0.5), (1, 0.5)]],
    9: [[(0, 1), (1, 1), (1, 0), (0, 0), (0, 0.5), (1, 0.5)]],
}

# Seven segments: a top, b upper right, c lower right, d bottom, e lower left, f upper left, g middle.
DIGIT_SEGMENTS = {
    0: "abcdef", 1: "bc", 2: "abged", 3: "abgcd", 4: "fgbc",
    5: "afgcd", 6: "afgedc", 7: "abc", 8: "abcdefg", 9: "abcdfg",
}


def _digit_box(skin, x0):
    """Centre lines of the digit's outer strokes, placed so that every stroke edge falls on a pixel edge."""
    t = skin.stroke
    left = x0 + skin.inset[0] + t / 2.0
    right = x0 + skin.digit_w - skin.inset[1] - t / 2.0
    top = t / 2.0
    bottom = skin.digit_h - t / 2.0
    middle = (skin.digit_h - t) // 2 + t / 2.0
    return left, right, top, middle, bottom


def _stroke_digit(skin, digit, x0):
    left, right, top, middle, bottom = _digit_box(skin, x0)

    t = skin.stroke

    def snap(v):
        # Stroke edges on whole pixels, so a stroke inside the digit (the stem of the 1) is as sharp as the rest.
        return math.floor(v - t / 2.0 + 0.5) + t / 2.0

    def pt(p):
        fx, fy = p
        y = {0: top, 0.5: middle, 1: bottom}.get(fy, top + (bottom - top) * fy)
        return snap(left + (right - left) * fx), snap(y)
    parts = []
    for line in DIGIT_STROKES[digit]:
        pts = [pt(p) for p in line]
        for i in range(len(pts) - 1):
            (ax, ay), (bx, by) = pts[i], pts[i + 1]
            straight = ax == bx or ay == by
            parts.append(raster.segment(ax, ay, bx, by, t, "square" if straight else "round",
                                        radius=t * 0.35 if straight else 0.0))
    return raster.union(*parts)


def _segment_shapes(skin, x0):
    """Seven bevelled segments. The top and bottom ones run along the cell's edges over the full digit
    width, so the 0 has the flat top bar the signs are cut from."""
    left, right, top, middle, bottom = _digit_box(skin, x0)
    t = float(skin.stroke)
    h = t / 2.0
    g = 0.6                                     # gap between neighbouring segments
    X0, X1, Y1, yc = left - h, right + h, bottom + h, middle

    def mirror(points):
        return [(X0 + X1 - x, y) for x, y in points]
    upper_left = [(X0, g), (X0 + t, t + g), (X0 + t, yc - h - g), (X0 + h, yc - g), (X0, yc - h - g)]
    lower_left = [(X0, Y1 - g), (X0 + t, Y1 - t - g), (X0 + t, yc + h + g), (X0 + h, yc + g), (X0, yc + h + g)]
    return {
        "a": raster.polygon([(X0 + g, 0), (X1 - g, 0), (X1 - t - g, t), (X0 + t + g, t)]),
        "d": raster.polygon([(X0 + g, Y1), (X1 - g, Y1), (X1 - t - g, Y1 - t), (X0 + t + g, Y1 - t)]),
        "g": raster.polygon([(X0 + h + g, yc), (X0 + t + g, yc - h), (X1 - t - g, yc - h), (X1 - h - g, yc),
                             (X1 - t - g, yc + h), (X0 + t + g, yc + h)]),
        "f": raster.polygon(upper_left), "e": raster.polygon(lower_left),
        "b": raster.polygon(mirror(upper_left)), "c": raster.polygon(mirror(lower_left)),
    }


def _digit_paint(skin):
    top, mid, bottom = skin.colors
    h = float(skin.digit_h)

    def paint(x, y):
        t = y / h
        if t < 0.5:
            return raster.mix(top, mid, t * 2.0)
        return raster.mix(mid, bottom, min(1.0, (t - 0.5) * 2.0))
    return paint


def numbers_canvas(skin):
    c = raster.Canvas(skin.digit_w * NUMBER_CELLS, skin.digit_h)
    paint = _digit_paint(skin)
    for d in range(10):
        x0 = d * skin.digit_w
        if skin.style == "segments":
            segs = _segment_shapes(skin, x0)
            lit = DIGIT_SEGMENTS[d]
            if skin.ghost:
                dark = [segs[k] for k in "abcdefg" if k not in lit]
                if dark:
                    c.fill(raster.union(*dark), skin.ghost)
            c.fill(raster.union(*[segs[k] for k in lit]), paint)
        else:
            c.fill(_stroke_digit(skin, d, x0), paint)
    return c


def text_canvas(skin):
    c = raster.Canvas(skin.text_w * TEXT_COLUMNS, skin.text_h * TEXT_ROWS)
    for ch, (col, row) in sorted(TEXT_MAP.items()):
        shape = strokefont.glyph_shape(ch, col * skin.text_w, row * skin.text_h, bold=skin.text_bold)
        if shape is not None:
            c.fill(shape, skin.text_color)
    return c


def check_sign_square(skin, numbers):
    """The colon, dot and minus are cut from the 0: that square must be solid glyph, or the signs would
    come out with holes or key-coloured (invisible) pixels."""
    s = skin.digit_w // 4
    x0 = skin.digit_w // 3
    for y in range(s):
        for x in range(x0, x0 + s):
            if numbers.a[y * numbers.w + x] < 0.999:
                raise AssertionError("skin %s: the sign square of the digit 0 is not solid at (%d, %d)"
                                     % (skin.name, x, y))


def build(out):
    for skin in SKINS:
        if skin.stroke < skin.digit_w // 4:
            raise AssertionError("skin %s: digit strokes thinner than the sign square" % skin.name)
        numbers = numbers_canvas(skin)
        check_sign_square(skin, numbers)
        text = text_canvas(skin)
        out.write("skins/%s/Numbers.bmp" % skin.name,
                  imagefile.bmp24(numbers.w, numbers.h, numbers.rgb_rows_over_key(skin.key)))
        text_rows = text.rgb_rows_over_key(skin.key)
        if text_rows[-1][-1] != skin.key:
            raise AssertionError("skin %s: Text.bmp's bottom-right pixel must be the key colour" % skin.name)
        out.write("skins/%s/Text.bmp" % skin.name, imagefile.bmp24(text.w, text.h, text_rows))


PRODUCTS = [("skins", build)]
