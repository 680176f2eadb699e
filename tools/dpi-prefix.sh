#!/usr/bin/env bash
# Makes (once) a copy of the project's Wine prefix whose display scale is DPI:
# LogPixels, which Wine reads when a process starts (96, 120, 144, 192 work).
# The copy's files are hard links to the prefix's, except the registry, which
# Wine rewrites. Prints the copy's path.
#
#   tools/dpi-prefix.sh DPI DIR
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dpi=${1:?dpi-prefix.sh needs a dpi}
copy=$(realpath -m "${2:?dpi-prefix.sh needs a directory}")

base=${FUELWISE_WINEPREFIX:-$root/build/wineprefix}
FUELWISE_WINEPREFIX="$base" "$root/tools/wine-run.sh" --prepare
mkdir -p "$(dirname "$copy")"
exec 7>"$copy.lock"
flock 7
if [ "$(cat "$copy/.fuelwise-dpi" 2>/dev/null)" != "$dpi:$(cat "$base/.fuelwise-ready")" ]; then
  rm -rf "$copy"
  cp -al "$base" "$copy"
  for reg in "$copy"/*.reg; do cp --remove-destination "$base/$(basename "$reg")" "$reg"; done
  export WINEPREFIX="$copy" WINEDEBUG=-all
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -w
  echo "$dpi:$(cat "$base/.fuelwise-ready")" > "$copy/.fuelwise-dpi"
fi
flock -u 7
echo "$copy"
