#!/usr/bin/env python3
# -*- coding: utf-8 -*-
"""Serves the sample fuel-price site on loopback, with faults for tests.

  python3 server.py --port N [--bind 127.0.0.1] [--lifetime SECONDS]
                    [--port-file FILE] [--fault PATH=KIND]... [--delay MS] [--verbose]
                    [--tls-cert FILE --tls-key FILE] [--redirect-to ORIGIN]
                    [--charset gbk|utf8-header|utf8-meta]

When ready it prints one line, "serving http://HOST:PORT/" ("https://" with
--tls-cert), and flushes.
See README.md for the fault kinds and the request log.
"""

import argparse
import os
import re
import signal
import socket
import ssl
import struct
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import generate  # noqa: E402  (page bodies for the faults come from the same tables)

WWW = os.path.join(HERE, "www")

CONTENT_TYPES = {
    # No charset parameter on HTML: the page's own meta tag decides.
    ".asp": "text/html",
    ".html": "text/html",
    ".htm": "text/html",
    ".gif": "image/gif",
    ".png": "image/png",
    ".jpg": "image/jpeg",
    ".jpeg": "image/jpeg",
    ".bmp": "image/bmp",
    ".ico": "image/x-icon",
    ".txt": "text/plain",
}
SUBSTITUTED = (".asp", ".html", ".htm")

FAULT_KINDS = ("404", "500", "slow", "stall", "reset", "empty", "badgbk", "html", "pac",
               "tohttp", "loop", "undeclared")
FIXED_FAULTS = {
    "/faults/404.asp": "404",
    "/faults/500.asp": "500",
    "/faults/slow.asp": "slow",
    "/faults/slow.gif": "slow",
    "/faults/404.gif": "404",
    "/faults/stall.asp": "stall",
    "/faults/reset.asp": "reset",
    "/faults/empty.asp": "empty",
    "/faults/badgbk.asp": "badgbk",
    "/faults/html.gif": "html",
    "/faults/proxy.pac": "pac",
    "/faults/to-http.asp": "tohttp",
    "/faults/loop.asp": "loop",
    "/faults/undeclared.asp": "undeclared",
}
CHARSETS = ("gbk", "utf8-header", "utf8-meta")
# The charset declaration every generated page carries in its head.
META_CHARSET_RE = re.compile(rb"<meta[^>]*charset=[^>]*>", re.IGNORECASE)
# What an http:// Location header or link may name: an origin, no path.
ORIGIN_RE = re.compile(r"^https?://(?:[A-Za-z0-9.\-]+|\[[0-9A-Fa-f:.]+\])(?::[0-9]{1,5})?$")
SLOW_DEFAULT_MS = 3000
SLOW_MAX_MS = 120000

# A Host header is echoed into pages; anything beyond host[:port] is refused.
HOST_RE = re.compile(r"^(?:[A-Za-z0-9.\-]+|\[[0-9A-Fa-f:.]+\])(?::[0-9]{1,5})?$")


class RequestLog:
    def __init__(self):
        self._lock = threading.Lock()
        self._lines = []

    def add(self, method, path, ims):
        # Tabs or newlines in a field would break the one-line-per-request format.
        clean = [re.sub(r"[\t\r\n]", " ", f) for f in (method, path, ims)]
        with self._lock:
            self._lines.append("\t".join(clean))

    def text(self):
        with self._lock:
            return "".join(line + "\n" for line in self._lines)

    def clear(self):
        with self._lock:
            self._lines.clear()


class SiteServer(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, addr, faults, verbose, delay_ms=0, tls=None, redirect_to=None, charset="gbk",
                 index=None):
        super().__init__(addr, Handler)
        self.faults = dict(FIXED_FAULTS)
        self.faults.update(faults)
        self.verbose = verbose
        self.delay_s = delay_ms / 1000.0
        self.log = RequestLog()
        self.tls = tls  # an ssl.SSLContext, or None for plain http
        self.scheme = "https" if tls else "http"
        self.redirect_to = redirect_to
        self.charset = charset
        self.index = index  # a page of www/ served for /youjiamap.asp, or None

    # The TLS handshake runs on the request's own thread: a client that
    # connects and says nothing must not hold up the accept loop.
    def finish_request(self, request, client_address):
        if self.tls is None:
            super().finish_request(request, client_address)
            return
        request.settimeout(Handler.timeout)
        try:
            secure = self.tls.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError) as e:
            # A client that does not trust the certificate hangs up here.
            if self.verbose:
                sys.stderr.write("%s - TLS handshake failed: %s\n" % (client_address[0], e))
            return
        try:
            super().finish_request(secure, client_address)
        finally:
            try:
                secure.close()
            except OSError:
                pass


