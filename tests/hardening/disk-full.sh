#!/usr/bin/env bash
# A disk that fills up during the unpacking: a 400 KB tmpfs becomes drive E: of a fresh prefix
# and holds the profile's roaming folder. The silent installation must end with -1 and leave
# nothing on that drive but what it put into the install folder.
#   disk-full.sh <wine root> <harness dir> <setup.exe>
set -euo pipefail
root=$1 harness=$2 setup=$3
if [ "$(id -u)" -ne 0 ]; then echo "mounting a tmpfs needs root"; exit 77; fi

prefix="$root/prefixes/disk-full"
source "$harness/wine-env.sh"
setup_wine_env "$root" "$prefix"
ensure_display "$root"
drive="$prefix/drive_e"
cleanup() {
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  mountpoint -q "$drive" 2>/dev/null && umount "$drive"
  true
}
trap cleanup EXIT
cleanup
rm -rf "$prefix"
ensure_prefix "$root" "$prefix"
mkdir -p "$drive"
mount -t tmpfs -o size=400k tmpfs "$drive"
ln -sfn ../drive_e "$prefix/dosdevices/e:"
roaming='E:\Profile\AppData\Roaming'
mkdir -p "$drive/Profile/AppData/Roaming"
ensure_server "$prefix"
for key in 'User Shell Folders' 'Shell Folders'; do
  wine reg add "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\$key" /v AppData /t REG_SZ /d "$roaming" /f >/dev/null
done

set +e
wine "$setup" -silent
status=$?
set -e
echo "exit status: $status"
echo "on the full drive:"; (cd "$drive" && find . | sort)
[ "$status" -eq 255 ] || { echo "expected exit status -1 (255)"; exit 1; }
stray=$(cd "$drive" && find . -mindepth 1 | grep -v -E '^\./Profile(/AppData(/Roaming(/Corvane(/Plandrel(/.*)?)?)?)?)?$' || true)
[ -z "$stray" ] || { echo "written outside the install folder: $stray"; exit 1; }
echo "disk full: clean failure"
