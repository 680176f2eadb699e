#!/usr/bin/env python3
# -*- coding: utf-8 -*-
"""Checks the sample site as the program will see it.

Starts server.py on a free port, reads the pages over HTTP and applies the
program's own reading rules: site links with target _blank, provinces ending
in "/", the joined insides of the price tables, city name plus fuel name up
to "<", and the price between the last ">" and the unit.

Exit code 0 only when every check passes.
"""

import filecmp
import http.client
import os
import re
import shutil
import socket
import ssl
import struct
import subprocess
import sys
import tempfile
import time
import traceback
import urllib.error
import urllib.request
from html.parser import HTMLParser

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import generate  # noqa: E402

SERVER = os.path.join(HERE, "server.py")
TABLE_START = '<table width="300"'
TABLE_END = "</table>"
UNIT = "元/升"


# --------------------------------------------------------------------------
# The program's reading rules, in Python.

def find_str_multi(s, first, end, sep):
    result, pos = "", 0
    while True:
        b = s.find(first, pos)
        if b < 0:
            return result
        c = b + len(first)
        e = s.find(end, c)
        if e < 0:
            return result
        piece = s[c:e]
        result = result + sep + piece if result else piece
        pos = e


def read_rows(page, city):
    """The four (fuel, price) rows as the program finds them; None for a row it cannot read."""
    table = find_str_multi(page, TABLE_START, TABLE_END, "")
    rows, start = [], 0
    for _ in range(4):
        at = table.find(city, start)
        if at < 0:
            rows.append(None)
            continue
        p = at + len(city)
        lt = table.find("<", p)
        unit = table.find(UNIT, lt) if lt >= 0 else -1
        if lt < 0 or unit < 0:
            rows.append(None)
            continue
        gt = table.rfind(">", 0, unit) + 1
        rows.append((table[p:lt], table[gt:unit]))
        start = gt
    return rows


