#!/usr/bin/env python3
"""Sizes of the payload resources of a PE file (INSTALLCONF, INSTALLDATA, EXE) and what the
rest of the file, the stub, weighs.
   pe_resources.py <setup.exe>  → prints: file payload stub (bytes)"""

import struct
import sys

PAYLOAD = {"INSTALLCONF", "INSTALLDATA", "EXE"}


def main():
    data = open(sys.argv[1], "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    # The data directories follow 96 bytes of a 32-bit optional header, 112 of a 64-bit one.
    directories = optional + (112 if struct.unpack_from("<H", data, optional)[0] == 0x20B else 96)
    rva, _size = struct.unpack_from("<II", data, directories + 2 * 8)  # resource directory
    table = optional + optional_size

    def offset_of(address):
        for i in range(sections):
            s = table + 40 * i
            vsize, vaddr, rawsize, rawptr = struct.unpack_from("<IIII", data, s + 8)
            if vaddr <= address < vaddr + max(vsize, rawsize):
                return rawptr + address - vaddr
        raise ValueError("address outside every section")

    base = offset_of(rva)

    def entries(directory):
        named, ids = struct.unpack_from("<HH", data, base + directory + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + directory + 16 + 8 * i)
            yield name, target

    def name_of(name):
        if not name & 0x80000000:
            return str(name)
        at = base + (name & 0x7FFFFFFF)
        length = struct.unpack_from("<H", data, at)[0]
        return data[at + 2:at + 2 + 2 * length].decode("utf-16-le")

    def leaf_sizes(target):
        if target & 0x80000000:
            for _name, child in entries(target & 0x7FFFFFFF):
                yield from leaf_sizes(child)
        else:
            yield struct.unpack_from("<II", data, base + target)[1]

    payload = 0
    for name, target in entries(0):
        if name_of(name) in PAYLOAD:
            payload += sum(leaf_sizes(target))
    print(len(data), payload, len(data) - payload)


if __name__ == "__main__":
    main()
