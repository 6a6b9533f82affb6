"""Writers for the Windows image formats the resources use: palettised BMP (8 bits a pixel,
run-length encoded as BI_RLE8 where that is smaller), plain 24-bit BMP for reference copies,
ICO with 32-bit BGRA images and monochrome CUR. Images are lists of rows of (r, g, b) or
(r, g, b, a) tuples, top row first."""

import struct

BI_RGB = 0
BI_RLE8 = 1


def _file_header(info_and_palette, data):
    offset = 14 + len(info_and_palette)
    return struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)


def _info_header(width, height, bits, compression, image_size, colours):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, compression, image_size, 2835, 2835,
                       colours, colours)


def _padded(line):
    return bytes(line) + bytes(-len(line) % 4)


def write_bmp24(path, pixels):
    """An uncompressed 24-bit BMP: the reference the palettised copy is checked against."""
    height, width = len(pixels), len(pixels[0])
    data = b''.join(_padded(b''.join(bytes((p[2], p[1], p[0])) for p in row)) for row in reversed(pixels))
    info = _info_header(width, height, 24, BI_RGB, len(data), 0)
    with open(path, 'wb') as f:
        f.write(_file_header(info, data) + info + data)


def palette_of(pixels):
    """The colours of an image, most frequent first, and each pixel's index. The image must hold
    at most 256 colours (see quantise)."""
    counts = {}
    for row in pixels:
        for p in row:
            counts[p[:3]] = counts.get(p[:3], 0) + 1
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


def encode_rle8(index_rows):
    """Bottom-up lines, each ended by end-of-line, then end-of-bitmap."""
    data = bytearray()
    for row in reversed(index_rows):
        data += _rle8_line(row) + b'\x00\x00'
    return bytes(data) + b'\x00\x01'


def _raw8(index_rows):
    return b''.join(_padded(row) for row in reversed(index_rows))


def write_bmp8(path, pixels):
    """A palettised BMP with only the colours it uses; run-length encoded when that is smaller.
    Returns the number of bytes written."""
    height, width = len(pixels), len(pixels[0])
    palette, index_rows = palette_of(pixels)
    raw = _raw8(index_rows)
    rle = encode_rle8(index_rows)
    data, compression = (rle, BI_RLE8) if len(rle) < len(raw) else (raw, BI_RGB)
    info = _info_header(width, height, 8, compression, len(data), len(palette))
    info += b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    blob = _file_header(info, data) + info + data
    with open(path, 'wb') as f:
        f.write(blob)
    return len(blob)


def _icon_image(pixels):
    """One image of an icon file: a BITMAPINFOHEADER of double height, the BGRA rows and an AND
    mask that is set where the pixel is fully transparent."""
    height, width = len(pixels), len(pixels[0])
    colour = b''.join(b''.join(bytes((p[2], p[1], p[0], p[3])) for p in row) for row in reversed(pixels))
    mask = _mono_rows([[p[3] == 0 for p in row] for row in pixels])
    info = _info_header(width, height * 2, 32, BI_RGB, len(colour) + len(mask), 0)
    return info + colour + mask


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
    _write_directory(path, 1, [(len(p[0]), len(p), 0, 1, 32, _icon_image(p)) for p in images])


def write_mono_cur(path, shape, hotspot):
    """A two-colour cursor from rows of characters: '#' black, 'o' white, anything else
    transparent. Transparent pixels have AND 1 and XOR 0, black AND 0 XOR 0, white AND 0 XOR 1."""
    height, width = len(shape), len(shape[0])
    xor = _mono_rows([[c == 'o' for c in row] for row in shape])
    and_ = _mono_rows([[c not in '#o' for c in row] for row in shape])
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    info = _info_header(width, height * 2, 1, BI_RGB, len(xor) + len(and_), 2)
    image = info + palette + xor + and_
    _write_directory(path, 2, [(width, height, 2, hotspot[0], hotspot[1], image)])