class LinkParser(HTMLParser):
    """Collects <a> elements as a document model would: href, target, inner text."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links, self._open = [], []

    def handle_starttag(self, tag, attrs):
        if tag == "a":
            a = dict(attrs)
            self._open.append({"href": a.get("href") or "", "target": a.get("target") or "", "text": ""})

    def handle_endtag(self, tag):
        if tag == "a" and self._open:
            self.links.append(self._open.pop())

    def handle_data(self, data):
        for link in self._open:
            link["text"] += data


def site_links(html, root):
    p = LinkParser()
    p.feed(html)
    p.close()
    return [l for l in p.links if root in l["href"] and l["target"] == "_blank"]


# --------------------------------------------------------------------------

class Server:
    def __init__(self, *extra, lifetime=120, tls=None):
        """tls: an ssl.SSLContext for a server started with --tls-cert; it is
        then reached as localhost, the name its certificate holds."""
        self.tls = tls
        self.proc = subprocess.Popen(
            [sys.executable, SERVER, "--port", "0", "--lifetime", str(lifetime)] + list(extra),
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        line = self.proc.stdout.readline().strip()
        scheme = "https" if tls else "http"
        prefix = "serving %s://127.0.0.1:" % scheme
        if not line.startswith(prefix) or not line.endswith("/"):
            self.stop()
            raise RuntimeError("unexpected first line %r; stderr: %s" % (line, self.proc.stderr.read()))
        self.port = int(line[len(prefix):-1])
        self.host = "localhost" if tls else "127.0.0.1"
        self.base = "%s://%s:%d" % (scheme, self.host, self.port)
        self.root = self.base + "/"

    def get(self, path, headers=None, method="GET", timeout=10):
        """(status, headers, body) for any status; raises on connection errors."""
        if self.tls:
            conn = http.client.HTTPSConnection(self.host, self.port, timeout=timeout, context=self.tls)
        else:
            conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=timeout)
        try:
            conn.request(method, path, headers=headers or {})
            r = conn.getresponse()
            return r.status, r.headers, r.read()
        finally:
            conn.close()

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        for f in (self.proc.stdout, self.proc.stderr):
            if f:
                f.close()


class Results:
    def __init__(self):
        self.passed = self.failed = 0

    def run(self, name, fn, *args):
        try:
            fn(*args)
        except Exception as e:  # a check that raises has failed
            self.failed += 1
            print("FAIL %s: %s" % (name, e))
            if not isinstance(e, AssertionError):
                traceback.print_exc()
        else:
            self.passed += 1
            print("ok   %s" % name)


def check(cond, msg):
    if not cond:
        raise AssertionError(msg)


# --------------------------------------------------------------------------
# Checks

def t_output_is_current(_srv):
    with tempfile.TemporaryDirectory() as tmp:
        names = generate.generate(tmp)
        for rel in names:
            a = os.path.join(tmp, *rel.split("/"))
            b = os.path.join(generate.DEFAULT_OUT, *rel.split("/"))
            check(os.path.isfile(b) and filecmp.cmp(a, b, shallow=False),
                  "www/%s differs from a fresh run of generate.py" % rel)


def t_index(srv):
    status, headers, body = srv.get("/youjiamap.asp")
    check(status == 200, "status %d" % status)
    check(headers.get("Content-Type") == "text/html", "content type %r" % headers.get("Content-Type"))
    check(b'charset=gb2312"' in body[:1024], "no gb2312 meta tag in the first 1024 bytes")
    check(b"__HOST__" not in body, "placeholder left in the page")
    html = body.decode("gbk")  # strict
    links = site_links(html, srv.root)
    provinces = [l for l in links if l["href"].endswith("/")]
    want = [(name, srv.root + slug + "/") for slug, name, _ in generate.PROVINCES]
    check([(l["text"], l["href"]) for l in provinces] == want,
          "provinces %r" % [(l["text"], l["href"]) for l in provinces])
    n_cities = sum(len(c) for _, _, c in generate.PROVINCES)
    check(len(links) == len(want) + n_cities,
          "%d site links with target _blank, want %d" % (len(links), len(want) + n_cities))
    for noise in ("海南", "西藏", "首页", "深圳油价", "能源资讯"):
        check(all(l["text"] != noise for l in links), "noise link %s counted" % noise)
    # The noise is really there, so the rule above is what kept it out.
    for needle in ("海南", "西藏", "深圳油价", "能源资讯", "&amp;", "<A HREF=", "'_blank'", "<b>"):
        check(needle in html, "noise %r missing from the page" % needle)


def t_city_fill(srv):
    """Choosing each province gives exactly its cities, in order, with the program's rule."""
    html = srv.get("/youjiamap.asp")[2].decode("gbk")
    links = site_links(html, srv.root)
    for pslug, _pname, clist in generate.PROVINCES:
        prov = srv.root + pslug + "/"
        got = [(l["text"], l["href"]) for l in links if prov in l["href"] and l["href"] != prov]
        want = [(cname, srv.root + pslug + "/" + cslug + ".html") for cslug, cname, _, _ in clist]
        check(got == want, "%s: %r" % (pslug, got))
        check(len(want) >= 3, "%s has fewer than 3 cities" % pslug)


def t_city_pages(srv):
    two_tables = 0
    seven = False
    for pslug, _pname, cslug, cname, rows, two in generate.cities():
        status, headers, body = srv.get("/%s/%s.html" % (pslug, cslug))
        check(status == 200, "%s: status %d" % (cslug, status))
        check(b"charset=gb2312" in body[:1024], "%s: no meta charset" % cslug)
        page = body.decode("gbk")
        tname = generate.TABLE_CITY.get(cslug, cname)
        got = read_rows(page, tname)
        want = list(rows) + [None] * (4 - len(rows))
        check(got == want, "%s: rows %r" % (cslug, got))
        if tname != cname:
            check(read_rows(page, cname) == [None] * 4, "%s: the link text is in the table" % cslug)
        check(page.count(TABLE_START) == (2 if two else 1), "%s: table count" % cslug)
        check('<table width="600"' in page and "2024年" in page, "%s: decoration missing" % cslug)
        table = find_str_multi(page, TABLE_START, TABLE_END, "")
        check(table.count(tname) == len(rows), "%s: city name %d times in the tables" % (cslug, table.count(tname)))
        for _fuel, price in rows:
            check(6.5 <= float(price) <= 8.9 and len(price.split(".")[1]) == 2, "%s: price %s" % (cslug, price))
        two_tables += two
        seven = seven or any(len(f) == 7 for f, _ in rows)
    check(two_tables >= 2, "fewer than two cities with two tables")
    check(seven, "no seven-character fuel name")
    prices = [tuple(p for _, p in r) for *_, r, _t in generate.cities()]
    check(len(set(prices)) == len(prices), "two cities share the same prices")


