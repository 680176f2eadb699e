#!/usr/bin/env bash
# Runs a Windows program like with-sample-site.sh, in a copy of the project's Wine
# prefix whose display scale is DPI (LogPixels, read when a process starts: 96,
# 120, 144, 192). The copy lives beside the test's build files and is made once
# per scale; its files are hard links to the prefix's, except the registry, which
# Wine rewrites.
#
#   tests/tools/with-dpi.sh DPI PROGRAM.exe [ARGS...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
dpi=${1:?with-dpi.sh needs a dpi}
shift

base=${FUELWISE_WINEPREFIX:-$root/build/wineprefix}
"$root/tools/wine-run.sh" --prepare
copy="$PWD/wineprefix-dpi$dpi"
exec 7>"$copy.lock"
flock 7
if [ "$(cat "$copy/.fuelwise-dpi" 2>/dev/null)" != "$dpi:$(cat "$base/.fuelwise-ready")" ]; then
  rm -rf "$copy"
  cp -al "$base" "$copy"
  for reg in "$copy"/*.reg; do cp --remove-destination "$base/$(basename "$reg")" "$reg"; done
  rm -f "$copy/.fuelwise-dpi"
  export WINEPREFIX="$copy" WINEDEBUG=-all
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -w
  echo "$dpi:$(cat "$base/.fuelwise-ready")" > "$copy/.fuelwise-dpi"
fi
flock -u 7
export FUELWISE_WINEPREFIX="$copy"
exec "$root/tests/tools/with-sample-site.sh" "$@"
