"""Alarm icons: Icons\\NN-name.png, 32 x 32 pixels. The alarm editor lists every PNG of the folder in
name order and keeps an alarm's icon by its place in that list, so the number in front of each name
fixes the order; new icons go at the end. The editor's menu has places for 33 icons (0 to 32) and picks
icon 5, the note, for a new alarm."""
import math

from . import imagefile, raster, weather_icons
from .raster import circle, ellipse, linear, polygon, rect, segment

SIZE = 32
LINE = (60, 66, 80)


def _lined(c, shape, fill, line=LINE, width=1.0):
    c.fill(raster.grow(shape, width), line)
    c.fill(shape, fill)


def bell(c):
    body = polygon([(8, 24), (10, 12), (13, 7.5), (19, 7.5), (22, 12), (24, 24)]) | circle(16, 12.5, 6.5) | \
        rect(5, 22, 27, 26, radius=2)
    _lined(c, body, linear(0, 6, (255, 226, 110), 0, 26, (226, 160, 30)), (150, 96, 10))
    _lined(c, circle(16, 28, 2.6), (226, 160, 30), (150, 96, 10))
    c.fill(circle(16, 5, 1.8), (150, 96, 10))


def alarm_clock(c):
    _lined(c, segment(9, 27, 6.5, 29.5, 2.2) | segment(23, 27, 25.5, 29.5, 2.2), (90, 96, 110))
    _lined(c, circle(7.5, 7.5, 4.5) | circle(24.5, 7.5, 4.5), (236, 70, 56), (140, 30, 20))
    _lined(c, circle(16, 17.5, 11), (236, 70, 56), (140, 30, 20))
    c.fill(circle(16, 17.5, 8.6), (255, 255, 255))
    c.fill(segment(16, 17.5, 16, 11.5, 1.6) | segment(16, 17.5, 20.5, 19.5, 1.6), LINE)


def cake(c):
    _lined(c, rect(4, 17, 28, 29, radius=2), linear(0, 17, (250, 214, 180), 0, 29, (214, 150, 100)), (130, 80, 40))
    c.fill(rect(4, 21.5, 28, 23.5), (236, 84, 120))
    for x in (10, 16, 22):
        _lined(c, rect(x - 1.2, 9, x + 1.2, 17), (120, 180, 250), (50, 90, 160), 0.7)
        c.fill(ellipse(x, 6.2, 1.7, 2.6), (255, 170, 40))


def gift(c):
    _lined(c, rect(5, 14, 27, 29, radius=1.5), linear(0, 14, (100, 170, 250), 0, 29, (40, 100, 200)), (30, 60, 130))
    _lined(c, rect(3.5, 10, 28.5, 15, radius=1.5), (80, 150, 240), (30, 60, 130))
    c.fill(rect(14, 10, 18, 29), (236, 70, 80))
    _lined(c, ellipse(12, 7.5, 4, 2.6) | ellipse(20, 7.5, 4, 2.6), (236, 70, 80), (150, 30, 40), 0.8)


def phone(c):
    shape = raster.arc(16, 17, 11, 200, 340, 5.5) | rect(5, 18, 10, 24, radius=2) | rect(22, 18, 27, 24, radius=2)
    _lined(c, shape, linear(0, 6, (110, 200, 110), 0, 24, (40, 140, 60)), (20, 80, 30))
    _lined(c, polygon([(10, 22), (22, 22), (25, 29), (7, 29)]), (60, 160, 80), (20, 80, 30))
    c.fill(circle(16, 25.5, 2), (255, 255, 255))


def note(c):
    _lined(c, polygon([(5, 4), (27, 4), (27, 22), (21, 28), (5, 28)]),
           linear(0, 4, (255, 246, 150), 0, 28, (250, 220, 90)), (170, 140, 40))
    c.fill(polygon([(21, 28), (21, 22), (27, 22)]), (220, 186, 70))
    c.fill(raster.union(*[segment(9, y, 23, y, 1.2, "butt") for y in (10, 14, 18)]) | segment(9, 22, 17, 22, 1.2, "butt"),
           (150, 130, 70))


def envelope(c):
    _lined(c, rect(3, 7, 29, 25, radius=1.5), linear(0, 7, (255, 255, 255), 0, 25, (220, 226, 236)), (100, 110, 130))
    c.fill(raster.polyline([(3.8, 8), (16, 18), (28.2, 8)], 1.4), (100, 110, 130))


