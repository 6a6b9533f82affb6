#!/usr/bin/env python3
"""Draws the installer's artwork: the wizard's and the message box's bitmaps, the program icon
and the hand cursor. Run at build time: make_art.py <output folder>. Everything is drawn from
the shapes below with one palette, so a change of colour is made in one place.

Every bitmap is drawn for each display scale of SCALES, from the same shapes at that scale's
pixels. The 100 % bitmaps are written as palettised BMPs (run-length encoded where that is
smaller), those of each larger scale into one pack (<percent>.pack); a plain 24-bit copy of each
goes to <output folder>/reference (reference/<percent> for the larger scales), for the tests that
check what the program loads against what was drawn. Buttons and strips are drawn on a copy of
the very background they are shown on, so that their edges meet it without a seam."""

import os
import sys

from bmpwriter import fit_palette, write_bmp24, write_bmp8, write_pack
from iconwriter import write_ico, write_mono_cur
from canvas import Canvas, arc, circle, inset, mix, px, rounded_rect, stroke, subtract, union

# Palette.
KEY = (255, 0, 0)              # the windows' see-through colour key: used for nothing else
WHITE = (255, 255, 255)
INK = (30, 41, 59)             # glyphs on light ground
MUTED = (100, 116, 139)        # glyphs at rest
TITLE = (248, 250, 252)        # wizard title strip, under the black title
HAIRLINE = (226, 232, 240)     # dividers
FOOTER = (241, 245, 249)       # button rows
FRAME = (148, 163, 184)        # one-pixel window outline
BAND = (59, 130, 246)          # step band: white and dark grey labels both read on it
BRAND = (37, 99, 235)
BRAND_LIGHT = (96, 165, 250)
BRAND_DEEP = (30, 64, 175)     # message box head, under the light grey caption
TINT = (239, 246, 255)         # hovered button face, soft backgrounds
BUTTON_EDGE = (203, 213, 225)
HOVER_EDGE = BAND
DANGER = (220, 38, 38)
CAUTION = (217, 119, 6)

# Where the program puts things (client coordinates); the bitmaps are cut to these places.
WIZARD = (550, 385)
WIZARD_TITLE_BOTTOM = 30
WIZARD_BAND = (30, 75)
WIZARD_FOOTER_TOP = 350
WIZARD_MIN_BUTTON = (499, 2)
WIZARD_CLOSE_BUTTON = (525, 2)
TITLE_BUTTON = (22, 22)
TITLE_STRIP = (3, 22)             # drawn 3 pixels left of each title button
WIZARD_BUTTON_AT = (460, 356)
WIZARD_BUTTON = (60, 21)
STEP_MARKER_AT = (19, 69)
STEP_MARKER = (37, 6)
MESSAGE = (286, 148)
MESSAGE_HEAD_BOTTOM = 26
MESSAGE_FOOTER_TOP = 116
MESSAGE_CLOSE_AT = (242, 1)
MESSAGE_CLOSE = (37, 18)
MESSAGE_BUTTON_AT = (228, 122)
MESSAGE_BUTTON = (48, 19)
MESSAGE_WIDE_BUTTON_AT = (209, 122)
MESSAGE_WIDE_BUTTON = (67, 19)
MESSAGE_ICON_AT = (16, 52)
MESSAGE_ICON = (32, 32)


def darker(colour, amount=0.22):
    return mix(colour, (0, 0, 0), amount)


def edge_over(ground):
    """The window outline's colour over a ground: FRAME over light ground, a darker shade of the
    ground over dark ground."""
    return FRAME if sum(ground) > 600 else darker(ground)


def frame_window(c, outline, ground_of_row):
    """A one-pixel outline just inside the window's shape."""
    ring = subtract(outline, inset(outline, 1.0))
    c.paint(ring, lambda y: edge_over(ground_of_row(y)))


