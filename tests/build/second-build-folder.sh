#!/usr/bin/env bash
# One bootstrap serves every build folder: configuring with the preset into a fresh folder
# outside build/ and building setup.exe there needs no other step.
#   second-build-folder.sh <source folder>
set -euo pipefail
source=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$source"
cmake --preset release -B "$folder" -DSETUP_BUILD_TESTS=OFF >/dev/null
cmake --build "$folder" --target setup >/dev/null
file "$folder/setup.exe" | grep -q 'PE32 executable (GUI) Intel 80386' || { echo "FAIL: no 32-bit setup.exe in $folder"; exit 1; }
echo "setup.exe built in a second build folder: $folder"
