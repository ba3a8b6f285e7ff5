"""Weather pictures: Weather\\<code>.png for every condition code of the weather service (0 to 47) and
Weather\\na.png for a missing code.

Every picture is drawn from a few parts (sun, moon, clouds, rain, snow, lightning, fog, wind ...) in a
design space of 32 x 32 units, so the same drawing can be made at any size: the program's own windows
show these at 32 x 32 pixels; bigger sets (the forecast widget's icons) call draw() with a larger size.
"""
import math

from . import imagefile, raster, strokefont

SIZE = 32

# Colours.
SUN_CORE, SUN_EDGE, SUN_RAY = (255, 240, 130), (255, 168, 28), (255, 190, 40)
SUN_LINE = (214, 118, 10)
MOON_FILL, MOON_LINE = (250, 243, 206), (178, 160, 104)
STAR = (255, 236, 150)
CLOUD = {   # top, bottom, outline
    "light": ((255, 255, 255), (210, 218, 230), (116, 128, 148)),
    "grey": ((214, 220, 230), (160, 170, 186), (96, 106, 124)),
    "dark": ((150, 158, 174), (90, 98, 116), (52, 58, 72)),
}
RAIN, RAIN_LINE = (70, 150, 236), (30, 84, 170)
ICE, ICE_LINE = (206, 236, 255), (70, 130, 196)
SNOW, SNOW_LINE = (255, 255, 255), (96, 150, 214)
BOLT, BOLT_LINE = (255, 224, 64), (196, 110, 0)
FOG = (168, 176, 190)
WIND = (120, 150, 186)
DUST = (196, 156, 96)
SMOKE = (130, 130, 136)


# ---- parts ------------------------------------------------------------------------------------------

def _with_line(c, shape, fill, line, width=1.0):
    """The shape with an outline of the given width around it."""
    c.fill(raster.grow(shape, width), line)
    c.fill(shape, fill)


def sun(c, cx, cy, r, rays=True):
    if rays:
        parts = []
        for i in range(8):
            a = math.radians(i * 45 + 22.5)
            parts.append(raster.segment(cx + math.cos(a) * (r + 2.2), cy + math.sin(a) * (r + 2.2),
                                        cx + math.cos(a) * (r + 5.0), cy + math.sin(a) * (r + 5.0), 2.0))
        c.fill(raster.union(*parts), SUN_RAY)
    _with_line(c, raster.circle(cx, cy, r), raster.radial(cx - r * 0.3, cy - r * 0.3, r * 1.4, SUN_CORE, SUN_EDGE),
               SUN_LINE, 0.9)


def moon(c, cx, cy, r):
    shape = raster.circle(cx, cy, r) - raster.circle(cx + r * 0.55, cy - r * 0.35, r * 0.82)
    _with_line(c, shape, raster.linear(cx - r, cy - r, MOON_FILL, cx + r, cy + r, (232, 214, 150)), MOON_LINE, 0.9)


def star(c, cx, cy, r):
    k = r * 0.3
    c.fill(raster.polygon([(cx, cy - r), (cx + k, cy - k), (cx + r, cy), (cx + k, cy + k),
                           (cx, cy + r), (cx - k, cy + k), (cx - r, cy), (cx - k, cy - k)]), STAR)


def cloud_shape(x, y, k=1.0):
    """A cloud in a box 20 x 12 units (times k) with its top-left corner at (x, y)."""
    def p(px, py):
        return x + px * k, y + py * k
    return raster.union(
        raster.rect(*p(0.5, 6.5), *p(19.5, 12), radius=2.8 * k),
        raster.circle(*p(5.5, 7.5), 4.4 * k),
        raster.circle(*p(11.5, 5.8), 5.8 * k),
        raster.circle(*p(16.2, 8.0), 3.6 * k),
    )


def cloud(c, x, y, k=1.0, tone="light"):
    top, bottom, line = CLOUD[tone]
    _with_line(c, cloud_shape(x, y, k), raster.linear(0, y, top, 0, y + 12 * k, bottom), line, 1.0)


