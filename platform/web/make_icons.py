"""Makes the installed page's icons from the application icon's 32-pixel
image, as make_icon writes it (8-bit RGBA, unfiltered rows): each pixel
becomes a square of whole pixels, with no smoothing, so that the die stays
crisp at any size.
  OUT_DIR/icon-SIZE.png           the die filling the square, for any use;
  OUT_DIR/icon-maskable-SIZE.png  the die within the middle circle of 80%
                                  that every mask keeps, on the title bar's
                                  colour in the light scheme, from STYLE.css.
Usage: make_icons.py ICON.png STYLE.css OUT_DIR SIZE..."""

import math
import struct
import sys
import zlib

from make_page import caption_colours, read


def read_png(path):
    with open(path, "rb") as png_file:
        data = png_file.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path} is not a PNG file")
    at, header, image = 8, None, b""
    while at < len(data):
        (length,) = struct.unpack(">I", data[at:at + 4])
        kind, body = data[at + 4:at + 8], data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            image += body
        at += 12 + length
    width, height, depth, colour, _, _, interlace = header
    raw = zlib.decompress(image)
    stride = 1 + 4 * width
    if (depth, colour, interlace) != (8, 6, 0) or any(raw[y * stride] for y in range(height)):
        sys.exit(f"{path} is not an unfiltered 8-bit RGBA image")
    return width, [[raw[y * stride + 1 + 4 * x:y * stride + 5 + 4 * x] for x in range(width)]
                   for y in range(height)]


def write_png(path, rows):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body)))

    size = len(rows)
    raw = b"".join(b"\0" + b"".join(row) for row in rows)
    with open(path, "wb") as png_file:
        png_file.write(b"\x89PNG\r\n\x1a\n" +
                       chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
                       chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon(pixels, size, factor, background):
    """The image scaled by `factor`, centred in a square of `size`."""
    margin = (size - factor * len(pixels)) // 2
    rows = [[background] * size for _ in range(size)]
    for y, row in enumerate(pixels):
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                continue
            for dy in range(factor):
                line = rows[margin + y * factor + dy]
                line[margin + x * factor:margin + (x + 1) * factor] = [pixel] * factor
    return rows


def main():
    source, style, out_dir, *sizes = sys.argv[1:]
    width, pixels = read_png(source)
    opaque = bytes.fromhex(caption_colours(read(style))[0].lstrip("#")) + b"\xff"
    for size in map(int, sizes):
        write_png(f"{out_dir}/icon-{size}.png", icon(pixels, size, size // width, b"\0\0\0\0"))
        # The square that the safe circle holds: its diagonal is 80% of the
        # icon's side.
        safe = math.floor(0.8 * size / math.sqrt(2))
        write_png(f"{out_dir}/icon-maskable-{size}.png",
                  icon(pixels, size, safe // width, opaque))


main()
