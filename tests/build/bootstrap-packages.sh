#!/usr/bin/env bash
# The package step of scripts/bootstrap against a mirror whose security-suite index is stale:
# apt-get, dpkg and dpkg-query are fakes on PATH. The index update fails and so does the first
# install ("held broken packages"); the step must go on, install once more from a copy of the
# sources without the security suite, with --no-remove, and leave the system's sources as they
# were. When every install fails it must stop with one clear line.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }

mkdir -p "$work/bin" "$work/etc/sources.list.d" "$work/tmp"
cat >"$work/etc/sources.list.d/debian.sources" <<'SOURCES'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main

Types: deb
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
SOURCES
echo 'deb http://deb.debian.org/debian-security bookworm-security main' >"$work/etc/sources.list"
before=$(cd "$work/etc" && find . -type f -exec sha256sum {} + | sort)

cat >"$work/bin/dpkg-query" <<'FAKE'
#!/bin/sh
exit 1
FAKE
cat >"$work/bin/dpkg" <<'FAKE'
#!/bin/sh
[ "$1" = --print-foreign-architectures ] && echo i386
exit 0
FAKE
# Records each call; an install succeeds only from source parts free of the security suite,
# with --no-remove, unless FAKE_APT_BROKEN says that nothing installs.
cat >"$work/bin/apt-get" <<'FAKE'
#!/bin/bash
echo "apt-get $*" >>"$FAKE_APT_LOG"
case " $* " in *" update "*) echo "E: File has unexpected size. Mirror sync in progress?" >&2; exit 100 ;; esac
parts=
for arg in "$@"; do case $arg in Dir::Etc::sourceparts=*) parts=${arg#Dir::Etc::sourceparts=} ;; esac; done
if [ -z "${FAKE_APT_BROKEN:-}" ] && [ -n "$parts" ] && [[ " $* " == *" --no-remove "* ]] &&
   ! cat "$parts"/* | grep -q -- '-security' && cat "$parts"/* | grep -q 'Suites: bookworm'; then
  exit 0
fi
echo "E: Unable to correct problems, you have held broken packages." >&2
exit 100
FAKE
chmod 755 "$work/bin"/*

run_step() {
  (
    export PATH="$work/bin:$PATH" SETUP_APT_ETC="$work/etc" TMPDIR="$work/tmp" FAKE_APT_LOG="$work/apt.log"
    log() { printf 'bootstrap: %s\n' "$*"; }
    as_root() { "$@"; }
    source "$repo/scripts/lib/packages.sh"
    install_packages wine wine32:i386
  )
}

# A stale security index: the step goes on and says what it did.
rm -f "$work/apt.log"
status=0
out=$(run_step 2>&1) || status=$?
echo "$out"
[ "$status" -eq 0 ] || fail "the package step failed although the install without the security suite works"
grep -q 'warning: apt-get update failed' <<<"$out" || fail "no warning about the failed index update"
grep -q 'installed from the main and updates suites without the security suite' <<<"$out" || fail "no word on the fallback"
[ "$(grep -c ' install ' "$work/apt.log")" -eq 2 ] || fail "expected exactly two installs"
grep ' install ' "$work/apt.log" | tail -n 1 | grep -q 'wine wine32:i386$' || fail "the retry installs other packages"
[ "$(cd "$work/etc" && find . -type f -exec sha256sum {} + | sort)" = "$before" ] || fail "the system's sources were changed"
[ -z "$(ls -A "$work/tmp")" ] || fail "the temporary sources folder was left behind"

# Nothing installs: a non-zero exit and one clear line.
rm -f "$work/apt.log"
status=0
out=$(FAKE_APT_BROKEN=1 run_step 2>&1) || status=$?
echo "$out"
[ "$status" -ne 0 ] || fail "the package step succeeded although nothing could be installed"
tail -n 1 <<<"$out" | grep -q '^bootstrap: error: apt-get could not install wine wine32:i386, with or without the security suite' ||
  fail "the last line does not say what failed"
echo "bootstrap package step: fallback and failure behave"
