#!/usr/bin/env bash
# Builds the Windows and the native presets and runs every test: the Windows
# tests under Wine (through tools/wine-run.sh), the native ones under
# AddressSanitizer and UndefinedBehaviorSanitizer. Exit code 0 only when all pass.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

scripts/install-deps.sh

jobs=$(nproc)
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"

# One display and one warm wineserver for the whole run.
tools/wine-run.sh --prepare
find build/windows build/native -name '*.gtest.xml' -delete 2>/dev/null || true

status=0
echo "== Windows tests (Wine)"
# One at a time: the GUI tests share one display, and focus and activation are
# per display, so two test processes could take the focus from each other.
ctest --preset windows -j 1 || status=1
echo "== native tests (ASan + UBSan)"
ctest --preset native -j "$jobs" || status=1

# Test cases, counted from the GoogleTest reports of both runs.
python3 - <<'PY'
import glob, xml.etree.ElementTree as ET
passed = failed = skipped = 0
for f in glob.glob('build/windows/**/*.gtest.xml', recursive=True) + glob.glob('build/native/**/*.gtest.xml', recursive=True):
    try:
        r = ET.parse(f).getroot()
    except ET.ParseError:
        continue
    t, fl, d = int(r.get('tests', 0)), int(r.get('failures', 0)) + int(r.get('errors', 0)), int(r.get('disabled', 0))
    sk = sum(1 for c in r.iter('testcase') if c.find('skipped') is not None)
    passed += t - fl - d - sk; failed += fl; skipped += sk + d
print(f"test cases: {passed} passed, {failed} failed, {skipped} skipped")
PY
exit $status