def drops(c, points, length=4.0, width=1.7, color=RAIN, line=RAIN_LINE):
    parts = [raster.segment(x, y, x - length * 0.35, y + length, width) for x, y in points]
    _with_line(c, raster.union(*parts), color, line, 0.7)


def dots(c, points, r=1.2, color=RAIN, line=RAIN_LINE):
    _with_line(c, raster.union(*[raster.circle(x, y, r) for x, y in points]), color, line, 0.7)


def pellets(c, points, r=1.4):
    dots(c, points, r, ICE, ICE_LINE)


def hail(c, points, r=1.9):
    _with_line(c, raster.union(*[raster.circle(x, y, r) for x, y in points]),
               raster.linear(0, 18, (255, 255, 255), 0, 31, (200, 214, 232)), (90, 104, 130), 0.8)


def flakes(c, points, r=2.6):
    parts = []
    for x, y in points:
        for i in range(3):
            a = math.radians(90 + i * 60)
            dx, dy = math.cos(a) * r, math.sin(a) * r
            parts.append(raster.segment(x - dx, y - dy, x + dx, y + dy, 1.2))
    _with_line(c, raster.union(*parts), SNOW, SNOW_LINE, 0.55)


def bolt(c, x, y, k=1.0):
    pts = [(0, 0), (5, 0), (3.4, 4), (6.5, 4), (0.6, 12), (2, 6), (-0.8, 6)]
    _with_line(c, raster.polygon([(x + px * k, y + py * k) for px, py in pts]), BOLT, BOLT_LINE, 0.8)


def fog(c, lines, color=FOG, width=2.0):
    c.fill(raster.union(*[raster.segment(x0, y, x1, y, width) for x0, x1, y in lines]), color)


def wind(c, y, x0, x1, curl, color=WIND, width=1.8):
    """A gust: a straight line that ends in a curl above it (curl > 0) or below it (curl < 0)."""
    r = abs(curl)
    line = raster.segment(x0, y, x1, y, width)
    if curl > 0:
        hook = raster.arc(x1, y - r, r, 90, -160, width)
    else:
        hook = raster.arc(x1, y + r, r, -90, 160, width)
    c.fill(line | hook, color)


def thermometer(c, x, y, color):
    tube = raster.rect(x - 2.2, y, x + 2.2, y + 16, radius=2.2)
    bulb = raster.circle(x, y + 18, 4.0)
    _with_line(c, tube | bulb, (244, 246, 250), (90, 100, 118), 1.0)
    c.fill(raster.rect(x - 1.0, y + 6, x + 1.0, y + 17, radius=1.0) | raster.circle(x, y + 18, 2.8), color)
    c.fill(raster.union(*[raster.segment(x + 2.6, y + 3 + 3 * i, x + 4.2, y + 3 + 3 * i, 0.9)
                          for i in range(4)]), (90, 100, 118))


def tornado(c):
    parts = []
    for i, (w, dx) in enumerate(((12, 0), (10, 1), (8, 2.2), (6, 3.0), (4, 3.4), (2.4, 3.0))):
        y = 12 + i * 3.2
        cx = 16 + dx - 1.5
        parts.append(raster.segment(cx - w, y, cx + w, y, 2.4))
    _with_line(c, raster.union(*parts), raster.linear(0, 10, (176, 182, 194), 0, 30, (110, 116, 130)),
               (62, 68, 82), 0.8)


def spiral_storm(c, color, line):
    cx, cy = 16, 16
    arms = raster.arc(cx, cy, 9.5, 200, 330, 3.2) | raster.arc(cx, cy, 9.5, 20, 150, 3.2)
    core = raster.circle(cx, cy, 4.6) - raster.circle(cx, cy, 2.0)
    _with_line(c, arms | core, color, line, 0.9)


