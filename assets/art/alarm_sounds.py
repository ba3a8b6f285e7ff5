"""Alarm sounds: Sounds\\<name>.wav, short mono 16-bit PCM synthesised here from decaying sine partials.
The alarm editor lists the folder and selects its first sound for a new alarm; an alarm stores a bare
file name for a sound of this folder. Integer arithmetic on rounded samples keeps every run identical."""
import math
import struct

RATE = 22050


def _wav(samples):
    data = b"".join(struct.pack("<h", s) for s in samples)
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def _tone(seconds, partials, decay, start=0.0):
    """(offset in seconds, [(frequency, amplitude)], decay per second) -> float samples."""
    n = int(seconds * RATE)
    out = [0.0] * n
    first = int(start * RATE)
    for i in range(first, n):
        t = (i - first) / RATE
        env = math.exp(-decay * t) * min(1.0, t * 400.0)   # a 2.5 ms attack avoids a click
        out[i] = env * sum(a * math.sin(2 * math.pi * f * t) for f, a in partials)
    return out


def _mix(*tracks):
    n = max(len(t) for t in tracks)
    out = [0.0] * n
    for t in tracks:
        for i, v in enumerate(t):
            out[i] += v
    return [max(-32767, min(32767, int(round(v * 20000)))) for v in out]


def chime(out):
    bell = [(660.0, 0.6), (1320.0, 0.25), (1980.0, 0.1)]
    low = [(495.0, 0.6), (990.0, 0.25), (1485.0, 0.1)]
    out.write("Sounds/Chime.wav", _wav(_mix(_tone(1.6, bell, 3.0), _tone(1.6, low, 3.0, start=0.45))))


def beeps(out):
    beep = [(880.0, 0.7), (1760.0, 0.15)]
    tracks = []
    for k in range(4):
        start = k * 0.25
        t = _tone(start + 0.12, beep, 8.0, start=start)
        tracks.append(t + [0.0] * (int(1.1 * RATE) - len(t)))
    out.write("Sounds/Beeps.wav", _wav(_mix(*tracks)))


def build(out):
    chime(out)
    beeps(out)


PRODUCTS = [("sounds", build)]