def place(c, at, size):
    """The device rectangle (x, y, width, height) of a place given at 100 % on canvas c, with
    its edges rounded as the program rounds them."""
    x0, y0 = px(at[0], c.dpi), px(at[1], c.dpi)
    return x0, y0, px(at[0] + size[0], c.dpi) - x0, px(at[1] + size[1], c.dpi) - y0


# The wizard.

def wizard_background(dpi):
    c = Canvas.scaled(*WIZARD, WHITE, dpi)
    w, h = c.size
    c.fill_rect(0, 0, WIZARD[0], WIZARD_TITLE_BOTTOM, TITLE)
    c.fill_rect(0, WIZARD_TITLE_BOTTOM - 1, WIZARD[0], WIZARD_TITLE_BOTTOM, HAIRLINE)
    top, bottom = WIZARD_BAND
    c.fill_rect(0, top, WIZARD[0], bottom, BAND)
    # Two soft light discs at the right end of the band; the step labels stay on plain ground.
    for cx, cy, r, opacity in ((520, 18, 78, 0.10), (440, 96, 46, 0.08)):
        c.paint(circle(cx, cy, r), WHITE, box=(cx - r - 1, top, cx + r + 1, bottom), opacity=opacity)
    c.fill_rect(0, WIZARD_FOOTER_TOP, WIZARD[0], WIZARD[1], FOOTER)
    c.fill_rect(0, WIZARD_FOOTER_TOP, WIZARD[0], WIZARD_FOOTER_TOP + 1, HAIRLINE)
    product_emblem(c, 275, 160)

    outline = rounded_rect(0, 0, w, h, 6)

    def ground(y):
        if y < WIZARD_TITLE_BOTTOM:
            return TITLE
        if y < bottom:
            return BAND
        return FOOTER if y >= WIZARD_FOOTER_TOP else WHITE
    frame_window(c, outline, ground)
    c.hard(lambda x, y: outline(x, y) > 0, lambda y: KEY)
    return c


