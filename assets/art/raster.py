"""A small anti-aliased raster library.

Shapes are signed distance functions (negative inside) with a bounding box. A pixel's coverage is taken
from the distance at its centre (0.5 - d, clamped), which gives smooth edges without supersampling and
keeps straight edges that lie on pixel boundaries perfectly crisp. Shapes are built in a design space
that the canvas scales to pixels, so one drawing serves every picture size.
"""
import math

_hypot = math.hypot
_sqrt = math.sqrt


class Shape:
    __slots__ = ("sdf", "box")

    def __init__(self, sdf, box):
        self.sdf = sdf          # (x, y) -> signed distance in design units
        self.box = box          # (x0, y0, x1, y1) in design units, may be larger than the shape

    def __or__(self, other):
        return union(self, other)

    def __and__(self, other):
        return intersect(self, other)

    def __sub__(self, other):
        return subtract(self, other)


def _grow(box, d):
    return (box[0] - d, box[1] - d, box[2] + d, box[3] + d)


# ---- primitives ---------------------------------------------------------------------------------

def circle(cx, cy, r):
    return Shape(lambda x, y: _hypot(x - cx, y - cy) - r, (cx - r, cy - r, cx + r, cy + r))


def ellipse(cx, cy, rx, ry):
    if rx == ry:
        return circle(cx, cy, rx)

    def sdf(x, y):
        px, py = (x - cx) / rx, (y - cy) / ry
        k0 = _hypot(px, py)
        k1 = _hypot(px / rx, py / ry)
        return k0 * (k0 - 1.0) / k1 if k1 > 0 else -min(rx, ry)
    return Shape(sdf, (cx - rx, cy - ry, cx + rx, cy + ry))


def rect(x0, y0, x1, y1, radius=0.0):
    """Axis-aligned rectangle from (x0, y0) to (x1, y1), corners rounded by radius."""
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    ex, ey = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius

    def sdf(x, y):
        qx = abs(x - cx) - ex
        qy = abs(y - cy) - ey
        if qx > 0 or qy > 0:
            return _hypot(max(qx, 0.0), max(qy, 0.0)) - radius
        return max(qx, qy) - radius
    return Shape(sdf, (x0, y0, x1, y1))


def segment(ax, ay, bx, by, width, cap="round", radius=0.0):
    """A straight stroke. cap "round" ends in half circles, "square" extends the stroke by half its
    width at both ends (corners rounded by radius), "butt" stops at the end points."""
    hw = width / 2.0
    dx, dy = bx - ax, by - ay
    length = _hypot(dx, dy)
    box = _grow((min(ax, bx), min(ay, by), max(ax, bx), max(ay, by)), hw + 1e-9)
    if cap == "round":
        ll = dx * dx + dy * dy

        def sdf(x, y):
            px, py = x - ax, y - ay
            h = (px * dx + py * dy) / ll if ll > 0 else 0.0
            h = 0.0 if h < 0.0 else (1.0 if h > 1.0 else h)
            return _hypot(px - dx * h, py - dy * h) - hw
        return Shape(sdf, box)
    if length == 0:
        ux, uy = 1.0, 0.0
    else:
        ux, uy = dx / length, dy / length
    cx, cy = (ax + bx) / 2.0, (ay + by) / 2.0
    ex = length / 2.0 + (hw if cap == "square" else 0.0) - radius
    ey = hw - radius

    def sdf(x, y):
        px, py = x - cx, y - cy
        qx = abs(px * ux + py * uy) - ex
        qy = abs(py * ux - px * uy) - ey
        if qx > 0 or qy > 0:
            return _hypot(max(qx, 0.0), max(qy, 0.0)) - radius
        return max(qx, qy) - radius
    return Shape(sdf, box)


def polyline(points, width, cap="round", radius=0.0):
    parts = [segment(*points[i], *points[i + 1], width, cap, radius) for i in range(len(points) - 1)]
    if not parts:
        parts = [segment(*points[0], *points[0], width, cap, radius)]
    return union(*parts)


