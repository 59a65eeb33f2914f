#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the 26 square pictures and the program icon: 1x from the pixel maps below, 2x, 3x and
the installed icon sizes from the same pieces drawn as shapes.

    tools/make_pictures.py            writes window/pictures/pictureN.png (23 x 23),
                                      pictureN@2x.png (46 x 46), pictureN@3x.png (69 x 69),
                                      window/icons/vombel-chess-N.png and vombel-chess.svg
    tools/make_pictures.py --preview FILE
                                      also writes every picture at 1x (enlarged), 2x and 3x to FILE

Piece maps are 23 x 23 characters:
    .  background (the square's colour)
    #  outline, black on both sides
    o  body: white for the human's pieces, black for the computer's
    +  detail line: black on the human's pieces, white on the computer's
The computer's pieces thus come out solid black with white detail lines and the human's white
with a black outline. The 1x pictures use only the Python standard library; the larger ones are
rasterised with anti-aliasing by pycairo (Debian: python3-cairo), needed only to run this script:
the generated files are committed.
"""

import argparse
import os
import struct
import sys
import zlib

SCALES = (2, 3)  # the larger sets, named pictureN@2x.png and pictureN@3x.png

SIZE = 23
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
GREY = (128, 128, 128)
SILVER = (192, 192, 192)
RED = (255, 0, 0)

PAWN = """
.......................
.......................
.......................
.........#####.........
........#ooooo#........
.......#ooooooo#.......
.......#ooooooo#.......
.......#ooooooo#.......
........#ooooo#........
.......##+++++##.......
........#ooooo#........
........#ooooo#........
.......#ooooooo#.......
.......#ooooooo#.......
......#ooooooooo#......
.....#ooooooooooo#.....
....#ooooooooooooo#....
....#ooooooooooooo#....
...##+++++++++++++##...
...#ooooooooooooooo#...
...#################...
.......................
.......................
"""

KNIGHT = """
.......................
.........#..#..........
........#o##o#.........
.......#ooooooo##......
......#oo+oooooo+#.....
.....#ooooooooooo+#....
....#ooooooooooooo+#...
...#oooooooooooooo+o#..
..#ooooooooooooooo+o#..
..#o+ooooo#ooooooo+o#..
..#ooooo##oooooooo+o#..
...#####.#oooooooo+o#..
........#ooooooooo+o#..
.......#oooooooooo+o#..
......#ooooooooooo+o#..
......#oooooooooooooo#.
.....#ooooooooooooooo#.
.....#ooooooooooooooo#.
...###+++++++++++++++##
...#ooooooooooooooooo#.
...###################.
.......................
.......................
"""

BISHOP = """
.......................
..........###..........
..........#o#..........
..........###..........
.........#ooo#.........
........#oooo+#........
.......#oooo+oo#.......
.......#ooo+ooo#.......
......#ooo+ooooo#......
......#oo+oooooo#......
......#ooooooooo#......
.......#ooooooo#.......
........#ooooo#........
.......##+++++##.......
........#ooooo#........
........#ooooo#........
.......#ooooooo#.......
......#ooooooooo#......
...####+++++++++####...
...#ooooooooooooooo#...
...#################...
.......................
.......................
"""

ROOK = """
.......................
.......................
....####.#####.####....
....#oo#.#ooo#.#oo#....
....#oo###ooo###oo#....
....#ooooooooooooo#....
....#+++++++++++++#....
.....##ooooooooo##.....
......#ooooooooo#......
......#ooooooooo#......
......#ooooooooo#......
......#ooooooooo#......
......#ooooooooo#......
......#ooooooooo#......
......#ooooooooo#......
.....##+++++++++##.....
....#ooooooooooooo#....
...##+++++++++++++##...
...#ooooooooooooooo#...
...#################...
.......................
.......................
.......................
"""

QUEEN = """
..###.###.###.###.###..
..#o#.#o#.#o#.#o#.#o#..
..###.###.###.###.###..
...#...#...#...#...#...
..#o#.#o#.#o#.#o#.#o#..
.#ooo#ooo#ooo#ooo#ooo#.
.#ooooooooooooooooooo#.
..#ooooooooooooooooo#..
...#ooooooooooooooo#...
....#+++++++++++++#....
.....#ooooooooooo#.....
......#ooooooooo#......
......#ooooooooo#......
.......#ooooooo#.......
.......#ooooooo#.......
......#ooooooooo#......
.....#ooooooooooo#.....
....#ooooooooooooo#....
...##+++++++++++++##...
...#ooooooooooooooo#...
...#################...
.......................
.......................
"""

KING = """
..........###..........
..........#o#..........
........###o###........
........#ooooo#........
........###o###........
..........#o#..........
...####..##o##..####...
..#oooo##ooooo##oooo#..
..#oooooo#ooo#oooooo#..
..#ooooooo#o#ooooooo#..
..#oooooooo+oooooooo#..
..#oooooooo+oooooooo#..
...#ooooooo+ooooooo#...
....#oooooo+oooooo#....
.....#+++++++++++#.....
......#ooooooooo#......
......#ooooooooo#......
.....#ooooooooooo#.....
...###+++++++++++###...
...#ooooooooooooooo#...
...#################...
.......................
.......................
"""

# The same pieces as shapes, for the larger pictures and icons. Coordinates are in the pixel maps'
# units (one unit = one 1x pixel, 0..23), a line on an outline pixel of the map running through
# that pixel's centre (col + 0.5, row + 0.5). Each piece is a list of elements drawn in order:
#   ("part", d)  a closed shape: filled with the body colour, outlined in black
#   ("mark", d)  an open line in black, the outline colour (the knight's mouth)
#   ("line", d)  a detail line: black on the human's pieces, white on the computer's
#   ("dot", d)   a filled detail shape (eyes, nostrils)
# d is SVG path data with absolute M, L, C and Z only. A part's outline drawn over the part below
# it is the line between them; on the computer's black pieces such lines vanish, as on the 1x maps,
# so a "line" repeats the ones the maps draw in the detail colour.
OUTLINE = 0.8  # units: 1.6 pixels at 2x, 2.4 at 3x
DETAIL = 0.7

KAPPA = 0.5523  # a quarter circle as one cubic Bezier


def ellipse(cx, cy, rx, ry):
    kx, ky = KAPPA * rx, KAPPA * ry
    return (f"M {cx + rx} {cy} C {cx + rx} {cy + ky} {cx + kx} {cy + ry} {cx} {cy + ry} "
            f"C {cx - kx} {cy + ry} {cx - rx} {cy + ky} {cx - rx} {cy} "
            f"C {cx - rx} {cy - ky} {cx - kx} {cy - ry} {cx} {cy - ry} "
            f"C {cx + kx} {cy - ry} {cx + rx} {cy - ky} {cx + rx} {cy} Z")


def plate(left, top, right, bottom):
    """The base every piece stands on: a slab with slightly rounded corners."""
    r = 0.6
    return (f"M {left + r} {top} L {right - r} {top} C {right} {top} {right} {top} {right} {top + r} "
            f"L {right} {bottom - r} C {right} {bottom} {right} {bottom} {right - r} {bottom} "
            f"L {left + r} {bottom} C {left} {bottom} {left} {bottom} {left} {bottom - r} "
            f"L {left} {top + r} C {left} {top} {left} {top} {left + r} {top} Z")


def hline(y, left, right):
    return f"M {left} {y} L {right} {y}"


SHAPES = {
    "pawn": [
        ("part", "M 8.7 9.5 C 8.7 12.6 4.6 14.4 4.5 18.5 L 18.5 18.5 C 18.4 14.4 14.3 12.6 "
                 "14.3 9.5 Z"),
        ("part", plate(3.5, 18.5, 19.5, 20.5)),
        ("part", ellipse(11.5, 6.1, 3.9, 3.3)),
        ("part", ellipse(11.5, 9.6, 4.0, 1.0)),
        ("line", hline(9.6, 9.3, 13.7)),
        ("line", hline(18.5, 5.2, 17.8)),
    ],
    "knight": [
        ("part", "M 5.6 18.5 C 5.4 16.2 6.2 14.6 7.4 13.4 C 8.4 12.4 9.4 11.9 9.7 11.1 "
                 "C 7.8 11.4 5.2 11.5 3.6 11.4 C 2.8 11.3 2.4 10.7 2.5 9.9 "
                 "C 2.6 8.9 2.9 8.1 3.6 7.3 C 5.0 5.7 6.6 4.3 8.4 3.1 "
                 "L 9.3 1.2 L 10.6 2.6 L 12.5 1.2 L 13.3 2.6 "
                 "C 16.3 2.9 19.2 4.9 20.2 7.8 C 20.8 9.6 20.5 12.5 20.6 14.8 "
                 "C 20.7 16.0 21.4 16.8 21.5 18.5 Z"),
        ("part", plate(3.5, 18.5, 21.5, 20.5)),
        ("mark", "M 10.6 9.3 C 9.8 9.9 9.0 10.4 7.8 10.6"),
        ("line", "M 15.6 3.7 C 17.6 4.8 18.6 6.4 18.6 8.6 L 18.6 14.8"),
        ("dot", ellipse(9.4, 4.9, 0.75, 0.6)),
        ("dot", ellipse(4.1, 9.2, 0.45, 0.45)),
        ("line", hline(18.5, 6.2, 20.8)),
    ],
    "bishop": [
        ("part", "M 8.6 13.5 L 8.6 15.6 C 8.3 16.9 6.9 17.7 6.2 18.5 L 16.8 18.5 "
                 "C 16.1 17.7 14.7 16.9 14.4 15.6 L 14.4 13.5 Z"),
        ("part", plate(3.5, 18.5, 19.5, 20.5)),
        ("part", "M 11.5 3.7 C 13.9 5.2 16.6 7.4 16.6 10.0 C 16.6 11.4 15.6 12.6 14.2 13.2 "
                 "L 8.8 13.2 C 7.4 12.6 6.4 11.4 6.4 10.0 C 6.4 7.4 9.1 5.2 11.5 3.7 Z"),
        ("part", ellipse(11.5, 2.5, 1.3, 1.3)),
        ("part", ellipse(11.5, 13.5, 4.0, 0.95)),
        ("line", "M 13.6 5.4 L 9.3 9.7"),
        ("line", hline(13.5, 9.2, 13.8)),
        ("line", hline(18.5, 7.0, 16.0)),
    ],
    "rook": [
        ("part", "M 5.3 6.5 L 17.7 6.5 C 16.7 7.1 16.5 7.8 16.5 8.6 L 16.5 14.8 "
                 "C 16.5 15.6 17.7 15.9 18.5 16.3 L 18.5 17.5 L 4.5 17.5 L 4.5 16.3 "
                 "C 5.3 15.9 6.5 15.6 6.5 14.8 L 6.5 8.6 C 6.5 7.8 6.3 7.1 5.3 6.5 Z"),
        ("part", "M 4.5 2.5 L 7.5 2.5 L 7.5 4.5 L 9.5 4.5 L 9.5 2.5 L 13.5 2.5 L 13.5 4.5 "
                 "L 15.5 4.5 L 15.5 2.5 L 18.5 2.5 L 18.5 6.5 L 4.5 6.5 Z"),
        ("part", plate(3.5, 17.5, 19.5, 19.5)),
        ("line", hline(6.5, 5.2, 17.8)),
        ("line", hline(15.4, 6.9, 16.1)),
        ("line", hline(17.5, 5.2, 17.8)),
    ],
    "queen": [
        ("mark", "M 3.5 2.5 L 3.5 4.2 M 7.5 2.5 L 7.5 4.2 M 11.5 2.5 L 11.5 4.2 "
                 "M 15.5 2.5 L 15.5 4.2 M 19.5 2.5 L 19.5 4.2"),
        ("part", "M 4.7 18.5 C 5.6 17.0 7.2 16.0 7.4 14.6 C 7.2 12.6 6.4 11.0 4.7 9.5 L 18.3 9.5 "
                 "C 16.6 11.0 15.8 12.6 15.6 14.6 C 15.8 16.0 17.4 17.0 18.3 18.5 Z"),
        ("part", "M 4.7 9.5 C 3.4 8.8 2.4 7.9 1.6 6.6 L 1.6 5.4 L 3.5 4.0 L 5.5 5.7 L 7.5 4.0 "
                 "L 9.5 5.7 L 11.5 4.0 L 13.5 5.7 L 15.5 4.0 L 17.5 5.7 L 19.5 4.0 L 21.4 5.4 "
                 "L 21.4 6.6 C 20.6 7.9 19.6 8.8 18.3 9.5 Z"),
        ("part", plate(3.5, 18.5, 19.5, 20.5)),
    ] + [("part", ellipse(x, 1.6, 1.15, 1.15)) for x in (3.5, 7.5, 11.5, 15.5, 19.5)] + [
        ("line", hline(9.5, 5.3, 17.7)),
        ("line", hline(18.5, 5.4, 17.6)),
    ],
    "king": [
        ("part", "M 10.6 0.5 L 12.4 0.5 L 12.4 2.6 L 14.5 2.6 L 14.5 4.4 L 12.4 4.4 L 12.4 7.0 "
                 "L 10.6 7.0 L 10.6 4.4 L 8.5 4.4 L 8.5 2.6 L 10.6 2.6 Z"),
        ("part", "M 6.5 14.6 L 16.5 14.6 L 16.5 16.4 C 16.7 17.3 17.4 17.9 17.8 18.5 L 5.2 18.5 "
                 "C 5.6 17.9 6.3 17.3 6.5 16.4 Z"),
        ("part", "M 5.6 14.6 C 3.6 13.2 2.5 11.5 2.5 9.4 C 2.5 7.6 3.7 6.5 5.4 6.5 "
                 "C 7.8 6.5 10.2 8.2 11.5 10.0 C 12.8 8.2 15.2 6.5 17.6 6.5 "
                 "C 19.3 6.5 20.5 7.6 20.5 9.4 C 20.5 11.5 19.4 13.2 17.4 14.6 Z"),
        ("part", ellipse(11.5, 8.0, 2.1, 1.9)),
        ("part", plate(3.5, 18.5, 19.5, 20.5)),
        ("line", "M 11.5 10.4 L 11.5 14.2"),
        ("line", hline(14.6, 6.3, 16.7)),
        ("line", hline(18.5, 6.2, 16.8)),
    ],
}


def commands(d):
    """SVG path data (absolute M, L, C, Z) as a list of (letter, numbers)."""
    tokens, out = d.split(), []
    i = 0
    while i < len(tokens):
        letter = tokens[i]
        count = {"M": 2, "L": 2, "C": 6, "Z": 0}[letter]
        out.append((letter, [float(t) for t in tokens[i + 1:i + 1 + count]]))
        i += 1 + count
    return out


def trace(ctx, d):
    for letter, v in commands(d):
        if letter == "M":
            ctx.move_to(*v)
        elif letter == "L":
            ctx.line_to(*v)
        elif letter == "C":
            ctx.curve_to(*v)
        else:
            ctx.close_path()


def draw_piece(ctx, piece, computer):
    """Draws a piece's shapes on a cairo context whose unit is one 1x pixel."""
    import cairo
    body = BLACK if computer else WHITE
    detail = WHITE if computer else BLACK
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    for kind, d in SHAPES[piece]:
        ctx.new_path()
        trace(ctx, d)
        if kind == "part":
            ctx.set_source_rgb(*(c / 255 for c in body))
            ctx.fill_preserve()
            ctx.set_source_rgb(0, 0, 0)
            ctx.set_line_width(OUTLINE)
            ctx.stroke()
        elif kind == "mark":
            ctx.set_source_rgb(0, 0, 0)
            ctx.set_line_width(DETAIL)
            ctx.stroke()
        elif kind == "line":
            ctx.set_source_rgb(*(c / 255 for c in detail))
            ctx.set_line_width(DETAIL)
            ctx.stroke()
        else:
            ctx.set_source_rgb(*(c / 255 for c in detail))
            ctx.fill()


def rasterise(size, draw):
    """size x size pixels drawn by draw(ctx) with anti-aliasing, as rows of (r, g, b)."""
    import cairo
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, size, size)
    ctx = cairo.Context(surface)
    draw(ctx)
    surface.flush()
    data, stride = bytes(surface.get_data()), surface.get_stride()
    # FORMAT_RGB24 keeps each pixel as a native-endian 32-bit 0xXXRRGGBB: B, G, R, X on x86.
    return [[(data[y * stride + 4 * x + 2], data[y * stride + 4 * x + 1], data[y * stride + 4 * x])
             for x in range(size)] for y in range(size)]


