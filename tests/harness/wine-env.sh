# Shared by the test harness scripts: the Wine environment, the template prefix, prefix clones,
# the persistent wineserver of a prefix and the virtual X display.

# The variables every Wine run of the harness uses. No Mono or Gecko prompts; shortcuts never
# turn into host .desktop files. A build tree made for 64-bit Windows says so in $root/arch
# (see scripts/test): its programs then run under wine64.
setup_wine_env() {
  local root=$1 prefix=$2 arch
  read -r arch 2>/dev/null <"$root/arch" || arch=win32
  export WINEPREFIX="$prefix" WINEARCH=$arch WINEDEBUG=-all
  if [ "$arch" = win64 ]; then use_wine64 "$root"; fi
  export WINEDLLOVERRIDES="${SETUP_EXTRA_DLLOVERRIDES:+$SETUP_EXTRA_DLLOVERRIDES;}mscoree,mshtml=;winemenubuilder.exe=d"
  mkdir -p "$root"
  # The installer's users run it with the Chinese ANSI code page (936); SETUP_TEST_LOCALE runs a
  # test on a machine of another language (C.UTF-8: code page 1252; hi_IN.UTF-8: a locale without
  # an ANSI code page, for which Wine takes UTF-8, as Windows does with "Use Unicode UTF-8").
  local locale=${SETUP_TEST_LOCALE:-zh_CN.UTF-8}
  if [ -n "${SETUP_TEST_LOCALE:-}" ]; then ensure_locale "$root" "$locale"; fi
  export LC_ALL=$locale LANG=$locale
}

# Wine creates files whose names hold characters beyond ASCII only under a locale that the C
# library has: one the system lacks is compiled once into $root/locales.
ensure_locale() {
  local root=$1 locale=$2 dir="$1/locales"
  local installed=${locale/.UTF-8/.utf8}
  if locale -a 2>/dev/null | grep -qx "$installed"; then return 0; fi
  if [ ! -d "$dir/$locale" ]; then
    local scratch
    mkdir -p "$dir"
    scratch=$(mktemp -d "$dir/.building.XXXXXX")
    localedef -i "${locale%%.*}" -f UTF-8 "$scratch/$locale" >/dev/null 2>&1 || true
    mv -T "$scratch/$locale" "$dir/$locale" 2>/dev/null || true
    rm -rf "$scratch"
  fi
  export LOCPATH="$dir"
}

