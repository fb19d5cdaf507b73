#!/usr/bin/env python3
"""Draws the toolbar bitmaps and icons of Quirebook.exe from the text pixel maps in art/.

usage: make_art.py OUTDIR PAGE

Writes into OUTDIR one 16 x 16 4-bit .bmp per toolbar picture, one .ico per icon
(a 16 x 16 and a 32 x 32 image, 4-bit with a transparency mask),
art-preview.png, a magnified sheet of every picture for reviewing the art, and
ReadMe.htm, the help page PAGE with the toolbar pictures drawn into it.
A malformed map stops the script with a message naming the file and line.
"""

import base64
import re
import struct
import sys
import zlib
from pathlib import Path

ART = Path(__file__).resolve().parent / "art"

# The standard 16-colour Windows palette, by colour-table index.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BUTTON_FACE = 7  # the toolbar shows this light grey as the button face colour
TRANSPARENT = None

# Toolbar pictures in image-list order (bitmap resources 100 to 113).
TOOLBAR = ["new", "open", "save", "add", "copy", "delete", "book", "music",
           "movie", "previous", "next", "goto", "search", "readme"]
# Icon groups by resource id; each is drawn as NAME-16.txt and NAME-32.txt.
ICONS = [("bookshelf", 500), ("hourglass", 502), ("record_file", 503)]
ICON_SIZES = [16, 32]


class ArtError(Exception):
    pass


def data_lines(path):
    """(line number, text) of each line that is neither blank nor a comment."""
    try:
        text = path.read_text(encoding="ascii")
    except FileNotFoundError:
        raise ArtError(f"{path}: missing")
    except UnicodeDecodeError:
        raise ArtError(f"{path}: not plain ASCII text")
    for number, line in enumerate(text.splitlines(), 1):
        line = line.rstrip()
        if line and not line.startswith("#"):
            yield number, line


def read_legend(path):
    """Letter -> colour-table index (None for the background letter)."""
    legend = {}
    for number, line in data_lines(path):
        words = line.split()
        if len(words) < 2 or len(words[0]) != 1:
            raise ArtError(f"{path}:{number}: expected a letter and an index")
        letter, index = words[0], words[1]
        if index == "-":
            value = TRANSPARENT
        elif index.isdigit() and int(index) < len(PALETTE):
            value = int(index)
        else:
            raise ArtError(f"{path}:{number}: index must be 0 to 15 or -, not {index!r}")
        if letter in legend:
            raise ArtError(f"{path}:{number}: letter {letter!r} defined twice")
        if value in legend.values():
            raise ArtError(f"{path}:{number}: index {index} defined twice")
        legend[letter] = value
    if len(legend) != len(PALETTE) + 1:
        raise ArtError(f"{path}: needs 16 colours and one background letter, has {len(legend)}")
    return legend


def read_map(path, size, legend):
    """The map as rows of colour indexes (None = background), checked to be size x size."""
    rows = []
    for number, line in data_lines(path):
        if len(line) != size:
            raise ArtError(f"{path}:{number}: row has {len(line)} pixels, expected {size}")
        unknown = sorted(set(line) - legend.keys())
        if unknown:
            raise ArtError(f"{path}:{number}: unknown letter {unknown[0]!r}"
                           f" (letters are in {ART / 'palette.txt'})")
        rows.append([legend[c] for c in line])
    if len(rows) != size:
        raise ArtError(f"{path}: has {len(rows)} rows, expected {size}")
    return rows


def pack_nibbles(row):
    padded = row + [0] * (-len(row) % 8)  # rows of a bitmap are 32-bit aligned
    return bytes(padded[i] << 4 | padded[i + 1] for i in range(0, len(padded), 2))


def pack_mask(row):
    bits = [1 if p is TRANSPARENT else 0 for p in row]
    bits += [0] * (-len(bits) % 32)
    return bytes(int("".join(map(str, bits[i:i + 8])), 2) for i in range(0, len(bits), 8))


def colour_table():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 0)


def bmp_file(rows):
    """A 4-bit bottom-up bitmap; the background becomes the button-face grey."""
    opaque = [[BUTTON_FACE if p is TRANSPARENT else p for p in row] for row in rows]
    bits = b"".join(pack_nibbles(row) for row in reversed(opaque))
    offset = 14 + 40 + 4 * len(PALETTE)
    return (struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
            + info_header(len(rows[0]), len(rows), len(bits)) + colour_table() + bits)


def icon_image(rows):
    """One icon image: header (double height for colour + mask), colours, colour bits, mask."""
    colour = b"".join(pack_nibbles([0 if p is TRANSPARENT else p for p in row])
                      for row in reversed(rows))
    mask = b"".join(pack_mask(row) for row in reversed(rows))
    size = len(rows)
    return info_header(size, 2 * size, len(colour) + len(mask)) + colour_table() + colour + mask