def square_picture(piece, background, computer, scale):
    def draw(ctx):
        ctx.scale(scale, scale)
        ctx.set_source_rgb(*(c / 255 for c in background))
        ctx.paint()
        if piece is not None:
            draw_piece(ctx, piece, computer)
    return rasterise(SIZE * scale, draw)


# Store number of each piece for the computer (black) and the human (white), on a light and on a
# dark square. Picture25 and Picture26 are the empty light and dark squares.
STORE = {
    # piece: (computer on light, computer on dark, human on light, human on dark)
    "pawn": (13, 1, 2, 14),
    "knight": (17, 5, 6, 18),
    "bishop": (15, 3, 4, 16),
    "rook": (19, 7, 8, 20),
    "queen": (21, 9, 10, 22),
    "king": (23, 11, 12, 24),
}
MAPS = {"pawn": PAWN, "knight": KNIGHT, "bishop": BISHOP, "rook": ROOK, "queen": QUEEN,
        "king": KING}
CASES = ((True, WHITE), (True, GREY), (False, WHITE), (False, GREY))  # in STORE's order


def parse(text, size):
    rows = [line for line in text.strip().splitlines()]
    if len(rows) != size or any(len(r) != size for r in rows):
        sys.exit(f"make_pictures: a pixel map is not {size} x {size}")
    return rows


