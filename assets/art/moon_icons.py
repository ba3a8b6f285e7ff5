"""Moon pictures: Moon\\<code>.png, where the code is the moon's age in days (0 new moon, about 15 full
moon, 29 the last thin crescent), and Moon\\na.png for a missing code. Seen from the northern hemisphere:
the waxing moon is lit on the right."""
import math

from . import imagefile, raster, strokefont

SIZE = 32
SYNODIC_DAYS = 29.530588
AGES = range(30)

DARK, DARK_LINE = (54, 60, 80), (118, 126, 152)
LIT_CENTRE, LIT_EDGE = (255, 252, 232), (214, 206, 172)
CRATER = (170, 164, 140)
CRATERS = [(12.0, 11.0, 2.6), (20.5, 9.5, 1.8), (18.0, 18.5, 3.2), (10.0, 20.0, 1.6), (23.0, 22.0, 1.4),
           (14.5, 25.0, 1.2)]


def lit_shape(age_days, cx, cy, r):
    """The sunlit part of the disk, or None when nothing is lit."""
    p = (age_days % SYNODIC_DAYS) / SYNODIC_DAYS
    k = math.cos(2.0 * math.pi * p)            # 1 new, 0 half, -1 full
    if k > 0.985:
        return None
    disk = raster.circle(cx, cy, r)
    if k < -0.985:
        return disk
    waxing = p < 0.5
    side = 1.0 if waxing else -1.0
    half = raster.Shape(lambda x, y: (cx - x) * side, (cx - r, cy - r, cx + r, cy + r)) & disk
    terminator = raster.ellipse(cx, cy, max(abs(k) * r, 0.01), r)
    if k > 0:                                   # crescent: the half disk less the terminator
        return half - terminator
    return (half | terminator) & disk           # gibbous: the half disk and the terminator's bulge


def draw_age(age_days, size=SIZE):
    c = raster.Canvas(size, size, size / float(SIZE))
    cx = cy = 16.0
    r = 13.5
    c.fill(raster.circle(cx, cy, r + 0.9), DARK_LINE)
    c.fill(raster.circle(cx, cy, r), raster.radial(cx - 3, cy - 3, r * 1.4, (70, 76, 98), DARK))
    lit = lit_shape(age_days, cx, cy, r)
    if lit is not None:
        c.fill(lit, raster.radial(cx - 4, cy - 4, r * 1.6, LIT_CENTRE, LIT_EDGE))
        for x, y, cr in CRATERS:
            c.fill(raster.circle(x, y, cr) & lit, CRATER, opacity=0.45)
    return c


def draw_na(size=SIZE):
    c = raster.Canvas(size, size, size / float(SIZE))
    c.fill(raster.circle(16, 16, 14.4), DARK_LINE)
    c.fill(raster.circle(16, 16, 13.5), DARK)
    c.fill(strokefont.glyph_shape("?", 16 - 2.5 * 3.0, 16 - 3.5 * 3.0, unit=3.0, width=2.6), (170, 178, 200))
    return c


def codes():
    return [str(a) for a in AGES] + ["na"]


def build(out):
    for code in codes():
        c = draw_na() if code == "na" else draw_age(int(code))
        out.write("Moon/%s.png" % code, imagefile.png_rgba(c.w, c.h, c.rgba_bytes()))


PRODUCTS = [("moon", build)]
