#!/usr/bin/env bash
# Runs a Windows program under the project's own Wine prefix.
#
# Used as CMAKE_CROSSCOMPILING_EMULATOR (so ctest runs every test exe through it)
# and by scripts/run.sh. The prefix is prepared once, with the font substitutes
# that make Chinese text and digits render; a wineserver is kept alive between
# processes so that each start costs well under a second; Xvfb stands in for a
# display when there is none.
#
#   tools/wine-run.sh PROGRAM.exe [ARGS...]
#   tools/wine-run.sh --prepare        prepare the prefix (and the display) only
#
# FUELWISE_WINDOWS_VERSION (a name winecfg knows: win7, win81, win10...) makes
# Wine tell PROGRAM.exe, and only programs of that file name, that version.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)

export WINEPREFIX=${FUELWISE_WINEPREFIX:-$root/build/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# winemenubuilder off: Wine would copy the Start-menu shortcuts a program makes
# (an installer under test) into this machine's own desktop menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$(dirname "$WINEPREFIX")"


prepare_prefix() {
  # Another runner may be preparing it right now: take turns.
  exec 9>"$WINEPREFIX.lock"
  flock 9
  # Bump when the settings below change, so that existing prefixes are set up anew.
  local version=3
  if [ "$(cat "$WINEPREFIX/.fuelwise-ready" 2>/dev/null)" != "$version" ]; then
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot --init >/dev/null 2>&1 || true
      wineserver -w
    fi
    # Font substitutes. The .reg file is UTF-16 so that the Chinese face name survives.
    # The song face gets the monospaced variant: like it, it gives Latin letters and
    # blanks half the width of a Chinese character, which layouts that pad with
    # blanks (the price rows) rely on.
    local reg="$WINEPREFIX/fuelwise-fonts.reg"
    printf '%s\r\n' \
      'Windows Registry Editor Version 5.00' '' \
      '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
      '"宋体"="WenQuanYi Micro Hei Mono"' \
      '"SimSun"="WenQuanYi Micro Hei Mono"' \
      '"NSimSun"="WenQuanYi Micro Hei Mono"' \
      '"Verdana"="DejaVu Sans"' \
      '"Tahoma"="Liberation Sans"' \
      '"MS Shell Dlg"="Liberation Sans"' \
      '"MS Shell Dlg 2"="Liberation Sans"' \
      '' \
      '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
      '"宋体"="WenQuanYi Micro Hei Mono"' \
      '"SimSun"="WenQuanYi Micro Hei Mono"' \
      '' \
      '; Xvfb runs no window manager: unmanaged windows close at once instead of' \
      '; waiting about 2 s for a manager that never answers.' \
      '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' \
      '"Managed"="N"' \
      '' | iconv -f UTF-8 -t UTF-16 > "$reg"
    wine regedit /S "$reg" >/dev/null 2>&1
    wineserver -w
    echo "$version" > "$WINEPREFIX/.fuelwise-ready"
  fi
  flock -u 9
}

ensure_display() {
  if [ -n "${DISPLAY:-}" ]; then return; fi
  local n=${FUELWISE_XVFB_DISPLAY:-77}
  exec 8>"/tmp/.fuelwise-xvfb-$n.lock"
  flock 8
  if ! xdpyinfo -display ":$n" >/dev/null 2>&1; then
    rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"
    setsid nohup Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -dpi 96 >/dev/null 2>&1 < /dev/null &
    for _ in $(seq 1 100); do
      xdpyinfo -display ":$n" >/dev/null 2>&1 && break
      sleep 0.1
    done
  fi
  flock -u 8
  export DISPLAY=":$n"
}

prepare_prefix
ensure_display
# Keep the server alive a while after the last process, so the next test starts fast.
wineserver -p60 >/dev/null 2>&1 </dev/null || true
# The first Wine process of a server starts Wine's own background services, which
# inherit its standard handles; start them here, away from the caller's pipes,
# or ctest would wait for them to exit.
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

if [ "${1:-}" = "--prepare" ]; then exit 0; fi
if [ -n "${FUELWISE_WINDOWS_VERSION:-}" ]; then
  # Wine's per-program settings: the rest of the prefix keeps its own version.
  wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$(basename "$1")" /v Version \
    /d "$FUELWISE_WINDOWS_VERSION" /f >/dev/null 2>&1
fi
exec wine "$@"
