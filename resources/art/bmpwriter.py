"""Writers for the Windows image formats the resources use: 24-bit BMP, and ICO/CUR with
32-bit BGRA images. Images are lists of rows of (r, g, b) or (r, g, b, a) tuples, top row first."""

import struct


def _bmp_rows(pixels, with_alpha):
    """Bottom-up rows in BGR(A), each padded to a multiple of four bytes."""
    out = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for p in row:
            r, g, b = p[0], p[1], p[2]
            line += bytes((b, g, r, p[3])) if with_alpha else bytes((b, g, r))
        while len(line) % 4:
            line.append(0)
        out += line
    return bytes(out)


def write_bmp(path, pixels):
    height = len(pixels)
    width = len(pixels[0])
    data = _bmp_rows(pixels, False)
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


def _icon_image(pixels):
    """One image of an icon or cursor file: a BITMAPINFOHEADER of double height, the BGRA rows
    and an AND mask that is set where the pixel is fully transparent."""
    height = len(pixels)
    width = len(pixels[0])
    colour = _bmp_rows(pixels, True)
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray((width + 31) // 32 * 4)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return info + colour + bytes(mask)


def _write_icon_file(path, kind, images, hotspot=(0, 0)):
    entries = bytearray()
    blobs = bytearray()
    offset = 6 + 16 * len(images)
    for pixels in images:
        blob = _icon_image(pixels)
        w = len(pixels[0])
        h = len(pixels)
        if kind == 1:
            planes, bits = 1, 32
        else:
            planes, bits = hotspot
        entries += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, planes, bits, len(blob), offset)
        offset += len(blob)
        blobs += blob
    with open(path, 'wb') as f:
        f.write(struct.pack('<HHH', 0, kind, len(images)) + entries + blobs)


def write_ico(path, images):
    _write_icon_file(path, 1, images)


def write_cur(path, pixels, hotspot):
    _write_icon_file(path, 2, [pixels], hotspot)
