#!/usr/bin/env python3
"""Self-test of the stand-in web server: webserver_test.py WEBSERVER_DIR"""
import json
import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.error
import urllib.parse
import urllib.request

WEB_DIR = sys.argv.pop(1) if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "../../../standins/webserver")


class WebServer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.state = cls.tmp.name
        os.makedirs(os.path.join(cls.state, "lists"))
        with open(os.path.join(cls.state, "lists", "2_3.txt"), "wb") as fh:
            fh.write(b"10.0.0.1\r\n\r\n  10.0.0.2 \r\n")
        out = subprocess.run([os.path.join(WEB_DIR, "run-server"), "--state", cls.state, "--port", "0"],
                             check=True, capture_output=True, text=True, timeout=30)
        cls.port = int(out.stdout.strip())
        with open(os.path.join(cls.state, "server.pid")) as fh:
            cls.pid = int(fh.read())

    @classmethod
    def tearDownClass(cls):
        os.kill(cls.pid, signal.SIGTERM)
        for _ in range(50):
            if not os.path.exists(os.path.join(cls.state, "server.pid")):
                break
            time.sleep(0.1)
        cls.tmp.cleanup()

    def get(self, path, data=None, headers=None):
        req = urllib.request.Request(f"http://127.0.0.1:{self.port}{path}", data=data, headers=headers or {})
        try:
            with urllib.request.urlopen(req, timeout=5) as r:
                return r.status, r.headers, r.read()
        except urllib.error.HTTPError as e:
            return e.code, e.headers, e.read()

    def test_port_file_names_the_bound_port(self):
        with open(os.path.join(self.state, "port")) as fh:
            self.assertEqual(int(fh.read()), self.port)

    def test_lists_default_and_from_state(self):
        status, _, body = self.get("/za/net/1/2/data.asp")
        self.assertEqual(status, 200)
        lines = body.decode("utf-8").split("\r\n")
        self.assertEqual(lines[-1], "")
        self.assertTrue(all(lines[:-1]) and "\n" not in "".join(lines))
        self.assertNotEqual(body, self.get("/za/net/2/2/data.asp")[2])
        self.assertEqual(self.get("/za/net/2/3/data.asp")[2], b"10.0.0.1\r\n\r\n  10.0.0.2 \r\n")

    def test_own_address(self):
        self.assertEqual(self.get("/ip/ip.asp")[2], b"127.0.0.1")
        with open(os.path.join(self.state, "own_ip.txt"), "w") as fh:
            fh.write("203.0.113.5\n")
        try:
            self.assertEqual(self.get("/ip/ip.asp")[2], b"203.0.113.5")
        finally:
            os.remove(os.path.join(self.state, "own_ip.txt"))

    def test_a_login_page_answers_every_path_while_it_is_there(self):
        portal = os.path.join(self.state, "portal.html")
        with open(portal, "wb") as fh:
            fh.write(b"<html><body>log in</body></html>")
        try:
            for path in ("/za/net/1/1/data.asp", "/ip/ip.asp", "/nowhere"):
                status, headers, body = self.get(path)
                self.assertEqual((status, body), (200, b"<html><body>log in</body></html>"), path)
                self.assertTrue(headers["Content-Type"].startswith("text/html"), path)
        finally:
            os.remove(portal)
        self.assertEqual(self.get("/ip/ip.asp")[2], b"127.0.0.1")

    def test_unknown_paths_are_404(self):
        for path in ["/", "/za/net/3/1/data.asp", "/za/net/1/4/index.asp", "/za/net/1/1/other.asp",
                     "/ip/ip.aspx", "/za/net/1/1/../../../etc/passwd"]:
            self.assertEqual(self.get(path)[0], 404, path)

    def test_registration_page_submits_and_is_recorded(self):
        status, headers, body = self.get("/za/net/2/1/index.asp")
        self.assertEqual(status, 200)
        page = body.decode("utf-8")
        self.assertIn('charset=utf-8', page)
        self.assertIn('<form method="POST" action="submit.asp">', page)
        self.assertIn('<input type="submit" name="Submit" value="提交">', page)
        cookie = headers["Set-Cookie"].split(";")[0]
        status, _, _ = self.get("/za/net/2/1/submit.asp", data=urllib.parse.urlencode({"list": 2, "version": 1, "Submit": "提交"}).encode(),
                                headers={"Cookie": cookie,
                                         "Content-Type": "application/x-www-form-urlencoded"})
        self.assertEqual(status, 200)
        with open(os.path.join(self.state, "submissions.jsonl"), encoding="utf-8") as fh:
            records = [json.loads(line) for line in fh]
        last = records[-1]
        self.assertEqual((last["list"], last["version"], last["method"]), (2, 1, "POST"))
        self.assertEqual(last["fields"], {"list": "2", "version": "1", "Submit": "提交"})
        self.assertEqual(last["client"], "127.0.0.1")
        self.assertEqual(last["cookie"], cookie.split("=", 1)[1])


if __name__ == "__main__":
    unittest.main()
