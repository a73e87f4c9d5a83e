#!/usr/bin/python3
"""Draws the suite's icons and installs them into a hicolor icon theme.

A Linux desktop knows icons by name. The file-type associations name the icon of each of our
twelve MIME types after the type ("application/x-quarn-hqr" -> "application-x-quarn-hqr") and the
icon of each program after the program ("kestrix", "pictor", ...); this script makes those icons
at 16, 32, 48, 64 and 128 pixels and puts them where the desktop looks:

    DATA/icons/hicolor/SIZExSIZE/mimetypes/application-x-quarn-EXT.png
    DATA/icons/hicolor/SIZExSIZE/apps/PROGRAM.png

DATA is $XDG_DATA_HOME (default ~/.local/share), PREFIX/share with --prefix, or --data-dir.
The icons are drawn here, not kept in git: this script is their source. Needs Pillow
(Debian's python3-pil).

    /usr/bin/python3 tools/make_icons.py                    # into the user's own theme
    /usr/bin/python3 tools/make_icons.py --prefix /usr/local
    /usr/bin/python3 tools/make_icons.py --data-dir /tmp/x --sizes 32,128
"""

import argparse
import os
import shutil
import subprocess
import sys

from PIL import Image, ImageDraw, ImageFont

SIZES = (16, 32, 48, 64, 128)
SUPERSAMPLE = 4  # drawn larger, then reduced, for smooth edges

# The twelve file types: extension, tile colour (top, bottom). Each program's types share a
# family of colours: archives amber, pictures teal to blue, text green, the rest slate.
FILE_TYPES = (
    ("hqr", (255, 179, 71), (214, 106, 20)),
    ("vox", (255, 138, 101), (196, 64, 44)),
    ("ile", (255, 213, 79), (201, 146, 12)),
    ("obl", (240, 160, 60), (168, 92, 18)),
    ("qim", (77, 208, 225), (0, 131, 153)),
    ("pal", (186, 104, 200), (106, 27, 154)),
    ("qsr", (100, 181, 246), (21, 101, 192)),
    ("qsp", (79, 195, 247), (2, 119, 189)),
    ("qbt", (129, 199, 132), (46, 125, 50)),
    ("qbc", (128, 203, 196), (0, 121, 107)),
    ("q3d", (144, 164, 174), (69, 90, 100)),
    ("qdc", (176, 176, 176), (97, 97, 97)),
)

# The programs and the suite (its library, whose about box all programs share): icon name,
# letter, colours.
PROGRAMS = (
    ("kestrix", "K", (255, 167, 38), (191, 54, 12)),
    ("tessel", "T", (102, 187, 106), (27, 94, 32)),
    ("pictor", "P", (41, 182, 246), (13, 71, 161)),
    ("bundra", "B", (239, 83, 80), (136, 14, 79)),
    ("varnel", "V", (126, 87, 194), (26, 35, 126)),
)

FONT_PATHS = (
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf",
)


def font(pixels):
    for path in FONT_PATHS:
        if os.path.exists(path):
            return ImageFont.truetype(path, pixels)
    return ImageFont.load_default()


def gradient(width, height, top, bottom):
    """A vertical gradient from `top` to `bottom` colour, opaque."""
    column = Image.new("RGBA", (1, height))
    for y in range(height):
        t = y / max(1, height - 1)
        column.putpixel((0, y), tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)) + (255,))
    return column.resize((width, height))


def fitted_text(draw, text, max_width, max_height):
    """The largest bold font (in whole pixels) in which `text` fits the box."""
    size = max_height
    while size > 4:
        f = font(size)
        left, top, right, bottom = draw.textbbox((0, 0), text, font=f)
        if right - left <= max_width and bottom - top <= max_height:
            return f
        size -= 1
    return font(4)


