#!/usr/bin/env python3
"""Generates the benchmark's product: about 100 MB in about 2,000 files in nested folders, the
same bytes on every run. A third of the bytes is compressible text, a third random bytes, the
rest a few large files of mixed content; most files are small.
   make_product.py <output folder>"""

import os
import random
import sys

SEED = 20261209
WORDS = ("table sheet cell formula chart pivot range value column row workbook macro filter sort "
         "sum average series axis label legend grid border font colour style number date text").split()


def text_bytes(rng, size):
    out = []
    length = 0
    while length < size:
        line = " ".join(rng.choice(WORDS) for _ in range(rng.randint(6, 14))) + "\r\n"
        out.append(line)
        length += len(line)
    return "".join(out).encode()[:size]


def random_bytes(rng, size):
    return rng.getrandbits(size * 8).to_bytes(size, "little") if size else b""


def mixed_bytes(rng, size):
    chunks = []
    while sum(len(c) for c in chunks) < size:
        n = rng.randint(4096, 65536)
        chunks.append(text_bytes(rng, n) if rng.random() < 0.5 else random_bytes(rng, n))
    return b"".join(chunks)[:size]


def folder_for(rng, index):
    depth = rng.randint(0, 4)
    parts = ["data"] + ["d%02d" % rng.randint(0, 7) for _ in range(depth)]
    return os.path.join(*parts)


def main():
    out = sys.argv[1]
    rng = random.Random(SEED)
    files = []
    # A few large files: 5 × 10 MB plus one of 12 MB, mixed text and random.
    for i, size in enumerate([10 << 20] * 5 + [12 << 20]):
        files.append((os.path.join("data", "large", "volume%d.bin" % i), mixed_bytes, size))
    # Many small and medium files making up the other ~48 MB, half text, half random.
    budget = 48 << 20
    index = 0
    while budget > 0 and index < 1990:
        size = min(budget, int(rng.paretovariate(1.2) * 4000))
        kind = text_bytes if index % 2 == 0 else random_bytes
        ext = ".txt" if kind is text_bytes else ".dat"
        files.append((os.path.join(folder_for(rng, index), "f%04d%s" % (index, ext)), kind, size))
        budget -= size
        index += 1
    total = 0
    for path, kind, size in files:
        full = os.path.join(out, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(kind(rng, size))
        total += size
    with open(os.path.join(out, "StartUp.exe"), "wb") as f:
        f.write(b"MZ" + random_bytes(rng, 30000))
    with open(os.path.join(out, "LocalConfig.xml"), "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<LocalConfig><version><client appId="bench">'
                "<libID>BENCH-1</libID><current>1.0</current></client></version></LocalConfig>\n")
    os.makedirs(os.path.join(out, "client", "1.0", "Lib"), exist_ok=True)
    with open(os.path.join(out, "client", "1.0", "uninstall.exe"), "wb") as f:
        f.write(b"MZ" + random_bytes(rng, 20000))
    print("%d files, %.1f MB" % (len(files) + 3, total / 1048576.0))


if __name__ == "__main__":
    main()