def t_province_pages(srv):
    for pslug, pname, clist in generate.PROVINCES:
        status, _h, body = srv.get("/%s/" % pslug)
        page = body.decode("gbk")
        check(status == 200 and pname in page, "/%s/: status %d" % (pslug, status))
        for cslug, _c, _r, _t in clist:
            check(srv.root + pslug + "/" + cslug + ".html" in page, "/%s/ lacks %s" % (pslug, cslug))
    status, headers, _b = srv.get("/guangdong")
    check(status == 301 and headers.get("Location", "").endswith("/guangdong/"), "no redirect to the folder")


def t_host_header(srv):
    _s, _h, body = srv.get("/youjiamap.asp", headers={"Host": "localhost:%d" % srv.port})
    check(b"http://localhost:%d/guangdong/" % srv.port in body, "Host header not used")
    _s, _h, body = srv.get("/youjiamap.asp", headers={"Host": 'evil"><script>'})
    check(b"<script>" not in body.split(b"</script>", 1)[1] and srv.root.encode() in body,
          "unsafe Host header echoed")


def t_not_found(srv):
    for path in ("/nothing.asp", "/guangdong/nowhere.html", "/../server.py", "/%2e%2e/server.py"):
        status, headers, body = srv.get(path)
        check(status == 404, "%s: status %d" % (path, status))
        check(headers.get("Content-Type") == "text/html", "%s: type" % path)
        check("页面不存在" in body.decode("gbk"), "%s: body" % path)


def t_chart(srv):
    status, headers, body = srv.get("/" + generate.CHART_PATH)
    check(status == 200 and headers.get("Content-Type") == "image/gif", "status %d" % status)
    check(body[:6] == b"GIF89a", "not a GIF89a")
    w, h = struct.unpack("<HH", body[6:10])
    check((w, h) == (188, 166), "size %dx%d" % (w, h))
    px, palette = decode_gif(body)
    check(len(px) == w * h, "decoded %d pixels" % len(px))
    check(bytes(px) == bytes(generate.draw_chart().px), "decoded pixels differ from the drawing")
    colours = {palette[i] for i in px}
    check(len(colours) >= 6, "only %d colours: blank-looking" % len(colours))
    check(px.count(0) < 0.8 * len(px), "mostly background")