def ico_file(images):
    """An .ico holding the given maps, smallest first."""
    offset = 6 + 16 * len(images)
    directory, data = b"", b""
    for rows in images:
        image = icon_image(rows)
        size = len(rows)
        directory += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
        data += image
    return struct.pack("<HHH", 0, 1, len(images)) + directory + data


def png_file(pixels):
    """An 8-bit RGB PNG of rows of (r, g, b) tuples."""
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in pixels)
    header = struct.pack(">IIBBBBB", len(pixels[0]), len(pixels), 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# Digits 3 x 5 for the resource ids on the preview sheet.
DIGITS = ["111101101101111", "010110010010111", "111001111100111", "111001111001111",
          "101101111001001", "111100111001111", "111100111101111", "111001010010010",
          "111101111101111", "111101111001111"]


class Sheet:
    """A canvas for the preview: pictures magnified, each also at its real size."""

    def __init__(self, width, height, colour):
        self.pixels = [[colour] * width for _ in range(height)]

    def fill(self, x, y, w, h, colour):
        for row in self.pixels[y:y + h]:
            row[x:x + w] = [colour] * w

    def picture(self, x, y, rows, scale, background):
        for j, row in enumerate(rows):
            for i, p in enumerate(row):
                colour = background(x + i * scale, y + j * scale) if p is TRANSPARENT \
                    else PALETTE[p]
                self.fill(x + i * scale, y + j * scale, scale, scale, colour)

    def number(self, x, y, value, scale=2):
        for digit in str(value):
            for k, bit in enumerate(DIGITS[int(digit)]):
                if bit == "1":
                    self.fill(x + (k % 3) * scale, y + (k // 3) * scale, scale, scale, (0, 0, 0))
            x += 4 * scale


def checker(x, y):
    """Shows the transparent parts of an icon."""
    return (255, 255, 255) if (x // 8 + y // 8) % 2 else (204, 204, 204)


def preview(toolbar, icons):
    face = PALETTE[BUTTON_FACE]
    cell, scale, gap = 16 * 6, 6, 16
    icon_cell = 128
    width = max(len(toolbar) * (cell + gap) // 2, len(icons) * 2 * (icon_cell + gap)) + gap
    height = gap + 2 * (cell + 40) + icon_cell + 60
    sheet = Sheet(width, height, (255, 255, 255))
    for n, rows in enumerate(toolbar):
        x = gap + (n % 7) * (cell + gap)
        y = gap + (n // 7) * (cell + 40)
        sheet.picture(x, y, rows, scale, lambda *_: face)
        sheet.fill(x, y + cell + 4, 20, 20, face)
        sheet.picture(x + 2, y + cell + 6, rows, 1, lambda *_: face)
        sheet.number(x + 28, y + cell + 10, 100 + n)
    y = gap + 2 * (cell + 40)
    for n, (group, images) in enumerate(icons):
        for k, rows in enumerate(reversed(images)):
            x = gap + (2 * n + k) * (icon_cell + gap)
            sheet.picture(x, y, rows, icon_cell // len(rows), checker)
            sheet.picture(x, y + icon_cell + 6, rows, 1, checker)
            sheet.number(x + 40, y + icon_cell + 16, group)
    return png_file(sheet.pixels)


def help_page(path, toolbar):
    """The page with each picture source "toolbar:NAME" made an inline PNG, so that it stands alone."""
    face = PALETTE[BUTTON_FACE]
    inline = {}
    for name, rows in zip(TOOLBAR, toolbar):
        png = png_file([[face if p is TRANSPARENT else PALETTE[p] for p in row] for row in rows])
        inline[name] = "data:image/png;base64," + base64.b64encode(png).decode("ascii")
    page = path.read_text(encoding="utf-8")

    def picture(match):
        if match.group(1) not in inline:
            raise ArtError(f"ReadMe.htm: no toolbar picture named {match.group(1)!r}")
        return f'src="{inline[match.group(1)]}"'
    return re.sub(r'src="toolbar:(\w+)"', picture, page)


def main(argv):
    if len(argv) != 3:
        print("usage: make_art.py OUTDIR PAGE", file=sys.stderr)
        return 2
    out = Path(argv[1])
    try:
        legend = read_legend(ART / "palette.txt")
        toolbar = [read_map(ART / f"{name}.txt", 16, legend) for name in TOOLBAR]
        icons = [[read_map(ART / f"{name}-{size}.txt", size, legend) for size in ICON_SIZES]
                 for name, _ in ICONS]
        page = help_page(Path(argv[2]), toolbar)
    except ArtError as error:
        print(f"make_art.py: error: {error}", file=sys.stderr)
        return 1
    out.mkdir(parents=True, exist_ok=True)
    for name, rows in zip(TOOLBAR, toolbar):
        (out / f"{name}.bmp").write_bytes(bmp_file(rows))
    for (name, _), images in zip(ICONS, icons):
        (out / f"{name}.ico").write_bytes(ico_file(images))
    groups = [(group, images) for (_, group), images in zip(ICONS, icons)]
    (out / "art-preview.png").write_bytes(preview(toolbar, groups))
    (out / "ReadMe.htm").write_text(page, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
