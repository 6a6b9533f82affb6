#!/usr/bin/env python3
"""Packs files into a ZIP archive that depends on nothing but their names and contents.

    reproducible_zip.py --time SECONDS OUTPUT ENTRY=FILE...

Entries are sorted by name and every folder a name passes through gets an entry of its own.
Every entry has the given time (UTC, as the archive's DOS time; clamped to 1980, the earliest
such a time can hold) and the attributes a Windows archiver gives: archive for files, directory
for folders. Nothing of the packing machine goes in: no owner, permission bits, local time zone
or extra fields.
"""
import argparse
import os
import sys
import time
import zipfile

DOS_EPOCH = 315532800  # 1980-01-01 00:00:00 UTC
FILE_ATTRIBUTE_DIRECTORY = 0x10
FILE_ATTRIBUTE_ARCHIVE = 0x20
MADE_ON_FAT = 0


def entry_time(seconds):
    return time.gmtime(max(seconds, DOS_EPOCH))[:6]


def parse_entries(pairs):
    entries = {}
    for pair in pairs:
        name, sep, path = pair.partition("=")
        if not sep or not name or name.startswith("/") or name.endswith("/") or "\\" in name:
            sys.exit(f"reproducible_zip: not ENTRY=FILE with a relative entry name: {pair}")
        if name in entries:
            sys.exit(f"reproducible_zip: entry named twice: {name}")
        entries[name] = path
    return entries


def with_folders(entries):
    names = dict(entries)
    for name in entries:
        parts = name.split("/")[:-1]
        for depth in range(1, len(parts) + 1):
            names.setdefault("/".join(parts[:depth]) + "/", None)
    return sorted(names.items())


def make_info(name, when):
    info = zipfile.ZipInfo(name, when)
    info.create_system = MADE_ON_FAT
    if name.endswith("/"):
        info.external_attr = FILE_ATTRIBUTE_DIRECTORY
        info.compress_type = zipfile.ZIP_STORED
    else:
        info.external_attr = FILE_ATTRIBUTE_ARCHIVE
        info.compress_type = zipfile.ZIP_DEFLATED
    return info


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--time", type=int, required=True, help="seconds since 1970 (UTC) for every entry")
    parser.add_argument("output")
    parser.add_argument("entries", nargs="+", metavar="ENTRY=FILE")
    args = parser.parse_args()

    when = entry_time(args.time)
    # Written beside the target and renamed, so that a failed run leaves no half archive.
    partial = args.output + ".partial"
    try:
        with zipfile.ZipFile(partial, "w") as archive:
            for name, path in with_folders(parse_entries(args.entries)):
                data = b""
                if path is not None:
                    with open(path, "rb") as source:
                        data = source.read()
                archive.writestr(make_info(name, when), data, compresslevel=9)
        os.replace(partial, args.output)
    except BaseException:
        if os.path.exists(partial):
            os.remove(partial)
        raise

if __name__ == "__main__":
    main()
