#!/usr/bin/env python3
"""Draws the installer's artwork: the wizard's and the message box's bitmaps, the program icon
and the hand cursor. Run at build time: make_art.py <output folder>. Everything is drawn from
the shapes below with one palette, so a change of colour is made in one place."""

import math
import os
import sys

from bmpwriter import write_bmp, write_cur, write_ico

# Palette.
KEY = (255, 0, 0)            # the windows' see-through colour key: never used as a colour
WHITE = (255, 255, 255)
TITLE_TOP = (236, 242, 249)  # title strip, light so that the black title reads well
TITLE_BOTTOM = (220, 230, 243)
BAND = (77, 137, 214)        # step band behind the step labels
BAND_DARK = (52, 108, 186)
ACCENT = (30, 111, 217)      # buttons, progress, marker
ACCENT_HOVER = (58, 138, 240)
ACCENT_EDGE = (22, 86, 173)
BODY = (255, 255, 255)
FOOTER = (243, 246, 250)
LINE = (214, 222, 232)
GLYPH = (70, 82, 99)
DANGER = (222, 63, 63)
NOTICE = (30, 111, 217)
QUESTION = (240, 160, 32)


class Canvas:
    def __init__(self, width, height, fill):
        self.w = width
        self.h = height
        self.px = [[fill for _ in range(width)] for _ in range(height)]

    def blend(self, x, y, colour, coverage):
        if 0 <= x < self.w and 0 <= y < self.h and coverage > 0:
            old = self.px[y][x]
            a = min(1.0, coverage)
            self.px[y][x] = tuple(int(round(o + (c - o) * a)) for o, c in zip(old[:3], colour[:3]))

    def set(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.px[y][x] = colour

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        for y in range(y0, y1):
            t = (y - y0) / max(1, y1 - y0 - 1)
            c = tuple(int(round(a + (b - a) * t)) for a, b in zip(top, bottom))
            self.rect(x0, y, x1, y + 1, c)

    def rounded(self, x0, y0, x1, y1, radius, colour):
        """Fills a rounded rectangle with anti-aliased corners (x1, y1 exclusive)."""
        for y in range(y0, y1):
            for x in range(x0, x1):
                cx = min(max(x + 0.5, x0 + radius), x1 - radius)
                cy = min(max(y + 0.5, y0 + radius), y1 - radius)
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                self.blend(x, y, colour, radius - d + 0.5)

    def disc(self, cx, cy, r, colour):
        for y in range(int(cy - r - 1), int(cy + r + 2)):
            for x in range(int(cx - r - 1), int(cx + r + 2)):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                self.blend(x, y, colour, r - d + 0.5)

    def line(self, x0, y0, x1, y1, width, colour):
        """An anti-aliased stroke with round ends."""
        minx, maxx = int(min(x0, x1) - width - 1), int(max(x0, x1) + width + 2)
        miny, maxy = int(min(y0, y1) - width - 1), int(max(y0, y1) + width + 2)
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy or 1
        for y in range(miny, maxy):
            for x in range(minx, maxx):
                px, py = x + 0.5, y + 0.5
                t = max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / length2))
                d = math.hypot(px - (x0 + t * dx), py - (y0 + t * dy))
                self.blend(x, y, colour, width / 2 - d + 0.5)

    def key_outside_rounded(self, radius):
        """Paints the colour key outside a rounded outline of the whole canvas, with a hard
        edge: a blended key colour would show as a red fringe."""
        for y in range(self.h):
            for x in range(self.w):
                cx = min(max(x + 0.5, radius), self.w - radius)
                cy = min(max(y + 0.5, radius), self.h - radius)
                if math.hypot(x + 0.5 - cx, y + 0.5 - cy) > radius:
                    self.px[y][x] = KEY

    def save(self, path):
        write_bmp(path, self.px)


def button_face(width, height, fill, edge, background=WHITE):
    c = Canvas(width, height, background)
    c.rounded(0, 0, width, height, 4, edge)
    c.rounded(1, 1, width - 1, height - 1, 3, fill)
    return c


def title_strip_background(width, height):
    c = Canvas(width, height, TITLE_TOP)
    c.vgradient(0, 0, width, height, TITLE_TOP, TITLE_BOTTOM)
    return c


def wizard_background():
    c = Canvas(550, 385, BODY)
    c.vgradient(0, 0, 550, 30, TITLE_TOP, TITLE_BOTTOM)
    c.vgradient(0, 30, 550, 75, BAND, BAND_DARK)
    c.rect(0, 350, 550, 385, FOOTER)
    c.rect(0, 350, 550, 351, LINE)
    # A hairline frame so that the window stands out on a white desktop.
    for x in range(550):
        c.set(x, 384, LINE)
    for y in range(385):
        c.set(0, y, LINE)
        c.set(549, y, LINE)
    c.key_outside_rounded(6)
    return c


def title_button(glyph, hover, close):
    c = title_strip_background(22, 22)
    if hover:
        c.rounded(0, 0, 22, 22, 4, DANGER if close else ACCENT_HOVER)
    colour = WHITE if hover else GLYPH
    if glyph == 'min':
        c.line(6.5, 14.5, 15.5, 14.5, 1.6, colour)
    else:
        c.line(7, 7, 15, 15, 1.6, colour)
        c.line(15, 7, 7, 15, 1.6, colour)
    return c


def progress_fill():
    c = Canvas(8, 7, ACCENT)
    c.vgradient(0, 0, 8, 7, ACCENT_HOVER, ACCENT)
    return c


def step_marker():
    c = Canvas(38, 6, BAND_DARK)
    c.vgradient(0, 0, 38, 6, BAND_DARK, BAND_DARK)
    c.rounded(0, 0, 38, 6, 2, WHITE)
    return c


