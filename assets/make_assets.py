#!/usr/bin/env python3
"""Draws every picture the program ships into a program folder: the clock skins (skins\\), weather and
moon pictures (Weather\\, Moon\\), the forecast widget's panel, buttons and icons (Forecast\\), the
month-calendar skins (Calendar\\), the alarm icons (Icons\\) and the alarm sounds (Sounds\\).

    python3 assets/make_assets.py --out build/win64/dist [--only skins,weather,moon,forecast,calendar,icons,sounds]

Only the Python standard library is used and the output is the same, byte for byte, on every run: no
dates, no unseeded randomness, no dependence on dictionary or file-system order. Each picture set is a
module of the art package that lists its builders in PRODUCTS as (name, build(out)); build() draws on
raster.Canvas and hands finished files to out.write(path under the program folder, bytes). A new set is
a new module added to MODULES below (the build re-runs the script whenever a file of art/ changes).
"""
import argparse
import os
import sys

sys.dont_write_bytecode = True          # nothing is cached beside the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from art import (alarm_icons, alarm_sounds, calendar, clock_skins, forecast, moon_icons, program_icon,   # noqa: E402
                 weather_icons)

MODULES = [clock_skins, weather_icons, moon_icons, forecast, calendar, alarm_icons, alarm_sounds]
# Drawn only when asked for by name: the program icon goes into the program image, not its folder.
ON_REQUEST = [program_icon]


class Output:
    """Writes files under the program folder; paths use "/" and name the program's own folders."""

    def __init__(self, root):
        self.root = root
        self.written = []

    def write(self, relpath, data):
        path = os.path.join(self.root, *relpath.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        # Always written, so every file is newer than the sources it came from and the build sees it done.
        with open(path, "wb") as f:
            f.write(data)
        self.written.append(relpath)


def products(on_request=False):
    result = []
    for module in MODULES + (ON_REQUEST if on_request else []):
        result.extend(module.PRODUCTS)
    return result


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True, help="the program folder to draw into")
    parser.add_argument("--only", default="", help="comma-separated picture sets (default: all)")
    parser.add_argument("--list", action="store_true", help="print the files written")
    args = parser.parse_args(argv)
    wanted = [w for w in args.only.split(",") if w]
    known = [name for name, _ in products(True)]
    for w in wanted:
        if w not in known:
            parser.error("unknown picture set %r (known: %s)" % (w, ", ".join(known)))
    out = Output(args.out)
    for name, build in products(bool(wanted)):
        if not wanted or name in wanted:
            build(out)
    if args.list:
        for p in out.written:
            print(p)
    return 0


if __name__ == "__main__":
    sys.exit(main())