class Handler(BaseHTTPRequestHandler):
    server_version = "SampleSite/1.0"
    protocol_version = "HTTP/1.1"
    # A silent client must not hold a thread for ever.
    timeout = 30

    # Headers and body leave in separate writes; without this a small answer
    # waits for the client's delayed acknowledgement (about 40 ms a request),
    # which no real web server makes its clients wait.
    def setup(self):
        super().setup()
        self.connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)

    # Every method token reaches the same code: the site answers them all.
    def handle_one_request(self):
        try:
            self.raw_requestline = self.rfile.readline(65537)
            if len(self.raw_requestline) > 65536:
                self.requestline = self.request_version = self.command = ""
                self.send_error(414)
                return
            if not self.raw_requestline:
                self.close_connection = True
                return
            if not self.parse_request():
                return
            self.respond()
            if not self.wfile.closed:
                self.wfile.flush()
        except (socket.timeout, TimeoutError):
            self.close_connection = True
        except (ConnectionError, BrokenPipeError):
            self.close_connection = True

    def log_message(self, fmt, *args):
        if self.server.verbose:
            sys.stderr.write("%s - %s\n" % (self.address_string(), fmt % args))

    # ------------------------------------------------------------------

    def respond(self):
        split = urllib.parse.urlsplit(self.path)
        path = urllib.parse.unquote(split.path) or "/"
        query = urllib.parse.parse_qs(split.query)

        if path == "/__requests":
            if query.get("clear", [""])[0] == "1":
                self.server.log.clear()
                self.send_body(200, "text/plain; charset=utf-8", b"cleared\n")
            else:
                self.send_body(200, "text/plain; charset=utf-8",
                               self.server.log.text().encode("utf-8"))
            return

        self.server.log.add(self.command, self.path, self.headers.get("If-Modified-Since", ""))
        # A distant site: every answer leaves this much after its request came in.
        if self.server.delay_s > 0:
            time.sleep(self.server.delay_s)

        if self.server.redirect_to:
            # Another origin serves this site now: the same path and query there.
            target = split.path + ("?" + split.query if split.query else "")
            self.send_body(301, "text/html", b"", [("Location", self.server.redirect_to + target)])
            return

        kind = self.server.faults.get(path)
        if kind:
            self.fault(kind, path, query)
        elif path == "/youjiamap.asp" and self.server.index:
            self.serve_file("/" + self.server.index)
        else:
            self.serve_file(path)

    def host(self):
        given = (self.headers.get("Host") or "").strip()
        if given and HOST_RE.match(given):
            return given
        h, p = self.server.server_address[:2]
        return "%s:%d" % (h, p)

    def send_body(self, status, ctype, body, extra=()):
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(body)))
        for k, v in extra:
            self.send_header(k, v)
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def origin(self):
        return "%s://%s" % (self.server.scheme, self.host())

    def send_page(self, status, gbk_body, extra=()):
        """An HTML page in the site's charset (--charset): the GBK bytes as they
        are, or transcoded to UTF-8, declared by the header alone or by a meta
        tag alone."""
        charset = self.server.charset
        if charset == "gbk":
            self.send_body(status, "text/html", gbk_body, extra)
            return
        text = gbk_body.decode("gbk").encode("utf-8")
        if charset == "utf8-header":
            text = META_CHARSET_RE.sub(b"", text, count=1)
            self.send_body(status, "text/html; charset=utf-8", text, extra)
        else:
            text = META_CHARSET_RE.sub(b'<meta charset="utf-8">', text, count=1)
            self.send_body(status, "text/html", text, extra)

    def not_found(self):
        self.send_page(404, generate.not_found_page().encode("gbk"))

    def resolve(self, path):
        """Maps a URL path to a file under www/, or None.  Never leaves www/."""
        parts = [p for p in path.split("/") if p]
        if any(p in (".", "..") or "\\" in p or "\0" in p for p in parts):
            return None
        full = os.path.join(WWW, *parts) if parts else WWW
        real = os.path.realpath(full)
        if real != os.path.realpath(WWW) and not real.startswith(os.path.realpath(WWW) + os.sep):
            return None
        return real

    def serve_file(self, path, status=200):
        full = self.resolve(path)
        if full is None:
            self.not_found()
            return
        if os.path.isdir(full):
            if not path.endswith("/"):
                # A folder asked for without its slash: send the client to the right URL.
                self.send_body(301, "text/html", b"", [("Location", self.origin() + path + "/")])
                return
            full = os.path.join(full, "index.html")
        if not os.path.isfile(full):
            self.not_found()
            return
        ext = os.path.splitext(full)[1].lower()
        with open(full, "rb") as f:
            body = f.read()
        if ext in SUBSTITUTED:
            # Links name the origin the page was asked from, https included.
            body = body.replace(b"http://__HOST__", self.origin().encode("ascii"))
            body = body.replace(b"__HOST__", self.host().encode("ascii"))
            self.send_page(status, body)
            return
        self.send_body(status, CONTENT_TYPES.get(ext, "application/octet-stream"), body)

    def pause(self, query, default_ms):
        """Waits the ?ms=N of the query (default_ms without one); returns N."""
        try:
            ms = int(query.get("ms", [str(default_ms)])[0])
        except ValueError:
            ms = default_ms
        ms = min(max(ms, 0), SLOW_MAX_MS)
        time.sleep(ms / 1000.0)
        return ms

    def fault(self, kind, path, query):
        if kind == "reset":
            # The request line and headers were read; now drop the connection
            # with a reset (linger on, timeout 0) rather than an orderly close.
            self.close_connection = True
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.rfile.close()
            self.wfile.close()
            self.connection.close()
            return
        if kind in ("404", "500"):
            if path.endswith(".gif"):
                # A picture, sent with an error status all the same.
                with open(os.path.join(WWW, generate.CHART_PATH), "rb") as f:
                    self.send_body(int(kind), "image/gif", f.read())
                return
            self.send_page(int(kind), generate.fault_page(kind).encode("gbk"))
            return
        if kind == "tohttp":
            # From any origin (an https one included) to the plain-http index
            # of the same host and port.
            self.send_body(302, "text/html", b"", [("Location", "http://%s/youjiamap.asp" % self.host())])
            return
        if kind == "loop":
            # A relative Location that names the same page again, for ever.
            self.send_body(302, "text/html", b"", [("Location", path)])
            return
        if kind == "undeclared":
            # The 404 fault's price page without any charset: neither in the
            # header nor in the page.
            body = META_CHARSET_RE.sub(b"", generate.fault_page("404").encode("gbk"), count=1)
            self.send_body(200, "text/html", body)
            return
        if kind == "empty":
            self.send_body(200, "text/html", b"")
            return
        if kind == "badgbk":
            self.send_body(200, "text/html", generate.badgbk_page())
            return
        if kind == "html":
            body = (generate.head("不是图片") + "<body><p>这不是图片。</p></body></html>\n").encode("gbk")
            self.send_page(200, body)
            return
        if kind == "pac":
            # A proxy configuration script that names this site as the proxy,
            # except for URLs that contain "direct"; ?answer=direct sends every
            # URL direct; ?ms=N answers after N ms.
            self.pause(query, 0)
            if query.get("answer", [""])[0] == "direct":
                rule = 'return "DIRECT";'
            else:
                rule = ('if (url.indexOf("direct") >= 0) return "DIRECT"; '
                        'return "PROXY %s";' % self.host())
            body = "function FindProxyForURL(url, host) { %s }\n" % rule
            self.send_body(200, "application/x-ns-proxy-autoconfig", body.encode("ascii"))
            return
        if kind == "stall":
            # Headers and half the page at once, the rest after the wait: a
            # client that gives each read a time limit gives up in between.
            try:
                ms = int(query.get("ms", [str(SLOW_DEFAULT_MS)])[0])
            except ValueError:
                ms = SLOW_DEFAULT_MS
            body = (generate.head("停顿页面") + "<body><p>" + "停顿" * 200 + "</p></body></html>\n").encode("gbk")
            half = len(body) // 2
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body[:half])
            self.wfile.flush()
            time.sleep(min(max(ms, 0), SLOW_MAX_MS) / 1000.0)
            try:
                self.wfile.write(body[half:])
            except (ConnectionError, BrokenPipeError):
                self.close_connection = True
            return
        if kind == "slow":
            ms = self.pause(query, SLOW_DEFAULT_MS)
            if path == "/faults/slow.gif":
                self.serve_file("/" + generate.CHART_PATH)
            elif path in FIXED_FAULTS:
                body = (generate.head("慢速页面") + "<body><p>慢速页面 %d ms</p></body></html>\n" % ms)
                self.send_page(200, body.encode("gbk"))
            else:
                self.serve_file(path)
            return
        self.not_found()