def smoke(c):
    puffs = raster.union(raster.circle(10, 22, 5), raster.circle(16, 17, 5.5), raster.circle(22, 11, 4.8),
                         raster.circle(26, 6.5, 3.2), raster.circle(17, 24, 4.2))
    c.fill(puffs, raster.linear(0, 30, (110, 110, 118), 0, 4, (196, 196, 204)), opacity=0.92)
    c.fill(raster.circle(14.5, 18.5, 2.4) | raster.circle(21, 12.5, 2.0), (225, 225, 232), opacity=0.6)


# ---- the pictures, by condition code -----------------------------------------------------------------

RAIN_ROW = [(9, 21), (15, 21), (21, 21), (12, 26), (18, 26), (24, 26)]
LIGHT_RAIN = [(11, 21), (19, 21), (15, 26.5)]


def _storm_cloud(c):
    cloud(c, 4, 2, 1.2, "dark")


def _rain_cloud(c, tone="grey"):
    cloud(c, 4, 2, 1.2, tone)


def _sun_behind(c):
    sun(c, 11, 10, 5.8)


def _moon_behind(c):
    moon(c, 11, 10, 7.0)
    star(c, 26, 4, 1.8)


def _small_cloud_front(c, tone="light"):
    cloud(c, 10, 14, 1.05, tone)


def _showers_front(c, tone="grey"):
    cloud(c, 9, 10, 1.05, tone)


def p_tornado(c):
    cloud(c, 4, 0, 1.2, "dark")
    tornado(c)


def p_tropical_storm(c):
    spiral_storm(c, (150, 190, 230), (50, 90, 150))
    drops(c, [(26, 23), (6, 6)], 3.5)


def p_hurricane(c):
    spiral_storm(c, (236, 80, 60), (140, 30, 20))


def p_severe_thunder(c):
    _storm_cloud(c)
    drops(c, [(8, 21), (24, 21), (11, 27)], 3.5)
    bolt(c, 12, 15, 1.05)
    bolt(c, 20, 16, 0.8)


def p_thunder(c):
    _storm_cloud(c)
    drops(c, [(9, 21), (24, 21), (21, 27)], 3.5)
    bolt(c, 14, 15, 1.1)


def p_rain_snow(c):
    _rain_cloud(c)
    drops(c, [(10, 20), (20, 25)])
    flakes(c, [(21, 22), (11, 27)])


def p_rain_sleet(c):
    _rain_cloud(c)
    drops(c, [(10, 20), (20, 25), (25, 20)])
    pellets(c, [(17, 22), (11, 27.5)])


def p_snow_sleet(c):
    _rain_cloud(c)
    flakes(c, [(10, 21.5), (21, 26.5)])
    pellets(c, [(20, 21), (12, 27.5), (26, 22)])


def p_freezing_drizzle(c):
    _rain_cloud(c)
    dots(c, [(9, 21), (15, 23), (21, 21), (12, 27), (24, 26.5)], 1.1, ICE, ICE_LINE)


def p_drizzle(c):
    _rain_cloud(c, "light")
    dots(c, [(9, 21), (15, 23), (21, 21), (12, 27), (24, 26.5)], 1.1)


def p_freezing_rain(c):
    _rain_cloud(c)
    drops(c, [(9, 20.5), (16, 20.5), (23, 20.5)], color=ICE, line=ICE_LINE)
    pellets(c, [(11, 27.5), (19, 27.5)])


def p_showers(c):
    _rain_cloud(c, "light")
    drops(c, LIGHT_RAIN)


def p_rain(c):
    _rain_cloud(c)
    drops(c, RAIN_ROW)


def p_flurries(c):
    _rain_cloud(c, "light")
    flakes(c, [(11, 22.5), (21, 26)], 2.3)


def p_light_snow(c):
    _rain_cloud(c, "light")
    flakes(c, [(10, 22), (21, 22), (15.5, 27.5)], 2.4)


def p_blowing_snow(c):
    wind(c, 10, 3, 20, 4)
    wind(c, 17, 6, 25, -3.5)
    flakes(c, [(9, 24), (19, 26.5), (26, 22)], 2.5)


