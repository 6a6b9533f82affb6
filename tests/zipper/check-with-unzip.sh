#!/usr/bin/env bash
# Runs the Windows program that leaves archives in the unzip-check folder (Zipper archives of its
# own, and the archive the test recording library made during a silent installation), then reads
# every one with Linux's unzip: it must test without errors and list exactly the expected names.
#
#   check-with-unzip.sh <wine-run> <program.exe> <unzip-check folder>
set -euo pipefail
wine_run=$1 program=$2 folder=$3

rm -rf "$folder"
SETUP_TEST_PREFIX=zipper_unzip_checks "$wine_run" "$program"

shopt -s nullglob
archives=("$folder"/*.zip)
if [ ${#archives[@]} -ne 4 ]; then
  echo "expected 4 archives in $folder, found ${#archives[@]}"
  exit 1
fi
for archive in "${archives[@]}"; do
  name=$(basename "$archive" .zip)
  expected="$folder/$name.expected"
  if ! unzip -t "$archive" >"$folder/$name.test.log" 2>&1 || ! grep -q '^No errors detected' "$folder/$name.test.log"; then
    echo "unzip -t failed on $name:"
    cat "$folder/$name.test.log"
    exit 1
  fi
  if ! diff -u "$expected" <(unzip -Z1 "$archive" | LC_ALL=C sort); then
    echo "unzip -Z1 of $name does not list the expected names"
    exit 1
  fi
  listed=$(unzip -l "$archive" | tail -n 1 | awk '{print $2}')
  if [ "$listed" != "$(wc -l <"$expected")" ]; then
    echo "unzip -l of $name counts $listed entries"
    exit 1
  fi
  echo "$name: $listed entries, unzip -t and -l agree"
done