def parse_fault(text):
    path, sep, kind = text.rpartition("=")
    if not sep or not path.startswith("/") or kind not in FAULT_KINDS:
        raise argparse.ArgumentTypeError(
            "expected PATH=KIND with PATH starting with / and KIND one of %s" % ", ".join(FAULT_KINDS))
    return path, kind


def main(argv=None):
    ap = argparse.ArgumentParser(description="Serve the sample fuel-price site.")
    ap.add_argument("--port", type=int, required=True, help="port; 0 picks a free one")
    ap.add_argument("--bind", default="127.0.0.1", help="address to listen on (default 127.0.0.1)")
    ap.add_argument("--lifetime", type=float, default=900.0, help="seconds before stopping (default 900)")
    ap.add_argument("--port-file", help="also write the chosen port to this file")
    ap.add_argument("--fault", type=parse_fault, action="append", default=[], metavar="PATH=KIND",
                    help="make PATH fail; KIND: " + ", ".join(FAULT_KINDS))
    ap.add_argument("--delay", type=int, default=0, metavar="MS",
                    help="answer every request MS milliseconds after it came in (default 0)")
    ap.add_argument("--verbose", action="store_true", help="log each request on stderr")
    ap.add_argument("--tls-cert", metavar="FILE", help="serve HTTPS with this PEM certificate (chain)")
    ap.add_argument("--tls-key", metavar="FILE", help="the PEM private key of --tls-cert")
    ap.add_argument("--redirect-to", metavar="ORIGIN",
                    help="answer every request with a 301 to the same path on ORIGIN "
                         "(scheme://host[:port], e.g. https://localhost:8443)")
    ap.add_argument("--charset", choices=CHARSETS, default="gbk",
                    help="pages as GBK with a meta tag (default), as UTF-8 declared only by the "
                         "Content-Type header (utf8-header), or only by <meta charset> (utf8-meta)")
    ap.add_argument("--index", metavar="PAGE",
                    help="serve this page of www/ as /youjiamap.asp (e.g. repaired/youjiamap.asp)")
    args = ap.parse_args(argv)
    if bool(args.tls_cert) != bool(args.tls_key):
        ap.error("--tls-cert and --tls-key go together")
    if args.redirect_to is not None:
        args.redirect_to = args.redirect_to.rstrip("/")
        if not ORIGIN_RE.match(args.redirect_to):
            ap.error("--redirect-to must be an origin: http[s]://host[:port]")
    if not 0 <= args.port <= 65535:
        ap.error("--port must be 0..65535")
    if args.lifetime <= 0:
        ap.error("--lifetime must be positive")
    if not 0 <= args.delay <= SLOW_MAX_MS:
        ap.error("--delay must be 0..%d" % SLOW_MAX_MS)
    if args.index is not None and not os.path.isfile(os.path.join(WWW, *args.index.split("/"))):
        ap.error("--index must name a page of www/")
    if not os.path.isfile(os.path.join(WWW, "youjiamap.asp")):
        sys.stderr.write("server.py: %s has no pages; run generate.py first\n" % WWW)
        return 1

    tls = None
    if args.tls_cert:
        tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        try:
            tls.load_cert_chain(args.tls_cert, args.tls_key)
        except (OSError, ssl.SSLError) as e:
            sys.stderr.write("server.py: cannot use the certificate: %s\n" % e)
            return 1
    try:
        server = SiteServer((args.bind, args.port), dict(args.fault), args.verbose, args.delay,
                            tls, args.redirect_to, args.charset, args.index)
    except OSError as e:
        sys.stderr.write("server.py: cannot listen on %s:%d: %s\n" % (args.bind, args.port, e))
        return 1
    host, port = server.server_address[:2]

    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write("%d\n" % port)
        os.replace(tmp, args.port_file)   # readers never see a half-written file

    stopper = threading.Timer(args.lifetime, server.shutdown)
    stopper.daemon = True
    stopper.start()

    def on_signal(_signum, _frame):
        threading.Thread(target=server.shutdown, daemon=True).start()
    signal.signal(signal.SIGTERM, on_signal)
    signal.signal(signal.SIGINT, on_signal)

    print("serving %s://%s:%d/" % (server.scheme, host, port), flush=True)
    try:
        server.serve_forever(poll_interval=0.2)
    finally:
        stopper.cancel()
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