def product_emblem(c, cx, cy):
    """The program's mark on a pale disc in the middle of the install and finish pages, where
    nothing else is drawn (the agreement box covers it on the first page)."""
    c.paint(circle(cx, cy, 66), TINT, box=(cx - 68, cy - 68, cx + 68, cy + 68))
    size = px(72, c.dpi)
    c.overlay(app_mark(size), px(cx, c.dpi) - size // 2, px(cy, c.dpi) - size // 2)


def title_button(background, at, glyph, hover):
    c = background.crop(*place(background, at, TITLE_BUTTON))
    w, h = c.size
    colour = MUTED
    if hover:
        c.paint(rounded_rect(0, 0, w, h, 4), DANGER if glyph == 'close' else HAIRLINE)
        colour = WHITE if glyph == 'close' else INK
    if glyph == 'min':
        c.fill_rect(6, 11, 16, 12, colour)
    else:
        c.paint(stroke([(6.5, 6.5), (15.5, 15.5)], 1.4), colour)
        c.paint(stroke([(15.5, 6.5), (6.5, 15.5)], 1.4), colour)
    return c


def title_strip(background, button_at):
    # The program puts it its own width left of the button's left edge.
    x, y, _, h = place(background, button_at, TITLE_BUTTON)
    w = px(TITLE_STRIP[0], background.dpi)
    c = background.crop(x - w, y, w, h)
    c.fill_rect(1, 5, 2, TITLE_STRIP[1] - 5, HAIRLINE)
    return c


def push_button(background, at, size, hover):
    """The face of a push button: a white rounded face with a quiet edge; hovered, a tinted face
    with an edge in the accent colour. The caption is drawn over it in black by the program."""
    c = background.crop(*place(background, at, size))
    w, h = c.size
    c.paint(rounded_rect(0, 0, w, h, 3), HOVER_EDGE if hover else BUTTON_EDGE)
    c.paint(rounded_rect(1, 1, w - 1, h - 1, 2), TINT if hover else WHITE)
    return c


def step_marker(background):
    c = background.crop(*place(background, STEP_MARKER_AT, STEP_MARKER))
    w, h = c.size
    c.paint(rounded_rect(6, 1, w - 6, 4, 1.5), WHITE)
    return c


def header_rule(dpi):
    """Squeezed to one pixel and stretched to the right of a page heading: fades out."""
    c = Canvas.scaled(32, 1, WHITE, dpi)
    c.hgradient(0, 0, 32, 1, BUTTON_EDGE, WHITE)
    return c


def progress_fill(dpi):
    # As high as the rows the program tiles it over, y 317 to 324 at 100 %.
    c = Canvas(px(16, dpi), px(324, dpi) - px(317, dpi), BRAND, dpi)
    c.vgradient(0, 0, 16, 7, BRAND_LIGHT, BRAND)
    return c


# The message box.

def message_outline(w, h):
    """The window region the program sets: top corners 10 × 10, bottom corners 12 × 11."""
    head = rounded_rect(0, 0, w, 40, 5)
    body = rounded_rect(0, 30, w, h, 6, 5.5)
    return union(head, body)


def message_background(dpi):
    c = Canvas.scaled(*MESSAGE, WHITE, dpi)
    w, h = MESSAGE
    c.fill_rect(0, 0, w, MESSAGE_HEAD_BOTTOM, BRAND_DEEP)
    c.fill_rect(0, MESSAGE_FOOTER_TOP, w, h, FOOTER)
    c.fill_rect(0, MESSAGE_FOOTER_TOP, w, MESSAGE_FOOTER_TOP + 1, HAIRLINE)

    def ground(y):
        if y < MESSAGE_HEAD_BOTTOM:
            return BRAND_DEEP
        return FOOTER if y >= MESSAGE_FOOTER_TOP else WHITE
    outline = message_outline(*c.size)
    frame_window(c, outline, ground)
    # The program clips the window to its region; the outline colour continues beyond this
    # drawing of it, so that whichever pixels the region keeps along its edge show the outline.
    c.hard(lambda x, y: outline(x, y) > 0, lambda y: edge_over(ground(y)))
    return c


def message_close(background, hover):
    c = background.crop(*place(background, MESSAGE_CLOSE_AT, MESSAGE_CLOSE))
    w, h = c.size
    if hover:
        c.paint(rounded_rect(0, 0, w, h, 3), DANGER)
    colour = WHITE if hover else BUTTON_EDGE
    cx, cy = w / 2, h / 2
    c.paint(stroke([(cx - 4, cy - 4), (cx + 4, cy + 4)], 1.5), colour)
    c.paint(stroke([(cx + 4, cy - 4), (cx - 4, cy + 4)], 1.5), colour)
    return c


def message_icon(background, kind):
    c = background.crop(*place(background, MESSAGE_ICON_AT, MESSAGE_ICON))
    colour = {'notice': BRAND, 'question': CAUTION, 'error': DANGER}[kind]
    c.paint(circle(16, 16, 14.5), colour)
    if kind == 'notice':
        glyph = union(circle(16, 9.5, 2.1), stroke([(16, 14.5), (16, 23)], 3.2))
    elif kind == 'question':
        hook = arc(16, 12.2, 4.6, 195, 390) + [(16, 17.2), (16, 18.6)]
        glyph = union(stroke(hook, 3.0), circle(16, 23.4, 1.9))
    else:
        glyph = union(stroke([(11.5, 11.5), (20.5, 20.5)], 3.0), stroke([(20.5, 11.5), (11.5, 20.5)], 3.0))
    c.paint(glyph, WHITE)
    return c


# The program icon and the cursor.

def app_mark(size):
    """The program's mark as RGBA rows: a rounded square in the accent colours with a rising
    line, the drawing of a chart beside a spreadsheet; from 32 pixels on, on a white sheet."""
    s = size / 32.0
    c = Canvas(size, size, BRAND)
    c.vgradient(0, 0, size, size, BRAND_LIGHT, BRAND_DEEP)
    line = [(9 * s, 21 * s), (13.5 * s, 16 * s), (17 * s, 18.5 * s), (23 * s, 11 * s)]
    if size >= 32:
        c.paint(rounded_rect(6 * s, 6 * s, 26 * s, 26 * s, 2.5 * s), WHITE)
        for gy in (11, 16, 21):
            c.paint(stroke([(9 * s, gy * s), (23 * s, gy * s)], 0.8 * s), HAIRLINE)
        c.paint(stroke(line, 2.2 * s), BRAND)
        c.paint(circle(23 * s, 11 * s, 2.2 * s), BRAND_DEEP)
    else:
        c.paint(stroke([(3, 12), (6.5, 8), (9, 10), (13, 4.5)], 2.0), WHITE)
    shape = rounded_rect(0, 0, size, size, 7 * s)
    alpha = Canvas(size, size, (0, 0, 0))
    alpha.paint(shape, WHITE)
    return [[p + (alpha.px[y][x][0],) for x, p in enumerate(row)] for y, row in enumerate(c.px)]


# A pointing hand: '#' outline, 'o' fill, '.' transparent; the hot spot is the fingertip.
HAND = """
.....##.........
....#oo#........
....#oo#........
....#oo#........
....#oo#........
....#oo###......
....#oo#oo###...
....#oo#oo#oo##.
.##.#oo#oo#oo#o#
#oo##oo#oo#oo#o#
#ooo#oooooooooo#
.#ooooooooooooo#
..#oooooooooooo#
..#oooooooooooo#
...#ooooooooooo#
...#oooooooooo#.
....#ooooooooo#.
....#ooooooooo#.
....###########.
"""
HAND_HOTSPOT = (5, 0)


def hand_cursor():
    rows = [r for r in HAND.strip().splitlines()]
    return [(r + '.' * 32)[:32] for r in rows] + ['.' * 32] * (32 - len(rows))


# The display scales the bitmaps are drawn for, as DPI: 100 %, 125 %, 150 %, 175 % and 200 %.
# The 100 % drawings are BITMAP resources by the names artwork.rc.in gives them; each other scale
# is one ARTWORK resource, a pack of its bitmaps by the ids of resources/resource.h, whose
# resource id is the scale's index here.
SCALES = (96, 120, 144, 168, 192)
RESOURCE_HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'resource.h')