def polygon(points):
    """A closed polygon (any winding, even-odd inside test)."""
    pts = [(float(x), float(y)) for x, y in points]
    n = len(pts)
    edges = [(pts[i], pts[(i + 1) % n]) for i in range(n)]
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]

    def sdf(x, y):
        best = 1e30
        inside = False
        for (x0, y0), (x1, y1) in edges:
            ex, ey = x1 - x0, y1 - y0
            wx, wy = x - x0, y - y0
            ll = ex * ex + ey * ey
            h = (wx * ex + wy * ey) / ll if ll > 0 else 0.0
            h = 0.0 if h < 0.0 else (1.0 if h > 1.0 else h)
            ddx, ddy = wx - ex * h, wy - ey * h
            d2 = ddx * ddx + ddy * ddy
            if d2 < best:
                best = d2
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * ex / ey:
                inside = not inside
        d = _sqrt(best)
        return -d if inside else d
    return Shape(sdf, (min(xs), min(ys), max(xs), max(ys)))


def arc(cx, cy, r, start_deg, end_deg, width, steps=None):
    """A stroked circular arc, angles in degrees clockwise from the positive x axis (y points down)."""
    if steps is None:
        steps = max(4, int(abs(end_deg - start_deg) / 12))
    pts = []
    for i in range(steps + 1):
        a = math.radians(start_deg + (end_deg - start_deg) * i / steps)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return polyline(pts, width)


# ---- combinations -------------------------------------------------------------------------------

def union(*shapes):
    if len(shapes) == 1:
        return shapes[0]
    fs = [s.sdf for s in shapes]

    def sdf(x, y):
        return min(f(x, y) for f in fs)
    return Shape(sdf, (min(s.box[0] for s in shapes), min(s.box[1] for s in shapes),
                       max(s.box[2] for s in shapes), max(s.box[3] for s in shapes)))


def intersect(a, b):
    fa, fb = a.sdf, b.sdf
    box = (max(a.box[0], b.box[0]), max(a.box[1], b.box[1]), min(a.box[2], b.box[2]), min(a.box[3], b.box[3]))
    return Shape(lambda x, y: max(fa(x, y), fb(x, y)), box)


def subtract(a, b):
    fa, fb = a.sdf, b.sdf
    return Shape(lambda x, y: max(fa(x, y), -fb(x, y)), a.box)


def grow(s, d):
    """The shape widened by d on every side (narrowed for negative d)."""
    f = s.sdf
    return Shape(lambda x, y: f(x, y) - d, _grow(s.box, max(d, 0.0)))


def outline(s, width):
    """A band of the given width centred on the shape's edge."""
    f, hw = s.sdf, width / 2.0
    return Shape(lambda x, y: abs(f(x, y)) - hw, _grow(s.box, hw))


def translate(s, tx, ty):
    f = s.sdf
    return Shape(lambda x, y: f(x - tx, y - ty), (s.box[0] + tx, s.box[1] + ty, s.box[2] + tx, s.box[3] + ty))


# ---- paints -------------------------------------------------------------------------------------
# A paint is either a colour (r, g, b[, a]) with 0..255 components or a function (x, y) -> colour
# in design units; colours from functions are floats 0..255.

def rgba(c):
    return (c[0], c[1], c[2], c[3] if len(c) > 3 else 255)


def mix(c0, c1, t):
    c0, c1 = rgba(c0), rgba(c1)
    return tuple(c0[i] + (c1[i] - c0[i]) * t for i in range(4))


def linear(x0, y0, c0, x1, y1, c1):
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy
    c0, c1 = rgba(c0), rgba(c1)

    def paint(x, y):
        t = ((x - x0) * dx + (y - y0) * dy) / ll
        t = 0.0 if t < 0.0 else (1.0 if t > 1.0 else t)
        return (c0[0] + (c1[0] - c0[0]) * t, c0[1] + (c1[1] - c0[1]) * t,
                c0[2] + (c1[2] - c0[2]) * t, c0[3] + (c1[3] - c0[3]) * t)
    return paint


def radial(cx, cy, r, c0, c1):
    c0, c1 = rgba(c0), rgba(c1)

    def paint(x, y):
        t = _hypot(x - cx, y - cy) / r
        t = 1.0 if t > 1.0 else t
        return (c0[0] + (c1[0] - c0[0]) * t, c0[1] + (c1[1] - c0[1]) * t,
                c0[2] + (c1[2] - c0[2]) * t, c0[3] + (c1[3] - c0[3]) * t)
    return paint


# ---- canvas -------------------------------------------------------------------------------------

