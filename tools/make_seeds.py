#!/usr/bin/env python3
"""Writes the small seed files in fuzz/corpus/<target>/ (see fuzz/corpus/README.md).

Run from anywhere: python3 tools/make_seeds.py. The output is the same on every run.
"""

import os
import struct

TOP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
CORPUS = os.path.join(TOP, "fuzz", "corpus")


def pack(data: bytes, bias: int) -> bytes:
    """Greedy longest-match encoder for the stream format: a flag byte per eight items (low bit
    first, 1 = literal byte), a copy as a little-endian word (distance - 1) << 4 | (length - bias),
    distances 1..4096, lengths bias..bias + 15."""
    out = bytearray()
    flag_at, bit = 0, 8
    p = 0
    while p < len(data):
        if bit == 8:
            flag_at, bit = len(out), 0
            out.append(0)
        cap = min(bias + 15, len(data) - p)
        best, best_distance = 0, 0
        for distance in range(1, min(4096, p) + 1):
            n = 0
            while n < cap and data[p - distance + n] == data[p + n]:
                n += 1
            if n > best:
                best, best_distance = n, distance
        if best >= bias:
            out += struct.pack("<H", (best_distance - 1) << 4 | (best - bias))
            p += best
        else:
            out[flag_at] |= 1 << bit
            out.append(data[p])
            p += 1
        bit += 1
    return bytes(out)


def archive(entries) -> bytes:
    """An archive: offset table (0 for a blank slot, an earlier slot's offset for a double, then
    the file size), then per entry disk size, stored size, type (2 bytes) and the stored bytes."""
    table_size = 4 * (len(entries) + 1)
    body = bytearray()
    offsets = []
    for kind, value in entries:
        if kind == "blank":
            offsets.append(0)
        elif kind == "double":
            offsets.append(offsets[value])
        else:
            entry_type, raw = kind, value
            stored = raw if entry_type == 0 else pack(raw, 2 if entry_type == 1 else 3)
            offsets.append(table_size + len(body))
            body += struct.pack("<IIH", len(raw), len(stored), entry_type) + stored
    size = table_size + len(body)
    return struct.pack("<%dI" % (len(offsets) + 1), *offsets, size) + bytes(body)


def write(target: str, name: str, data: bytes) -> None:
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def text_bank(texts) -> bytes:
    """A text bank: one little-endian word per text (its offset), the file size, then the texts
    back to back, each with its 0 byte. Quarn 2 texts carry their frame byte in front."""
    table_size = 2 * (len(texts) + 1)
    body = bytearray()
    offsets = []
    for text in texts:
        offsets.append(table_size + len(body))
        body += text + b"\0"
    return struct.pack("<%dH" % (len(offsets) + 1), *offsets, table_size + len(body)) + bytes(body)


def decompress_seed(bias: int, original: bytes) -> bytes:
    # fuzz_decompress reads byte 0 bit 0 as the bias (0: 2, 1: 3), bytes 1-3 as the declared size.
    return bytes([bias - 2]) + struct.pack("<I", len(original))[:3] + pack(original, bias)


def main() -> None:
    text = b"the ferry leaves at dawn; the ferry returns at dusk. " * 4
    rows = bytes(sum(([c] * 24 + [c + 1] * 8 for c in range(40, 48)), []))  # flat 8-bit picture rows

    write("fuzz_archive", "tiny.hqr", archive([
        (0, b"STORED ENTRY"),
        (1, text[:80]),
        ("blank", 0),
        ("double", 0),
        (2, rows[:96]),
    ]))

    write("fuzz_decompress", "text_bias2", decompress_seed(2, text))
    write("fuzz_decompress", "rows_bias3", decompress_seed(3, rows))

    # Marker A4, four bytes, the name and its zero byte, the body size, the body packed with bias 2.
    body = b"SAVE" + bytes(range(16)) * 2 + text[:60]
    write("fuzz_savegame", "tiny.sav",
          bytes([0xA4, 1, 0, 0, 0]) + b"Harbour\0" + struct.pack("<I", len(body)) + pack(body, 2))

    # Quarn 2: frame 1 with "Caf\x82 cr\x88me" (game codes for e-acute and e-circumflex) and a line
    # break "@"; frame 33 with "\x93" (o-circumflex) and an unknown code 86; frame 129 and no text.
    write("fuzz_textbank", "quarn2.qbt", text_bank([
        b"\x01Caf\x82 cr\x88me@second line",
        b"\x21Radio h\x93te \x86",
        b"\x81",
    ]))
    # Quarn 1: no frame bytes; the shared glyphs B0/C6 and the star F4.
    write("fuzz_textbank", "quarn1.qbt", text_bank([b"S\xb0o \xc6 \xf4", b"Harbour@gate"]))

    # Pictures. PCX and TGA start from the small third-party files of the picture tests.
    fixtures = os.path.join(TOP, "tests", "fixtures", "pictor")
    for name, target in (("pil_5x3.pcx", "fuzz_pcx"), ("im_5x3.pcx", "fuzz_pcx"),
                         ("pil_5x3_topleft.tga", "fuzz_tga"), ("pil_5x3.tga", "fuzz_tga")):
        with open(os.path.join(fixtures, name), "rb") as f:
            write(target, name, f.read())
    # A 16-colour PCX (1 bit, 4 planes) of 9 x 2 with two run-length runs and stored bytes.
    header = bytearray(128)
    header[0:4] = bytes([10, 5, 1, 1])
    header[8:12] = struct.pack("<2H", 8, 1)  # Xmax, Ymax: 9 x 2
    header[16:64] = bytes((i * 16) & 0xFF for i in range(48))
    header[65] = 4
    header[66:68] = struct.pack("<H", 2)
    line = bytes([0xC2, 0xAA, 0x55, 0x80, 0xC3, 0x0F, 0xFF, 0x00])  # 4 planes x 2 bytes
    write("fuzz_pcx", "planes16.pcx", bytes(header) + line * 2)

    # fuzz_game_image: byte 0 = custom (bit 0), break-index (bit 1), file kind (bits 6-7: 0 .qsp,
    # 1 .qsr, 2 .bin, 3 .pal); bytes 1-2 width and height, byte 3 the start; then the file.
    sprite = bytes(8) + bytes([6, 4]) + bytes(range(24))
    write("fuzz_game_image", "sprite.qsp", bytes([0x00, 0, 0, 0]) + sprite)
    coded = bytes([5, 6, 7, 0xFF, 0xFF, 9, 0xFF, 1, 2, 3])
    write("fuzz_game_image", "custom_break.bin", bytes([0x83, 4, 3, 0]) + coded)
    riff = (b"RIFF" + struct.pack("<I", 4 + 8 + 4 + 16 * 4) + b"PAL data" + struct.pack("<I", 4 + 16 * 4)
            + struct.pack("<HH", 0x0300, 16) + bytes(c for i in range(16) for c in (i * 16, 255 - i * 16, i, 0)))
    write("fuzz_game_image", "riff16.pal", bytes([0xC0, 0, 0, 0]) + riff)


if __name__ == "__main__":
    main()
