#!/usr/bin/env python3
"""Draws the pictures of the menus, tool bars and track bars (PNG files beside
this script). Run it again after changing a drawing; it needs only Python.

Track-bar pictures are opaque, with magenta as the transparent colour in the
bottom-left pixel (the bars key their pictures on it). Menu and tool-bar
images are 16 x 16 with alpha, in one strip: the normal images first, then
the same images lighter for the hot state."""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
KEY = (255, 0, 255, 255)
SUB = 4  # samples per pixel along each axis


def write_png(name, width, height, pixels):
    rows = b"".join(b"\0" + bytes(c for p in pixels[y * width:(y + 1) * width] for c in p) for y in range(height))

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


class Picture:
    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.width, self.height = width, height
        self.px = [fill] * (width * height)

    def over(self, x, y, colour, cover):
        if not (0 <= x < self.width and 0 <= y < self.height) or cover <= 0:
            return
        r, g, b, a = colour
        a = a * cover / 255.0
        dr, dg, db, da = self.px[y * self.width + x]
        da /= 255.0
        oa = a + da * (1 - a)
        if oa <= 0:
            return
        mix = lambda s, d: round((s * a + d * da * (1 - a)) / oa)
        self.px[y * self.width + x] = (mix(r, dr), mix(g, dg), mix(b, db), round(oa * 255))

    def shape(self, inside, colour, box=None, smooth=True):
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                if smooth:
                    hits = sum(inside(x + (i + 0.5) / SUB, y + (j + 0.5) / SUB) for i in range(SUB) for j in range(SUB))
                    self.over(x, y, colour, hits / (SUB * SUB))
                else:
                    self.over(x, y, colour, 1.0 if inside(x + 0.5, y + 0.5) else 0.0)

    def rect(self, x0, y0, x1, y1, colour):
        self.shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour, (x0, y0, x1, y1), smooth=False)

    def circle(self, cx, cy, r, colour, inner=0.0):
        self.shape(lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour)

    def polygon(self, points, colour):
        def inside(x, y):
            hit = False
            for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
                if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                    hit = not hit
            return hit
        self.shape(inside, colour)

    def paste(self, other, left, top):
        for y in range(other.height):
            for x in range(other.width):
                if 0 <= left + x < self.width and 0 <= top + y < self.height:
                    self.px[(top + y) * self.width + left + x] = other.px[y * other.width + x]

    def lighter(self, amount):
        out = Picture(self.width, self.height)
        out.px = [(r + round((255 - r) * amount), g + round((255 - g) * amount), b + round((255 - b) * amount), a)
                  for r, g, b, a in self.px]
        return out


# Menu and tool-bar images -------------------------------------------------

INK = (40, 48, 64, 255)


def icon_open(p):
    p.polygon([(1, 4), (6, 4), (7, 5.5), (14, 5.5), (14, 13), (1, 13)], (196, 150, 40, 255))
    p.polygon([(3, 7.5), (15.5, 7.5), (13.5, 13), (1, 13)], (250, 210, 90, 255))


def icon_save(p):
    p.rect(2, 2, 14, 14, (52, 92, 170, 255))
    p.rect(4, 2, 12, 7, (240, 244, 250, 255))
    p.rect(5, 10, 11, 14, (200, 210, 225, 255))
    p.rect(9, 11, 10, 13, INK)


def icon_record(p):
    p.circle(8, 8, 6, (150, 20, 20, 255))
    p.circle(8, 8, 5, (225, 45, 40, 255))
    p.circle(6.5, 6.5, 1.6, (255, 160, 150, 255))


def icon_stop(p):
    p.rect(3, 3, 13, 13, INK)
    p.rect(4, 4, 12, 12, (90, 100, 120, 255))


def icon_play(p):
    p.polygon([(4, 2.5), (13.5, 8), (4, 13.5)], (30, 120, 40, 255))
    p.polygon([(5, 4.5), (11.5, 8), (5, 11.5)], (70, 190, 80, 255))


def icon_begin(p):
    p.rect(3, 3, 5, 13, INK)
    p.polygon([(13, 3), (13, 13), (5.5, 8)], INK)


def icon_end(p):
    p.rect(11, 3, 13, 13, INK)
    p.polygon([(3, 3), (3, 13), (10.5, 8)], INK)


