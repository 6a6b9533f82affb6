#!/usr/bin/env bash
# setup.exe exports the archive-writing interface and nothing else, and imports only DLLs that
# every Windows has; the test recording library takes the functions from setup.exe itself.
#
#   check-exports.sh <objdump> <setup.exe> <Brenvik.dll of the tests>
set -euo pipefail
objdump=$1 setup=$2 recorder=$3

exports=$("$objdump" -p "$setup" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^[[:space:]]+\[/ {print $NF}')
expected=(
  _Z8zip_filePKcS0_ _Z8zip_filePKwS0_
  _Z10zip_folderPKcbS0_ _Z10zip_folderPKwbS0_
  _Z12zip_add_filePKcS0_ _Z12zip_add_filePKwS0_
  _Z14zip_add_folderPKcS0_b _Z14zip_add_folderPKwS0_b
  _ZN6ZipperC1EPKcS1_b _ZN6ZipperC1ERKS_ _ZN6ZipperaSERKS_ _ZN6ZipperD1Ev
  _ZN6Zipper7OpenZipEPKcS1_b _ZN6Zipper8CloseZipEv
  _ZN6Zipper12AddFileToZipEPKcb _ZN6Zipper12AddFileToZipEPKcS1_ _ZN6Zipper12AddFileToZipEPKviPKc
  _ZN6Zipper14AddFolderToZipEPKcb _ZNK6Zipper11GetFileInfoER10Z_FileInfo
  _ZN6Zipper8zip_fileEPKc _ZN6Zipper10zip_folderEPKcb
)
status=0
for name in "${expected[@]}"; do
  grep -qx -- "$name" <<<"$exports" || { echo "setup.exe does not export $name"; status=1; }
done
# Everything exported belongs to the archive writer (no runtime or library symbol leaks out).
while read -r name; do
  case $name in
    _Z*zip_*|_ZN6Zipper*|_ZNK6Zipper*|_ZTV6Zipper|_ZTI6Zipper|_ZTS6Zipper) ;;
    *) echo "setup.exe exports $name"; status=1 ;;
  esac
done <<<"$exports"

# Windows system DLLs only: no C or C++ runtime, thread or zlib DLL of the toolchain.
system_dlls=" advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll uxtheme.dll version.dll wtsapi32.dll msimg32.dll "
while read -r dll; do
  lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
  [[ $system_dlls == *" $lower "* ]] || { echo "setup.exe imports $dll"; status=1; }
done < <("$objdump" -p "$setup" | awk '/DLL Name:/ {print $3}')

# The recording library imports zip_folder from setup.exe, and setup.exe has it.
if ! "$objdump" -p "$recorder" | awk '/DLL Name:/ {dll=$3} dll=="setup.exe" && /_Z10zip_folderPKwbS0_/ {found=1} END {exit !found}'; then
  echo "the test recording library does not import the wide zip_folder from setup.exe"
  status=1
fi
[ $status -eq 0 ] && echo "setup.exe exports $(wc -l <<<"$exports") names; imports: $("$objdump" -p "$setup" | awk '/DLL Name:/ {printf "%s ", $3}')"
exit $status