def paint(rows, background, computer):
    body = BLACK if computer else WHITE
    detail = WHITE if computer else BLACK
    colour = {".": background, "#": BLACK, "o": body, "+": detail}
    return [[colour[ch] for ch in row] for row in rows]


def png(pixels):
    """24-bit RGB PNG bytes of a list of rows of (r, g, b)."""
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\x00" + bytes(v for p in row for v in p) for row in pixels)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def write(path, pixels):
    with open(path, "wb") as f:
        f.write(png(pixels))


def enlarge(pixels, factor):
    return [[p for p in row for _ in range(factor)] for row in pixels for _ in range(factor)]


def store_pictures(scale=1):
    """Picture number -> pixels: from the pixel maps at scale 1, from the shapes above it."""
    pictures = {}
    for piece, numbers in STORE.items():
        rows = parse(MAPS[piece], SIZE)
        for number, (computer, background) in zip(numbers, CASES):
            if scale == 1:
                pictures[number] = paint(rows, background, computer)
            else:
                pictures[number] = square_picture(piece, background, computer, scale)
    pictures[25] = [[WHITE] * (SIZE * scale) for _ in range(SIZE * scale)]
    pictures[26] = [[GREY] * (SIZE * scale) for _ in range(SIZE * scale)]
    assert sorted(pictures) == list(range(1, 27))
    return pictures


