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
    # Wine's console programs may answer in code page 936: an undecodable byte must not
    # end the test.
    kw.setdefault("errors", "replace")
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
    move_pointer(x, y)


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
    """A REG_SZ value under HKLM ("HKLM\\Software\\..."), read by the probe as the 32-bit game
    reads it, in the 32-bit view, whichever build the probe is; None when missing."""
    code, out = probe("reg", key_path.split("\\", 1)[1], value)
    return out if code == 0 else None


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

    def cleanup(self):
        """Ends the launcher and every program it started in its folder (game, tools)."""
        self.kill()
        end_processes_in(self.folder)


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


# --- The whole road: game folders, the probe, the web server, the tray, message boxes ----
# Environment these add: TOVREN_PROBE (tests/e2e/tools/tovren_probe.exe), TOVREN_WEB_HOST
# (the host the launcher was built to talk to), TOVREN_SOURCE_DIR (the repository).

MESSAGE_TITLE = "TovrenLauncher"
TRAY_MESSAGE = 0x8000 + 1  # WM_APP + 1: the tray icon's callback message to 主体
TRAY_LEFT_DOWN, TRAY_RIGHT_UP, TRAY_MOVE = 513, 517, 512

# The settings file's sections and keys, in the order the launcher writes them.
SETTINGS_KEYS = (
    [("版本", "编号")]
    + [("配置", "复选%d" % i) for i in range(1, 5)]
    + [("网络", "复选%d" % i) for i in range(5, 9)] + [("网络", "路径")]
    + [("设置", "血量%d" % i) for i in range(1, 6)]
    + [("设置", "时间%d" % i) for i in range(1, 6)]
    + [("设置", "场次%d" % i) for i in range(1, 9)]
    + [("设置", "人数")])
SETTINGS_DEFAULTS = dict(zip(
    [k for _, k in SETTINGS_KEYS],
    ["1"] + ["0"] * 8 + [""] + ["50", "100", "150", "200", "300"] + ["1", "3", "5", "10", "15"]
    + ["1", "3", "5", "9", "15", "21", "27", "OO"] + ["16"]))


def require_session():
    """Fails at once, with the reason, when the test runs outside scripts/with-session."""
    missing = [v for v in ("DISPLAY", "WINEPREFIX", "TOVREN_EXE") if not os.environ.get(v)]
    if missing:
        sys.exit("run inside scripts/with-session through ctest (missing: %s)" % ", ".join(missing))


def probe(*args, timeout=30):
    """Runs tovren_probe.exe under Wine; returns (exit code, stdout stripped)."""
    r = run(["wine", os.environ["TOVREN_PROBE"], *[str(a) for a in args]], timeout=timeout,
            env=wine_env(), stdin=subprocess.DEVNULL)
    return r.returncode, r.stdout.strip()


def probe_rect(*args):
    """A rectangle the probe prints as "L T R B", or None."""
    code, out = probe(*args)
    parts = out.split()
    if code != 0 or len(parts) != 4:
        return None
    return tuple(int(v) for v in parts)


def children(title):
    """The child windows of a top-level window as (class, (L, T, R, B), text)."""
    _, out = probe("children", title)
    result = []
    for line in out.splitlines():
        parts = line.split("\t")
        if len(parts) >= 2:
            rect = tuple(int(v) for v in parts[1].split())
            result.append((parts[0], rect, parts[2] if len(parts) > 2 else ""))
    return result


def window_state(title):
    """"no", "hidden" or "visible", as Windows sees the top-level window titled so."""
    _, out = probe("exists", title)
    return out.split()[-1] if out.startswith("yes") else "no"


