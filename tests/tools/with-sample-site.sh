#!/usr/bin/env bash
# Runs a Windows program (a test exe, a tool) under Wine with the sample price site
# served on a free loopback port; the program finds the site's host:port in
# FUELWISE_TEST_SITE. The site stops when the program ends.
#
#   tests/tools/with-sample-site.sh PROGRAM.exe [ARGS...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

portfile=$(mktemp)
python3 "$root/tools/sample-site/server.py" --port 0 --port-file "$portfile" --lifetime 1800 >/dev/null &
server=$!
trap 'kill $server 2>/dev/null || true; rm -f "$portfile"' EXIT
for _ in $(seq 1 100); do
  [ -s "$portfile" ] && break
  if ! kill -0 "$server" 2>/dev/null; then echo "the sample site did not start" >&2; exit 1; fi
  sleep 0.05
done
[ -s "$portfile" ] || { echo "the sample site did not start in time" >&2; exit 1; }
export FUELWISE_TEST_SITE="127.0.0.1:$(cat "$portfile")"
status=0
"$root/tools/wine-run.sh" "$@" || status=$?
exit $status
