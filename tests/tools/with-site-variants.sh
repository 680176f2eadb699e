#!/usr/bin/env bash
# Runs a Windows program like with-sample-site.sh, with more copies of the
# sample site beside the plain one, each on a free loopback port:
#
#   FUELWISE_TEST_TLS_SITE          localhost:PORT  the site over HTTPS, with a certificate
#                                                   for DNS:localhost from a CA made for
#                                                   this run (make-test-ca.sh)
#   FUELWISE_TEST_REDIRECT_SITE     127.0.0.1:PORT  plain http, answering every request with a
#                                                   301 to the same path on the HTTPS site
#   FUELWISE_TEST_UTF8_HEADER_SITE  127.0.0.1:PORT  pages in UTF-8, said only by Content-Type
#   FUELWISE_TEST_UTF8_META_SITE    127.0.0.1:PORT  pages in UTF-8, said only by <meta charset>
#   FUELWISE_TEST_FAULT_SITE        127.0.0.1:PORT  the index answered with status 500 and a
#                                                   page that lists no province
#   FUELWISE_TEST_REPAIRED_SITE     127.0.0.1:PORT  the index written with markup a browser
#                                                   repairs (repaired/youjiamap.asp)
#   FUELWISE_TEST_CA_TRUSTED        1 with --trust-ca, else 0
#
# The HTTPS site is reached as localhost (WinHTTP matches the certificate
# against DNS names only); the others as 127.0.0.1 (a proxy is skipped for
# that address, not for the name).
#
# With --trust-ca TOOL.exe (tests/tools/trust_test_ca.cpp) the program runs in
# a copy of the project's Wine prefix made for this run, whose current user
# trusts the CA; the copy is removed afterwards. Without it the program runs in
# the project's prefix, where the CA is trusted by nobody.
#
#   tests/tools/with-site-variants.sh [--trust-ca TOOL.exe] PROGRAM.exe [ARGS...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

trust_tool=
if [ "${1:-}" = "--trust-ca" ]; then
  trust_tool=${2:?--trust-ca needs the trust tool}
  shift 2
fi

work=$(mktemp -d)
servers=()
copy=
cleanup() {
  for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [ -n "$copy" ]; then
    # The copy's own wineserver (and with it the copy's processes), then the copy.
    WINEPREFIX="$copy" wineserver -k >/dev/null 2>&1 || true
    rm -rf "$copy" "$copy.lock"
  fi
  rm -rf "$work"
}
trap cleanup EXIT

"$root/tests/tools/make-test-ca.sh" "$work/ca"

# start_site NAME [SERVER ARGS...]: starts one server; its port lands in $work/NAME.
start_site() {
  local name=$1
  shift
  python3 "$root/tools/sample-site/server.py" --port 0 --port-file "$work/$name" \
    --lifetime 1800 "$@" >/dev/null &
  servers+=($!)
  local pid=$!
  for _ in $(seq 1 100); do
    [ -s "$work/$name" ] && return 0
    if ! kill -0 "$pid" 2>/dev/null; then echo "the $name site did not start" >&2; exit 1; fi
    sleep 0.05
  done
  echo "the $name site did not start in time" >&2
  exit 1
}

start_site tls --tls-cert "$work/ca/server.pem" --tls-key "$work/ca/server-key.pem"
export FUELWISE_TEST_TLS_SITE="localhost:$(cat "$work/tls")"
start_site redirect --redirect-to "https://$FUELWISE_TEST_TLS_SITE"
export FUELWISE_TEST_REDIRECT_SITE="127.0.0.1:$(cat "$work/redirect")"
start_site utf8-header --charset utf8-header
export FUELWISE_TEST_UTF8_HEADER_SITE="127.0.0.1:$(cat "$work/utf8-header")"
start_site utf8-meta --charset utf8-meta
export FUELWISE_TEST_UTF8_META_SITE="127.0.0.1:$(cat "$work/utf8-meta")"
start_site fault --fault /youjiamap.asp=500
export FUELWISE_TEST_FAULT_SITE="127.0.0.1:$(cat "$work/fault")"
start_site repaired --index repaired/youjiamap.asp
export FUELWISE_TEST_REPAIRED_SITE="127.0.0.1:$(cat "$work/repaired")"

export FUELWISE_TEST_CA_TRUSTED=0
if [ -n "$trust_tool" ]; then
  # A copy of the project's prefix (hard links, the registry copied, as
  # tools/dpi-prefix.sh makes them), beside it and out of the source tree.
  base=${FUELWISE_WINEPREFIX:-$root/build/wineprefix}
  FUELWISE_WINEPREFIX="$base" "$root/tools/wine-run.sh" --prepare
  copy=$(mktemp -d "$(dirname "$base")/wineprefix-ca.XXXXXX")
  cp -al "$base/." "$copy/"
  for reg in "$copy"/*.reg; do cp --remove-destination "$base/$(basename "$reg")" "$reg"; done
  export FUELWISE_WINEPREFIX="$copy"
  # Wine's drive Z: is the root of this file system.
  der="Z:$(printf '%s' "$work/ca/ca.der" | tr / '\\')"
  "$root/tools/wine-run.sh" "$trust_tool" "$der" || { echo "could not trust the test CA" >&2; exit 1; }
  export FUELWISE_TEST_CA_TRUSTED=1
fi

status=0
"$root/tests/tools/with-sample-site.sh" "$@" || status=$?
exit $status
