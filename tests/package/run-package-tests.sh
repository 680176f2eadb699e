#!/usr/bin/env bash
# Runs the package tests the way a Windows user meets the packages: in a Wine
# prefix made afresh for each run, with the portable zip unpacked into a folder
# whose path has a space and Chinese characters, and the sample price site
# served where the packaged program looks for it (the program has its site
# compiled in; the test does not rebuild it for a port of its own).
#
#   run-package-tests.sh WORK_DIR PRICE_HOST MSI REBUILT_MSI NEWER_MSI ZIP VERSION NEWER_VERSION TEST_EXE [ARGS...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$1 host=$2 msi=$3 rebuilt=$4 newer=$5 zip=$6 version=$7 newer_version=$8
shift 8

winpath() { local p; p=$(realpath "$1"); p=${p//\//\\}; echo "Z:$p"; }

# Unix file names in UTF-8 whatever the caller's locale, so that the folder's
# Chinese name reads the same on both sides.
export LC_ALL=C.UTF-8

# A fresh prefix: stop the server of the last run's prefix, then remove it.
prefix=$work/prefix
export FUELWISE_WINEPREFIX=$prefix
if [ -d "$prefix" ]; then
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  rm -rf "$prefix"
fi
mkdir -p "$work"

# The sample site on the port compiled into the program. Runs of this test on
# one machine take turns for the port; a sample site somebody else serves there
# (scripts/run.sh) is used as it is.
served=""
server=""
case $host in
  127.0.0.1:*|localhost:*)
    port=${host##*:}
    exec 7>"/tmp/.fuelwise-sample-site-$port.lock"
    flock 7
    answers() {
      python3 - "$port" <<'PY' 2>/dev/null
import sys, urllib.request
urllib.request.urlopen(f"http://127.0.0.1:{sys.argv[1]}/youjiamap.asp", timeout=5).read()
PY
    }
    if ! answers; then
      python3 "$root/tools/sample-site/server.py" --port "$port" --lifetime 1800 >/dev/null 2>&1 7>&- &
      server=$!
      for _ in $(seq 1 100); do answers && break; sleep 0.1; done
    fi
    answers && served=served
    ;;
esac

cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

"$root/tools/wine-run.sh" --prepare 7>&-

# The portable zip, unpacked as a user would: into a folder of their choosing.
portable="$prefix/drive_c/便携 软件"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$portable"

export FUELWISE_PACKAGE_MSI=$(winpath "$msi")
export FUELWISE_PACKAGE_REBUILT_MSI=$(winpath "$rebuilt")
export FUELWISE_PACKAGE_NEWER_MSI=$(winpath "$newer")
export FUELWISE_PACKAGE_VERSION=$version
export FUELWISE_PACKAGE_NEWER_VERSION=$newer_version
export FUELWISE_PORTABLE_DIR='C:\便携 软件\Fuelwise'
export FUELWISE_PACKAGE_SITE=$served
status=0
"$root/tools/wine-run.sh" "$@" 7>&- || status=$?
cleanup
trap - EXIT
# The prefix is kept for a look when the test failed.
[ $status -eq 0 ] && rm -rf "$prefix"
exit $status