def erase(p, outside):
    p.px = [(0, 0, 0, 0) if outside(i % p.width + 0.5, i // p.width + 0.5) else px for i, px in enumerate(p.px)]


def icon_repeat(p):
    p.circle(8, 8, 5.5, (40, 110, 180, 255), inner=3.6)
    erase(p, lambda x, y: x > 8.5 and y < 7.5)
    p.polygon([(8.5, 0.5), (14, 3.5), (8.5, 6.5)], (40, 110, 180, 255))


def icon_internet(p):
    p.circle(8, 8, 6.5, (30, 90, 170, 255))
    p.circle(8, 8, 5.5, (90, 160, 230, 255))
    p.shape(lambda x, y: abs(x - 8) < 0.5 or abs(y - 8) < 0.5 or abs(((x - 8) / 3) ** 2 + ((y - 8) / 5.5) ** 2 - 1) < 0.18,
            (235, 245, 255, 255))
    erase(p, lambda x, y: math.hypot(x - 8, y - 8) > 6.5)


def icon_contents(p):
    p.rect(3, 2, 13, 14, (120, 60, 30, 255))
    p.rect(4, 3, 13, 13, (250, 245, 230, 255))
    p.rect(3, 2, 5, 14, (160, 80, 40, 255))
    for y in (5, 7, 9):
        p.rect(6, y, 12, y + 1, (150, 140, 120, 255))


def icon_volume(p):
    p.polygon([(2, 6), (5, 6), (9, 2.5), (9, 13.5), (5, 10), (2, 10)], INK)
    for r in (3.5, 6):
        p.shape(lambda x, y, r=r: x > 10 and abs(math.hypot(x - 9, y - 8) - r) < 0.6 and abs(y - 8) < r * 0.8, INK)


ICONS = [icon_open, icon_save, icon_record, icon_stop, icon_play, icon_begin, icon_end, icon_repeat, icon_internet,
         icon_contents, icon_volume]


def menu_images():
    normal = []
    for draw in ICONS:
        p = Picture(16, 16)
        draw(p)
        normal.append(p)
    frames = normal + [p.lighter(0.35) for p in normal]
    strip = Picture(16 * len(frames), 16)
    for i, p in enumerate(frames):
        strip.paste(p, 16 * i, 0)
    write_png("menu-images.png", strip.width, strip.height, strip.px)


# Bar background -------------------------------------------------------------

def bar_background():
    p = Picture(4, 32)
    top, bottom = (246, 243, 240), (218, 210, 204)
    for y in range(32):
        t = y / 31
        c = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)) + (255,)
        p.rect(0, y, 4, y + 1, c)
    write_png("bar-background.png", p.width, p.height, p.px)


# Track bars -----------------------------------------------------------------

GROOVE_DARK, GROOVE_MID, GROOVE_LIGHT = (110, 110, 120, 255), (205, 205, 212, 255), (255, 255, 255, 255)


def groove(along, across, start_cap, end_cap, vertical):
    """A groove piece along the track: rows 2..5 across, with rounded caps."""
    p = Picture(across if vertical else along, along if vertical else across, KEY)
    shades = {2: GROOVE_DARK, 3: GROOVE_MID, 4: GROOVE_MID, 5: GROOVE_LIGHT}
    for a in range(along):
        for c, colour in shades.items():
            if (start_cap and a < 2 and c in (2, 5)) or (end_cap and a >= along - 2 and c in (2, 5)):
                continue
            if (start_cap and a == 0) or (end_cap and a == along - 1):
                colour = GROOVE_DARK if c in (3, 4) else None
            if colour:
                x, y = (c, a) if vertical else (a, c)
                p.rect(x, y, x + 1, y + 1, colour)
    return p


def thumb(width, height, body, edge):
    p = Picture(width, height, KEY)
    p.shape(lambda x, y: 1 <= x < width - 1 and 1 <= y < height - 1 and not (
        (x < 2 or x >= width - 2) and (y < 2 or y >= height - 2)), edge, smooth=False)
    p.shape(lambda x, y: 2 <= x < width - 2 and 2 <= y < height - 2, body, smooth=False)
    p.shape(lambda x, y: 2 <= x < width - 2 and 2 <= y < 3, tuple(min(255, v + 40) for v in body[:3]) + (255,),
            smooth=False)
    return p


THUMB_FRAMES = [((92, 132, 196, 255), (40, 60, 110, 255)),    # normal
                ((130, 175, 235, 255), (40, 70, 140, 255)),   # hot
                ((60, 95, 160, 255), (30, 45, 90, 255)),      # pressed
                ((185, 185, 190, 255), (130, 130, 136, 255))]  # disabled


