#!/usr/bin/env bash
# Runs the package tests the way a Windows user meets the packages: in a Wine
# prefix made afresh for each run, with the portable zip unpacked into a folder
# whose path has a space and Chinese characters, and the sample price site
# served on a free port, whose origin (http://127.0.0.1:PORT) the test finds in
# FUELWISE_PACKAGE_SITE.
#
#   run-package-tests.sh WORK_DIR MSI REBUILT_MSI NEWER_MSI ZIP VERSION NEWER_VERSION TEST_EXE [ARGS...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$1 msi=$2 rebuilt=$3 newer=$4 zip=$5 version=$6 newer_version=$7
shift 7

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

# The sample site on a free loopback port; the test points the program at it
# with its command line and its settings.
portfile=$work/site-port
rm -f "$portfile"
python3 "$root/tools/sample-site/server.py" --port 0 --port-file "$portfile" --lifetime 1800 >/dev/null 2>&1 &
server=$!

cleanup() {
  kill "$server" 2>/dev/null || true
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 1 100); do
  [ -s "$portfile" ] && break
  if ! kill -0 "$server" 2>/dev/null; then echo "the sample site did not start" >&2; exit 1; fi
  sleep 0.05
done
[ -s "$portfile" ] || { echo "the sample site did not start in time" >&2; exit 1; }

"$root/tools/wine-run.sh" --prepare

# The portable zip, unpacked as a user would: into a folder of their choosing.
portable="$prefix/drive_c/便携 软件"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$portable"

export FUELWISE_PACKAGE_MSI=$(winpath "$msi")
export FUELWISE_PACKAGE_REBUILT_MSI=$(winpath "$rebuilt")
export FUELWISE_PACKAGE_NEWER_MSI=$(winpath "$newer")
export FUELWISE_PACKAGE_VERSION=$version
export FUELWISE_PACKAGE_NEWER_VERSION=$newer_version
export FUELWISE_PORTABLE_DIR='C:\便携 软件\Fuelwise'
export FUELWISE_PACKAGE_SITE="http://127.0.0.1:$(cat "$portfile")"
status=0
"$root/tools/wine-run.sh" "$@" || status=$?
cleanup
trap - EXIT
# The prefix is kept for a look when the test failed.
[ $status -eq 0 ] && rm -rf "$prefix"
exit $status
