#!/usr/bin/env bash
# setup.exe may import only DLLs that Windows always loads from its system folder (KnownDLLs);
# everything else is loaded by full path at run time.
set -euo pipefail
exe=$1 objdump=${2:-i686-w64-mingw32-objdump}
allowed='^(ADVAPI32|GDI32|KERNEL32|msvcrt|ole32|SHELL32|SHLWAPI|USER32)\.dll$'
imports=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
echo "imports of $(basename "$exe"):" $imports
[ -n "$imports" ] || { echo "no import table read"; exit 1; }
bad=$(echo "$imports" | grep -v -i -E "$allowed" || true)
if [ -n "$bad" ]; then
  echo "not allowed: $bad"
  exit 1
fi