def heart(c):
    shape = circle(10.5, 11.5, 6.5) | circle(21.5, 11.5, 6.5) | polygon([(4.4, 14), (27.6, 14), (16, 27.5)])
    _lined(c, shape, linear(0, 5, (255, 110, 120), 0, 28, (210, 30, 50)), (130, 10, 30))


def star(c):
    pts = []
    for i in range(10):
        a = math.radians(-90 + i * 36)
        r = 13 if i % 2 == 0 else 5.6
        pts.append((16 + math.cos(a) * r, 17 + math.sin(a) * r))
    _lined(c, polygon(pts), linear(0, 4, (255, 240, 120), 0, 30, (240, 170, 20)), (170, 110, 0))


def pill(c):
    # The half towards the lower left end: points whose projection on the capsule's axis lies before its middle.
    left = segment(9, 23, 23, 9, 9) & raster.Shape(lambda x, y: (x - y) / math.sqrt(2.0), (0, 0, 32, 32))
    whole = segment(9, 23, 23, 9, 9)
    _lined(c, whole, (255, 255, 255), (110, 120, 140))
    c.fill(whole - left, linear(0, 5, (250, 100, 90), 0, 20, (210, 50, 40)))


def cup(c):
    _lined(c, raster.arc(23, 16.5, 4, -90, 90, 2.2), (230, 234, 240), (110, 120, 140), 0.8)
    _lined(c, polygon([(5, 10), (24, 10), (22, 26), (7, 26)]), linear(5, 0, (255, 255, 255), 24, 0, (210, 216, 228)),
           (110, 120, 140))
    c.fill(rect(6, 10.8, 23, 13), (140, 90, 50))
    _lined(c, ellipse(14.5, 28, 11, 1.6), (230, 234, 240), (110, 120, 140), 0.8)
    c.fill(raster.arc(12, 5, 2.2, 90, 270, 1.1) | raster.arc(17, 5, 2.2, 90, 270, 1.1), (160, 166, 180))


def car(c):
    body = rect(3, 15, 29, 24, radius=3) | polygon([(8, 15.5), (11, 8), (22, 8), (25, 15.5)])
    _lined(c, body, linear(0, 8, (250, 110, 90), 0, 24, (200, 40, 30)), (120, 20, 10))
    c.fill(polygon([(11, 14.5), (12.6, 9.8), (16, 9.8), (16, 14.5)]) | polygon([(17.5, 14.5), (17.5, 9.8),
                                                                               (21, 9.8), (22.6, 14.5)]),
           (200, 230, 250))
    _lined(c, circle(9.5, 24.5, 3.6) | circle(22.5, 24.5, 3.6), (50, 54, 64), (30, 30, 36))
    c.fill(circle(9.5, 24.5, 1.4) | circle(22.5, 24.5, 1.4), (200, 204, 212))


def plane(c):
    shape = segment(16, 3.5, 16, 27, 4.4) | polygon([(16, 11), (29, 19), (29, 21), (16, 17.5), (3, 21), (3, 19)]) | \
        polygon([(16, 23), (22, 27.5), (22, 29), (16, 27.5), (10, 29), (10, 27.5)])
    _lined(c, shape, linear(0, 0, (250, 252, 255), 32, 32, (190, 200, 216)), (80, 92, 116))


def book(c):
    _lined(c, rect(6, 4, 26, 28, radius=1.5), linear(6, 0, (110, 170, 110), 26, 0, (50, 120, 60)), (20, 70, 30))
    c.fill(rect(9, 25, 26, 27.5), (250, 248, 236))
    c.fill(rect(6, 4, 9, 28), (30, 90, 40))
    c.fill(rect(12, 9, 22, 13, radius=1), (230, 240, 220))


def music(c):
    _lined(c, ellipse(9, 24, 4.2, 3.4) | ellipse(23, 21, 4.2, 3.4) | segment(12.3, 24, 12.3, 7, 2) |
           segment(26.3, 21, 26.3, 4.5, 2) | polygon([(11.3, 6), (27.3, 3), (27.3, 8), (11.3, 11)]),
           linear(0, 3, (140, 120, 250), 0, 28, (80, 50, 200)), (40, 20, 120))


def calendar_page(c):
    _lined(c, rect(4, 6, 28, 28, radius=2), (255, 255, 255), (100, 110, 130))
    c.fill(rect(4, 6, 28, 12, radius=2) | rect(4, 9, 28, 12), (226, 60, 50))
    c.fill(rect(9, 3, 11, 9, radius=1) | rect(21, 3, 23, 9, radius=1), (80, 86, 100))
    c.fill(raster.union(*[rect(7 + 5 * i, 15 + 4.5 * j, 10 + 5 * i, 18 + 4.5 * j) for i in range(4)
                          for j in range(3)]), (160, 168, 184))


