#!/usr/bin/env python3
"""Writes the two built-in game palettes, pictor/palettes/quarn1.pal and quarn2.pal.

Each is a RAW palette: 256 entries of red, green, blue (0..255), 768 bytes.
Index 0 is black (the games draw sprites with index 0 as their clear colour).

quarn1: sixteen ramps of sixteen shades, dark to light, in the earthy colours of an island
world: greys, skin, browns, reds, oranges, yellows, grass greens, leaf greens, teals, sea
blues, sky blues, indigo, violets, pinks, sand and a last ramp of bright highlights. Each
ramp runs from a darkened to a lightened version of its base colour, so that shading a
sprite walks along one ramp.

quarn2: eight ramps of thirty-two shades with stronger, cooler colours for a second world
under two suns: greys, blues, cyans, greens, golds, oranges, magentas and purples, each
ramp from near black through the full colour to near white.

Run it from the repository's top folder: python3 tools/make_palettes.py
"""
import colorsys
import os


def ramp(rgb, steps, dark=0.08, light=0.95):
    """Shades of one colour from dark to light, through the colour itself in the middle."""
    r, g, b = (c / 255.0 for c in rgb)
    h, l, s = colorsys.rgb_to_hls(r, g, b)
    out = []
    for i in range(steps):
        t = i / (steps - 1)
        level = dark + (light - dark) * t
        # keep the colour strong in the middle of the ramp and soften it at both ends
        sat = s * (1.0 - 0.45 * abs(t - 0.5) * 2)
        rr, gg, bb = colorsys.hls_to_rgb(h, level, sat)
        out.append(tuple(max(0, min(255, round(c * 255))) for c in (rr, gg, bb)))
    return out


def quarn1():
    bases = [
        (128, 128, 128), (224, 172, 140), (140, 96, 60), (200, 48, 40),
        (236, 128, 40), (240, 210, 60), (100, 180, 60), (40, 120, 50),
        (40, 160, 150), (30, 90, 170), (110, 170, 240), (60, 60, 150),
        (140, 70, 180), (230, 120, 170), (220, 200, 150), (255, 250, 220),
    ]
    entries = []
    for base in bases:
        entries += ramp(base, 16)
    entries[0] = (0, 0, 0)
    return entries


def quarn2():
    bases = [
        (128, 128, 136), (40, 90, 220), (30, 200, 220), (60, 200, 80),
        (230, 190, 40), (240, 110, 30), (220, 40, 160), (120, 50, 200),
    ]
    entries = []
    for base in bases:
        entries += ramp(base, 32, dark=0.04, light=0.97)
    entries[0] = (0, 0, 0)
    return entries


def write(path, entries):
    assert len(entries) == 256
    with open(path, "wb") as f:
        f.write(bytes(c for entry in entries for c in entry))


if __name__ == "__main__":
    folder = os.path.join("pictor", "palettes")
    write(os.path.join(folder, "quarn1.pal"), quarn1())
    write(os.path.join(folder, "quarn2.pal"), quarn2())
