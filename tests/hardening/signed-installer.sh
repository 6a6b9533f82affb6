#!/usr/bin/env bash
# The build tree's setup.exe signed as the build signs it (cmake/sign-authenticode.sh), with a
# throwaway certificate authority and code-signing certificate, the password given through an
# environment variable; once with the machine's osslsigncode and once with 2.5, the version
# Debian 12 (and so scripts/bootstrap on a fresh machine) installs, which reads no password from
# standard input:
#   - the signature verifies against that authority, and removing it gives back the file before
#     signing, byte for byte;
#   - one flipped byte inside the embedded product archive makes verification fail;
#   - a wrong password fails the signing and leaves no file where the signed one was expected;
#   - the signed installer installs silently under Wine with exit status 0.
#   signed-installer.sh <wine root> <harness dir> <setup.exe> <product archive> <sign script> <work dir>
set -euo pipefail
root=$1 harness=$2 setup=$3 archive=$4 sign=$5 work=$6
here=$(cd "$(dirname "$0")" && pwd)
source "$here/throwaway-signer.sh"

rm -rf "$work"
mkdir -p "$work"
export SETUP_TEST_SIGN_PASSWORD="throwaway-$RANDOM$RANDOM"
make_throwaway_signer "$work/signer"
signer=(--pkcs12 "$work/signer/signer.p12" --password-env SETUP_TEST_SIGN_PASSWORD)

# Debian 12's osslsigncode 2.5, unpacked from its package beside the build when the machine has
# another version; kept across runs.
debian_osslsigncode() {
  local dir="$work.osslsigncode-2.5" tool
  tool="$dir/usr/bin/osslsigncode"
  if [ ! -x "$tool" ]; then
    rm -rf "$dir" && mkdir -p "$dir"
    (cd "$dir" && apt-get download osslsigncode=2.5-4 && dpkg -x osslsigncode_2.5-4_*.deb .) >&2 ||
      return 1
  fi
  echo "$tool"
}

# sign_and_check TOOL DIR: the signing checks with that osslsigncode, the signed file left in DIR.
sign_and_check() {
  local tool=$1 dir=$2
  mkdir -p "$dir/signed" "$dir/tampered" "$dir/wrong-password"
  echo "$("$tool" --version | head -n 1)"
  local signed="$dir/signed/setup.exe"
  cp "$setup" "$signed"
  OSSLSIGNCODE=$tool bash "$sign" "$signed" "${signer[@]}"
  "$tool" verify -CAfile "$work/signer/ca.crt" -in "$signed" >"$dir/verify.log" 2>&1 ||
    { cat "$dir/verify.log"; echo "the signed setup.exe does not verify"; return 1; }
  echo "signed and verified: $(stat -c %s "$setup") bytes before, $(stat -c %s "$signed") after"
  "$tool" remove-signature -in "$signed" -out "$dir/unsigned.exe" >/dev/null
  cmp -s "$setup" "$dir/unsigned.exe" || { echo "without its signature the file is not the one signed"; return 1; }

  local tampered="$dir/tampered/setup.exe"
  cp "$signed" "$tampered"
  python3 - "$tampered" "$archive" <<'PY'
import sys
exe_path, archive_path = sys.argv[1:]
exe = bytearray(open(exe_path, "rb").read())
archive = open(archive_path, "rb").read()
at = exe.find(archive)
if at < 0:
    sys.exit("the product archive is not embedded whole in setup.exe")
exe[at + len(archive) // 2] ^= 0x01
open(exe_path, "wb").write(exe)
PY
  if "$tool" verify -CAfile "$work/signer/ca.crt" -in "$tampered" >"$dir/tampered.log" 2>&1; then
    cat "$dir/tampered.log"
    echo "a flipped byte in the product archive still verifies"
    return 1
  fi
  echo "tampered copy refused"

  local wrong="$dir/wrong-password/setup.exe"
  cp "$setup" "$wrong"
  if SETUP_TEST_SIGN_PASSWORD=wrong OSSLSIGNCODE=$tool bash "$sign" "$wrong" "${signer[@]}" 2>"$dir/wrong-password.log"; then
    echo "signing with a wrong password succeeded"
    return 1
  fi
  [ ! -e "$wrong" ] || { echo "a failed signing left the unsigned file in place"; return 1; }
  echo "wrong password: signing failed, $(tail -n 1 "$dir/wrong-password.log")"
}

sign_and_check osslsigncode "$work/machine"
if ! osslsigncode --version | head -n 1 | grep -q '^osslsigncode 2\.5\b'; then
  debian=$(debian_osslsigncode) || { echo "Debian 12's osslsigncode 2.5 could not be fetched"; exit 1; }
  sign_and_check "$debian" "$work/debian-2.5"
fi
signed="$work/machine/signed/setup.exe"

prefix="$root/prefixes/signed-installer"
source "$harness/wine-env.sh"
setup_wine_env "$root" "$prefix"
ensure_display "$root"
trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true' EXIT
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
rm -rf "$prefix"
ensure_prefix "$root" "$prefix"
ensure_server "$prefix"
set +e
wine "$signed" -silent
status=$?
set -e
echo "signed setup.exe -silent exit status: $status"
[ "$status" -eq 0 ] || exit 1
launcher=$(find "$prefix/drive_c/users" -path '*/AppData/Roaming/Corvane/Plandrel/StartUp.exe' | head -n 1)
[ -n "$launcher" ] || { echo "StartUp.exe was not installed"; exit 1; }
rm -rf "$work"
echo "the signed installer installs"
