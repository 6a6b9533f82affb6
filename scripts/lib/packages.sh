# The package step of scripts/bootstrap: installs what is missing of a list of Debian packages,
# and survives a mirror whose security-suite index is stale. Sourced; needs log() and as_root().
#
# A stale index makes `apt-get update` fail, and then the install fails too ("held broken
# packages"): amd64 candidates come from the security suite, i386 ones only from main, and
# Multi-Arch: same libraries must have one version on both architectures. So a failed update is
# only a warning, and a failed install is tried once more from a temporary copy of the sources
# without the security suite (the system's own files are never edited), with --no-remove so
# that nothing installed is taken away.

# Where apt's sources live; tests point it at a folder of their own.
apt_etc=${SETUP_APT_ETC:-/etc/apt}

apt_update() {
  as_root apt-get update -q || log "warning: apt-get update failed; going on with the package indexes that did download"
}

# Copies the sources of $apt_etc into $1 without their security-suite entries: one-line .list
# entries and deb822 .sources stanzas whose suite ends in -security.
sources_without_security() {
  local dir=$1 file
  for file in "$apt_etc/sources.list" "$apt_etc"/sources.list.d/*.list; do
    if [ -f "$file" ]; then
      grep -v -E '^[[:space:]]*deb(-src)?[[:space:]].*-security([[:space:]]|$)' "$file" >"$dir/$(basename "$file")" || true
    fi
  done
  for file in "$apt_etc"/sources.list.d/*.sources; do
    if [ -f "$file" ]; then
      awk 'BEGIN { RS = ""; ORS = "\n\n" } !/(^|\n)Suites:[^\n]*-security/' "$file" >"$dir/$(basename "$file")"
    fi
  done
}

apt_install() {
  if DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends "$@"; then
    return 0
  fi
  log "warning: the install failed; trying once more without the security suite"
  local parts status
  parts=$(mktemp -d)
  sources_without_security "$parts"
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends --no-remove \
    -o Dir::Etc::sourcelist=/dev/null -o Dir::Etc::sourceparts="$parts" "$@" && status=0 || status=$?
  rm -rf "$parts"
  if [ "$status" -ne 0 ]; then
    log "error: apt-get could not install $*, with or without the security suite; run 'apt-get update' to see which mirror index fails, then run scripts/bootstrap again"
    return 1
  fi
  log "installed from the main and updates suites without the security suite"
}

# install_packages <package>...: installs those not yet installed. Installed packages cost no
# network call, so a second run stays fast.
install_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "enabling the i386 architecture"
    as_root dpkg --add-architecture i386
  fi
  log "installing ${missing[*]}"
  apt_update
  apt_install "${missing[@]}"
}
