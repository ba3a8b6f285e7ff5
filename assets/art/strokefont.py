"""The program's own stroke font for small text: letters, digits and signs drawn as strokes on a grid
4 units wide and 6 high (x 0..4 from the left, y 0..6 from the top). At one pixel per unit every stroke
lies on whole pixels, so the clock's small text stays crisp; other sizes are anti-aliased.

Each glyph is a list of strokes separated by ";", each stroke a list of grid points "x,y". A stroke of
one point is a dot.
"""
from . import raster

GLYPHS = {
    "A": "0,6 0,1 1,0 3,0 4,1 4,6; 0,3 4,3",
    "B": "0,0 3,0 4,1 4,2 3,3 0,3; 3,3 4,4 4,5 3,6 0,6 0,0",
    "C": "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5",
    "D": "0,0 3,0 4,1 4,5 3,6 0,6 0,0",
    "E": "4,0 0,0 0,6 4,6; 0,3 3,3",
    "F": "4,0 0,0 0,6; 0,3 3,3",
    "G": "4,1 3,0 1,0 0,1 0,5 1,6 4,6 4,3 2,3",
    "H": "0,0 0,6; 4,0 4,6; 0,3 4,3",
    "I": "1,0 3,0; 2,0 2,6; 1,6 3,6",
    "J": "2,0 4,0 4,5 3,6 1,6 0,5",
    "K": "0,0 0,6; 0,3 1,3 4,0; 1,3 4,6",
    "L": "0,0 0,6 4,6",
    "M": "0,6 0,0 2,2 4,0 4,6; 2,2 2,3",
    "N": "0,6 0,0; 0,1 4,5; 4,0 4,6",
    "O": "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0",
    "P": "0,6 0,0 3,0 4,1 4,2 3,3 0,3",
    "Q": "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0; 2,4 4,6",
    "R": "0,6 0,0 3,0 4,1 4,2 3,3 0,3; 2,3 4,5 4,6",
    "S": "4,1 3,0 1,0 0,1 0,2 1,3 3,3 4,4 4,5 3,6 1,6 0,5",
    "T": "0,0 4,0; 2,0 2,6",
    "U": "0,0 0,5 1,6 3,6 4,5 4,0",
    "V": "0,0 0,4 2,6 4,4 4,0",
    "W": "0,0 0,6 2,4 4,6 4,0; 2,4 2,3",
    "X": "0,0 0,1 4,5 4,6; 4,0 4,1 0,5 0,6",
    "Y": "0,0 0,1 2,3 4,1 4,0; 2,3 2,6",
    "Z": "0,0 4,0 4,1 0,5 0,6 4,6",
    "0": "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0; 1,4 3,2",
    "1": "1,1 2,0 2,6; 1,6 3,6",
    "2": "0,1 1,0 3,0 4,1 4,2 0,6 4,6",
    "3": "0,0 4,0 2,2 3,2 4,3 4,5 3,6 1,6 0,5",
    "4": "3,6 3,0 0,3 0,4 4,4",
    "5": "4,0 0,0 0,2 3,2 4,3 4,5 3,6 1,6 0,5",
    "6": "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,4 3,3 0,3",
    "7": "0,0 4,0 4,1 1,4 1,6",
    "8": "1,0 3,0 4,1 4,2 3,3 1,3 0,2 0,1 1,0; 1,3 0,4 0,5 1,6 3,6 4,5 4,4 3,3",
    "9": "0,5 1,6 3,6 4,5 4,1 3,0 1,0 0,1 0,2 1,3 4,3",
    '"': "1,0 1,2; 3,0 3,2",
    "@": "3,4 3,2 1,2 1,4 4,4 4,1 3,0 1,0 0,1 0,5 1,6 4,6",
    ":": "2,1 2,2; 2,4 2,5",
    "(": "3,0 2,1 2,5 3,6",
    ")": "1,0 2,1 2,5 1,6",
    "'": "2,0 2,2",
    "!": "2,0 2,4; 2,6",
    "_": "0,6 4,6",
    "+": "2,1 2,5; 0,3 4,3",
    "\\": "0,0 0,1 4,5 4,6",
    "/": "4,0 4,1 0,5 0,6",
    "[": "3,0 1,0 1,6 3,6",
    "]": "1,0 3,0 3,6 1,6",
    "^": "0,2 2,0 4,2",
    "&": "4,6 1,2 1,1 2,0 3,1 3,2 0,4 0,5 1,6 2,6 4,4",
    "%": "0,0 1,0 1,1 0,1 0,0; 4,1 0,5; 3,5 4,5 4,6 3,6 3,5",
    ".": "2,6",
    "=": "0,2 4,2; 0,4 4,4",
    "$": "4,1 1,1 0,2 1,3 3,3 4,4 3,5 0,5; 2,0 2,6",
    "?": "0,1 1,0 3,0 4,1 4,2 2,4; 2,6",
    "-": "0,3 4,3",
}

GRID_W, GRID_H = 4, 6


def strokes(ch):
    outline = GLYPHS.get(ch.upper())
    if outline is None:
        return []
    result = []
    for part in outline.split(";"):
        pts = [tuple(int(v) for v in p.split(",")) for p in part.split()]
        result.append(pts)
    return result


def glyph_shape(ch, x, y, unit=1.0, width=None, bold=0.0):
    """The shape of one glyph whose grid cell (0, 0) has its top-left corner at (x, y); unit is the size
    of one grid step; bold widens vertical strokes to the right by that much. None for no glyph."""
    if width is None:
        width = unit
    parts = []
    for pts in strokes(ch):
        mapped = [(x + (gx + 0.5) * unit, y + (gy + 0.5) * unit) for gx, gy in pts]
        for shift in ((0.0, bold) if bold else (0.0,)):
            moved = [(px + shift, py) for px, py in mapped]
            if len(moved) == 1:
                moved = moved * 2
            for i in range(len(moved) - 1):
                (ax, ay), (bx, by) = moved[i], moved[i + 1]
                straight = ax == bx or ay == by
                parts.append(raster.segment(ax, ay, bx, by, width, "square" if straight else "round"))
    return raster.union(*parts) if parts else None


def text_shape(text, x, y, unit=1.0, width=None, spacing=1.0, bold=0.0):
    """Glyphs side by side; spacing is the gap between glyph boxes in grid units."""
    parts = []
    advance = (GRID_W + 1 + spacing) * unit + bold
    for i, ch in enumerate(text):
        s = glyph_shape(ch, x + i * advance, y, unit, width, bold)
        if s is not None:
            parts.append(s)
    return raster.union(*parts) if parts else None


def text_width(text, unit=1.0, spacing=1.0, bold=0.0):
    if not text:
        return 0.0
    return len(text) * ((GRID_W + 1 + spacing) * unit + bold) - spacing * unit
