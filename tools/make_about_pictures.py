#!/usr/bin/python3
"""Draws the about box's pictures into varnel/resources/ as GIF files.

- background.gif (492 x 304): a night sky over a dark sea, with stars, a far island with a
  lighthouse, the moon's path on the water and a faint medallion spot at the top right where the
  hidden medallion appears.
- debugdata.gif (96 x 80): a small birthday cake with candles, shown on the maker's birthday.
- logo.gif (50 x 49): a kestrel's head in a ring.
- medallion.gif (41 x 49): a golden oval medallion with a four-pointed star.

Everything is drawn with Pillow (Debian's python3-pil) from fixed numbers, so the files come out
the same on every run. Run it from the repository's top folder:

    /usr/bin/python3 tools/make_about_pictures.py
"""
import math
import os
import random

from PIL import Image, ImageDraw, ImageFilter, ImageFont

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "varnel", "resources")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"


def font(name, size):
    try:
        return ImageFont.truetype(os.path.join(FONT_DIR, name), size)
    except OSError:
        return ImageFont.load_default()


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def save_gif(img, name, transparent_key=None):
    """Quantises to an adaptive palette and writes a GIF; a colour key becomes transparent."""
    path = os.path.join(OUT, name)
    if transparent_key is None:
        img.convert("RGB").quantize(colors=128, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE).save(
            path, optimize=True)
        return
    rgba = img.convert("RGBA")
    alpha = rgba.getchannel("A")
    # Edge pixels are blended over the dark night colour the pictures sit on, not over the key.
    flat = Image.new("RGB", rgba.size, (12, 22, 40))
    flat.paste(rgba, mask=alpha)
    pal = flat.quantize(colors=63, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    # Index 63 is the transparent one; every pixel that was mostly transparent takes it.
    pal_data = pal.getpalette()[:63 * 3] + list(transparent_key)
    pixels = pal.load()
    a = alpha.load()
    w, h = pal.size
    for y in range(h):
        for x in range(w):
            if a[x, y] < 128:
                pixels[x, y] = 63
    pal.putpalette(pal_data + [0] * (768 - len(pal_data)))
    pal.save(path, transparency=63, optimize=False)


def background():
    w, h = 492, 304
    horizon = 196
    img = Image.new("RGB", (w, h))
    d = ImageDraw.Draw(img)
    sky_top, sky_mid, sky_low = (4, 6, 22), (14, 30, 64), (38, 78, 110)
    for y in range(horizon):
        t = y / horizon
        c = lerp(sky_top, sky_mid, t / 0.6) if t < 0.6 else lerp(sky_mid, sky_low, (t - 0.6) / 0.4)
        d.line([(0, y), (w, y)], fill=c)
    sea_top, sea_low = (10, 34, 52), (2, 8, 16)
    for y in range(horizon, h):
        t = (y - horizon) / (h - horizon)
        d.line([(0, y), (w, y)], fill=lerp(sea_top, sea_low, t))

    rnd = random.Random(1957)
    for _ in range(150):
        x, y = rnd.randrange(w), rnd.randrange(horizon - 30)
        b = rnd.randrange(90, 255)
        d.point((x, y), fill=(b, b, min(255, b + 20)))
    for _ in range(12):
        x, y = rnd.randrange(w), rnd.randrange(horizon - 60)
        d.point([(x, y), (x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)], fill=(220, 230, 255))

    # The moon with a soft glow, and its path on the water.
    mx, my = 352, 48
    glow = Image.new("L", (w, h), 0)
    ImageDraw.Draw(glow).ellipse([mx - 38, my - 38, mx + 38, my + 38], fill=90)
    glow = glow.filter(ImageFilter.GaussianBlur(16))
    img.paste(Image.new("RGB", (w, h), (150, 170, 200)), mask=glow)
    d = ImageDraw.Draw(img)
    d.ellipse([mx - 16, my - 16, mx + 16, my + 16], fill=(236, 232, 206))
    d.ellipse([mx - 8, my - 9, mx - 1, my - 2], fill=(214, 210, 186))
    d.ellipse([mx + 3, my + 4, mx + 9, my + 10], fill=(220, 216, 192))
    for y in range(horizon + 2, h, 3):
        spread = 6 + (y - horizon) * 0.55
        for k in range(3):
            x0 = mx - spread + rnd.uniform(-6, 6)
            length = rnd.uniform(4, spread * 0.6)
            x0 += k * spread * 0.6
            fade = 1 - (y - horizon) / (h - horizon)
            c = lerp((14, 34, 52), (170, 180, 170), 0.35 + 0.5 * fade)
            d.line([(x0, y), (x0 + length, y)], fill=c)

    # Far island with a lighthouse and its beam.
    island = [(300, horizon), (340, horizon - 14), (372, horizon - 22), (400, horizon - 30), (430, horizon - 24),
              (462, horizon - 10), (492, horizon - 2), (492, horizon)]
    d.polygon(island, fill=(6, 14, 24))
    lx = 400
    d.polygon([(lx - 4, horizon - 30), (lx + 4, horizon - 30), (lx + 2, horizon - 56), (lx - 2, horizon - 56)],
              fill=(150, 140, 130))
    d.rectangle([lx - 3, horizon - 62, lx + 3, horizon - 56], fill=(250, 220, 120))
    beam = Image.new("L", (w, h), 0)
    ImageDraw.Draw(beam).polygon([(lx, horizon - 59), (w, horizon - 84), (w, horizon - 50)], fill=60)
    beam = beam.filter(ImageFilter.GaussianBlur(3))
    img.paste(Image.new("RGB", (w, h), (250, 225, 150)), mask=beam)
    d = ImageDraw.Draw(img)
    d.line([(0, horizon), (w, horizon)], fill=(60, 96, 120))

    # Gentle waves.
    for y in range(horizon + 8, h, 11):
        for x in range(-20, w, 34):
            off = (y * 7) % 17
            d.arc([x + off, y, x + off + 22, y + 6], 200, 340, fill=(26, 58, 80))

    # The medallion spot: a faint ring at the top right.
    d.ellipse([440, 8, 480, 56], outline=(44, 60, 88))
    d.ellipse([444, 12, 476, 52], outline=(28, 40, 64))

    # A band behind the links and the version, and the suite's tagline under the title.
    band = Image.new("L", (w, h), 0)
    ImageDraw.Draw(band).rounded_rectangle([12, 72, 262, 256], radius=8, fill=110)
    img.paste(Image.new("RGB", (w, h), (0, 0, 0)), mask=band)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([12, 72, 262, 256], radius=8, outline=(52, 80, 104))
    f = font("DejaVuSans.ttf", 10)
    d.text((74, 66), "resource archive tools for Quarn 1 and Quarn 2", font=f, fill=(96, 140, 170), anchor="ls")
    save_gif(img, "background.gif")


def cake():
    w, h = 96, 80
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.ellipse([6, 62, 90, 76], fill=(190, 190, 205, 255))  # plate
    d.rectangle([14, 44, 82, 68], fill=(124, 70, 40, 255))  # lower tier
    d.ellipse([14, 62, 82, 72], fill=(124, 70, 40, 255))
    d.ellipse([14, 38, 82, 50], fill=(250, 236, 240, 255))
    for x in range(16, 82, 8):
        d.ellipse([x, 44, x + 6, 52], fill=(250, 236, 240, 255))
    d.rectangle([26, 30, 70, 44], fill=(230, 120, 150, 255))  # upper tier
    d.ellipse([26, 26, 70, 34], fill=(255, 190, 205, 255))
    for i, x in enumerate(range(31, 68, 9)):
        d.rectangle([x, 12, x + 3, 29], fill=[(120, 200, 255, 255), (255, 230, 90, 255)][i % 2])
        d.ellipse([x - 1, 4, x + 4, 12], fill=(255, 170, 40, 255))
        d.ellipse([x + 1, 6, x + 2, 10], fill=(255, 245, 170, 255))
    for x, c in [(22, (255, 60, 60)), (40, (60, 200, 90)), (58, (80, 140, 255)), (74, (255, 210, 60))]:
        d.ellipse([x, 56, x + 3, 59], fill=c + (255,))
    save_gif(img, "debugdata.gif", transparent_key=(255, 0, 255))


def logo():
    w, h = 50, 49
    scale = 4
    big = Image.new("RGBA", (w * scale, h * scale), (0, 0, 0, 0))
    d = ImageDraw.Draw(big)
    s = scale
    d.ellipse([1 * s, 1 * s, 48 * s, 47 * s], fill=(14, 40, 70, 255), outline=(200, 168, 80, 255), width=3 * s)
    d.ellipse([5 * s, 5 * s, 44 * s, 43 * s], outline=(90, 150, 190, 255), width=s)
    # A kestrel's head looking left: crown, cheek stripe, hooked beak, eye.
    head = [(34, 12), (24, 11), (16, 15), (12, 21), (14, 24), (10, 27), (15, 28), (19, 27), (22, 33),
            (26, 40), (36, 40), (39, 30), (39, 20)]
    d.polygon([(x * s, y * s) for x, y in head], fill=(196, 122, 64, 255))
    crown = [(34, 12), (24, 11), (18, 14), (24, 16), (32, 17), (39, 20)]
    d.polygon([(x * s, y * s) for x, y in crown], fill=(110, 120, 150, 255))
    d.polygon([(x * s, y * s) for x, y in [(12, 21), (8, 23), (10, 27), (14, 24)]], fill=(240, 200, 60, 255))
    d.polygon([(x * s, y * s) for x, y in [(8, 23), (6, 27), (10, 27)]], fill=(40, 40, 50, 255))
    d.polygon([(x * s, y * s) for x, y in [(20, 22), (23, 23), (22, 32), (19, 30)]], fill=(40, 34, 40, 255))
    d.ellipse([16 * s, 17 * s, 21 * s, 22 * s], fill=(250, 220, 80, 255))
    d.ellipse([17.5 * s, 18.5 * s, 19.8 * s, 20.8 * s], fill=(10, 10, 10, 255))
    for x, y in [(30, 28), (34, 32), (29, 35), (33, 37)]:
        d.ellipse([x * s, y * s, (x + 2) * s, (y + 2) * s], fill=(80, 50, 30, 255))
    img = big.resize((w, h), Image.Resampling.LANCZOS)
    save_gif(img, "logo.gif", transparent_key=(255, 0, 255))


def medallion():
    w, h = 41, 49
    scale = 4
    big = Image.new("RGBA", (w * scale, h * scale), (0, 0, 0, 0))
    d = ImageDraw.Draw(big)
    s = scale
    d.ellipse([1 * s, 1 * s, 40 * s, 48 * s], fill=(150, 104, 30, 255))
    d.ellipse([3 * s, 3 * s, 38 * s, 46 * s], fill=(222, 176, 64, 255))
    d.ellipse([6 * s, 6 * s, 35 * s, 43 * s], fill=(190, 140, 44, 255), outline=(246, 214, 120, 255), width=s)
    cx, cy = 20.5 * s, 24.5 * s
    points = []
    for i in range(8):
        r = (14 if i % 2 == 0 else 4.5) * s
        a = math.pi / 2 + i * math.pi / 4
        points.append((cx + r * math.cos(a) * 0.85, cy - r * math.sin(a)))
    d.polygon(points, fill=(255, 240, 180, 255), outline=(120, 80, 20, 255))
    d.ellipse([cx - 2.5 * s, cy - 2.5 * s, cx + 2.5 * s, cy + 2.5 * s], fill=(60, 130, 200, 255))
    d.arc([8 * s, 5 * s, 30 * s, 30 * s], 200, 260, fill=(255, 250, 220, 255), width=s)
    img = big.resize((w, h), Image.Resampling.LANCZOS)
    save_gif(img, "medallion.gif", transparent_key=(255, 0, 255))


def main():
    os.makedirs(OUT, exist_ok=True)
    background()
    cake()
    logo()
    medallion()


if __name__ == "__main__":
    main()
