"""The desktop forecast widget's pictures, under Forecast\\:

- forecast.png (the panel), close.png, compass.png and arrow.png, shared by every forecast skin;
- one folder per skin with skin.xml (the fonts) and a picture for every weather condition code;
- the day-row icons, read from the default skin's folder whatever skin is chosen.

The widget lays these at fixed places that assume a current-conditions icon of 64 x 64 pixels: the
panel starts at (22, 22), the day row runs from x = 40 in steps of 55, "Nightly" stands at (140, 163)
and the close button at (277, 8). The panel is drawn to hold that layout.
"""
import math

from . import imagefile, raster, weather_icons

ICON_SIZE = 64
ICON_CONTENT = 44                         # the picture's own size inside the cell
PANEL_W, PANEL_H = 290, 215
PANEL_AT = ICON_SIZE // 2 - 10            # where the widget lays the panel, in canvas pixels
CLOSE_W, CLOSE_H = 20, 21
ROSE = 80

# The folder the widget reads its day-row icons from, and its default skin.
DEFAULT_SKIN = "KonfabulatorPLUS"

SKINS = {
    DEFAULT_SKIN: {
        "font.default": dict(facename="Tahoma", color="#FFFFFF", style="Bold", size="9"),
        "font.temperature": dict(facename="Tahoma", color="#FFFFFF", style="Bold", size="18"),
        "font.conditions.title": dict(facename="Tahoma", color="#D8E4F2", style="Bold", size="8"),
        "font.daytitle": dict(facename="Tahoma", color="#FFFFFF", style="Bold", size="7"),
    },
}
FONT_ORDER = ["font.default", "font.temperature", "font.conditions.title", "font.daytitle"]
ATTR_ORDER = ["facename", "color", "style", "size"]


def _png(c):
    return imagefile.png_rgba(c.w, c.h, c.rgba_bytes())


def panel():
    c = raster.Canvas(PANEL_W, PANEL_H)
    body = raster.rect(0.5, 0.5, PANEL_W - 0.5, PANEL_H - 0.5, radius=14)
    c.fill(body, (150, 176, 210, 150))
    inner = raster.rect(1.5, 1.5, PANEL_W - 1.5, PANEL_H - 1.5, radius=13)
    c.fill(inner, raster.linear(0, 0, (40, 64, 104, 225), 0, PANEL_H, (12, 22, 44, 235)))
    shine = raster.rect(3, 3, PANEL_W - 3, 40, radius=11)
    c.fill(shine, raster.linear(0, 3, (255, 255, 255, 46), 0, 40, (255, 255, 255, 0)))
    # Rules on both sides of the "Nightly" caption, which the widget writes at (140, 163).
    y = 170.5 - PANEL_AT
    rules = raster.segment(16, y, 110, y, 1.0, "butt") | raster.segment(186, y, PANEL_W - 16, y, 1.0, "butt")
    c.fill(rules, (150, 176, 210, 110))
    return c


def close_button():
    c = raster.Canvas(CLOSE_W, CLOSE_H)
    cx, cy, r = CLOSE_W / 2.0, CLOSE_H / 2.0, 8.6
    c.fill(raster.circle(cx, cy, r + 0.9), (255, 255, 255, 220))
    c.fill(raster.circle(cx, cy, r), raster.linear(0, 1, (236, 96, 80), 0, CLOSE_H, (168, 34, 24)))
    k = 3.4
    cross = raster.segment(cx - k, cy - k, cx + k, cy + k, 2.0) | raster.segment(cx - k, cy + k, cx + k, cy - k, 2.0)
    c.fill(cross, (255, 255, 255))
    return c


def compass_rose():
    c = raster.Canvas(ROSE, ROSE)
    m = ROSE / 2.0
    c.fill(raster.outline(raster.circle(m, m, 36), 3.0), (214, 226, 242))
    ticks = []
    for i in range(16):
        a = math.radians(i * 22.5)
        inner = 30 if i % 4 == 0 else (32.5 if i % 2 == 0 else 34)
        ticks.append(raster.segment(m + math.cos(a) * inner, m + math.sin(a) * inner,
                                    m + math.cos(a) * 38.5, m + math.sin(a) * 38.5, 2.0 if i % 4 == 0 else 1.2))
    c.fill(raster.union(*ticks), (214, 226, 242))
    north = raster.polygon([(m, 0.5), (m + 4.5, 8), (m - 4.5, 8)])
    c.fill(north, (236, 84, 64))
    return c


def wind_needle():
    """Points east (to the right); the widget turns it to the wind's compass point."""
    c = raster.Canvas(ROSE, ROSE)
    m = ROSE / 2.0
    head = raster.polygon([(m + 35, m), (m + 24, m - 6), (m + 26, m), (m + 24, m + 6)])
    shaft = raster.segment(m + 4, m, m + 27, m, 2.4, "butt")
    c.fill(raster.grow(head | shaft, 1.0), (40, 40, 48, 200))
    c.fill(head | shaft, raster.linear(m, 0, (255, 214, 96), m + 35, 0, (255, 150, 40)))
    c.fill(raster.circle(m, m, 3.2), (240, 240, 246))
    return c


def skin_xml(fonts):
    lines = ['<?xml version="1.0" encoding="utf-8"?>', "<skin>"]
    for fid in FONT_ORDER:
        attrs = fonts[fid]
        text = " ".join('%s="%s"' % (k, attrs[k]) for k in ATTR_ORDER if k in attrs)
        lines.append('  <font id="%s" %s/>' % (fid, text))
    lines.append("</skin>")
    return ("\r\n".join(lines) + "\r\n").encode("utf-8")


def build(out):
    out.write("Forecast/forecast.png", _png(panel()))
    out.write("Forecast/close.png", _png(close_button()))
    out.write("Forecast/compass.png", _png(compass_rose()))
    out.write("Forecast/arrow.png", _png(wind_needle()))
    for name in sorted(SKINS):
        out.write("Forecast/%s/skin.xml" % name, skin_xml(SKINS[name]))
        for code in weather_icons.codes():
            out.write("Forecast/%s/%s.png" % (name, code), _png(current_icon(code)))


def current_icon(code):
    """The weather picture inside a 64 x 64 cell, drawn smaller and high in it: the widget lays
    "Conditions" against the cell's left edge and the place name across its lower part, so the picture
    leaves those parts of the cell clear."""
    cell = raster.Canvas(ICON_SIZE, ICON_SIZE)
    cell.draw(weather_icons.draw(code, ICON_CONTENT), (ICON_SIZE - ICON_CONTENT) // 2, 2)
    return cell


PRODUCTS = [("forecast", build)]
