#!/usr/bin/env python3
"""Draws the pictures of the skinned window frames (PNG files beside this
script) with the drawing tools of draw-pictures.py. Run it again after
changing a drawing; it needs only Python.

The main window and the about box share a caption 22 pixels high, the tips
window has one of 18; each comes for the active and the inactive window.
Borders are 3 pixels (main window, about box) or 4 (tips window). Caption
buttons are strips of four frames (normal, hot, pressed, inactive window);
the program's icon is 16 x 16."""

import os
import runpy
import types

HERE = os.path.dirname(os.path.abspath(__file__))
# The drawing script has no importable name; its tools come from a run of it
# that leaves its main part out.
skin = types.SimpleNamespace(**runpy.run_path(os.path.join(HERE, "draw-pictures.py")))
Picture, write_png = skin.Picture, skin.write_png

ACTIVE = {"top": (78, 112, 178), "bottom": (30, 58, 122), "light": (140, 170, 225), "dark": (18, 36, 84)}
INACTIVE = {"top": (160, 167, 183), "bottom": (118, 126, 144), "light": (200, 205, 216), "dark": (88, 94, 110)}


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b)) + (255,)


def save(name, p):
    write_png(name, p.width, p.height, p.px)


# Caption pieces ---------------------------------------------------------------

def caption_piece(width, height, scheme, left_edge=False, right_edge=False):
    """A slice of the caption bar: a vertical gradient with a light top line and
    a dark bottom line; an outer edge darkens the first or last column."""
    p = Picture(width, height)
    for y in range(height):
        colour = mix(scheme["top"], scheme["bottom"], y / (height - 1))
        if y == 0:
            colour = scheme["light"] + (255,)
        elif y == height - 1:
            colour = scheme["dark"] + (255,)
        p.rect(0, y, width, y + 1, colour)
    dark = scheme["dark"] + (255,)
    if left_edge:
        p.rect(0, 0, 1, height, dark)
    if right_edge:
        p.rect(width - 1, 0, width, height, dark)
    return p


def captions(prefix, height):
    for state, scheme in (("", ACTIVE), ("-inactive", INACTIVE)):
        save("%s-caption-left%s.png" % (prefix, state), caption_piece(6, height, scheme, left_edge=True))
        save("%s-caption-center%s.png" % (prefix, state), caption_piece(4, height, scheme))
        save("%s-caption-right%s.png" % (prefix, state), caption_piece(6, height, scheme, right_edge=True))
    # A minimised window's right end: the bar closes with a double line.
    minimised = caption_piece(6, height, ACTIVE, right_edge=True)
    minimised.rect(3, 2, 4, height - 2, ACTIVE["light"] + (255,))
    save("%s-caption-minright.png" % prefix, minimised)


# Border pieces ----------------------------------------------------------------

def border_colours(scheme, width):
    """From the outer edge inwards: dark, light, then the bar's middle colour."""
    middle = mix(scheme["top"], scheme["bottom"], 0.5)
    return [scheme["dark"] + (255,), scheme["light"] + (255,)] + [middle] * (width - 2)


def borders(prefix, width):
    for state, scheme in (("", ACTIVE), ("-inactive", INACTIVE)):
        colours = border_colours(scheme, width)
        left, right = Picture(width, 8), Picture(width, 8)
        bottom = Picture(8, width)
        for i, c in enumerate(colours):
            left.rect(i, 0, i + 1, 8, c)
            right.rect(width - 1 - i, 0, width - i, 8, c)
            bottom.rect(0, width - 1 - i, 8, width - i, c)
        corner_left, corner_right = Picture(width, width), Picture(width, width)
        for i, c in reversed(list(enumerate(colours))):
            # Ring i from the outside: the left and bottom (right and bottom) sides.
            corner_left.rect(i, 0, i + 1, width - i, c)
            corner_left.rect(i, width - 1 - i, width, width - i, c)
            corner_right.rect(width - 1 - i, 0, width - i, width - i, c)
            corner_right.rect(0, width - 1 - i, width - i, width - i, c)
        for name, p in (("left", left), ("right", right), ("bottom", bottom), ("left-bottom", corner_left),
                        ("right-bottom", corner_right)):
            save("%s-border-%s%s.png" % (prefix, name, state), p)


# Caption buttons ----------------------------------------------------------------

