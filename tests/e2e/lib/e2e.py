"""Drives the real TovrenLauncher.exe under Wine in the session's Xvfb display.

Every end-to-end test lays a fresh game folder holding only the launcher, starts it,
finds its windows with xdotool, presses at the positions the layout gives, and checks what
the launcher leaves: files, registry values, windows and screenshots.

Environment (set by the CTest registration and scripts/with-session): TOVREN_EXE (the
launcher), TOVREN_E2E_WORK (a scratch folder for this test), DISPLAY, WINEPREFIX and the
other Wine variables of scripts/wine-env.sh.
"""
import os
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

TWIPS = 15
# Where the layout puts the settings window on the backdrop, in pixels.
BODY_OFFSET = (3420 // TWIPS, 3675 // TWIPS)
MAIN_SIZE = (800, 600)
BODY_SIZE = (7755 // TWIPS, 4350 // TWIPS)


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def run(args, timeout=30, **kw):
    return subprocess.run(args, capture_output=True, text=True, timeout=timeout, **kw)


def wait_for(what, predicate, timeout=20.0, interval=0.1):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(interval)


def windows_named(title):
    """X window ids whose name is exactly title (Wine names X windows by their title)."""
    r = run(["xdotool", "search", "--name", "^" + re.escape(title) + "$"], timeout=10)
    return [int(x) for x in r.stdout.split()]


def geometry(window):
    r = run(["xdotool", "getwindowgeometry", "--shell", str(window)], timeout=10)
    values = dict(line.split("=", 1) for line in r.stdout.split() if "=" in line)
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def visible_window(title, timeout=20.0):
    def find():
        for w in windows_named(title):
            r = run(["xwininfo", "-id", str(w)], timeout=10)
            if "IsViewable" in r.stdout:
                return w
        return None
    return wait_for("window " + title, find, timeout)


def mouse_move(x, y):
    run(["xdotool", "mousemove", "--sync", str(x), str(y)], timeout=10)


def click(x, y, button=1):
    """A press the way a player makes it: move there, let the hover settle, press, release."""
    mouse_move(x, y)
    time.sleep(0.15)
    mouse_move(x + 1, y)
    time.sleep(0.15)
    run(["xdotool", "mousedown", str(button)], timeout=10)
    time.sleep(0.1)
    run(["xdotool", "mouseup", str(button)], timeout=10)
    time.sleep(0.3)


def key(name, window=None):
    args = ["xdotool"]
    if window:
        run(["xdotool", "windowfocus", "--sync", str(window)], timeout=10)
    args += ["key", name]
    run(args, timeout=10)


def screenshot(path):
    run(["import", "-window", "root", str(path)], timeout=30)
    return Path(path)


def pixel(png, x, y):
    """The colour of one pixel of a screenshot as (r, g, b)."""
    r = run(["convert", str(png), "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "txt:-"])
    m = re.search(r"\((\d+),(\d+),(\d+)", r.stdout.splitlines()[-1])
    return tuple(int(v) for v in m.groups())


def wine_env():
    return dict(os.environ)


def reg_query(key_path, value):
    r = run(["wine", "reg", "query", key_path, "/v", value], timeout=60, env=wine_env(),
            stdin=subprocess.DEVNULL)
    for line in r.stdout.splitlines():
        parts = line.split(None, 2)
        if len(parts) == 3 and parts[0].lower() == value.lower():
            return parts[2].strip()
    return None


def read_ini(path):
    """The settings file as {section: {key: value}}, decoded from code page 936."""
    sections, current = {}, None
    for raw in Path(path).read_bytes().split(b"\r\n"):
        line = raw.decode("gbk", errors="replace").strip()
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1].strip(), {})
        elif "=" in line and current is not None:
            k, v = line.split("=", 1)
            current.setdefault(k.strip(), v.strip())
    return sections


class Launcher:
    """One run of the launcher in its own fresh game folder."""

    def __init__(self, name, folder=None):
        work = Path(os.environ.get("TOVREN_E2E_WORK", "/tmp/tovren-e2e")) / name
        self.folder = Path(folder) if folder else work / "game"
        if not folder:
            shutil.rmtree(work, ignore_errors=True)
            self.folder.mkdir(parents=True)
            shutil.copy(os.environ["TOVREN_EXE"], self.folder / "TovrenLauncher.exe")
        self.proc = None
        self.main = self.body = None

    def start(self):
        self.proc = subprocess.Popen(["wine", "TovrenLauncher.exe"], cwd=self.folder,
                                     env=wine_env(), stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.body = visible_window("主体", timeout=40)
        self.main = visible_window("main", timeout=10)
        return self

    def body_origin(self):
        x, y, _, _ = geometry(self.body)
        return x, y

    def press_body(self, x_twips, y_twips, w_twips, h_twips):
        """Presses the middle of a control of the settings window (layout in twips)."""
        bx, by = self.body_origin()
        click(bx + (x_twips + w_twips // 2) // TWIPS, by + (y_twips + h_twips // 2) // TWIPS)

    def wait_exit(self, timeout=30):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the launcher did not end")

    def kill(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(10)


def main(tests):
    """Runs the named test functions; prints a closing line CTest-style runners accept."""
    passed = failed = 0
    for test in tests:
        started = time.monotonic()
        try:
            test()
            passed += 1
            print("[  OK  ] %s (%.1f s)" % (test.__name__, time.monotonic() - started))
        except Exception as e:  # noqa: BLE001 - every failure is reported the same way
            failed += 1
            print("[ FAIL ] %s: %s" % (test.__name__, e))
    print("%d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)