class Canvas:
    """Premultiplied RGBA floats (0..1), transparent at start. scale = pixels per design unit."""

    def __init__(self, width, height, scale=1.0):
        self.w, self.h, self.scale = width, height, scale
        n = width * height
        self.r = [0.0] * n
        self.g = [0.0] * n
        self.b = [0.0] * n
        self.a = [0.0] * n

    def fill(self, shape, paint, opacity=1.0):
        s = self.scale
        x0 = max(0, int(math.floor(shape.box[0] * s)) - 1)
        y0 = max(0, int(math.floor(shape.box[1] * s)) - 1)
        x1 = min(self.w, int(math.ceil(shape.box[2] * s)) + 1)
        y1 = min(self.h, int(math.ceil(shape.box[3] * s)) + 1)
        if x0 >= x1 or y0 >= y1:
            return
        sdf = shape.sdf
        const = not callable(paint)
        if const:
            c = rgba(paint)
            pr, pg, pb, pa = c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, c[3] / 255.0 * opacity
        R, G, B, A, w = self.r, self.g, self.b, self.a, self.w
        inv = 1.0 / s
        for py in range(y0, y1):
            yd = (py + 0.5) * inv
            row = py * w
            for px in range(x0, x1):
                xd = (px + 0.5) * inv
                cov = 0.5 - sdf(xd, yd) * s
                if cov <= 0.0:
                    continue
                if cov > 1.0:
                    cov = 1.0
                if not const:
                    c = paint(xd, yd)
                    pr, pg, pb, pa = c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, c[3] / 255.0 * opacity
                k = pa * cov
                if k <= 0.0:
                    continue
                i = row + px
                keep = 1.0 - k
                R[i] = pr * k + R[i] * keep
                G[i] = pg * k + G[i] * keep
                B[i] = pb * k + B[i] * keep
                A[i] = k + A[i] * keep

    def draw(self, canvas, dx, dy):
        """Lays another canvas of the same scale over this one at pixel offset (dx, dy)."""
        for y in range(canvas.h):
            ty = y + dy
            if not 0 <= ty < self.h:
                continue
            for x in range(canvas.w):
                tx = x + dx
                if not 0 <= tx < self.w:
                    continue
                j = y * canvas.w + x
                k = canvas.a[j]
                if k <= 0.0:
                    continue
                i = ty * self.w + tx
                keep = 1.0 - k
                self.r[i] = canvas.r[j] + self.r[i] * keep
                self.g[i] = canvas.g[j] + self.g[i] * keep
                self.b[i] = canvas.b[j] + self.b[i] * keep
                self.a[i] = k + self.a[i] * keep

    def rgba_bytes(self):
        """Straight-alpha RGBA bytes, rows top to bottom (the PNG layout)."""
        out = bytearray(self.w * self.h * 4)
        for i in range(self.w * self.h):
            a = self.a[i]
            ai = int(a * 255.0 + 0.5)
            if ai <= 0:
                continue                # fully transparent pixels stay black: fixed bytes, small files
            o = i * 4
            out[o] = min(255, int(self.r[i] / a * 255.0 + 0.5))
            out[o + 1] = min(255, int(self.g[i] / a * 255.0 + 0.5))
            out[o + 2] = min(255, int(self.b[i] / a * 255.0 + 0.5))
            out[o + 3] = min(255, ai)
        return bytes(out)

    def rgb_rows_over_key(self, key, min_alpha=0.03):
        """Rows of (r, g, b) with the picture laid over the key colour. A pixel the picture covers never
        comes out equal to the key (it would turn transparent), and pixels it barely touches are exactly
        the key (no faint halo of almost-key pixels around the glyphs)."""
        kr, kg, kb = key
        rows = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                i = y * self.w + x
                a = self.a[i]
                if a < min_alpha:
                    row.append((kr, kg, kb))
                    continue
                keep = 1.0 - a
                px = (min(255, int(self.r[i] * 255.0 + kr * keep + 0.5)),
                      min(255, int(self.g[i] * 255.0 + kg * keep + 0.5)),
                      min(255, int(self.b[i] * 255.0 + kb * keep + 0.5)))
                if px == (kr, kg, kb):
                    px = (px[0], px[1] + 1 if px[1] < 255 else px[1] - 1, px[2])
                row.append(px)
            rows.append(row)
        return rows
