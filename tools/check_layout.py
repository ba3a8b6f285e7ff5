#!/usr/bin/env python3
"""Checks the floors of the code: which folder may include which, and that no code file outgrows a screenful
of screens. Prints each breach and exits 1 when there is one."""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MAX_LINES = 800
# What each folder may include besides itself. Subsystems reach each other only where one uses another.
ALLOWED = {
    'base': set(),
    'controls': {'base'},
    'timeservice': {'base'},
    'clock': {'base', 'controls'},
    'alarms': {'base', 'controls', 'clock', 'resources'},
    'weather': {'base', 'controls', 'clock', 'resources'},
    'host': {'base', 'clock'},
    'app': {'base', 'controls', 'clock', 'alarms', 'weather', 'timeservice', 'host', 'resources'},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def main():
    breaches = []
    for folder, allowed in ALLOWED.items():
        for dirpath, _, files in os.walk(os.path.join(ROOT, folder)):
            for name in files:
                if not name.endswith(('.cpp', '.h')):
                    continue
                path = os.path.join(dirpath, name)
                rel = os.path.relpath(path, ROOT)
                with open(path, encoding='utf-8', errors='replace') as f:
                    lines = f.readlines()
                if len(lines) > MAX_LINES:
                    breaches.append(f'{rel}: {len(lines)} lines (at most {MAX_LINES})')
                for number, line in enumerate(lines, 1):
                    m = INCLUDE.match(line)
                    if not m or '/' not in m.group(1):
                        continue
                    top = m.group(1).split('/')[0]
                    if top != folder and top not in allowed and top in ALLOWED.keys() | {'resources'}:
                        breaches.append(f'{rel}:{number}: {folder}/ includes {m.group(1)}')
    for b in breaches:
        print(b)
    return 1 if breaches else 0


if __name__ == '__main__':
    sys.exit(main())
