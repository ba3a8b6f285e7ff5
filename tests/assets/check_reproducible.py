#!/usr/bin/env python3
"""Runs the asset script twice, in fresh interpreters with different hash seeds, into two empty folders
and fails unless both runs wrote the same files with the same bytes.

    python3 check_reproducible.py path/to/make_assets.py
"""
import os
import subprocess
import sys
import tempfile

# Files the program names itself; the set must contain at least these.
REQUIRED = ["skins/Gold/Numbers.bmp", "skins/Gold/Text.bmp", "Weather/na.png", "Moon/na.png",
            "Forecast/forecast.png", "Calendar/Dark Blue Glass/calendar.png", "Calendar/circle.png"]


def run(script, out, seed):
    env = dict(os.environ, PYTHONHASHSEED=str(seed), PYTHONDONTWRITEBYTECODE="1")
    subprocess.run([sys.executable, script, "--out", out], check=True, env=env)


def tree(root):
    files = {}
    for folder, _, names in os.walk(root):
        for name in names:
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, root).replace(os.sep, "/")] = f.read()
    return files


def main():
    script = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as a, tempfile.TemporaryDirectory() as b:
        run(script, a, 1)
        run(script, b, 2)
        first, second = tree(a), tree(b)
        run(script, a, 3)               # drawing over an existing folder changes nothing either
        third = tree(a)
    failures = []
    for name in REQUIRED:
        if name not in first:
            failures.append("missing " + name)
    if sorted(first) != sorted(second):
        failures.append("the two runs wrote different files: %s"
                        % sorted(set(first).symmetric_difference(second)))
    for name in sorted(set(first) & set(second)):
        if first[name] != second[name]:
            failures.append("%s differs between runs" % name)
        if first[name] != third.get(name):
            failures.append("%s changed when drawn again over itself" % name)
    for f in failures:
        print("FAIL: " + f)
    print("%d files compared" % len(first))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