def write_settings(folder, values):
    """Writes zarnu\\zarnu.res in code page 936: the defaults, changed by values (key: text)."""
    unknown = set(values) - set(SETTINGS_DEFAULTS)
    if unknown:
        raise ValueError("no such settings key: %s" % ", ".join(sorted(unknown)))
    merged = dict(SETTINGS_DEFAULTS, **values)
    lines, section = [], None
    for sec, k in SETTINGS_KEYS:
        if sec != section:
            lines.append("[%s]" % sec)
            section = sec
        lines.append("%s=%s" % (k, merged[k]))
    path = Path(folder) / "zarnu" / "zarnu.res"
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(("\r\n".join(lines) + "\r\n").encode("gbk"))
    return path


def settings_of(folder):
    """The saved settings as {key: value} (sections merged; every key name is unique)."""
    merged = {}
    for values in read_ini(Path(folder) / "zarnu" / "zarnu.res").values():
        merged.update(values)
    return merged


def _processes_in(folder):
    """Linux pids of this prefix's Wine processes whose current folder lies in folder."""
    root = os.path.realpath(folder)
    prefix = os.environ.get("WINEPREFIX", "").encode()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == os.getpid():
            continue
        try:
            cwd = os.path.realpath(os.readlink("/proc/%s/cwd" % entry))
            env = Path("/proc/%s/environ" % entry).read_bytes().split(b"\0")
        except OSError:
            continue
        if (cwd == root or cwd.startswith(root + os.sep)) and b"WINEPREFIX=" + prefix in env:
            found.append(int(entry))
    return found


def end_processes_in(folder, timeout=10):
    """Ends what a test started there: the launcher, the game, the config and IP tools."""
    import signal
    for pid in _processes_in(folder):
        try:
            os.kill(pid, signal.SIGKILL)
        except OSError:
            pass
    wait_for("the processes in %s to end" % folder, lambda: not _processes_in(folder), timeout)


def processes_named(folder, exe_name):
    """Pids of the processes in folder whose Windows command line names exe_name."""
    found = []
    for pid in _processes_in(folder):
        try:
            cmd = Path("/proc/%d/cmdline" % pid).read_bytes().split(b"\0")[0].decode("utf-8", "replace")
        except OSError:
            continue
        if cmd.replace("/", "\\").split("\\")[-1].lower() == exe_name.lower():
            found.append(pid)
    return found


def windows_path(path):
    """How a Wine program names a Linux path: drive Z: is the root."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def reg_delete(key_path):
    run(["wine", "reg", "delete", key_path, "/f"], timeout=60, env=wine_env(),
        stdin=subprocess.DEVNULL)


def set_hidden(path):
    """Gives a file the hidden attribute the Windows way."""
    r = run(["wine", "cmd", "/c", "attrib", "+h", Path(path).name], timeout=60, env=wine_env(),
            stdin=subprocess.DEVNULL, cwd=Path(path).parent)
    check(r.returncode == 0, "attrib +h %s failed" % path)


def tray_icon():
    """The launcher's icon in Wine's system tray as a screen rectangle, or None without a tray."""
    icons = [rect for cls, rect, _ in children("Wine System Tray") if cls == "__winex11_tray_icon"]
    return icons[-1] if icons else None


def post_tray(code, icon_id=1):
    """Delivers a tray notification to 主体 exactly as the shell does."""
    status, out = probe("post", "主体", TRAY_MESSAGE, icon_id, code)
    check(status == 0, "could not post the tray message: " + out)


def tray_notify(code):
    """A left press (513) or right release (517) on the tray icon: a real click on Wine's tray
    when there is one (TOVREN_E2E_TRAY=post forces the message), else the posted message."""
    icon = None if os.environ.get("TOVREN_E2E_TRAY") == "post" else tray_icon()
    if icon is None:
        post_tray(code)
        return "posted"
    x, y = (icon[0] + icon[2]) // 2, (icon[1] + icon[3]) // 2
    move_pointer(x, y)
    time.sleep(0.2)
    run(["xdotool", "click", "1" if code == TRAY_LEFT_DOWN else "3"], timeout=10)
    return "clicked"


def message_boxes():
    """Visible X windows titled like the launcher's message boxes."""
    shown = []
    for w in windows_named(MESSAGE_TITLE):
        if "IsViewable" in run(["xwininfo", "-id", str(w)], timeout=10).stdout:
            shown.append(w)
    return shown


