#!/usr/bin/env python3
"""Local stand-in for the game maker's web server (standard library only).

    tovren_web.py [--port N] [--state DIR]

Listens on 127.0.0.1 only. Port 0 picks a free port. The state folder holds:
    lists/<k>_<v>.txt   body of /za/net/<k>/<v>/data.asp, served as stored
                        (default: a built-in list, CR LF lines, UTF-8)
    own_ip.txt          body of /ip/ip.asp (default "127.0.0.1")
    portal.html         while it exists, every request gets it with status 200 as
                        text/html: a network's login page in front of the server
    submissions.jsonl   one JSON object per submission, appended
    requests.log        one line per request: method, path, client
    server.pid, port    written at start (port: the port actually bound)

Paths, k = 1 or 2 (list), v = 1, 2 or 3 (game version):
    GET       /za/net/<k>/<v>/data.asp     the address list
    GET       /za/net/<k>/<v>/index.asp    registration page (UTF-8, sets a cookie)
    GET/POST  /za/net/<k>/<v>/submit.asp   records the submission
    GET       /ip/ip.asp                   the visitor's own address
Anything else: 404.
"""
import argparse
import datetime
import html
import json
import os
import re
import secrets
import signal
import sys
import threading
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

NET_PATH = re.compile(r"^/za/net/([12])/([123])/(data|index|submit)\.asp$")
COOKIE_NAME = "TOVRENSID"
MAX_BODY = 64 * 1024


def default_list(k, v):
    # Documentation address blocks, so no real host is ever typed anywhere.
    base = "192.0.2" if k == "1" else "198.51.100"
    return "".join(f"{base}.{10 * int(v) + n}\r\n" for n in range(1, 4)).encode("utf-8")


def index_page(k, v):
    return f"""<!DOCTYPE html>
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title>Tovren 联网登记</title>
</head>
<body>
<p>Tovren 联网登记：第 {k} 组，版本 {v}</p>
<form method="POST" action="submit.asp">
<input type="hidden" name="list" value="{k}">
<input type="hidden" name="version" value="{v}">
<input type="submit" name="Submit" value="提交">
</form>
</body>
</html>
""".encode("utf-8")


def short_page(text):
    return (f'<!DOCTYPE html><html><head><meta http-equiv="Content-Type" '
            f'content="text/html; charset=utf-8"><title>Tovren</title></head>'
            f"<body><p>{html.escape(text)}</p></body></html>").encode("utf-8")


class Handler(BaseHTTPRequestHandler):
    server_version = "TovrenWeb/1.0"
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):  # quiet on stderr; requests.log has it
        pass

    @property
    def state(self):
        return self.server.state_dir

    def _record(self, name, line):
        with self.server.lock, open(os.path.join(self.state, name), "a", encoding="utf-8", newline="") as fh:
            fh.write(line + "\n")

    def _send(self, status, body, ctype="text/html; charset=utf-8", headers=()):
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-cache")
        for k, val in headers:
            self.send_header(k, val)
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def _read_body(self):
        try:
            n = int(self.headers.get("Content-Length") or 0)
        except ValueError:
            n = -1
        if n < 0 or n > MAX_BODY:
            return None
        return self.rfile.read(n) if n else b""

    def do_GET(self):
        self._route()

    def do_POST(self):
        self._route()

    def _route(self):
        url = urllib.parse.urlsplit(self.path)
        path = url.path
        self._record("requests.log", f"{self.command} {self.path} {self.client_address[0]}")
        try:
            with open(os.path.join(self.state, "portal.html"), "rb") as fh:
                return self._send(200, fh.read())
        except FileNotFoundError:
            pass
        if path == "/ip/ip.asp" and self.command == "GET":
            return self._own_ip()
        m = NET_PATH.match(path)
        if not m:
            return self._send(404, short_page("未找到"))
        k, v, page = m.groups()
        if page == "submit":
            return self._submit(k, v, url.query)
        if self.command != "GET":
            return self._send(405, short_page("不支持的请求"), headers=[("Allow", "GET")])
        if page == "data":
            return self._data(k, v)
        return self._index(k, v)

    def _own_ip(self):
        try:
            with open(os.path.join(self.state, "own_ip.txt"), "rb") as fh:
                body = fh.read().strip()
        except FileNotFoundError:
            body = b"127.0.0.1"
        self._send(200, body)

    def _data(self, k, v):
        try:
            with open(os.path.join(self.state, "lists", f"{k}_{v}.txt"), "rb") as fh:
                body = fh.read()
        except FileNotFoundError:
            body = default_list(k, v)
        self._send(200, body, "text/plain; charset=utf-8")

    def _index(self, k, v):
        sid = secrets.token_hex(8)
        self._send(200, index_page(k, v), headers=[("Set-Cookie", f"{COOKIE_NAME}={sid}; Path=/")])

    def _submit(self, k, v, query):
        fields = urllib.parse.parse_qs(query, keep_blank_values=True)
        if self.command == "POST":
            body = self._read_body()
            if body is None:
                return self._send(413, short_page("提交内容过大"))
            form = urllib.parse.parse_qs(body.decode("utf-8", "replace"), keep_blank_values=True)
            for key, vals in form.items():
                fields.setdefault(key, []).extend(vals)
        cookies = {}
        for part in (self.headers.get("Cookie") or "").split(";"):
            name, sep, val = part.strip().partition("=")
            if sep:
                cookies[name] = val
        record = {
            "time": datetime.datetime.now().isoformat(timespec="seconds"),
            "method": self.command,
            "list": int(k),
            "version": int(v),
            "fields": {key: vals[0] if len(vals) == 1 else vals for key, vals in fields.items()},
            "client": self.client_address[0],
            "cookie": cookies.get(COOKIE_NAME),
        }
        self._record("submissions.jsonl", json.dumps(record, ensure_ascii=False))
        self._send(200, short_page("登记成功。"))


def write_atomically(path, text):
    tmp = path + ".tmp"
    with open(tmp, "w", encoding="utf-8") as fh:
        fh.write(text)
    os.replace(tmp, path)


def main(argv=None):
    ap = argparse.ArgumentParser(description="Local stand-in web server for TovrenLauncher.")
    ap.add_argument("--port", type=int, default=18642)
    ap.add_argument("--state", default=".")
    args = ap.parse_args(argv)
    os.makedirs(args.state, exist_ok=True)

    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    server.state_dir = os.path.abspath(args.state)
    server.lock = threading.Lock()
    pid_file = os.path.join(server.state_dir, "server.pid")
    write_atomically(os.path.join(server.state_dir, "port"), f"{server.server_address[1]}\n")
    write_atomically(pid_file, f"{os.getpid()}\n")

    def stop(signum, frame):
        threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    try:
        server.serve_forever(poll_interval=0.2)
    finally:
        server.server_close()
        try:
            os.remove(pid_file)
        except FileNotFoundError:
            pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
