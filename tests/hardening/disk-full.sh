#!/usr/bin/env bash
# A disk that fills up. A small tmpfs becomes drive E: of a fresh prefix and holds the profile's
# roaming folder, so the install folder and everything beside it lie on it:
# - a fresh installation on 400 KB, too small for the product: exit -1, nothing on the drive
#   but the install folder and the folders above it;
# - an upgrade with room for the earlier installation but not for the new product beside it:
#   exit -1, and the drive exactly as before (refused before anything is written);
# - an upgrade whose disk fills up in the middle of the unpacking (the drive runs out of
#   inodes, which no free-space figure shows): exit -1, and the drive exactly as before, no
#   staging folder left;
# - with room again, the upgrade goes through;
# - a product of many small files that would fit by their bytes but not by the clusters they
#   take: refused by the space check before anything is written.
#   disk-full.sh <wine root> <harness dir> <setup.exe> <setup.exe with the small-files product>
set -euo pipefail
root=$1 harness=$2 setup=$3 small_files_setup=$4
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
install="$drive/Profile/AppData/Roaming/Corvane/Plandrel"

# Runs setup.exe silently and checks its exit status (255 is -1).
run_setup() {
  local expected=$1 status
  set +e
  wine "${installer:-$setup}" -silent ${log:+-log "$log"}
  status=$?
  set -e
  echo "exit status: $status"
  [ "$status" -eq "$expected" ] || { echo "expected exit status $expected"; exit 1; }
}
# Every path on the drive with its size, and every file's checksum.
drive_state() { (cd "$drive" && find . -printf '%p %y %s\n' | sort && find . -type f -exec md5sum {} + | sort); }
# An upgrade that must fail and leave the drive as it was.
failed_upgrade() {
  local before
  before=$(drive_state)
  run_setup 255
  if [ "$(drive_state)" != "$before" ]; then
    echo "the drive changed:"; diff <(echo "$before") <(drive_state) || true
    exit 1
  fi
}

echo "== fresh installation on 400 KB"
run_setup 255
echo "on the full drive:"; (cd "$drive" && find . | sort)
stray=$(cd "$drive" && find . -mindepth 1 | grep -v -E '^\./Profile(/AppData(/Roaming(/Corvane(/Plandrel(/.*)?)?)?)?)?$' || true)
[ -z "$stray" ] || { echo "written outside the install folder: $stray"; exit 1; }

echo "== installation with room"
mount -o remount,size=16m "$drive"
run_setup 0

echo "== upgrade without room for the new product beside the earlier one"
used_kb=$(df -k --output=used "$drive" | tail -n 1)
install_kb=$(du -sk "$install" | cut -f1)
mount -o remount,size=$((used_kb + install_kb / 2))k "$drive"
failed_upgrade

echo "== upgrade whose disk fills up while unpacking"
mount -o remount,size=16m "$drive"
inodes_used=$(df --output=iused "$drive" | tail -n 1)
mount -o remount,nr_inodes=$((inodes_used + 4)) "$drive"
failed_upgrade

echo "== upgrade with room again"
mount -o remount,nr_inodes=4096 "$drive"
run_setup 0
left=$(cd "$drive/Profile/AppData/Roaming/Corvane" && ls -A | grep -v -x Plandrel || true)
[ -z "$left" ] || { echo "left beside the install folder: $left"; exit 1; }

echo "== small files that fit by their bytes, not by their clusters"
used_kb=$(df -k --output=used "$drive" | tail -n 1)
mount -o remount,size=$((used_kb + 800))k "$drive"
installer=$small_files_setup log='C:\small-files.log' failed_upgrade
grep -q 'not enough free space' "$prefix/drive_c/small-files.log" ||
  { echo "not refused by the space check:"; cat "$prefix/drive_c/small-files.log"; exit 1; }
echo "disk full: clean failures, earlier installation intact"
