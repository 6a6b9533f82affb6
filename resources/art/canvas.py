"""A small raster canvas for the artwork. Shapes are given as signed distance functions (negative
inside, in pixels of the 100 % drawing) and painted with one pixel of anti-aliasing. Coverage is
rounded to sixteenths, so that a blend of two colours has at most fifteen shades in between.

A canvas has a display scale (its DPI; 96 is 100 %). Rectangles and shapes are given in the
coordinates of the 100 % drawing and drawn afresh at the canvas's scale, never resized from a
smaller bitmap: a distance function evaluated at device pixels gives sharp edges at any scale.
Rectangle edges are rounded as the program rounds its own rectangles (px), so that a bitmap cut
to a place meets the place exactly."""

import math

COVERAGE_STEPS = 16
BASE_DPI = 96


def px(v, dpi):
    """A coordinate (not negative) of the 100 % drawing at dpi, rounded half up as the program's
    MulDiv rounds it."""
    return (2 * v * dpi + BASE_DPI) // (2 * BASE_DPI)


def _clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def _in_steps(cover):
    return round(cover * COVERAGE_STEPS) / COVERAGE_STEPS


def mix(a, b, t):
    """The colour t of the way from a to b."""
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a[:3], b[:3]))


# Signed distance functions: each returns f(x, y) for a point in pixel coordinates.

def rounded_rect(x0, y0, x1, y1, rx, ry=None):
    """A rectangle (x1, y1 exclusive) with elliptical corners of radii rx and ry."""
    ry = rx if ry is None else ry

    def sdf(x, y):
        box = max(x0 - x, x - x1, y0 - y, y - y1)
        if rx <= 0 or ry <= 0:
            return box
        dx = x - _clamp(x, x0 + rx, x1 - rx)
        dy = y - _clamp(y, y0 + ry, y1 - ry)
        if dx and dy:
            # In a corner: the distance to the ellipse, scaled to the smaller radius.
            return (math.hypot(dx / rx, dy / ry) - 1.0) * min(rx, ry)
        return box
    return sdf


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def stroke(points, width):
    """A polyline of the given width with round ends and joins."""
    segments = list(zip(points, points[1:])) or [(points[0], points[0])]

    def sdf(x, y):
        best = float('inf')
        for (ax, ay), (bx, by) in segments:
            dx, dy = bx - ax, by - ay
            length2 = dx * dx + dy * dy
            t = 0.0 if length2 == 0 else _clamp(((x - ax) * dx + (y - ay) * dy) / length2)
            best = min(best, math.hypot(x - ax - t * dx, y - ay - t * dy))
        return best - width / 2.0
    return sdf


def arc(cx, cy, r, start_deg, end_deg, steps=24):
    """Points along a circular arc, angles in degrees, clockwise on screen from start to end."""
    return [(cx + r * math.cos(math.radians(start_deg + (end_deg - start_deg) * i / steps)),
             cy + r * math.sin(math.radians(start_deg + (end_deg - start_deg) * i / steps))) for i in range(steps + 1)]


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def subtract(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


def inset(shape, d):
    return lambda x, y: shape(x, y) + d


class Canvas:
    """width and height in device pixels; every other coordinate in those of the 100 % drawing,
    except for crop and overlay, which place device pixels."""

    def __init__(self, width, height, fill, dpi=BASE_DPI):
        self.w = width
        self.h = height
        self.dpi = dpi
        self.s = dpi / BASE_DPI
        self.px = [[tuple(fill[:3])] * width for _ in range(height)]

    @classmethod
    def scaled(cls, width, height, fill, dpi):
        """A canvas of a size given at 100 %."""
        return cls(px(width, dpi), px(height, dpi), fill, dpi)

    @property
    def size(self):
        """The canvas's width and height in the coordinates of the 100 % drawing."""
        return self.w / self.s, self.h / self.s

    def fill_rect(self, x0, y0, x1, y1, colour):
        self._fill_device(*(px(v, self.dpi) for v in (x0, y0, x1, y1)), colour)

    def _fill_device(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.h, y1)):
            row = self.px[y]
            for x in range(max(0, x0), min(self.w, x1)):
                row[x] = tuple(colour[:3])

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        x0, y0, x1, y1 = (px(v, self.dpi) for v in (x0, y0, x1, y1))
        for y in range(y0, y1):
            t = (y - y0) / max(1, y1 - y0 - 1)
            self._fill_device(x0, y, x1, y + 1, mix(top, bottom, t))

    def hgradient(self, x0, y0, x1, y1, left, right):
        x0, y0, x1, y1 = (px(v, self.dpi) for v in (x0, y0, x1, y1))
        for x in range(x0, x1):
            t = (x - x0) / max(1, x1 - x0 - 1)
            self._fill_device(x, y0, x + 1, y1, mix(left, right, t))

    def paint(self, sdf, colour, box=None, opacity=1.0):
        """Paints a shape; box (x0, y0, x1, y1) limits the pixels looked at. colour is a colour or
        a function of the row (y) that gives one."""
        s = self.s
        x0, y0, x1, y1 = box or (0, 0, self.w / s, self.h / s)
        colour_of_row = colour if callable(colour) else lambda y: colour
        for y in range(max(0, int(y0 * s)), min(self.h, int(math.ceil(y1 * s)))):
            row = self.px[y]
            ink = colour_of_row(y / s)
            for x in range(max(0, int(x0 * s)), min(self.w, int(math.ceil(x1 * s)))):
                cover = _in_steps(_clamp(0.5 - s * sdf((x + 0.5) / s, (y + 0.5) / s)) * opacity)
                if cover > 0:
                    row[x] = mix(row[x], ink, cover)

    def overlay(self, image, x0, y0):
        """Blends an RGBA image in with its top-left corner at (x0, y0)."""
        for j, row in enumerate(image):
            line = self.px[y0 + j]
            for i, p in enumerate(row):
                cover = _in_steps(p[3] / 255)
                if cover > 0:
                    line[x0 + i] = mix(line[x0 + i], p, cover)

    def hard(self, inside, colour_of_row):
        """Sets every pixel whose centre inside(x, y) accepts to colour_of_row(y), with no
        blending: for the colour key, where a half-blended pixel would show as a fringe."""
        s = self.s
        for y in range(self.h):
            row = self.px[y]
            colour = tuple(colour_of_row(y / s)[:3])
            for x in range(self.w):
                if inside((x + 0.5) / s, (y + 0.5) / s):
                    row[x] = colour

    def crop(self, x, y, width, height):
        """The device pixels from (x, y), width × height, as a canvas of the same scale."""
        c = Canvas(width, height, (0, 0, 0), self.dpi)
        c.px = [list(self.px[y + j][x:x + width]) for j in range(height)]
        return c