def header_rule():
    c = Canvas(64, 1, LINE)
    return c


def message_background():
    c = Canvas(286, 148, WHITE)
    c.vgradient(0, 0, 286, 30, (44, 62, 88), (34, 50, 72))
    c.rect(0, 112, 286, 148, FOOTER)
    c.rect(0, 112, 286, 113, LINE)
    return c


def message_close(hover):
    c = Canvas(37, 18, (39, 56, 80))
    if hover:
        c.rounded(0, 0, 37, 18, 3, DANGER)
    c.line(14.5, 5.5, 22.5, 13.5, 1.5, WHITE)
    c.line(22.5, 5.5, 14.5, 13.5, 1.5, WHITE)
    return c


def message_icon(kind):
    c = Canvas(32, 32, WHITE)
    colour = {'notice': NOTICE, 'question': QUESTION, 'error': DANGER}[kind]
    c.disc(16, 16, 14.5, colour)
    if kind == 'notice':
        c.disc(16, 9.5, 1.9, WHITE)
        c.line(16, 14, 16, 23, 3.2, WHITE)
    elif kind == 'error':
        c.line(11, 11, 21, 21, 3.0, WHITE)
        c.line(21, 11, 11, 21, 3.0, WHITE)
    else:
        c.line(12.5, 12, 13.5, 9.5, 2.8, WHITE)
        c.line(13.5, 9.5, 18.5, 9.5, 2.8, WHITE)
        c.line(18.5, 9.5, 19.5, 12.5, 2.8, WHITE)
        c.line(19.5, 12.5, 16, 16, 2.8, WHITE)
        c.line(16, 16, 16, 18.5, 2.8, WHITE)
        c.disc(16, 23.5, 1.8, WHITE)
    return c


def rgba(canvas, transparent_outside):
    return [[(p[0], p[1], p[2], 0 if transparent_outside(x, y) else 255) for x, p in enumerate(row)]
            for y, row in enumerate(canvas.px)]


def app_icon(size):
    c = Canvas(size, size, (0, 0, 0))
    r = size * 0.2
    c.rounded(0, 0, size, size, r, ACCENT)
    s = size / 32.0
    # A stylised sheet with a rising line: a drawing tool that works beside a spreadsheet.
    c.rounded(int(7 * s), int(6 * s), int(25 * s), int(26 * s), 2 * s, WHITE)
    c.line(10 * s, 21 * s, 14 * s, 16 * s, 2.2 * s, ACCENT)
    c.line(14 * s, 16 * s, 17 * s, 18 * s, 2.2 * s, ACCENT)
    c.line(17 * s, 18 * s, 22 * s, 11 * s, 2.2 * s, ACCENT)
    inside = Canvas(size, size, (0, 0, 0))
    inside.rounded(0, 0, size, size, r, WHITE)
    return [[(p[0], p[1], p[2], inside.px[y][x][0]) for x, p in enumerate(row)] for y, row in enumerate(c.px)]


def hand_cursor():
    c = Canvas(32, 32, (0, 0, 0))
    shape = Canvas(32, 32, (0, 0, 0))
    # Pointing hand: index finger up, the other fingers folded.
    for canvas, colour, grow in ((shape, WHITE, 1.0), (c, WHITE, 0.0)):
        canvas.line(8, 3, 8, 16, 4.0 + 2 * grow, colour)
        canvas.rounded(int(5 - grow), int(11 - grow), int(18 + grow), int(24 + grow), 4, colour)
    for x in range(32):
        for y in range(32):
            if shape.px[y][x][0] > 128 and c.px[y][x][0] < 128:
                c.px[y][x] = (0, 0, 0)
    return [[(p[0], p[1], p[2], 255 if shape.px[y][x][0] > 128 else 0) for x, p in enumerate(row)]
            for y, row in enumerate(c.px)]


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    bitmaps = {
        'wizard_background.bmp': wizard_background(),
        'min_normal.bmp': title_button('min', False, False),
        'min_hover.bmp': title_button('min', True, False),
        'close_normal.bmp': title_button('close', False, True),
        'close_hover.bmp': title_button('close', True, True),
        'button_normal.bmp': button_face(60, 21, ACCENT, ACCENT_EDGE, FOOTER),
        'button_hover.bmp': button_face(60, 21, ACCENT_HOVER, ACCENT, FOOTER),
        'title_button_strip.bmp': title_strip_background(3, 22),
        'step_marker.bmp': step_marker(),
        'header_rule.bmp': header_rule(),
        'progress_fill.bmp': progress_fill(),
        'msg_background.bmp': message_background(),
        'msg_close_normal.bmp': message_close(False),
        'msg_close_hover.bmp': message_close(True),
        'msg_icon_notice.bmp': message_icon('notice'),
        'msg_icon_question.bmp': message_icon('question'),
        'msg_icon_error.bmp': message_icon('error'),
        'msg_button_normal.bmp': button_face(48, 19, ACCENT, ACCENT_EDGE, FOOTER),
        'msg_button_hover.bmp': button_face(48, 19, ACCENT_HOVER, ACCENT, FOOTER),
        'msg_wide_button_normal.bmp': button_face(67, 19, ACCENT, ACCENT_EDGE, FOOTER),
        'msg_wide_button_hover.bmp': button_face(67, 19, ACCENT_HOVER, ACCENT, FOOTER),
    }
    for name, canvas in bitmaps.items():
        canvas.save(os.path.join(out, name))
    icons = [app_icon(s) for s in (16, 32, 48)]
    write_ico(os.path.join(out, 'setup.ico'), icons)
    write_ico(os.path.join(out, 'tool.ico'), icons)
    write_cur(os.path.join(out, 'hand.cur'), hand_cursor(), (8, 1))


if __name__ == '__main__':
    main()