def p_snow(c):
    _rain_cloud(c, "light")
    flakes(c, [(9, 21.5), (16, 25), (23, 21.5), (11, 28.5), (22, 28.5)], 2.4)


def p_hail(c):
    _rain_cloud(c)
    hail(c, [(10, 21.5), (20, 21.5), (15, 27), (25, 27)])


def p_sleet(c):
    _rain_cloud(c)
    pellets(c, [(9, 21), (16, 23), (23, 21), (12, 27.5), (20, 28)])


def p_dust(c):
    sun(c, 20, 11, 6.0, rays=False)
    c.fill(raster.circle(20, 11, 6.9), DUST, opacity=0.45)
    fog(c, [(3, 20, 17), (8, 27, 22), (5, 14, 27)], DUST, 2.2)
    dots(c, [(24, 21), (27, 26), (4, 23)], 0.9, DUST, (140, 104, 56))


def p_fog(c):
    cloud(c, 4, 1, 1.2, "grey")
    fog(c, [(4, 22, 19), (9, 28, 23), (5, 24, 27)])


def p_haze(c):
    sun(c, 16, 12, 7.0)
    fog(c, [(3, 29, 20), (6, 26, 25), (3, 29, 30)], (210, 196, 170), 2.4)


def p_smoky(c):
    smoke(c)


def p_blustery(c):
    cloud(c, 2, 1, 0.95, "grey")
    wind(c, 18, 3, 22, 4.2)
    wind(c, 25, 6, 25, -3.5)
    wind(c, 12, 20, 28, 2.6)


def p_windy(c):
    wind(c, 9, 3, 21, 4.5)
    wind(c, 17, 2, 25, -4)
    wind(c, 25, 6, 19, 3.2)


def p_cold(c):
    thermometer(c, 11, 4, (60, 140, 236))
    flakes(c, [(23, 10), (25, 21)], 3.2)


def p_cloudy(c):
    cloud(c, 9, 3, 1.05, "grey")
    cloud(c, 2, 11, 1.2, "light")


def p_mostly_cloudy_night(c):
    _moon_behind(c)
    cloud(c, 4, 11, 1.3, "grey")


def p_mostly_cloudy_day(c):
    _sun_behind(c)
    cloud(c, 4, 11, 1.3, "light")


def p_partly_cloudy_night(c):
    _moon_behind(c)
    _small_cloud_front(c)


def p_partly_cloudy_day(c):
    _sun_behind(c)
    _small_cloud_front(c)


def p_clear_night(c):
    moon(c, 14, 16, 11.0)
    star(c, 26, 6, 2.4)
    star(c, 25, 20, 1.6)
    star(c, 4, 4, 1.4)


def p_sunny(c):
    sun(c, 16, 16, 8.0)


def p_fair_night(c):
    moon(c, 15, 14, 9.0)
    star(c, 26, 7, 1.8)
    fog(c, [(10, 27, 28)], (190, 196, 212), 1.8)


def p_fair_day(c):
    sun(c, 15, 13, 7.0)
    fog(c, [(9, 28, 28)], (200, 206, 220), 1.8)


def p_rain_hail(c):
    _rain_cloud(c)
    drops(c, [(9, 20.5), (21, 20.5), (16, 26)])
    hail(c, [(15, 21.5), (24, 27), (8, 27)], 1.7)


def p_hot(c):
    sun(c, 21, 11, 6.5)
    thermometer(c, 9, 5, (232, 56, 40))


def p_isolated_thunder(c):
    _sun_behind(c)
    _showers_front(c, "grey")
    bolt(c, 18, 19, 0.95)


def p_scattered_thunder(c):
    _sun_behind(c)
    _showers_front(c, "dark")
    bolt(c, 17, 19, 0.95)
    drops(c, [(12, 24), (26, 24)], 3.5)


def p_scattered_showers_day(c):
    _sun_behind(c)
    _showers_front(c, "light")
    drops(c, [(14, 24), (20, 24), (26, 24)], 3.8)