# Debian's wine, wineboot and wineserver commands start the 32-bit loader whenever wine32 is
# installed. On a machine whose kernel runs no 32-bit programs that loader cannot start, so the
# commands are shadowed by ones that start wine64.
use_wine64() {
  local bin="$1/wine64-bin"
  if [ ! -x "$bin/wineboot" ]; then
    mkdir -p "$bin"
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$bin/wine"
    printf '#!/bin/sh\nexec /usr/lib/wine/wineserver64 "$@"\n' >"$bin/wineserver"
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 wineboot "$@"\n' >"$bin/wineboot"
    cp "$bin/wine" "$bin/wine-stable"
    chmod 755 "$bin"/*
  fi
  export PATH="$bin:$PATH" WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
}

# Starts a detached Xvfb on the first free display, with $root/.display.lock held; sets
# xvfb_display and xvfb_pid (both empty when none could be started).
start_xvfb() {
  xvfb_display= xvfb_pid=
  local n tries pid
  for n in $(seq 70 99); do
    [ -e "/tmp/.X$n-lock" ] && continue
    setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    pid=$!
    for tries in $(seq 100); do
      xdpyinfo -display ":$n" >/dev/null 2>&1 && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    # Only a display of this Xvfb's own: another one may have taken the number meanwhile.
    if kill -0 "$pid" 2>/dev/null && xdpyinfo -display ":$n" >/dev/null 2>&1; then
      xvfb_display=":$n" xvfb_pid=$pid
      return 0
    fi
    kill "$pid" 2>/dev/null || true
  done
}

# A detached Xvfb for the build tree, shared by every test that opens a window. Its display and
# process id are kept in $root/display, so that it is reused while it lives and stopped by
# stop_all.
ensure_display() {
  local root=$1
  [ -n "${SETUP_KEEP_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ] && return 0
  exec 8>"$root/.display.lock"
  flock 8
  local display pid
  read -r display pid 2>/dev/null <"$root/display" || true
  if [ -z "${pid:-}" ] || ! kill -0 "$pid" 2>/dev/null; then
    start_xvfb
    display=$xvfb_display pid=$xvfb_pid
    echo "$display $pid" >"$root/display"
  fi
  flock -u 8
  export DISPLAY="$display"
}

# A display of the test's own, for tests that drive the keyboard focus: on a shared display a
# window that another test shows takes the activation, and with it the focus, away. Sets DISPLAY
# and own_display_pid; the caller stops it.
start_own_display() {
  local root=$1
  exec 8>"$root/.display.lock"
  flock 8
  start_xvfb
  flock -u 8
  own_display_pid=$xvfb_pid
  export DISPLAY="$xvfb_display"
}

# The template prefix: booted once, with real folders instead of the links Wine makes to the
# host's home (a test must never write into the home folder), the Chinese fonts mapped to the
# CJK font that is installed, and no crash dialog: Windows passes a parent's "no fault dialog"
# error mode on to its children, Wine does not, and a crashed child would wait for its dialog.
# Windows are not handed to a window manager: Xvfb has none, and Wine would wait for it each
# time an active window closes.
# Bump the recipe number when this changes, so that existing build trees make a new template.
TEMPLATE_RECIPE=3

make_template() {
  local template=$1
  rm -rf "$template.tmp"
  WINEPREFIX="$template.tmp" wineboot -i </dev/null >/dev/null 2>&1
  WINEPREFIX="$template.tmp" wineserver -w
  local link
  for link in "$template.tmp"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm "$link"; mkdir "$link"; fi
  done
  # regedit reads version-5 files as UTF-16, so the Chinese face name survives any code page.
  iconv -f UTF-8 -t UTF-16 >"$template.tmp/drive_c/fonts.reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"宋体"="WenQuanYi Micro Hei"
"SimSun"="WenQuanYi Micro Hei"
"MS Shell Dlg"="WenQuanYi Micro Hei"
"MS Shell Dlg 2"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
REG
  WINEPREFIX="$template.tmp" wine regedit /S 'C:\fonts.reg' </dev/null >/dev/null 2>&1
  WINEPREFIX="$template.tmp" wineserver -w
  rm -f "$template.tmp/drive_c/fonts.reg"
  echo "$(wine --version) $WINEARCH recipe $TEMPLATE_RECIPE" >"$template.tmp/.wine-version"
  mv "$template.tmp" "$template"
}

# A prefix of its own for a test: hard links to the template's system files (read only in
# practice), real copies of everything Wine or a test writes to, and a drive D: of its own.
ensure_prefix() {
  local root=$1 prefix=$2 template="$1/template"
  exec 9>"$root/.prefix.lock"
  flock 9
  if [ ! -f "$template/.wine-version" ] || [ "$(cat "$template/.wine-version")" != "$(wine --version) $WINEARCH recipe $TEMPLATE_RECIPE" ]; then
    rm -rf "$template"
    make_template "$template"
  fi
  if [ ! -d "$prefix" ]; then
    mkdir -p "$(dirname "$prefix")"
    cp -al "$template" "$prefix.tmp"
    local writable
    for writable in system.reg user.reg userdef.reg .update-timestamp drive_c/users drive_c/ProgramData drive_c/windows/win.ini; do
      if [ -e "$template/$writable" ]; then
        rm -rf "$prefix.tmp/$writable"
        cp -a "$template/$writable" "$prefix.tmp/$writable"
      fi
    done
    # A second drive, D:, of the prefix's own, for tests of profiles that live elsewhere.
    mkdir "$prefix.tmp/drive_d"
    ln -s ../drive_d "$prefix.tmp/dosdevices/d:"
    mv "$prefix.tmp" "$prefix"
  fi
  flock -u 9
}

# The display DPI of a prefix (96 is 100 %), as the display settings set it: LogPixels for the
# user and for the current configuration. The prefix's wineserver is stopped, so that the next
# program starts with it.
set_prefix_dpi() {
  local prefix=$1 dpi=$2 key
  for key in 'HKCU\Control Panel\Desktop' 'HKCC\Software\Fonts'; do
    WINEPREFIX="$prefix" wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1
  done
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
}

# A persistent wineserver with the prefix's services already running, detached from the
# caller's output, so that a test's own process starts in a tenth of a second and CTest does
# not wait on pipes held by Wine's background processes.
ensure_server() {
  local prefix=$1
  if (WINEPREFIX="$prefix" wineserver -p 120) </dev/null >/dev/null 2>&1; then
    (WINEPREFIX="$prefix" wine wineboot) </dev/null >/dev/null 2>&1 || true
  fi
}

# Stops the wineservers of every prefix below root and the harness's X display.
stop_all() {
  local root=$1 prefix
  for prefix in "$root"/template "$root"/prefixes/*; do
    [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  done
  local display pid
  if read -r display pid 2>/dev/null <"$root/display" && [ -n "${pid:-}" ]; then
    kill "$pid" 2>/dev/null || true
  fi
  rm -f "$root/display"
}
