#!/usr/bin/env bash
# Builds the benchmarks, runs them natively and under Wine, and prints the
# tables: each figure beside its reference, with the ratio.
#
#   scripts/bench.sh            every table
#   scripts/bench.sh FILTER     only the cases whose name contains FILTER
#
# Figures are medians of repeated runs taken in one run of this script, so the
# machine's noise falls on both sides of each ratio alike.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
filter=${1:-}

scripts/install-deps.sh
dpkg-query -W -f='${Status}' libgumbo-dev 2>/dev/null | grep -q "install ok installed" || {
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo) || sudo_cmd=()
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends libgumbo-dev >/dev/null
}

cmake --preset bench-native >/dev/null
cmake --build --preset bench-native --target fuelwise_bench_native >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target fuelwise_bench bench_bare_window bench_fuelwise_startup \
  bench_child_windows window_bench_runner >/dev/null

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
build/bench-native/bench/fuelwise_bench_native "$filter" > "$out/native.txt"
tools/wine-run.sh build/windows/bench/fuelwise_bench.exe "$filter" > "$out/wine.txt"

# The program against a bare window, with the sample site on a free loopback
# port, and again with a second copy of the site that answers every request
# FUELWISE_BENCH_DELAY_MS (150) after it came in, as a distant site does.
if [ -z "$filter" ] || [[ "Window" == *"$filter"* ]]; then
  delay=${FUELWISE_BENCH_DELAY_MS:-150}
  python3 tools/sample-site/server.py --port 0 --port-file "$out/port" --lifetime 900 >/dev/null 2>&1 &
  site=$!
  python3 tools/sample-site/server.py --port 0 --port-file "$out/far-port" --lifetime 900 \
    --delay "$delay" >/dev/null 2>&1 &
  far=$!
  trap 'kill $site $far 2>/dev/null; rm -rf "$out"' EXIT
  for _ in $(seq 1 100); do [ -s "$out/port" ] && [ -s "$out/far-port" ] && break; sleep 0.1; done
  (cd build/windows/bench/window &&
   "$root/tools/wine-run.sh" window_bench_runner.exe bench_bare_window.exe bench_fuelwise_startup.exe \
     "127.0.0.1:$(cat "$out/port")" "${FUELWISE_BENCH_RUNS:-9}" \
     "127.0.0.1:$(cat "$out/far-port")" "$delay") | grep -v '^= '
fi

python3 - "$out/native.txt" "$out/wine.txt" <<'PY'
import sys

def read(path):
    cases = {}
    for line in open(path, encoding="utf-8", errors="replace"):
        if line.startswith("= "):
            name, median, size = line[2:].split()
            cases[name] = (float(median), int(size))
    return cases

native, wine = read(sys.argv[1]), read(sys.argv[2])

def read_figures(path):
    figures = {}
    for line in open(path, encoding="utf-8", errors="replace"):
        if line.startswith("@ "):
            name, *values = line[2:].split()
            figures[name] = [int(v) for v in values]
    return figures

native_figures = read_figures(sys.argv[1])

def mbs(case):
    median, size = case
    return size / median if median > 0 and size else 0.0

def table(title, rows, reference):
    if not any(case for _, case in rows):
        return
    print(f"\n{title}")
    print(f"  {'':34} {'median':>12} {'MB/s':>9} {'x ' + reference[0]:>16}")
    ref = reference[1]
    for label, case in rows:
        if not case:
            continue
        ratio = f"{ref[0] / case[0]:.2f}" if ref and case[0] > 0 else "-"
        print(f"  {label:34} {case[0]:>9.0f} us {mbs(case):>9.1f} {ratio:>16}")

other = native.get("OtherParser_Parse_200KB")
table("Index loader, 200 KB index page (tokens, element list, links): speed against the other parser",
      [("other HTML5 parser, native", other),
       ("index loader, native", native.get("IndexLoader_Parse_200KB")),
       ("index loader, under Wine", wine.get("IndexLoader_Parse_200KB"))],
      ("other parser", other))

paired = native_figures.get("IndexLoader_OtherParser_PairedRatio_x1000")
if paired:
    print(f"  run after run ({paired[1]} pairs, native): the other parser takes {paired[0] / 1000:.2f} x"
          " the index loader's time (median of the pairs' ratios)")

table("Tree construction alone, 200 KB index page",
      [("other HTML5 parser, native", other),
       ("tree, native", native.get("Html_BuildTree_200KB"))],
      ("other parser", other))
memory = native_figures.get("IndexTree_MemoryBytes")
if memory:
    print(f"  tree in memory: {memory[0] / 1024:.0f} KB for a {memory[1] / 1024:.0f} KB page"
          f" ({memory[0] / memory[1]:.2f} x the page)")

patho = [(label, n, native.get(f"Pathological_{name}_{n}"))
         for label, name, sizes in (("nested formatting elements", "NestedFormatting", (5000, 10000)),
                                    ("unclosed a elements", "UnclosedLinks", (50000, 100000)))
         for n in sizes]
if any(case for _, _, case in patho):
    print("\nPathological markup through the index loader, native: the time per element should not grow with n")
    print(f"  {'':34} {'median':>12} {'per element':>14}")
    for label, n, case in patho:
        if case:
            print(f"  {f'{n:,} {label}':34} {case[0] / 1000:>9.1f} ms {case[0] * 1000 / n:>11.0f} ns")

hooks = [(n, wine.get(f"HookWindows_{n}")) for n in (100, 300, 1000)]
if any(case for _, case in hooks):
    print("\nHooking n windows (a guarded and a plain hook each, then released), under Wine:"
          " the cost per window should not grow with n")
    print(f"  {'':34} {'median':>12} {'per window':>14}")
    for n, case in hooks:
        if case:
            print(f"  {str(n) + ' windows':34} {case[0] / 1000:>9.1f} ms {case[0] / n:>11.1f} us")
PY
