"""Month-calendar skins, under Calendar\\: one folder per skin with calendar.png (the window's whole
background; its size is the window's size) and config.ini (fonts, colours and the places of the texts
and click areas), and Calendar\\circle.png, the mark on today's day shared by every skin.

The calendar writes day numbers at DayX + column * DayIncX, DayY + row * DayIncY and stretches
circle.png over DayIncX - 3 by DayIncY pixels starting 3 pixels left of and 2 above the number; the
ring in circle.png is drawn off-centre by that much so it sits around the number.
"""
from . import imagefile, raster

WIDTH, HEIGHT = 285, 275

# Layout shared by the shipped skins; the click areas give left, top, width and height.
LAYOUT = {
    "MonthAlign": "l", "YearAlign": "r",
    "MonthX": 44, "MonthY": 13, "YearX": 44, "YearY": 13,
    "WeekX": 49, "WeekY": 56, "WeekInc": 32,
    "WeekNX": 15, "WeekNY": 80, "WeekNInc": 28,
    "DayX": 52, "DayY": 78, "DayIncX": 32, "DayIncY": 28,
    "ButBack": (8, 10, 26, 26), "ButForw": (251, 10, 26, 26),
    "ButCenter": (40, 10, 205, 26), "ButClose": (257, 249, 18, 18),
}
CIRCLE_W, CIRCLE_H = LAYOUT["DayIncX"] - 3, LAYOUT["DayIncY"]


def bgr(r, g, b):
    """The platform's colour value (red in the low byte) as the integer config.ini holds."""
    return r | (g << 8) | (b << 16)


class Theme:
    def __init__(self, name, top, bottom, border, accent, button, fonts, colors):
        self.name = name
        self.top, self.bottom, self.border = top, bottom, border
        self.accent, self.button = accent, button
        self.fonts = fonts          # (face, size, style) for Day, Month, Year, Week, NWeek
        self.colors = colors        # key -> (text, shadow) as (r, g, b)


_FONTS = {"Day": ("Arial", 10, "Bold"), "Month": ("Arial", 14, "Bold"), "Year": ("Arial", 14, ""),
          "Week": ("Arial", 8, "Bold"), "NWeek": ("Arial", 7, "")}

# "Dark Blue Glass" is the skin a new calendar uses.
THEMES = [
    Theme("Dark Blue Glass", (44, 76, 128, 232), (10, 20, 46, 240), (150, 190, 240, 190), (120, 170, 240),
          (80, 130, 210), _FONTS,
          {"Day": ((255, 255, 255), (0, 0, 0)), "DisDay": ((108, 130, 168), (0, 0, 0)),
           "Month": ((255, 255, 255), (0, 0, 0)), "Year": ((160, 200, 255), (0, 0, 0)),
           "Today": ((255, 222, 120), (0, 0, 0)), "Week": ((150, 190, 240), (0, 0, 0)),
           "NWeek": ((118, 148, 200), (0, 0, 0))}),
    Theme("Graphite", (92, 96, 104, 236), (30, 32, 36, 242), (200, 204, 212, 180), (190, 196, 206),
          (120, 126, 136), _FONTS,
          {"Day": ((240, 242, 246), (0, 0, 0)), "DisDay": ((120, 124, 132), (0, 0, 0)),
           "Month": ((255, 255, 255), (0, 0, 0)), "Year": ((200, 204, 212), (0, 0, 0)),
           "Today": ((255, 176, 64), (0, 0, 0)), "Week": ((214, 218, 226), (0, 0, 0)),
           "NWeek": ((150, 154, 162), (0, 0, 0))}),
]