def balloon(c):
    c.fill(raster.polyline([(16, 24), (14.5, 27), (17, 29.5), (15.5, 31.5)], 0.9), (120, 126, 140))
    _lined(c, ellipse(16, 12.5, 9, 10.5) | polygon([(14, 23.5), (18, 23.5), (16, 21)]),
           raster.radial(13, 8, 14, (255, 140, 170), (220, 40, 90)), (140, 20, 60))
    c.fill(ellipse(12.5, 8.5, 2, 3), (255, 220, 230))


def key(c):
    shape = (circle(10, 11, 7) - circle(8.5, 9.5, 2.4)) | segment(14, 15, 27, 28, 3.6) | \
        segment(21.5, 22.5, 25, 19, 3) | segment(24.5, 25.5, 27.5, 22.5, 3)
    _lined(c, shape, linear(0, 4, (255, 226, 120), 32, 28, (210, 150, 30)), (140, 90, 10))


def house(c):
    _lined(c, rect(7, 15, 25, 28), linear(0, 15, (255, 240, 210), 0, 28, (230, 200, 160)), (120, 90, 60))
    _lined(c, polygon([(3, 16.5), (16, 4), (29, 16.5)]), (214, 70, 50), (120, 30, 20))
    c.fill(rect(13.5, 19.5, 18.5, 28), (140, 90, 50))


def briefcase(c):
    _lined(c, (rect(11, 5, 21, 11, radius=2.5) - rect(13.5, 7.5, 18.5, 12)) | rect(3, 10, 29, 27, radius=2.5),
           linear(0, 5, (190, 130, 80), 0, 27, (130, 80, 40)), (80, 44, 16))
    c.fill(rect(3, 16, 29, 17.5), (90, 54, 24))
    c.fill(rect(14, 14.5, 18, 19, radius=1), (240, 200, 90))


def cart(c):
    frame = raster.polyline([(2.5, 5), (7, 5), (10, 21), (26, 21)], 2.0) | polygon([(8, 8), (29, 8), (26.5, 18), (9.8, 18)])
    _lined(c, frame, linear(0, 8, (120, 190, 250), 0, 21, (50, 120, 210)), (20, 60, 130), 0.8)
    _lined(c, circle(12, 25.5, 2.5) | circle(24, 25.5, 2.5), (60, 66, 80), (30, 30, 40), 0.6)


def dumbbell(c):
    shape = rect(2, 12, 6, 20, radius=1.5) | rect(6, 8, 11, 24, radius=1.5) | rect(21, 8, 26, 24, radius=1.5) | \
        rect(26, 12, 30, 20, radius=1.5)
    c.fill(rect(10, 14.5, 22, 17.5), (150, 156, 170))
    _lined(c, shape, linear(0, 8, (110, 116, 130), 0, 24, (50, 54, 64)), (24, 26, 32))


def flower(c):
    c.fill(segment(16, 18, 16, 30, 2), (60, 150, 60))
    c.fill(ellipse(11, 25, 4, 2) | ellipse(21, 24, 4, 2), (80, 170, 70))
    petals = raster.union(*[circle(16 + math.cos(math.radians(a)) * 5.5, 11 + math.sin(math.radians(a)) * 5.5, 4)
                            for a in range(0, 360, 60)])
    _lined(c, petals, (255, 140, 190), (180, 50, 110))
    c.fill(circle(16, 11, 3.4), (255, 210, 60))


def sun(c):
    weather_icons.sun(c, 16, 16, 8.0)


def moon(c):
    weather_icons.moon(c, 15, 16, 11.5)
    weather_icons.star(c, 26, 6, 2.2)


def umbrella(c):
    canopy = (circle(16, 16, 13) & rect(0, 0, 32, 16)) - circle(7.5, 17.5, 4.4) - circle(16.5, 17.5, 4.4) - \
        circle(25.5, 17.5, 4.4)
    _lined(c, canopy, linear(3, 0, (110, 180, 250), 29, 0, (40, 100, 210)), (20, 60, 140))
    c.fill(segment(16, 14, 16, 26, 1.8) | raster.arc(19, 26, 3, 180, 0, 1.8), (80, 86, 100))