FACES = {  # face top, face bottom, edge, glyph
    "normal": ((96, 132, 200), (52, 84, 150), (16, 32, 78), (255, 255, 255)),
    "hot": ((150, 186, 240), (84, 122, 196), (16, 32, 78), (255, 255, 255)),
    "pressed": ((38, 62, 118), (64, 96, 160), (10, 22, 60), (225, 232, 245)),
    "inactive": ((182, 188, 200), (150, 157, 172), (100, 106, 122), (236, 238, 242)),
}
CLOSE_FACES = dict(FACES, normal=((214, 110, 92), (168, 50, 36), (96, 20, 12), (255, 255, 255)),
                   hot=((240, 150, 130), (208, 80, 60), (96, 20, 12), (255, 255, 255)),
                   pressed=((132, 34, 22), (170, 60, 44), (70, 12, 6), (240, 225, 222)))


def button_face(width, height, face):
    top, bottom, edge, _ = face
    p = Picture(width, height)
    inside = lambda x, y: not ((x < 1 or x >= width - 1) and (y < 1 or y >= height - 1))
    p.shape(lambda x, y: inside(x, y), edge + (255,), smooth=False)
    for y in range(1, height - 1):
        colour = mix(top, bottom, (y - 1) / max(1, height - 3))
        p.rect(1, y, width - 1, y + 1, colour)
    return p


def glyph_close(p, c, d):
    for i in range(2):
        for t in range(6):
            p.rect(4 + t + i + d, 3 + t + d, 5 + t + i + d, 4 + t + d, c)
            p.rect(9 - t + i + d, 3 + t + d, 10 - t + i + d, 4 + t + d, c)


def glyph_minimise(p, c, d):
    p.rect(4 + d, 8 + d, 11 + d, 10 + d, c)


def glyph_maximise(p, c, d):
    p.rect(4 + d, 3 + d, 12 + d, 5 + d, c)
    for x0, y0, x1, y1 in ((4, 5, 5, 10), (11, 5, 12, 10), (4, 9, 12, 10)):
        p.rect(x0 + d, y0 + d, x1 + d, y1 + d, c)


def glyph_restore(p, c, d):
    # The back window, then the front one over it.
    for x0, y0, x1, y1 in ((6, 2, 12, 4), (11, 4, 12, 8), (10, 7, 12, 8)):
        p.rect(x0 + d, y0 + d, x1 + d, y1 + d, c)
    for x0, y0, x1, y1 in ((3, 5, 9, 7), (3, 7, 4, 11), (8, 7, 9, 11), (3, 10, 9, 11)):
        p.rect(x0 + d, y0 + d, x1 + d, y1 + d, c)


def glyph_forward(p, c, d):
    p.polygon([(5 + d, 2.5 + d), (10.5 + d, 6 + d), (5 + d, 9.5 + d)], c)


def glyph_back(p, c, d):
    p.polygon([(9 + d, 2.5 + d), (3.5 + d, 6 + d), (9 + d, 9.5 + d)], c)


def button_strip(name, width, height, glyph, faces=FACES):
    strip = Picture(width * 4, height)
    for i, state in enumerate(("normal", "hot", "pressed", "inactive")):
        face = button_face(width, height, faces[state])
        glyph(face, faces[state][3] + (255,), 1 if state == "pressed" else 0)
        strip.paste(face, width * i, 0)
    save(name, strip)


# The program's icon -------------------------------------------------------------

def program_icon():
    p = Picture(16, 16)
    p.circle(8, 8, 7.5, (24, 52, 118, 255))
    p.circle(8, 8, 6.5, (70, 116, 196, 255))
    white = (250, 252, 255, 255)
    p.rect(9, 3, 10, 10, white)                       # stem
    p.polygon([(10, 3), (12.5, 5), (12.5, 6.5), (10, 4.8)], white)  # flag
    p.shape(lambda x, y: ((x - 7.2) / 2.3) ** 2 + ((y - 10.4) / 1.7) ** 2 <= 1, white)  # note head
    save("program-icon.png", p)


if __name__ == "__main__":
    captions("main", 22)
    borders("main", 3)
    captions("tips", 18)
    borders("tips", 4)
    for name, glyph, faces in (("close", glyph_close, CLOSE_FACES), ("minimize", glyph_minimise, FACES),
                               ("maximize", glyph_maximise, FACES), ("restore", glyph_restore, FACES)):
        button_strip("main-%s.png" % name, 16, 14, glyph, faces)
    for name, glyph, faces in (("close", glyph_close, CLOSE_FACES), ("forward", glyph_forward, FACES),
                               ("back", glyph_back, FACES)):
        button_strip("tips-%s.png" % name, 14, 12, glyph, faces)
    program_icon()