def wait_message(timeout=60):
    """Waits for exactly one message box of the launcher; returns its text."""
    boxes = wait_for("a message box titled " + MESSAGE_TITLE, message_boxes, timeout)
    check(len(boxes) == 1, "%d message boxes at once" % len(boxes))
    texts = [text for cls, _, text in children(MESSAGE_TITLE) if cls.lower() == "static" and text]
    return " ".join(texts)


def dismiss_message():
    """Presses the message box's button with the mouse, as the player would."""
    buttons = [rect for cls, rect, _ in children(MESSAGE_TITLE) if cls.lower() == "button"]
    check(len(buttons) == 1, "the message box has %d buttons" % len(buttons))
    l, t, r, b = buttons[0]
    click((l + r) // 2, (t + b) // 2)
    wait_for("the message box to close", lambda: not message_boxes(), 10)


def start_server(state, host=None):
    """The stand-in web server on the port the launcher was built for. Returns its pid."""
    host = host or os.environ.get("TOVREN_WEB_HOST", "127.0.0.1:18642")
    port = host.rsplit(":", 1)[1] if ":" in host else "80"
    source = Path(os.environ.get("TOVREN_SOURCE_DIR", Path(__file__).resolve().parents[3]))
    r = run([str(source / "standins/webserver/run-server"), "--state", str(state), "--port", port],
            timeout=30)
    check(r.returncode == 0, "the web server did not start: " + r.stderr.strip())
    return int((Path(state) / "server.pid").read_text())


def stop_server(pid, timeout=5.0):
    """Stops the web server and waits until its port is free again."""
    import signal
    try:
        os.kill(pid, signal.SIGTERM)
    except OSError:
        return
    deadline = time.monotonic() + timeout
    while os.path.exists("/proc/%d" % pid) and time.monotonic() < deadline:
        time.sleep(0.05)
    if os.path.exists("/proc/%d" % pid):
        try:
            os.kill(pid, signal.SIGKILL)
        except OSError:
            pass


def server_requests(state):
    """The paths the web server was asked for, in order."""
    log = Path(state) / "requests.log"
    return [line.split()[1] for line in log.read_text().splitlines()] if log.exists() else []


def pointer():
    """The pointer's screen position."""
    r = run(["xdotool", "getmouselocation", "--shell"], timeout=10)
    values = dict(line.split("=", 1) for line in r.stdout.split() if "=" in line)
    return int(values["X"]), int(values["Y"])


def move_pointer(x, y, timeout=3.0):
    """Moves the pointer and waits until X reports it there. Unlike `mousemove --sync`, which
    waits for ever when the pointer already is at the target, or when a window moved under it."""
    run(["xdotool", "mousemove", str(x), str(y)], timeout=10)
    deadline = time.monotonic() + timeout
    while pointer() != (x, y) and time.monotonic() < deadline:
        time.sleep(0.02)


def tap(name, window=None, hold=0.08):
    """A key pressed and released the way a player does it, into window (focused first).
    The launcher polls its hot keys every 600 ms and sees a tap made between two polls."""
    if window:
        run(["xdotool", "windowfocus", "--sync", str(window)], timeout=10)
    run(["xdotool", "keydown", name], timeout=10)
    time.sleep(hold)
    run(["xdotool", "keyup", name], timeout=10)


def watch_clip(ms):
    """The cursor clips seen by a tight GetClipCursor watch: {(L, T, R, B): samples}."""
    _, out = probe("watch-clip", ms, timeout=30 + ms // 1000)
    seen = {}
    for line in out.splitlines():
        v = [int(x) for x in line.split()]
        if len(v) == 5:
            seen[tuple(v[:4])] = v[4]
    return seen