def bitmap_ids():
    """The resource id of each bitmap file, read from resource.h through BITMAP_NAMES."""
    ids = {}
    with open(RESOURCE_HEADER) as f:
        for line in f:
            parts = line.split()
            if len(parts) == 3 and parts[0] == '#define':
                ids[parts[1]] = int(parts[2])
    return {name: ids[symbol] for name, symbol in BITMAP_NAMES.items()}


BITMAP_NAMES = {
    'wizard_background.bmp': 'IDB_WIZARD_BACKGROUND',
    'min_normal.bmp': 'IDB_BTN_MIN_NORMAL',
    'min_hover.bmp': 'IDB_BTN_MIN_HOVER',
    'close_normal.bmp': 'IDB_BTN_CLOSE_NORMAL',
    'close_hover.bmp': 'IDB_BTN_CLOSE_HOVER',
    'title_button_strip.bmp': 'IDB_TITLE_BUTTON_STRIP',
    'button_normal.bmp': 'IDB_BTN_NORMAL',
    'button_hover.bmp': 'IDB_BTN_HOVER',
    'step_marker.bmp': 'IDB_STEP_MARKER',
    'header_rule.bmp': 'IDB_HEADER_RULE',
    'progress_fill.bmp': 'IDB_PROGRESS_FILL',
    'msg_background.bmp': 'IDB_MSG_BACKGROUND',
    'msg_close_normal.bmp': 'IDB_MSG_CLOSE_NORMAL',
    'msg_close_hover.bmp': 'IDB_MSG_CLOSE_HOVER',
    'msg_icon_notice.bmp': 'IDB_MSG_ICON_NOTICE',
    'msg_icon_question.bmp': 'IDB_MSG_ICON_QUESTION',
    'msg_icon_error.bmp': 'IDB_MSG_ICON_ERROR',
    'msg_button_normal.bmp': 'IDB_MSG_BTN_NORMAL',
    'msg_button_hover.bmp': 'IDB_MSG_BTN_HOVER',
    'msg_wide_button_normal.bmp': 'IDB_MSG_WIDE_BTN_NORMAL',
    'msg_wide_button_hover.bmp': 'IDB_MSG_WIDE_BTN_HOVER',
}