def background(theme):
    L = LAYOUT
    c = raster.Canvas(WIDTH, HEIGHT)
    c.fill(raster.rect(0.5, 0.5, WIDTH - 0.5, HEIGHT - 0.5, radius=16), theme.border)
    c.fill(raster.rect(1.5, 1.5, WIDTH - 1.5, HEIGHT - 1.5, radius=15),
           raster.linear(0, 0, theme.top, 0, HEIGHT, theme.bottom))
    c.fill(raster.rect(4, 4, WIDTH - 4, 44, radius=12),
           raster.linear(0, 4, (255, 255, 255, 50), 0, 44, (255, 255, 255, 0)))
    # Weekday band and week-number column.
    c.fill(raster.rect(10, L["WeekY"] - 4, WIDTH - 10, L["WeekY"] + 16, radius=5), (255, 255, 255, 22))
    c.fill(raster.rect(10, L["DayY"] - 4, 40, L["DayY"] + 6 * L["DayIncY"] - 6, radius=5), (0, 0, 0, 40))
    # Month buttons and the close button, where config.ini puts their click areas.
    for (x, y, w, h), forward in ((L["ButBack"], False), (L["ButForw"], True)):
        cx, cy = x + w / 2.0, y + h / 2.0
        c.fill(raster.circle(cx, cy, w / 2.0 - 1), raster.linear(0, y, theme.accent, 0, y + h, theme.button))
        d = 4.5 if forward else -4.5
        c.fill(raster.polygon([(cx + d, cy), (cx - d * 0.7, cy - 5.5), (cx - d * 0.7, cy + 5.5)]), (255, 255, 255))
    x, y, w, h = L["ButClose"]
    cx, cy, k = x + w / 2.0, y + h / 2.0, 3.8
    c.fill(raster.circle(cx, cy, w / 2.0), (255, 255, 255, 40))
    c.fill(raster.segment(cx - k, cy - k, cx + k, cy + k, 1.8) | raster.segment(cx - k, cy + k, cx + k, cy - k, 1.8),
           (255, 255, 255, 200))
    return c


def today_circle():
    c = raster.Canvas(CIRCLE_W, CIRCLE_H)
    ring = raster.ellipse(11.5, 10.5, 10.5, 10.0)
    c.fill(ring, (255, 210, 110, 60))
    c.fill(raster.outline(ring, 1.6), (255, 214, 120, 230))
    return c


def config_ini(theme):
    L = LAYOUT
    lines = ["[calendar]"]
    for part in ("Day", "Month", "Week", "NWeek", "Year"):
        lines.append("Font%s=%s" % (part, theme.fonts[part][0]))
    lines += ["MonthAlign=" + L["MonthAlign"], "YearAlign=" + L["YearAlign"]]
    for part in ("Day", "Month", "Year", "Week", "NWeek"):
        lines.append("Size%s=%d" % (part, theme.fonts[part][1]))
    for part in ("Day", "Month", "Year", "Week", "NWeek"):
        lines.append("Style%s=%s" % (part, theme.fonts[part][2]))
    for part in ("Day", "DisDay", "Month", "Year", "Today", "Week", "NWeek"):
        text, shadow = theme.colors[part]
        lines.append("Color%s=%d" % (part, bgr(*text)))
        lines.append("Color%s2=%d" % (part, bgr(*shadow)))
    lines += ["CurBorderColor=%d" % bgr(255, 214, 120), "CurColor=%d" % bgr(255, 210, 110)]
    for key in ("MonthX", "MonthY", "YearX", "YearY", "WeekX", "WeekY", "WeekNX", "WeekNY", "DayX", "DayY",
                "DayIncX", "DayIncY", "WeekInc", "WeekNInc"):
        lines.append("%s=%d" % (key, L[key]))
    for button in ("ButBack", "ButForw", "ButCenter", "ButClose"):
        for field, value in zip(("Left", "Top", "Right", "Bottom"), L[button]):
            lines.append("%s.%s=%d" % (button, field, value))
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def build(out):
    circle = today_circle()
    out.write("Calendar/circle.png", imagefile.png_rgba(circle.w, circle.h, circle.rgba_bytes()))
    for theme in THEMES:
        bg = background(theme)
        out.write("Calendar/%s/calendar.png" % theme.name, imagefile.png_rgba(bg.w, bg.h, bg.rgba_bytes()))
        out.write("Calendar/%s/config.ini" % theme.name, config_ini(theme))


PRODUCTS = [("calendar", build)]
