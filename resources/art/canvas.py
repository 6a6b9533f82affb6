"""A small raster canvas for the artwork. Shapes are given as signed distance functions (negative
inside, in pixels) and painted with one pixel of anti-aliasing. Coverage is rounded to sixteenths,
so that a blend of two colours has at most fifteen shades in between and every bitmap fits an
8-bit palette."""

import math

COVERAGE_STEPS = 16


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
    def __init__(self, width, height, fill):
        self.w = width
        self.h = height
        self.px = [[tuple(fill[:3])] * width for _ in range(height)]

    def fill_rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.h, y1)):
            row = self.px[y]
            for x in range(max(0, x0), min(self.w, x1)):
                row[x] = tuple(colour[:3])

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        for y in range(y0, y1):
            t = (y - y0) / max(1, y1 - y0 - 1)
            self.fill_rect(x0, y, x1, y + 1, mix(top, bottom, t))

    def hgradient(self, x0, y0, x1, y1, left, right):
        for x in range(x0, x1):
            t = (x - x0) / max(1, x1 - x0 - 1)
            self.fill_rect(x, y0, x + 1, y1, mix(left, right, t))

    def paint(self, sdf, colour, box=None, opacity=1.0):
        """Paints a shape; box (x0, y0, x1, y1) limits the pixels looked at."""
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        for y in range(max(0, int(y0)), min(self.h, int(math.ceil(y1)))):
            row = self.px[y]
            for x in range(max(0, int(x0)), min(self.w, int(math.ceil(x1)))):
                cover = _in_steps(_clamp(0.5 - sdf(x + 0.5, y + 0.5)) * opacity)
                if cover > 0:
                    row[x] = mix(row[x], colour, cover)

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
        for y in range(self.h):
            row = self.px[y]
            colour = tuple(colour_of_row(y)[:3])
            for x in range(self.w):
                if inside(x + 0.5, y + 0.5):
                    row[x] = colour

    def crop(self, x, y, width, height):
        c = Canvas(width, height, (0, 0, 0))
        c.px = [list(self.px[y + j][x:x + width]) for j in range(height)]
        return c