def icon():
    """32 x 32 in the 16-colour palette: a black knight on a corner of the board, framed in red."""
    knight = paint(parse(KNIGHT, SIZE), None, True)
    pixels = []
    for y in range(32):
        row = []
        for x in range(32):
            if x in (0, 31) or y in (0, 31):
                row.append(RED)
            elif x in (1, 30) or y in (1, 30):
                row.append(BLACK)
            else:
                row.append(WHITE if ((x - 2) // 7 + (y - 2) // 7) % 2 == 0 else SILVER)
        pixels.append(row)
    for y in range(SIZE):
        for x in range(SIZE):
            if knight[y][x] is not None:
                pixels[y + 5][x + 5] = knight[y][x]
    return pixels


# The icon as shapes on the 32-unit grid of the 32 x 32 one: the red and black frame, a 4 x 4
# corner of the board in 7-unit squares and the computer's knight moved 5 units right and down.
ICON_UNITS = 32
ICON_SIZES = (16, 48, 64, 96, 128, 256)  # 32 is the pixel-map icon above


def icon_elements():
    """(colour, path data) rectangles of the icon's background, back to front."""
    elements = [(RED, "M 0 0 L 32 0 L 32 32 L 0 32 Z"), (BLACK, "M 1 1 L 31 1 L 31 31 L 1 31 Z")]
    for row in range(4):
        for col in range(4):
            x, y = 2 + 7 * col, 2 + 7 * row
            colour = WHITE if (row + col) % 2 == 0 else SILVER
            elements.append((colour, f"M {x} {y} L {x + 7} {y} L {x + 7} {y + 7} L {x} {y + 7} Z"))
    return elements


def draw_icon(ctx, size):
    if size < 32:
        # Too small for the two frames and 16 squares at whole pixels: a one-pixel red frame,
        # four squares and the knight filling them.
        ctx.set_source_rgb(1, 0, 0)
        ctx.paint()
        inner = size - 2
        for row in range(2):
            for col in range(2):
                ctx.rectangle(1 + col * inner / 2, 1 + row * inner / 2, inner / 2, inner / 2)
                ctx.set_source_rgb(*(c / 255 for c in (WHITE if row == col else SILVER)))
                ctx.fill()
        ctx.translate(1, 1)
        ctx.scale(inner / 22, inner / 22)
        ctx.translate(-1.5, -1)
        draw_piece(ctx, "knight", True)
        return
    ctx.scale(size / ICON_UNITS, size / ICON_UNITS)
    for colour, d in icon_elements():
        ctx.new_path()
        trace(ctx, d)
        ctx.set_source_rgb(*(c / 255 for c in colour))
        ctx.fill()
    ctx.translate(5, 5)
    draw_piece(ctx, "knight", True)


def icon_svg():
    """The scalable icon: the same shapes as draw_icon, as SVG."""
    def rgb(colour):
        return "#%02x%02x%02x" % colour

    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
             'viewBox="0 0 32 32">']
    for colour, d in icon_elements():
        lines.append(f'  <path fill="{rgb(colour)}" d="{d}"/>')
    lines.append('  <g transform="translate(5 5)" stroke-linejoin="round" stroke-linecap="round">')
    for kind, d in SHAPES["knight"]:
        if kind == "part":
            style = f'fill="#000000" stroke="#000000" stroke-width="{OUTLINE}"'
        elif kind == "mark":
            style = f'fill="none" stroke="#000000" stroke-width="{DETAIL}"'
        elif kind == "line":
            style = f'fill="none" stroke="#ffffff" stroke-width="{DETAIL}"'
        else:
            style = 'fill="#ffffff"'
        lines.append(f'    <path {style} d="{d}"/>')
    lines += ["  </g>", "</svg>", ""]
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", help="also write a sheet of every picture at every scale")
    args = parser.parse_args()
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    sets = {1: store_pictures()}
    for scale in SCALES:
        sets[scale] = store_pictures(scale)
    for scale, pictures in sets.items():
        suffix = "" if scale == 1 else f"@{scale}x"
        for number, pixels in pictures.items():
            write(os.path.join(root, "window", "pictures", f"picture{number}{suffix}.png"), pixels)
    icons = os.path.join(root, "window", "icons")
    write(os.path.join(icons, "vombel-chess-32.png"), icon())
    for size in ICON_SIZES:
        write(os.path.join(icons, f"vombel-chess-{size}.png"),
              rasterise(size, lambda ctx, size=size: draw_icon(ctx, size)))
    with open(os.path.join(icons, "vombel-chess.svg"), "w") as f:
        f.write(icon_svg())
    if args.preview:
        # One band per scale: 1x enlarged three times, 2x and 3x as they are.
        gap, cell = 6, SIZE * 3
        sheet_w = 13 * (cell + gap)
        bands = [(1, 3), (2, 1), (3, 1)]
        sheet = [[SILVER] * sheet_w for _ in range(len(bands) * 2 * (cell + gap))]
        for band, (scale, factor) in enumerate(bands):
            for number, pixels in sets[scale].items():
                big = enlarge(pixels, factor)
                left = ((number - 1) % 13) * (cell + gap)
                top = (band * 2 + (number - 1) // 13) * (cell + gap)
                for y, row in enumerate(big):
                    sheet[top + y][left:left + len(row)] = row
        write(args.preview, sheet)


if __name__ == "__main__":
    main()