def track_pictures():
    for name, along, start, end in (("first", 5, True, False), ("center", 8, False, False), ("last", 5, False, True)):
        h = groove(along, 8, start, end, False)
        write_png("track-h-%s.png" % name, h.width, h.height, h.px)
        v = groove(along, 8, start, end, True)
        write_png("track-v-%s.png" % name, v.width, v.height, v.px)
    strip = Picture(11 * 4, 18, KEY)
    for i, (body, edge) in enumerate(THUMB_FRAMES):
        strip.paste(thumb(11, 18, body, edge), 11 * i, 0)
    write_png("track-h-button.png", strip.width, strip.height, strip.px)
    vertical = thumb(18, 10, *THUMB_FRAMES[0])
    write_png("track-v-button.png", vertical.width, vertical.height, vertical.px)


# Message box ------------------------------------------------------------------

def question_mark(p, cx, cy, colour):
    """A question mark whose hook is centred on (Cx, Cy), about 17 pixels high."""
    def hook(x, y):
        angle = math.degrees(math.atan2(y - cy, x - cx))
        return 2.8 <= math.hypot(x - cx, y - cy) <= 5.2 and not 70 < angle <= 180
    p.shape(hook, colour)
    p.polygon([(cx + 0.8, cy + 2.6), (cx + 2.8, cy + 4.4), (cx + 1.2, cy + 6.5), (cx - 1.2, cy + 6.5),
               (cx - 1.2, cy + 5)], colour)
    p.rect(round(cx) - 1, round(cy) + 6, round(cx) + 1, round(cy) + 9, colour)
    p.circle(cx, cy + 11.5, 1.4, colour)


def message_pictures():
    """IQuestion, IWarning and IInformation, 36 x 88 with the sign in the upper part."""
    question = Picture(36, 88)
    question.circle(18, 18, 15, (40, 90, 170, 255))
    question.circle(18, 18, 13.5, (80, 140, 220, 255))
    question_mark(question, 18, 14, (255, 255, 255, 255))
    write_png("question.png", question.width, question.height, question.px)
    warning = Picture(36, 88)
    warning.polygon([(18, 3), (34, 32), (2, 32)], (170, 110, 0, 255))
    warning.polygon([(18, 6.5), (31, 30), (5, 30)], (250, 200, 40, 255))
    warning.rect(17, 13, 19, 24, INK)
    warning.circle(18, 27, 1.4, INK)
    write_png("warning.png", warning.width, warning.height, warning.px)
    information = Picture(36, 88)
    information.circle(18, 18, 15, (40, 90, 170, 255))
    information.circle(18, 18, 13.5, (80, 140, 220, 255))
    information.rect(16, 15, 20, 28, (255, 255, 255, 255))
    information.circle(18, 10, 2.2, (255, 255, 255, 255))
    write_png("information.png", information.width, information.height, information.px)


def message_glyphs():
    """Button glyphs: 0 Ok and Yes, 1 Cancel, 2 No, 3 the extra button."""
    glyphs = Picture(16 * 4, 16)
    ok = Picture(16, 16)
    ok.polygon([(2, 8), (5, 6), (7, 9), (13, 2.5), (15, 5), (7, 13.5)], (30, 140, 50, 255))
    cancel = Picture(16, 16)
    cancel.polygon([(3, 5), (5, 3), (8, 6), (11, 3), (13, 5), (10, 8), (13, 11), (11, 13), (8, 10), (5, 13),
                    (3, 11), (6, 8)], (190, 40, 40, 255))
    no = Picture(16, 16)
    no.circle(8, 8, 6.5, (190, 40, 40, 255), inner=4.5)
    no.polygon([(3.5, 5), (5, 3.5), (12.5, 11), (11, 12.5)], (190, 40, 40, 255))
    extra = Picture(16, 16)
    extra.circle(8, 8, 6.5, (40, 90, 170, 255))
    extra.rect(7, 7, 9, 12, (255, 255, 255, 255))
    extra.circle(8, 4.8, 1.2, (255, 255, 255, 255))
    for i, g in enumerate((ok, cancel, no, extra)):
        glyphs.paste(g, 16 * i, 0)
    write_png("message-glyphs.png", glyphs.width, glyphs.height, glyphs.px)


if __name__ == "__main__":
    menu_images()
    bar_background()
    track_pictures()
    message_pictures()
    message_glyphs()
