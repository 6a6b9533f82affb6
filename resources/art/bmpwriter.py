"""Writers for the BMP files the resources use: palettised (8 bits a pixel, run-length encoded as
BI_RLE8 where that is smaller), and plain 24-bit for reference copies. Images are lists of rows
of (r, g, b) tuples, top row first."""

import struct
import zlib

BI_RGB = 0
BI_RLE8 = 1


def _file_header(info_and_palette, data):
    offset = 14 + len(info_and_palette)
    return struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)


def info_header(width, height, bits, compression, image_size, colours):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, compression, image_size, 2835, 2835,
                       colours, colours)


def _padded(line):
    return bytes(line) + bytes(-len(line) % 4)


def write_bmp24(path, pixels):
    """An uncompressed 24-bit BMP: the reference the palettised copy is checked against."""
    height, width = len(pixels), len(pixels[0])
    data = b''.join(_padded(b''.join(bytes((p[2], p[1], p[0])) for p in row)) for row in reversed(pixels))
    info = info_header(width, height, 24, BI_RGB, len(data), 0)
    with open(path, 'wb') as f:
        f.write(_file_header(info, data) + info + data)


def _colour_counts(pixels):
    counts = {}
    for row in pixels:
        for p in row:
            counts[p[:3]] = counts.get(p[:3], 0) + 1
    return counts


def fit_palette(pixels):
    """The image with at most 256 colours. The canvas keeps blends to a few shades, so that a
    drawing at 100 % has fewer; a larger drawing of a gradient has more of its shades, and the
    rarest colours then take the nearest of the 256 most frequent ones, a step of a shade or
    two that the eye does not see. Pure red, the colour key, is never a stand-in."""
    counts = _colour_counts(pixels)
    if len(counts) <= 256:
        return pixels
    kept = sorted(counts, key=lambda c: (-counts[c], c))[:256]
    stand_ins = [c for c in kept if c != (255, 0, 0)]

    def nearest(c):
        return min(stand_ins, key=lambda k: sum((a - b) ** 2 for a, b in zip(c, k)))
    mapped = {c: c if i < 256 else nearest(c) for i, c in enumerate(sorted(counts, key=lambda c: (-counts[c], c)))}
    return [[mapped[p[:3]] for p in row] for row in pixels]


def _palette_of(pixels):
    """The colours of an image, most frequent first, and each pixel's index; at most 256 colours
    (fit_palette)."""
    counts = _colour_counts(pixels)
    if len(counts) > 256:
        raise ValueError('%d colours do not fit a palette of 256' % len(counts))
    palette = sorted(counts, key=lambda c: (-counts[c], c))
    index = {c: i for i, c in enumerate(palette)}
    return palette, [[index[p[:3]] for p in row] for row in pixels]


def _rle8_line(indices):
    """One scan line in BI_RLE8: runs of three or more equal pixels as (count, index) pairs, the
    pixels between them as absolute blocks (zero, count, indices, padded to an even length);
    pieces of one or two pixels, which an absolute block cannot hold, as runs."""
    out = bytearray()

    def runs_of(piece):
        i = 0
        while i < len(piece):
            n = 1
            while i + n < len(piece) and piece[i + n] == piece[i] and n < 255:
                n += 1
            out.extend((n, piece[i]))
            i += n

    def literals(piece):
        while piece:
            block, piece = piece[:255], piece[255:]
            if len(block) < 3:
                runs_of(block)
                continue
            out.extend((0, len(block)))
            out.extend(block)
            if len(block) % 2:
                out.append(0)

    pending = []
    i = 0
    while i < len(indices):
        n = 1
        while i + n < len(indices) and indices[i + n] == indices[i] and n < 255:
            n += 1
        if n >= 3:
            literals(pending)
            pending = []
            out.extend((n, indices[i]))
        else:
            pending.extend(indices[i:i + n])
        i += n
    literals(pending)
    return bytes(out)


def _encode_rle8(index_rows):
    """Bottom-up lines, each ended by end-of-line, then end-of-bitmap."""
    data = bytearray()
    for row in reversed(index_rows):
        data += _rle8_line(row) + b'\x00\x00'
    return bytes(data) + b'\x00\x01'


def _raw8(index_rows):
    return b''.join(_padded(row) for row in reversed(index_rows))


def bmp8_bytes(pixels):
    """A palettised BMP file with only the colours it uses; run-length encoded when that is
    smaller."""
    height, width = len(pixels), len(pixels[0])
    palette, index_rows = _palette_of(pixels)
    raw = _raw8(index_rows)
    rle = _encode_rle8(index_rows)
    data, compression = (rle, BI_RLE8) if len(rle) < len(raw) else (raw, BI_RGB)
    info = info_header(width, height, 8, compression, len(data), len(palette))
    info += b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    return _file_header(info, data) + info + data


def write_bmp8(path, pixels):
    with open(path, 'wb') as f:
        f.write(bmp8_bytes(pixels))


def write_pack(path, bitmaps):
    """The bitmaps of one display scale in one zlib stream, which the program inflates when it
    loads one of them: the size of the inflated data (32 bits), then per bitmap its resource id
    (16 bits), the size of its DIB (32 bits) and the DIB, as a BITMAP resource holds it (the file
    less its 14-byte header). Compressed together, the bitmaps cut from one background share
    their palettes' redundancy; zlib is in the program already, for the archive."""
    records = b''.join(struct.pack('<HI', id_, len(dib)) + dib
                       for id_, dib in ((i, bmp8_bytes(p)[14:]) for i, p in bitmaps))
    with open(path, 'wb') as f:
        f.write(struct.pack('<I', len(records)) + zlib.compress(records, 9))
