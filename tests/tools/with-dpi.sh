#!/usr/bin/env bash
# Runs a Windows program like with-sample-site.sh, in a copy of the project's Wine
# prefix whose display scale is DPI (tools/dpi-prefix.sh), kept beside the
# prefix itself, out of the trees that reports are searched in (a prefix holds
# a link to the root of the file system).
#
#   tests/tools/with-dpi.sh DPI PROGRAM.exe [ARGS...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
dpi=${1:?with-dpi.sh needs a dpi}
shift
FUELWISE_WINEPREFIX=$("$root/tools/dpi-prefix.sh" "$dpi" "$root/build/wineprefix-dpi$dpi")
export FUELWISE_WINEPREFIX
exec "$root/tests/tools/with-sample-site.sh" "$@"
