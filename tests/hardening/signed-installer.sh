#!/usr/bin/env bash
# The build tree's setup.exe signed as the build signs it (cmake/sign-authenticode.sh), with a
# throwaway certificate authority and code-signing certificate:
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
mkdir -p "$work/signed" "$work/tampered" "$work/wrong-password"
export SETUP_TEST_SIGN_PASSWORD="throwaway-$RANDOM$RANDOM"
make_throwaway_signer "$work/signer"
signer=(--pkcs12 "$work/signer/signer.p12" --password-env SETUP_TEST_SIGN_PASSWORD)

signed="$work/signed/setup.exe"
cp "$setup" "$signed"
bash "$sign" "$signed" "${signer[@]}"
osslsigncode verify -CAfile "$work/signer/ca.crt" -in "$signed" >"$work/verify.log" 2>&1 ||
  { cat "$work/verify.log"; echo "the signed setup.exe does not verify"; exit 1; }
echo "signed and verified: $(stat -c %s "$setup") bytes before, $(stat -c %s "$signed") after"
osslsigncode remove-signature -in "$signed" -out "$work/unsigned.exe" >/dev/null
cmp -s "$setup" "$work/unsigned.exe" || { echo "without its signature the file is not the one signed"; exit 1; }

tampered="$work/tampered/setup.exe"
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
if osslsigncode verify -CAfile "$work/signer/ca.crt" -in "$tampered" >"$work/tampered.log" 2>&1; then
  cat "$work/tampered.log"
  echo "a flipped byte in the product archive still verifies"
  exit 1
fi
echo "tampered copy refused"

wrong="$work/wrong-password/setup.exe"
cp "$setup" "$wrong"
if SETUP_TEST_SIGN_PASSWORD=wrong bash "$sign" "$wrong" "${signer[@]}" 2>"$work/wrong-password.log"; then
  echo "signing with a wrong password succeeded"
  exit 1
fi
[ ! -e "$wrong" ] || { echo "a failed signing left the unsigned file in place"; exit 1; }
echo "wrong password: signing failed, $(tail -n 1 "$work/wrong-password.log")"

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
