"""Writers for the icon and cursor files the resources use: ICO with PNG-compressed RGBA images
(which Windows reads since Vista, at a fraction of the size of BGRA bitmaps) and a two-colour
CUR. Images are lists of rows of (r, g, b, a) tuples, top row first."""

import struct
import zlib

from bmpwriter import BI_RGB, info_header


def _png(pixels):
    height, width = len(pixels), len(pixels[0])
    # Each row starts with filter type 0 (none).
    raw = b''.join(b'\x00' + b''.join(bytes(p[:4]) for p in row) for row in pixels)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)
    header = struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)  # 8 bits a channel, RGBA
    return b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')


def _mono_rows(bits):
    """Bottom-up rows of one bit a pixel, most significant bit first, padded to four bytes."""
    out = bytearray()
    for row in reversed(bits):
        line = bytearray((len(row) + 31) // 32 * 4)
        for x, on in enumerate(row):
            if on:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def _write_directory(path, kind, entries):
    """An ICO (kind 1) or CUR (kind 2) file: entries are (width, height, colours, field1, field2,
    image) where the two fields are planes and bit count for icons, the hot spot for cursors."""
    head = struct.pack('<HHH', 0, kind, len(entries))
    offset = len(head) + 16 * len(entries)
    directory, images = bytearray(), bytearray()
    for width, height, colours, field1, field2, image in entries:
        directory += struct.pack('<BBBBHHII', width % 256, height % 256, colours, 0, field1, field2, len(image), offset)
        offset += len(image)
        images += image
    with open(path, 'wb') as f:
        f.write(head + directory + images)


def write_ico(path, images):
    _write_directory(path, 1, [(len(p[0]), len(p), 0, 1, 32, _png(p)) for p in images])


def write_mono_cur(path, shape, hotspot):
    """A two-colour cursor from rows of characters: '#' black, 'o' white, anything else
    transparent. Transparent pixels have AND 1 and XOR 0, black AND 0 XOR 0, white AND 0 XOR 1."""
    height, width = len(shape), len(shape[0])
    xor = _mono_rows([[c == 'o' for c in row] for row in shape])
    and_ = _mono_rows([[c not in '#o' for c in row] for row in shape])
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    info = info_header(width, height * 2, 1, BI_RGB, len(xor) + len(and_), 2)
    _write_directory(path, 2, [(width, height, 2, hotspot[0], hotspot[1], info + palette + xor + and_)])
