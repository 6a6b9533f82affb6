#!/usr/bin/env bash
# Two builds of the shipped setup.exe (32-bit, target setup only) in fresh folders must give one
# file, and the signature must be all that signing adds:
#   A  the sources where they are, configured as a vendor configures a second build folder (the
#      release preset, another folder, the one dependency folder found as the bootstrap left it),
#      SOURCE_DATE_EPOCH set to the last commit's time, UTC, umask 022, unsigned;
#   B  later, from copies of the sources and of the dependency folder at other paths, without
#      SOURCE_DATE_EPOCH, another time zone and umask, signed by the build with a throwaway
#      certificate and key (password from a file).
# A's setup.exe equals B's with the signature removed; the import library and the sample product
# archive are equal; B's signature verifies; A's PE time stamp is the commit's time.
#   reproducible-build.sh <source dir> <dependency dir> <work dir> <cmake>
set -euo pipefail
src=$1 deps=$2 work=$3 cmake=$4
here=$(cd "$(dirname "$0")" && pwd)
source "$here/throwaway-signer.sh"

if ! commit_time=$(git -C "$src" log -1 --format=%ct 2>/dev/null); then
  echo "the sources are no git checkout: nothing to copy them by"
  exit 77
fi
rm -rf "$work"
mkdir -p "$work"

# The copy holds what git would commit (tracked and new files, no build folders) and refers to
# the same history, so that its last commit is the same.
copy="$work/elsewhere/sources"
mkdir -p "$copy" "$work/elsewhere/deps"
git -C "$src" ls-files -z --cached --others --exclude-standard |
  tar -C "$src" --null --verbatim-files-from -T - --ignore-failed-read -cf - 2>/dev/null | tar -C "$copy" -xf -
ln -s "$src/.git" "$copy/.git"
cp -r "$deps/zlib" "$deps/minizip" "$deps/tinyxml" "$work/elsewhere/deps/"

export SETUP_TEST_SIGN_PASSWORD="throwaway-$RANDOM$RANDOM"
make_throwaway_signer "$work/signer"
printf '%s\n' "$SETUP_TEST_SIGN_PASSWORD" >"$work/signer/password"
unset SETUP_TEST_SIGN_PASSWORD

# build <build folder> <configure command...>
build() {
  local started=$SECONDS folder=$1
  shift
  if ! { "$@" && "$cmake" --build "$folder" --target setup; } >"$folder.log" 2>&1; then
    tail -n 40 "$folder.log"
    echo "build in $folder failed"
    exit 1
  fi
  echo "built $folder in $((SECONDS - started)) s"
}
(umask 022; export SOURCE_DATE_EPOCH=$commit_time TZ=UTC
 if [ "$deps" = "$src/deps" ]; then unset SETUP_DEPS_DIR; else export SETUP_DEPS_DIR=$deps; fi
 cd "$src" && build "$work/a" "$cmake" --preset release -B "$work/a" -DSETUP_BUILD_TESTS=OFF)
(umask 002; unset SOURCE_DATE_EPOCH; export TZ=Asia/Shanghai
 build "$work/b" "$cmake" -S "$copy" -B "$work/b" -G Ninja --toolchain "$copy/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release \
   -DSETUP_BUILD_TESTS=OFF "-DSETUP_DEPS_DIR=$work/elsewhere/deps" "-DSETUP_SIGN_CERT=$work/signer/signer.crt" \
   "-DSETUP_SIGN_KEY=$work/signer/signer.key" "-DSETUP_SIGN_PASSWORD_FILE=$work/signer/password")

failed=0
osslsigncode verify -CAfile "$work/signer/ca.crt" -in "$work/b/setup.exe" >"$work/verify.log" 2>&1 ||
  { cat "$work/verify.log"; echo "B's setup.exe is not signed, or its signature does not verify"; failed=1; }
osslsigncode remove-signature -in "$work/b/setup.exe" -out "$work/b/setup.unsigned.exe" >/dev/null

# same <what> <file of A> <file of B>
same() {
  local a b
  a=$(sha256sum <"$2" | cut -c1-64)
  b=$(sha256sum <"$3" | cut -c1-64)
  echo "$1: A $a ($(stat -c %s "$2") bytes), B $b ($(stat -c %s "$3") bytes)"
  if [ "$a" != "$b" ]; then
    echo "  differ in $(cmp -l "$2" "$3" | wc -l) bytes"
    failed=1
  fi
}
same "setup.exe (B without its signature)" "$work/a/setup.exe" "$work/b/setup.unsigned.exe"
same "libsetup.dll.a" "$work/a/libsetup.dll.a" "$work/b/libsetup.dll.a"
same "sample product archive" "$work/a/sample/product.zip" "$work/b/sample/product.zip"
echo "signed setup.exe: $(stat -c %s "$work/b/setup.exe") bytes"

pe_stamp() {
  local header
  header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tu4 -j$((header + 8)) -N4 "$1" | tr -d ' '
}
stamp=$(pe_stamp "$work/a/setup.exe")
echo "PE time stamp $stamp, last commit $commit_time"
[ "$stamp" = "$commit_time" ] || { echo "the PE time stamp is not the commit's time"; failed=1; }

if [ "$failed" -ne 0 ]; then
  echo "not reproducible; the builds are kept in $work"
  exit 1
fi
rm -rf "$work"
echo "two builds, one setup.exe"
