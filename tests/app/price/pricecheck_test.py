#!/usr/bin/env python3
"""End-to-end check of tools/pricecheck: serves the sample price site on a free
port, runs pricecheck.exe through the Wine runner and checks its JSON.

    pricecheck_test.py PATH/TO/pricecheck.exe
"""
import json
import os
import socket
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
RUNNER = os.path.join(ROOT, "tools", "wine-run.sh")
SERVER = os.path.join(ROOT, "tools", "sample-site", "server.py")

failures = 0


def check(condition, what):
    global failures
    if not condition:
        failures += 1
        print("FAILED:", what)


def run(exe, *args):
    proc = subprocess.run([RUNNER, exe, *args], capture_output=True, timeout=120)
    return proc.returncode, proc.stdout, proc.stderr.decode("utf-8", "replace")


def report(exe, *args):
    code, out, err = run(exe, *args)
    check(code == 0, f"exit code 0 for {args}, got {code}: {err}")
    try:
        return json.loads(out.decode("utf-8"))
    except (UnicodeDecodeError, json.JSONDecodeError) as e:
        check(False, f"UTF-8 JSON for {args}: {e}: {out[:200]!r}")
        return {}


def closed_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    exe = sys.argv[1]
    with tempfile.TemporaryDirectory() as tmp:
        portfile = os.path.join(tmp, "port")
        server = subprocess.Popen([sys.executable, SERVER, "--port", "0", "--port-file", portfile,
                                   "--lifetime", "600"], stdout=subprocess.DEVNULL)
        try:
            for _ in range(200):
                if os.path.exists(portfile) and open(portfile).read().strip():
                    break
                time.sleep(0.05)
            host = "127.0.0.1:" + open(portfile).read().strip()
            root = "http://" + host + "/"
            sp15, sp14 = " " * 15, " " * 14

            r = report(exe, "--host", host)
            check(sorted(r) == ["links", "provinces"], f"keys after the index only: {sorted(r)}")
            check([p["text"] for p in r.get("provinces", [])] == ["广东", "浙江", "江苏", "四川", "山东", "湖北"],
                  f"provinces: {r.get('provinces')}")
            check(r.get("provinces", [{}])[0].get("url") == root + "guangdong/", "province URL")
            links = r.get("links", [])
            check(len(links) == 27, f"27 site links, got {len(links)}")
            check(links[:2] == [{"text": "广东", "url": root + "guangdong/"},
                                {"text": "广州", "url": root + "guangdong/guangzhou.html"}],
                  f"links in document order: {links[:2]}")

            r = report(exe, "--host", host, "--province", "0", "--city", "0")
            check([c["text"] for c in r.get("cities", [])] == ["广州", "深圳", "珠海", "佛山"],
                  f"cities of 广东: {r.get('cities')}")
            check(r.get("rows") == [
                {"info": "89#汽油:" + sp15 + "元/升", "price": "7.17"},
                {"info": "92#汽油:" + sp15 + "元/升", "price": "7.74"},
                {"info": "95#汽油:" + sp15 + "元/升", "price": "8.38"},
                {"info": "0#柴油:" + sp15 + "元/升", "price": "7.41"}], f"rows of 广州: {r.get('rows')}")

            r = report(exe, "--host", host, "--province", "5", "--city", "2")
            check([row["price"] for row in r.get("rows", [])] == ["7.14", "7.69", "8.25", "7.38"],
                  f"prices of 襄阳: {r.get('rows')}")
            check(r.get("rows", [{}])[0].get("info") == "89#乙醇汽油:" + sp14 + "元/升",
                  "seven-character fuel name gets 14 spaces")

            r = report(exe, "--host", host, "--province", "3")
            check("rows" not in r and len(r.get("cities", [])) == 3, f"cities only: {r}")

            # A city index the list does not hold chooses nothing: the rows stay empty.
            r = report(exe, "--host", host, "--province", "0", "--city", "9")
            check(r.get("rows") == [{"info": "", "price": ""}] * 4, f"rows untouched: {r.get('rows')}")

            dead = "127.0.0.1:%d" % closed_port()
            started = time.monotonic()
            r = report(exe, "--host", dead, "--province", "0", "--city", "0")
            check(time.monotonic() - started < 30, "an unreachable site answers quickly")
            check(r == {"provinces": [], "links": [], "cities": [],
                        "rows": [{"info": "", "price": ""}] * 4}, f"unreachable site: {r}")

            for bad in ([], ["--host"], ["--host", host, "--province", "x"], ["--host", host, "--bogus", "1"]):
                code, out, _ = run(exe, *bad)
                check(code == 2 and out == b"", f"usage error for {bad}: exit {code}")
        finally:
            server.terminate()
            server.wait(timeout=10)
    print("pricecheck end to end:", "ok" if failures == 0 else f"{failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
