#!/usr/bin/env python3
"""Draws the tool-button pictures of the help pages (GIF files beside this
script) with the drawings of the program's own tool bar, so the pages show
the buttons they talk about. Run it again after changing a drawing; it needs
only Python.

Each picture is 16 x 16 with a transparent colour (palette index 0): pixels
that are mostly clear become transparent, the others are laid over white,
the viewer's background."""

import os
import runpy
import struct
import types

HERE = os.path.dirname(os.path.abspath(__file__))
# The skin's drawing script has no importable name; its functions are taken
# from a run of it that leaves its main part out.
skin = types.SimpleNamespace(**runpy.run_path(os.path.join(HERE, "..", "..", "skin", "draw-pictures.py")))

PICTURES = {"open.gif": skin.icon_open, "play.gif": skin.icon_play, "record.gif": skin.icon_record,
            "stop.gif": skin.icon_stop, "save.gif": skin.icon_save, "begin.gif": skin.icon_begin,
            "end.gif": skin.icon_end}


def flatten(pixels):
    """Opaque colours over white, None for a transparent pixel."""
    out = []
    for r, g, b, a in pixels:
        if a < 128:
            out.append(None)
        else:
            over = lambda c: round((c * a + 255 * (255 - a)) / 255)
            out.append((over(r), over(g), over(b)))
    return out


def lzw(indices, bits):
    """GIF LZW data of the indices with a minimum code size of Bits, as sub-blocks."""
    clear, end = 1 << bits, (1 << bits) + 1
    size, table, out, acc, n = bits + 1, {}, bytearray(), 0, 0

    def put(code):
        nonlocal acc, n
        acc |= code << n
        n += size
        while n >= 8:
            out.append(acc & 255)
            acc >>= 8
            n -= 8

    def reset():
        nonlocal size, table
        size, table = bits + 1, {(i,): i for i in range(clear)}

    reset()
    put(clear)
    word = ()
    for index in indices:
        if word + (index,) in table:
            word += (index,)
            continue
        put(table[word])
        if len(table) + 2 < 4096:
            table[word + (index,)] = len(table) + 2
            if len(table) + 2 > (1 << size) and size < 12:
                size += 1
        else:
            put(clear)
            reset()
        word = (index,)
    put(table[word])
    put(end)
    if n:
        out.append(acc & 255)
    blocks = b"".join(bytes([len(out[i:i + 255])]) + bytes(out[i:i + 255]) for i in range(0, len(out), 255))
    return blocks + b"\0"


def write_gif(name, width, height, pixels):
    colours = sorted({p for p in pixels if p is not None})
    assert len(colours) < 256, name
    palette = [(255, 0, 255)] + colours  # index 0: the transparent colour
    bits = max(2, (len(palette) - 1).bit_length())
    palette += [(0, 0, 0)] * ((1 << bits) - len(palette))
    indices = [0 if p is None else palette.index(p) for p in pixels]
    data = b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80 | (bits - 1), 0, 0)
    data += b"".join(bytes(c) for c in palette)
    data += b"\x21\xF9\x04\x01\0\0\0\0"  # graphic control: transparent index 0
    data += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0) + bytes([bits]) + lzw(indices, bits) + b"\x3B"
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


if __name__ == "__main__":
    for name, draw in PICTURES.items():
        p = skin.Picture(16, 16)
        draw(p)
        write_gif(name, 16, 16, flatten(p.px))
