#!/usr/bin/env bash
# Builds Fuelwise, serves the sample price site on loopback and runs the program
# under Wine.
#
#   scripts/run.sh                      opens the window (under Xvfb when there is no display)
#   scripts/run.sh --screenshot FILE    runs under Xvfb, waits for the window, saves a PNG
#                                       of the program's window (frame included) and exits
#   scripts/run.sh --dpi N ...          runs at a display scale of N dpi (96, 120, 144, 192)
#                                       in a copy of the Wine prefix with that LogPixels
#   scripts/run.sh ... -- ARGS...       hands ARGS to the program (--price-site URL, --city 省/市, /?)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

shot=""
dpi=""
while [ $# -gt 0 ]; do
  case "$1" in
    --screenshot) shot=$(realpath -m "${2:?--screenshot needs a file name}"); shift 2 ;;
    --dpi) dpi=${2:?--dpi needs a number}; shift 2 ;;
    -h|--help) sed -n '2,11p' "$0"; exit 0 ;;
    --) shift; break ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

cd "$root"
scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Fuelwise

port=$(sed -n 's/^FUELWISE_SAMPLE_SITE_PORT:STRING=//p' build/windows/CMakeCache.txt)
port=${port:-18731}
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
  python3 tools/sample-site/server.py --port "$port" --lifetime 86400 >/dev/null &
  pids+=($!)
  for _ in $(seq 1 50); do (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break; sleep 0.1; done
fi

exe=build/windows/app/Fuelwise.exe
if [ -n "$dpi" ]; then
  FUELWISE_WINEPREFIX=$(tools/dpi-prefix.sh "$dpi" "build/wineprefix-dpi$dpi")
  export FUELWISE_WINEPREFIX
fi
if [ -z "$shot" ]; then
  tools/wine-run.sh "$exe" "$@"
  exit 0
fi

# A screen of our own, so the picture holds the program alone.
export FUELWISE_XVFB_DISPLAY=${FUELWISE_XVFB_DISPLAY:-79}
unset DISPLAY
tools/wine-run.sh --prepare
export DISPLAY=":$FUELWISE_XVFB_DISPLAY"
tools/wine-run.sh "$exe" "$@" &
pids+=($!)
win=""
for _ in $(seq 1 300); do
  win=$(xdotool search --onlyvisible --name '^Fuelwise' 2>/dev/null | head -n1 || true)
  [ -n "$win" ] && break
  sleep 0.1
done
if [ -z "$win" ]; then echo "the window did not show within 30 s" >&2; exit 1; fi
sleep 1.5  # let the first paint and the page loads settle
mkdir -p "$(dirname "$shot")"
# The window as a user would crop it: its whole outer rectangle, frame included,
# cut out of the screen (so whatever lies over it, a tooltip or an open list,
# is in the picture too).
eval "$(xdotool getwindowgeometry --shell "$win")"
import -display "$DISPLAY" -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "png:$shot"
echo "screenshot: $shot"
WINEPREFIX=${FUELWISE_WINEPREFIX:-$root/build/wineprefix} wine taskkill /im Fuelwise.exe /f >/dev/null 2>&1 || true