def decode_gif(data):
    """Just enough of a GIF decoder for one frame with a global colour table."""
    flags = data[10]
    size = 2 << (flags & 7)
    palette = [tuple(data[13 + 3 * i:16 + 3 * i]) for i in range(size)]
    pos = 13 + 3 * size
    check(data[pos] == 0x2C, "no image descriptor")
    pos += 10
    min_code = data[pos]
    pos += 1
    stream = bytearray()
    while data[pos]:
        stream += data[pos + 1:pos + 1 + data[pos]]
        pos += 1 + data[pos]
    check(data[pos + 1] == 0x3B, "no trailer")
    clear, eoi = 1 << min_code, (1 << min_code) + 1
    out, bitpos, prev = [], 0, None
    code_size = min_code + 1
    table = [[i] for i in range(clear)] + [[], []]
    total = len(stream) * 8
    while bitpos + code_size <= total:
        v = int.from_bytes(stream[bitpos // 8:bitpos // 8 + 3].ljust(3, b"\0"), "little")
        code = (v >> (bitpos % 8)) & ((1 << code_size) - 1)
        bitpos += code_size
        if code == clear:
            table, code_size, prev = table[:eoi + 1], min_code + 1, None
            continue
        if code == eoi:
            break
        if prev is None:
            entry = table[code]
        elif code < len(table):
            entry = table[code]
            table.append(prev + entry[:1])
        else:
            entry = prev + prev[:1]
            table.append(entry)
        out += entry
        prev = entry
        if len(table) == (1 << code_size) and code_size < 12:
            code_size += 1
    return out, palette


def t_fault_status_pages(srv):
    for path, status_want in (("/faults/404.asp", 404), ("/faults/500.asp", 500)):
        status, headers, body = srv.get(path)
        check(status == status_want, "%s: status %d" % (path, status))
        check(headers.get("Content-Type") == "text/html", "%s: type" % path)
        rows = read_rows(body.decode("gbk"), generate.FAULT_CITY)
        check(rows == generate.FAULT_ROWS[str(status_want)], "%s: rows %r" % (path, rows))


def t_fault_picture_with_error_status(srv):
    status, headers, body = srv.get("/faults/404.gif")
    with open(os.path.join(HERE, "www", generate.CHART_PATH), "rb") as f:
        check(status == 404 and headers.get("Content-Type") == "image/gif" and body == f.read(),
              "status %d" % status)


def t_fault_empty(srv):
    status, headers, body = srv.get("/faults/empty.asp")
    check(status == 200 and body == b"" and headers.get("Content-Length") == "0",
          "status %d, %d bytes" % (status, len(body)))


def t_fault_reset(srv):
    # A raw socket tells a reset (ECONNRESET) from an orderly close (b"").
    with socket.create_connection(("127.0.0.1", srv.port), timeout=5) as s:
        s.sendall(b"GET /faults/reset.asp HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")
        try:
            data = s.recv(4096)
        except ConnectionResetError:
            return
    raise AssertionError("no reset; received %r" % data[:60])


def t_fault_slow(srv):
    t0 = time.monotonic()
    status, _h, _b = srv.get("/faults/slow.asp?ms=700")
    took = time.monotonic() - t0
    check(status == 200 and took >= 0.7, "status %d after %.2fs" % (status, took))
    t0 = time.monotonic()
    status, headers, body = srv.get("/faults/slow.gif?ms=500")
    took = time.monotonic() - t0
    check(status == 200 and took >= 0.5 and headers.get("Content-Type") == "image/gif", "slow chart")
    with open(os.path.join(HERE, "www", generate.CHART_PATH), "rb") as f:
        check(body == f.read(), "the slow chart is not the chart")
    t0 = time.monotonic()
    conn = http.client.HTTPConnection("127.0.0.1", srv.port, timeout=10)
    try:
        conn.request("GET", "/faults/stall.asp?ms=500")
        r = conn.getresponse()
        first = r.read(10)
        check(r.status == 200 and time.monotonic() - t0 < 0.4, "stall: no headers at once")
        rest = r.read()
        check(time.monotonic() - t0 >= 0.5 and "</html>" in (first + rest).decode("gbk"), "stall: the rest")
    finally:
        conn.close()
    # A short client timeout really does run out.
    try:
        srv.get("/faults/slow.asp?ms=1500", timeout=0.3)
    except (socket.timeout, TimeoutError):
        pass
    else:
        raise AssertionError("a 0.3 s timeout did not expire")


def t_fault_proxy_script(srv):
    status, headers, body = srv.get("/faults/proxy.pac")
    check(status == 200 and headers.get("Content-Type") == "application/x-ns-proxy-autoconfig",
          "status %d" % status)
    text = body.decode("ascii")
    check("FindProxyForURL(url, host)" in text, "no FindProxyForURL")
    check('"PROXY 127.0.0.1:%d"' % srv.port in text and "indexOf(\"direct\")" in text, text)
    _s, _h, body = srv.get("/faults/proxy.pac?answer=direct")
    check('return "DIRECT";' in body.decode("ascii") and "PROXY" not in body.decode("ascii"), "answer=direct")
    t0 = time.monotonic()
    srv.get("/faults/proxy.pac?ms=400")
    check(time.monotonic() - t0 >= 0.4, "ms not waited")


def t_fault_badgbk(srv):
    status, headers, body = srv.get("/faults/badgbk.asp")
    check(status == 200 and headers.get("Content-Type") == "text/html", "status %d" % status)
    try:
        body.decode("gbk")
    except UnicodeDecodeError:
        pass
    else:
        raise AssertionError("the body is valid GBK")
    check(body[-1:] == "元".encode("gbk")[:1], "no truncated pair at the end")
    check(b"\xff" in body and b"\x81 " in body, "bad bytes missing")
    rows = read_rows(body.decode("gbk", errors="replace"), generate.FAULT_CITY)
    check(rows == generate.FAULT_ROWS["badgbk"], "rows %r" % rows)


def t_fault_not_a_picture(srv):
    status, headers, body = srv.get("/faults/html.gif")
    check(status == 200 and headers.get("Content-Type") == "text/html", "status %d" % status)
    check(body.lstrip().startswith(b"<!DOCTYPE html"), "body is not HTML")


def t_fault_option():
    path = "/guangdong/zhuhai.html"
    srv = Server("--fault", path + "=500", "--fault", "/sichuan/yibin.html=slow",
                 "--fault", "/hubei/wuhan.html=reset")
    try:
        status, _h, body = srv.get(path)
        check(status == 500, "status %d" % status)
        check(read_rows(body.decode("gbk"), generate.FAULT_CITY) == generate.FAULT_ROWS["500"], "500 body")
        t0 = time.monotonic()
        status, _h, body = srv.get("/sichuan/yibin.html?ms=400")
        check(status == 200 and time.monotonic() - t0 >= 0.4, "slow fault")
        check(read_rows(body.decode("gbk"), "宜宾")[0] == ("89#汽油", "7.28"), "slow page is not the real one")
        try:
            srv.get("/hubei/wuhan.html")
        except OSError:
            pass
        else:
            raise AssertionError("reset fault answered")
        # Other pages are untouched.
        status, _h, _b = srv.get("/guangdong/foshan.html")
        check(status == 200, "foshan status %d" % status)
    finally:
        srv.stop()
    bad = subprocess.run([sys.executable, SERVER, "--port", "0", "--fault", "/x=teapot"],
                         capture_output=True, text=True, timeout=20)
    check(bad.returncode == 2 and "KIND" in bad.stderr, "a bad fault kind was accepted")


def t_delay_option():
    srv = Server("--delay", "300")
    try:
        for path, delayed in (("/youjiamap.asp", True), ("/cn/live_charts/t24_crude_cn188x166.gif", True),
                              ("/__requests", False)):
            t0 = time.monotonic()
            status = srv.get(path)[0]
            took = time.monotonic() - t0
            check(status == 200, "%s: status %d" % (path, status))
            check(took >= 0.3 if delayed else took < 0.3, "%s answered after %.2f s" % (path, took))
    finally:
        srv.stop()
    bad = subprocess.run([sys.executable, SERVER, "--port", "0", "--delay", "-1"],
                         capture_output=True, text=True, timeout=20)
    check(bad.returncode == 2, "a negative delay was accepted")


def t_request_log(srv):
    srv.get("/__requests?clear=1")
    srv.get("/youjiamap.asp")
    srv.get("/guangdong/guangzhou.html", headers={"If-Modified-Since": "0"})
    srv.get("/guangdong/guangzhou.html", method="PURGE")
    status, headers, body = srv.get("/__requests")
    check(status == 200 and headers.get("Content-Type", "").startswith("text/plain"), "status %d" % status)
    lines = body.decode("utf-8").splitlines()
    want = ["GET\t/youjiamap.asp\t", "GET\t/guangdong/guangzhou.html\t0", "PURGE\t/guangdong/guangzhou.html\t"]
    check(lines == want, "log %r" % lines)
    srv.get("/__requests?clear=1")
    check(srv.get("/__requests")[2] == b"", "log not cleared")


def t_port_file_and_lifetime():
    with tempfile.TemporaryDirectory() as tmp:
        pf = os.path.join(tmp, "port")
        t0 = time.monotonic()
        srv = Server("--port-file", pf, lifetime=2)
        try:
            with open(pf) as f:
                check(int(f.read()) == srv.port, "port file disagrees")
            check(srv.get("/youjiamap.asp")[0] == 200, "not serving")
            try:
                rc = srv.proc.wait(8)
            except subprocess.TimeoutExpired:
                raise AssertionError("still running 8 s after a 2 s lifetime")
            took = time.monotonic() - t0
            check(rc == 0, "exit code %d" % rc)
            check(took >= 1.8, "stopped after %.1fs" % took)
            check(srv.proc.stderr.read() == "", "quiet server wrote to stderr")
            try:
                urllib.request.urlopen(srv.root, timeout=2)
            except (urllib.error.URLError, OSError):
                pass
            else:
                raise AssertionError("still answering after its lifetime")
        finally:
            srv.stop()


def t_fault_redirects(srv):
    status, headers, _b = srv.get("/faults/to-http.asp")
    check(status == 302 and headers.get("Location") == "http://127.0.0.1:%d/youjiamap.asp" % srv.port,
          "to-http: %d %r" % (status, headers.get("Location")))
    status, headers, _b = srv.get("/faults/loop.asp")
    check(status == 302 and headers.get("Location") == "/faults/loop.asp",
          "loop: %d %r" % (status, headers.get("Location")))


def t_fault_undeclared(srv):
    status, headers, body = srv.get("/faults/undeclared.asp")
    check(status == 200 and headers.get("Content-Type") == "text/html", "status %d" % status)
    check(b"charset" not in body.lower(), "a charset is declared")
    rows = read_rows(body.decode("gbk"), generate.FAULT_CITY)
    check(rows == generate.FAULT_ROWS["404"], "rows %r" % rows)


def self_signed_localhost(tmp):
    """A certificate for DNS:localhost and its key, made with the openssl CLI."""
    cert, key = os.path.join(tmp, "cert.pem"), os.path.join(tmp, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                    "-subj", "/CN=localhost", "-addext", "subjectAltName=DNS:localhost",
                    "-keyout", key, "-out", cert], check=True, capture_output=True, timeout=60)
    return cert, key


def t_tls_and_redirect_to():
    if not shutil.which("openssl"):
        raise AssertionError("the openssl CLI is missing (scripts/install-deps.sh installs it)")
    with tempfile.TemporaryDirectory() as tmp:
        cert, key = self_signed_localhost(tmp)
        trusting = ssl.create_default_context(cafile=cert)
        srv = Server("--tls-cert", cert, "--tls-key", key, tls=trusting)
        plain = None
        try:
            status, _h, body = srv.get("/youjiamap.asp")
            check(status == 200, "status %d" % status)
            links = site_links(body.decode("gbk"), srv.root)
            check(len(links) == len(generate.PROVINCES) + sum(len(c) for _, _, c in generate.PROVINCES),
                  "%d https site links" % len(links))
            check(b"http://localhost" not in body, "a plain-http site link on the https site")
            status, headers, _b = srv.get("/guangdong")
            check(status == 301 and headers.get("Location") == srv.root + "guangdong/", "folder redirect")
            status, headers, _b = srv.get("/faults/to-http.asp")
            check(status == 302 and headers.get("Location") == "http://localhost:%d/youjiamap.asp" % srv.port,
                  "to-http: %r" % headers.get("Location"))
            # A client that does not trust the certificate is refused, and the
            # server goes on serving the next one.
            conn = http.client.HTTPSConnection("localhost", srv.port, timeout=10,
                                               context=ssl.create_default_context())
            try:
                conn.request("GET", "/youjiamap.asp")
            except ssl.SSLError:
                pass
            else:
                raise AssertionError("an untrusted certificate was accepted")
            finally:
                conn.close()
            check(srv.get("/guangdong/guangzhou.html")[0] == 200, "not serving after a refused handshake")

            plain = Server("--redirect-to", srv.base)
            for path in ("/youjiamap.asp", "/guangdong/guangzhou.html?x=1", "/__nothing"):
                status, headers, _b = plain.get(path)
                check(status == 301 and headers.get("Location") == srv.base + path,
                      "%s: %d %r" % (path, status, headers.get("Location")))
        finally:
            srv.stop()
            if plain:
                plain.stop()
    bad = subprocess.run([sys.executable, SERVER, "--port", "0", "--redirect-to", "https://x/path"],
                         capture_output=True, text=True, timeout=20)
    check(bad.returncode == 2, "a --redirect-to with a path was accepted")


def t_charset_option():
    gbk = Server()
    header = Server("--charset", "utf8-header")
    meta = Server("--charset", "utf8-meta")
    try:
        for path in ("/youjiamap.asp", "/guangdong/guangzhou.html", "/hubei/xiangyang.html",
                     "/faults/404.asp", "/no/such.html"):
            status, _h, body = gbk.get(path)
            want = body.decode("gbk").replace(gbk.root, "")
            undeclared = re.sub(r"<meta[^>]*charset=[^>]*>", "", want, count=1)
            s1, h1, b1 = header.get(path)
            check(s1 == status and h1.get("Content-Type") == "text/html; charset=utf-8",
                  "%s: utf8-header %d %r" % (path, s1, h1.get("Content-Type")))
            check(b"charset" not in b1.lower() and b1.decode("utf-8").replace(header.root, "") == undeclared,
                  "%s: utf8-header body" % path)
            s2, h2, b2 = meta.get(path)
            check(s2 == status and h2.get("Content-Type") == "text/html", "%s: utf8-meta %d" % (path, s2))
            check(b'<meta charset="utf-8">' in b2[:1024] and b"gb2312" not in b2, "%s: utf8-meta tag" % path)
            declared = re.sub(r"<meta[^>]*charset=[^>]*>", '<meta charset="utf-8">', want, count=1)
            check(b2.decode("utf-8").replace(meta.root, "") == declared, "%s: utf8-meta body" % path)
        for srv in (header, meta):
            page = srv.get("/guangdong/guangzhou.html")[2].decode("utf-8")
            check(read_rows(page, "广州") == read_rows(gbk.get("/guangdong/guangzhou.html")[2].decode("gbk"), "广州"),
                  "rows differ")
        # Pictures are not pages.
        check(header.get("/" + generate.CHART_PATH)[2][:6] == b"GIF89a", "the chart was transcoded")
    finally:
        for srv in (gbk, header, meta):
            srv.stop()


def t_index_option():
    plain = Server()
    repaired = Server("--index", "repaired/youjiamap.asp")
    try:
        status, _h, body = repaired.get("/youjiamap.asp")
        want = plain.get("/repaired/youjiamap.asp")[2].decode("gbk").replace(plain.root, "")
        check(status == 200 and body.decode("gbk").replace(repaired.root, "") == want, "the index is not the page")
        page = body.decode("gbk")
        for path, _text in generate.REPAIRED_LINKS:
            check(repaired.root + "repaired/" + path in page, "no link to " + path)
        # Every other path is the site as usual.
        check(repaired.get("/guangdong/guangzhou.html")[2] == plain.get("/guangdong/guangzhou.html")[2]
              .replace(plain.root.encode(), repaired.root.encode()), "a city page differs")
    finally:
        for srv in (plain, repaired):
            srv.stop()


def main():
    res = Results()
    srv = Server()
    try:
        for name, fn in [
            ("committed output equals a fresh run", t_output_is_current),
            ("index page: GBK, provinces, site links, noise", t_index),
            ("city list of every province", t_city_fill),
            ("price rows of every city page", t_city_pages),
            ("province pages and folder redirect", t_province_pages),
            ("host substitution from the Host header", t_host_header),
            ("unknown paths and traversal give 404", t_not_found),
            ("chart picture", t_chart),
            ("fault: 404 and 500 with price bodies", t_fault_status_pages),
            ("fault: a picture with status 404", t_fault_picture_with_error_status),
            ("fault: empty", t_fault_empty),
            ("fault: reset", t_fault_reset),
            ("fault: slow", t_fault_slow),
            ("fault: proxy configuration script", t_fault_proxy_script),
            ("fault: bad GBK", t_fault_badgbk),
            ("fault: .gif answering HTML", t_fault_not_a_picture),
            ("fault: redirects to http and to itself", t_fault_redirects),
            ("fault: a page that declares no charset", t_fault_undeclared),
            ("request log", t_request_log),
        ]:
            res.run(name, fn, srv)
    finally:
        srv.stop()
    res.run("--fault option", t_fault_option)
    res.run("--delay option", t_delay_option)
    res.run("port file and lifetime", t_port_file_and_lifetime)
    res.run("--tls-cert/--tls-key and --redirect-to", t_tls_and_redirect_to)
    res.run("--charset utf8-header and utf8-meta", t_charset_option)
    res.run("--index", t_index_option)
    print("%d passed, %d failed" % (res.passed, res.failed))
    return 0 if res.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
