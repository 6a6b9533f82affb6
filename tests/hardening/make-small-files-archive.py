"""A product archive of many small files: little by their bytes, much by the whole clusters each
file takes on the disk.  make-small-files-archive.py <archive> <count> <bytes per file>"""
import sys
import zipfile

path, count, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
    archive.writestr(zipfile.ZipInfo("StartUp.exe", (2024, 1, 1, 0, 0, 0)), "launcher")
    for number in range(count):
        archive.writestr(zipfile.ZipInfo(f"notes/{number:04d}.txt", (2024, 1, 1, 0, 0, 0)), f"{number:04d}".ljust(size, "."))