def centred_text(draw, box, text, fill, shadow):
    x0, y0, x1, y1 = box
    f = fitted_text(draw, text, x1 - x0, y1 - y0)
    left, top, right, bottom = draw.textbbox((0, 0), text, font=f)
    x = x0 + (x1 - x0 - (right - left)) / 2 - left
    y = y0 + (y1 - y0 - (bottom - top)) / 2 - top
    if shadow is not None:
        offset = max(1, (y1 - y0) // 24)
        draw.text((x + offset, y + offset), text, font=f, fill=shadow)
    draw.text((x, y), text, font=f, fill=fill)


def file_type_icon(size, ext, top, bottom):
    """A page with a folded corner, in the type's colours, with the extension across it."""
    s = size * SUPERSAMPLE
    margin_x, margin_y = round(s * 0.12), round(s * 0.04)
    fold = round(s * 0.26)
    x0, y0, x1, y1 = margin_x, margin_y, s - margin_x, s - margin_y
    page = [(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]

    mask = Image.new("L", (s, s), 0)
    ImageDraw.Draw(mask).polygon(page, fill=255)
    image = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    image.paste(gradient(s, s, top, bottom), (0, 0), mask)

    draw = ImageDraw.Draw(image)
    outline = tuple(round(c * 0.6) for c in bottom) + (255,)
    draw.line(page + [page[0]], fill=outline, width=max(SUPERSAMPLE, s // 48))
    # The folded corner, lighter, as the back of the page.
    draw.polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)],
                 fill=tuple(min(255, c + 60) for c in top) + (255,), outline=outline)
    # A white label that carries the letters in the type's dark colour.
    band = (x0 + s // 16, round(s * 0.46), x1 - s // 16, round(s * 0.80))
    draw.rounded_rectangle(band, radius=s // 14, fill=(255, 255, 255, 235))
    label = ext.upper() if size >= 32 else ext[0].upper()
    inner = (band[0] + s // 28, band[1] + s // 28, band[2] - s // 28, band[3] - s // 28)
    centred_text(draw, inner, label, outline, None)
    return image.resize((size, size), Image.LANCZOS)


def program_icon(size, letter, top, bottom):
    """A rounded tile with the program's letter and a ring."""
    s = size * SUPERSAMPLE
    m = round(s * 0.06)
    mask = Image.new("L", (s, s), 0)
    ImageDraw.Draw(mask).rounded_rectangle((m, m, s - m, s - m), radius=round(s * 0.22), fill=255)
    image = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    image.paste(gradient(s, s, top, bottom), (0, 0), mask)

    draw = ImageDraw.Draw(image)
    dark = tuple(round(c * 0.55) for c in bottom) + (255,)
    draw.rounded_rectangle((m, m, s - m, s - m), radius=round(s * 0.22), outline=dark,
                           width=max(SUPERSAMPLE, s // 40))
    r = round(s * 0.34)
    c = s // 2
    draw.ellipse((c - r, c - r, c + r, c + r), outline=(255, 255, 255, 110), width=max(SUPERSAMPLE, s // 22))
    box = (c - round(r * 0.72), c - round(r * 0.72), c + round(r * 0.72), c + round(r * 0.72))
    centred_text(draw, box, letter, (255, 255, 255, 255), dark)
    return image.resize((size, size), Image.LANCZOS)


def save(image, theme, size, context, name):
    folder = os.path.join(theme, f"{size}x{size}", context)
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name + ".png")
    image.save(path, optimize=True)
    return path


def main():
    parser = argparse.ArgumentParser(description="Draws the suite's icons into a hicolor theme.")
    where = parser.add_mutually_exclusive_group()
    where.add_argument("--prefix", help="install under PREFIX/share/icons/hicolor")
    where.add_argument("--data-dir", help="install under DATA-DIR/icons/hicolor")
    parser.add_argument("--sizes", default=",".join(map(str, SIZES)),
                        help="comma-separated pixel sizes (default %(default)s)")
    parser.add_argument("--quiet", action="store_true", help="print nothing but errors")
    args = parser.parse_args()

    if args.prefix:
        data = os.path.join(args.prefix, "share")
    elif args.data_dir:
        data = args.data_dir
    else:
        xdg = os.environ.get("XDG_DATA_HOME", "")
        data = xdg if os.path.isabs(xdg) else os.path.join(os.path.expanduser("~"), ".local", "share")
    theme = os.path.join(data, "icons", "hicolor")

    try:
        sizes = sorted({int(v) for v in args.sizes.split(",") if v.strip()})
    except ValueError:
        parser.error(f"--sizes wants whole numbers, not {args.sizes!r}")
    if not sizes or any(v < 16 or v > 512 for v in sizes):
        parser.error("--sizes wants sizes from 16 to 512")

    count = 0
    for size in sizes:
        for ext, top, bottom in FILE_TYPES:
            save(file_type_icon(size, ext, top, bottom), theme, size, "mimetypes", f"application-x-quarn-{ext}")
            count += 1
        for name, letter, top, bottom in PROGRAMS:
            save(program_icon(size, letter, top, bottom), theme, size, "apps", name)
            count += 1

    # A theme with its own index and GTK's cache tool gets its cache refreshed; the user's own
    # hicolor folder normally has neither and is read directly.
    tool = shutil.which("gtk-update-icon-cache")
    if tool and os.path.exists(os.path.join(theme, "index.theme")):
        subprocess.run([tool, "--force", "--quiet", theme], check=False)
    if not args.quiet:
        print(f"make_icons: {count} icons in {theme}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