def bitmaps(dpi):
    wizard = wizard_background(dpi)
    message = message_background(dpi)
    return {
        'wizard_background.bmp': wizard,
        'min_normal.bmp': title_button(wizard, WIZARD_MIN_BUTTON, 'min', False),
        'min_hover.bmp': title_button(wizard, WIZARD_MIN_BUTTON, 'min', True),
        'close_normal.bmp': title_button(wizard, WIZARD_CLOSE_BUTTON, 'close', False),
        'close_hover.bmp': title_button(wizard, WIZARD_CLOSE_BUTTON, 'close', True),
        'title_button_strip.bmp': title_strip(wizard, WIZARD_MIN_BUTTON),
        'button_normal.bmp': push_button(wizard, WIZARD_BUTTON_AT, WIZARD_BUTTON, False),
        'button_hover.bmp': push_button(wizard, WIZARD_BUTTON_AT, WIZARD_BUTTON, True),
        'step_marker.bmp': step_marker(wizard),
        'header_rule.bmp': header_rule(dpi),
        'progress_fill.bmp': progress_fill(dpi),
        'msg_background.bmp': message,
        'msg_close_normal.bmp': message_close(message, False),
        'msg_close_hover.bmp': message_close(message, True),
        'msg_icon_notice.bmp': message_icon(message, 'notice'),
        'msg_icon_question.bmp': message_icon(message, 'question'),
        'msg_icon_error.bmp': message_icon(message, 'error'),
        'msg_button_normal.bmp': push_button(message, MESSAGE_BUTTON_AT, MESSAGE_BUTTON, False),
        'msg_button_hover.bmp': push_button(message, MESSAGE_BUTTON_AT, MESSAGE_BUTTON, True),
        'msg_wide_button_normal.bmp': push_button(message, MESSAGE_WIDE_BUTTON_AT, MESSAGE_WIDE_BUTTON, False),
        'msg_wide_button_hover.bmp': push_button(message, MESSAGE_WIDE_BUTTON_AT, MESSAGE_WIDE_BUTTON, True),
    }


def percent(dpi):
    return dpi * 100 // SCALES[0]


def main():
    out = sys.argv[1]
    ids = bitmap_ids()
    for dpi in SCALES:
        # The reference copies of a scale other than 100 % go to reference/<percent>.
        reference = os.path.join(out, 'reference', '' if dpi == SCALES[0] else str(percent(dpi)))
        os.makedirs(reference, exist_ok=True)
        drawn = [(name, fit_palette(canvas.px)) for name, canvas in bitmaps(dpi).items()]
        for name, pixels in drawn:
            write_bmp24(os.path.join(reference, name), pixels)
            if dpi == SCALES[0]:
                write_bmp8(os.path.join(out, name), pixels)
        if dpi != SCALES[0]:
            write_pack(os.path.join(out, '%d.pack' % percent(dpi)), [(ids[name], pixels) for name, pixels in drawn])
    icons = [app_mark(s) for s in (16, 32, 48)]
    write_ico(os.path.join(out, 'setup.ico'), icons)
    write_ico(os.path.join(out, 'tool.ico'), icons)
    write_mono_cur(os.path.join(out, 'hand.cur'), hand_cursor(), HAND_HOTSPOT)


if __name__ == '__main__':
    main()