def tv(c):
    _lined(c, rect(3, 6, 29, 24, radius=2.5), (70, 76, 90), (30, 32, 40))
    c.fill(rect(6, 9, 26, 21, radius=1), linear(0, 9, (120, 190, 250), 0, 21, (40, 100, 190)))
    c.fill(segment(12, 24, 10, 29, 2) | segment(20, 24, 22, 29, 2), (70, 76, 90))


def camera(c):
    _lined(c, rect(3, 9, 29, 27, radius=3) | rect(10, 6, 19, 10, radius=1.5), linear(0, 6, (110, 116, 130), 0, 27,
                                                                                      (50, 54, 64)), (24, 26, 32))
    _lined(c, circle(16, 18, 6.2), (200, 214, 232), (24, 26, 32))
    c.fill(circle(16, 18, 3.6), (40, 80, 140))
    c.fill(circle(15, 17, 1.2), (220, 236, 255))
    c.fill(rect(23, 11.5, 26.5, 13.5, radius=0.8), (250, 220, 100))


def paw(c):
    shape = ellipse(16, 21.5, 7, 6) | ellipse(7.5, 14, 2.8, 3.6) | ellipse(12.5, 8, 2.8, 3.6) | \
        ellipse(19.5, 8, 2.8, 3.6) | ellipse(24.5, 14, 2.8, 3.6)
    _lined(c, shape, linear(0, 4, (170, 120, 80), 0, 28, (110, 70, 40)), (60, 36, 16))


def cutlery(c):
    fork = segment(10, 14, 10, 29, 2.6) | rect(6, 3, 14, 13, radius=3) - rect(7.6, 2, 8.8, 10) - rect(11.2, 2, 12.4, 10)
    knife = segment(22, 16, 22, 29, 2.6) | polygon([(20.7, 17), (20.7, 6), (23, 3), (25, 5.5), (25, 17)])
    _lined(c, fork | knife, linear(0, 3, (240, 244, 250), 0, 29, (170, 180, 196)), (80, 90, 110))


def coin(c):
    _lined(c, circle(16, 16, 12.5), raster.radial(12, 12, 16, (255, 236, 130), (220, 150, 20)), (140, 90, 0))
    c.fill(raster.outline(circle(16, 16, 9.5), 1.0), (200, 140, 20))
    c.fill(raster.polyline([(20, 11.5), (17.5, 10), (14, 10), (12.5, 12), (13.5, 14.5), (18.5, 17), (19.5, 19.5),
                            (18, 22), (14.5, 22), (12, 20.5)], 1.8) | segment(16, 7.5, 16, 24.5, 1.4), (150, 96, 0))


def warning(c):
    _lined(c, polygon([(16, 3), (29.5, 27.5), (2.5, 27.5)]), linear(0, 3, (255, 220, 70), 0, 27, (245, 170, 20)),
           (150, 90, 0), 1.2)
    c.fill(segment(16, 11, 16, 19, 2.6) | circle(16, 23.3, 1.6), (60, 40, 10))


def check(c):
    _lined(c, circle(16, 16, 13), raster.radial(12, 10, 18, (120, 220, 110), (40, 150, 50)), (20, 90, 30))
    c.fill(raster.polyline([(9.5, 16.5), (14, 21), (22.5, 11)], 3.0), (255, 255, 255))


ICONS = [
    ("bell", bell), ("alarm-clock", alarm_clock), ("cake", cake), ("gift", gift), ("phone", phone),
    ("note", note), ("envelope", envelope), ("heart", heart), ("star", star), ("pill", pill),
    ("cup", cup), ("car", car), ("plane", plane), ("book", book), ("music", music),
    ("calendar", calendar_page), ("balloon", balloon), ("key", key), ("house", house), ("briefcase", briefcase),
    ("cart", cart), ("dumbbell", dumbbell), ("flower", flower), ("sun", sun), ("moon", moon),
    ("umbrella", umbrella), ("tv", tv), ("camera", camera), ("paw", paw), ("cutlery", cutlery),
    ("coin", coin), ("warning", warning), ("check", check),
]


def file_names():
    return ["%02d-%s.png" % (i, name) for i, (name, _) in enumerate(ICONS)]


def build(out):
    for file_name, (_, draw) in zip(file_names(), ICONS):
        c = raster.Canvas(SIZE, SIZE)
        draw(c)
        out.write("Icons/" + file_name, imagefile.png_rgba(c.w, c.h, c.rgba_bytes()))


PRODUCTS = [("icons", build)]