def p_scattered_showers(c):
    cloud(c, 4, 2, 1.2, "light")
    drops(c, [(12, 21.5), (20, 23.5)])


def p_heavy_snow(c):
    _rain_cloud(c, "grey")
    flakes(c, [(8, 21), (16, 21), (24, 21), (12, 27.5), (20, 27.5)], 2.6)


def p_scattered_snow(c):
    _sun_behind(c)
    _showers_front(c, "light")
    flakes(c, [(15, 25), (24, 25.5)], 2.4)


def p_heavy_snow_wind(c):
    cloud(c, 4, 1, 1.2, "dark")
    flakes(c, [(9, 21), (17, 21), (25, 21), (13, 27.5), (21, 27.5)], 2.5)
    wind(c, 17.5, 1, 9, 2.4, (170, 196, 226), 1.5)


def p_partly_cloudy(c):
    _sun_behind(c)
    cloud(c, 8, 13, 1.15, "light")


def p_thundershowers_night(c):
    _moon_behind(c)
    _showers_front(c, "dark")
    bolt(c, 17, 19, 0.95)
    drops(c, [(12, 24), (26, 24)], 3.5)


def p_snow_showers_night(c):
    _moon_behind(c)
    _showers_front(c, "light")
    flakes(c, [(15, 25), (24, 25.5)], 2.4)


def p_isolated_thunder_night(c):
    _moon_behind(c)
    _showers_front(c, "grey")
    bolt(c, 18, 19, 0.95)


def p_na(c):
    _with_line(c, raster.circle(16, 16, 12.5) - raster.circle(16, 16, 10.3), (178, 186, 200), (108, 118, 136), 0.8)
    mark = strokefont.glyph_shape("?", 16 - 2.5 * 3.0, 16 - 3.5 * 3.0, unit=3.0, width=2.6)
    _with_line(c, mark, (150, 160, 178), (96, 106, 124), 0.6)


# Condition codes of the weather service and the picture drawn for each.
PICTURES = {
    0: p_tornado, 1: p_tropical_storm, 2: p_hurricane, 3: p_severe_thunder, 4: p_thunder,
    5: p_rain_snow, 6: p_rain_sleet, 7: p_snow_sleet, 8: p_freezing_drizzle, 9: p_drizzle,
    10: p_freezing_rain, 11: p_showers, 12: p_rain, 13: p_flurries, 14: p_light_snow,
    15: p_blowing_snow, 16: p_snow, 17: p_hail, 18: p_sleet, 19: p_dust,
    20: p_fog, 21: p_haze, 22: p_smoky, 23: p_blustery, 24: p_windy,
    25: p_cold, 26: p_cloudy, 27: p_mostly_cloudy_night, 28: p_mostly_cloudy_day, 29: p_partly_cloudy_night,
    30: p_partly_cloudy_day, 31: p_clear_night, 32: p_sunny, 33: p_fair_night, 34: p_fair_day,
    35: p_rain_hail, 36: p_hot, 37: p_isolated_thunder, 38: p_scattered_thunder, 39: p_scattered_showers_day,
    40: p_scattered_showers, 41: p_heavy_snow, 42: p_scattered_snow, 43: p_heavy_snow_wind, 44: p_partly_cloudy,
    45: p_thundershowers_night, 46: p_snow_showers_night, 47: p_isolated_thunder_night,
    "na": p_na,
}


def codes():
    """Every code that has a picture, as file-name stems, in a fixed order."""
    return [str(k) for k in range(48)] + ["na"]


def draw(code, size=SIZE):
    key = int(code) if code != "na" else code
    c = raster.Canvas(size, size, size / float(SIZE))
    PICTURES[key](c)
    return c


def build(out):
    for code in codes():
        c = draw(code)
        out.write("Weather/%s.png" % code, imagefile.png_rgba(c.w, c.h, c.rgba_bytes()))


PRODUCTS = [("weather", build)]
