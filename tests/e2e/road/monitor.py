#!/usr/bin/env python3
"""While the game runs: the runtime monitor's hot keys and the online services, with the real
launcher, the stand-in game and IP tool, and the stand-in web server on the port the launcher
was built for (TOVREN_WEB_HOST).

- F4 with option switch 3 on and the game windowed clips the cursor to the game's client
  area, F4 again releases it. This Wine, without a window manager, drops a clip for another
  process's window within milliseconds and the launcher sets it anew on every 300 ms tick,
  so the clip is read by a tight GetClipCursor watch of the probe.
- F9 fills the address list from the lists switches 6 and 7 choose; F8 walks it from the
  last line to the first into the IP tool, whose log records every address it is given.
- A login page of the network served where a list should be (status 200, HTML) is no list:
  the list stays as it was and no markup reaches the IP tool.
- A start with switches 5 and 6 registers the player's own address once when the list lacks
  it, and not when the list has it.
"""
import json
import os
import time
from pathlib import Path

import road
from road import e2e

TICK = 0.6  # the monitor's hot-key timer
WM_CLOSE = 0x0010

LIST_1 = "192.0.2.1\r\n\r\n 192.0.2.2 \r\n   \r\n192.0.2.3\r\n192.0.2.1\r\n"
LIST_2 = "198.51.100.7\r\n192.0.2.3\r\n"
# What F9 makes of them: blank lines dropped, blanks kept, every entry once, first list first.
ENTRIES_1 = ["192.0.2.1", " 192.0.2.2 ", "192.0.2.3"]
ENTRIES_2 = ["198.51.100.7", "192.0.2.3"]
ENTRIES_BOTH = ENTRIES_1 + ["198.51.100.7"]


class Server:
    def __init__(self, work, lists=None):
        self.state = Path(work) / "web"
        (self.state / "lists").mkdir(parents=True, exist_ok=True)
        for name, text in (lists or {}).items():
            (self.state / "lists" / name).write_bytes(text.encode("utf-8"))
        self.pid = e2e.start_server(self.state)

    def requests(self):
        return e2e.server_requests(self.state)

    def submissions(self):
        f = self.state / "submissions.jsonl"
        return [json.loads(line) for line in f.read_text("utf-8").splitlines()] if f.exists() else []

    def stop(self):
        e2e.stop_server(self.pid)


def tool_log(folder):
    f = Path(folder) / "zarnu" / "zarnu_ip.log"
    return f.read_bytes().decode("utf-8").split("\r\n")[:-1] if f.exists() else []


def wait_for_monitor(server, seen_before):
    """Until the runtime monitor runs: it loads the own-address page when it is created,
    and its timers start with it. A key tapped before its first poll may go unseen."""
    e2e.wait_for("the monitor's own-address page",
                 lambda: "/ip/ip.asp" in server.requests()[seen_before:], 15)
    time.sleep(2 * TICK)


def walk_with_f8(launcher, entries):
    """One counting press, then one press per entry; returns the addresses the tool received."""
    log0 = len(tool_log(launcher.folder))
    e2e.tap("F8", launcher.body)
    time.sleep(3 * TICK)  # the counting press applies nothing
    e2e.check(len(tool_log(launcher.folder)) == log0, "the counting F8 press gave the tool an address")
    for n in range(1, len(entries) + 1):
        e2e.tap("F8", launcher.body)
        e2e.wait_for("the IP tool to confirm address %d" % n,
                     lambda: tool_log(launcher.folder)[log0:].count("confirm") == n, 15)
    log = tool_log(launcher.folder)[log0:]
    return [line for line in log if line not in ("started", "confirm")]


def test_f9_fills_the_list_and_f8_walks_it_into_the_ip_tool():
    work = Path(os.environ["TOVREN_E2E_WORK"]) / "hot_keys"
    launcher = e2e.Launcher("hot_keys")
    server = Server(work, {"1_1.txt": LIST_1, "2_1.txt": LIST_2})
    try:
        # The second list only.
        e2e.write_settings(launcher.folder, {"复选5": "1", "复选7": "1"})
        launcher.start()
        wait_for_monitor(server, 0)
        e2e.tap("F9", launcher.body)
        e2e.wait_for("F9's fetch", lambda: "/za/net/2/1/data.asp" in server.requests(), 10)
        applied = walk_with_f8(launcher, ENTRIES_2)
        e2e.check(applied == ENTRIES_2[::-1], "F8 gave the tool %r" % applied)
        e2e.check(tool_log(launcher.folder)[0] == "started", "the IP tool was not started by F8")
        e2e.check(not [r for r in server.requests() if r.startswith("/za/net/1/")],
                  "F9 fetched the first list with switch 6 off")

        # Closing the launcher ends the IP tool it started.
        e2e.check(e2e.processes_named(launcher.folder, "zarnu_ip.exe"), "no IP tool process running")
        e2e.click(*road.centre_px(launcher.body_origin(), road.CLOSE_BUTTON))
        launcher.wait_exit(30)
        e2e.wait_for("the IP tool to end with the launcher",
                     lambda: not e2e.processes_named(launcher.folder, "zarnu_ip.exe"), 10)

        # Both lists: one list, first list first, each entry once.
        e2e.write_settings(launcher.folder, {"复选5": "1", "复选6": "1", "复选7": "1"})
        again = e2e.Launcher("hot_keys", folder=launcher.folder)
        launcher = again
        before = len(server.requests())
        again.start()
        wait_for_monitor(server, before)
        fetched = len(server.requests())
        e2e.tap("F9", again.body)
        e2e.wait_for("F9's two fetches", lambda: server.requests()[fetched:] ==
                     ["/za/net/1/1/data.asp", "/za/net/2/1/data.asp"], 10)
        applied = walk_with_f8(again, ENTRIES_BOTH)
        e2e.check(applied == ENTRIES_BOTH[::-1], "F8 gave the tool %r" % applied)
    finally:
        launcher.cleanup()
        server.stop()


PORTAL = ("<!DOCTYPE html><html><head><title>Wi-Fi</title></head><body>"
          "<p>请先登录网络</p><p>10.0.0.1</p></body></html>")


def test_a_login_page_where_the_list_should_be_leaves_the_list():
    work = Path(os.environ["TOVREN_E2E_WORK"]) / "portal"
    launcher = e2e.Launcher("portal")
    server = Server(work, {"1_1.txt": LIST_1})
    try:
        e2e.write_settings(launcher.folder, {"复选5": "1", "复选6": "1"})
        launcher.start()
        wait_for_monitor(server, 0)
        e2e.tap("F9", launcher.body)
        e2e.wait_for("F9's fetch", lambda: server.requests().count("/za/net/1/1/data.asp") == 1, 10)
        (server.state / "portal.html").write_bytes(PORTAL.encode("utf-8"))
        e2e.tap("F9", launcher.body)
        e2e.wait_for("F9's fetch of the login page",
                     lambda: server.requests().count("/za/net/1/1/data.asp") == 2, 10)
        time.sleep(2 * TICK)
        applied = walk_with_f8(launcher, ENTRIES_1)
        e2e.check(applied == ENTRIES_1[::-1], "F8 gave the tool %r" % applied)
        e2e.check(e2e.window_state(e2e.MESSAGE_TITLE) == "no", "a message box for a silent F9")
    finally:
        launcher.cleanup()
        server.stop()


def f4_locks_and_frees(game, client, when="", retap=False):
    """F4 clips the cursor to the game's client area, and F4 again releases it. With retap,
    a first tap after which nothing at all was clipped is made once more: Wine in Xvfb now
    and then loses a tap for the hot-key poll when the focus has just moved between two
    programs' windows. A monitor whose ticks stand still misses both."""
    e2e.tap("F4", game)
    time.sleep(2 * TICK)
    seen = e2e.watch_clip(2000)
    if retap and client not in seen:
        print("  %snothing clipped after F4 (%r); tapping it again" % (when, seen))
        e2e.tap("F4", game)
        time.sleep(2 * TICK)
        seen = e2e.watch_clip(2000)
    e2e.check(client in seen, "%sF4 did not clip the cursor to the game's client area %r: %r"
              % (when, client, seen))
    e2e.tap("F4", game)
    time.sleep(2 * TICK)
    seen = e2e.watch_clip(2000)
    e2e.check(client not in seen, "%sthe second F4 did not release the cursor: %r" % (when, seen))


def test_f4_locks_the_cursor_into_the_windowed_game():
    launcher = e2e.Launcher("cursor_lock")
    e2e.write_settings(launcher.folder, {"复选3": "1"})
    try:
        launcher.start()
        e2e.click(*road.centre_px(launcher.body_origin(), road.START_BUTTON))
        game = e2e.visible_window("Tovren", timeout=40)
        client = e2e.probe_rect("client", "Tovren")
        e2e.check(client is not None, "the game's window has no client area")
        e2e.run(["xdotool", "windowfocus", "--sync", str(game)], timeout=10)
        e2e.wait_for("the game in the foreground", lambda: e2e.probe("foreground")[1] == "Tovren", 10)
        e2e.check(client not in e2e.watch_clip(1500), "the cursor was clipped before F4")
        f4_locks_and_frees(game, client)
    finally:
        launcher.cleanup()


def test_a_failing_f8_leaves_f4_working():
    """F8 with an IP tool file that is no program any more: its message comes up, and while
    it is up the monitor still ticks: F4 locks the cursor into the game and frees it again."""
    work = Path(os.environ["TOVREN_E2E_WORK"]) / "f8_fails"
    launcher = e2e.Launcher("f8_fails")
    server = Server(work, {"1_1.txt": LIST_1})
    try:
        e2e.write_settings(launcher.folder, {"复选3": "1", "复选5": "1", "复选6": "1"})
        launcher.start()
        wait_for_monitor(server, 0)
        (launcher.folder / "zarnu" / "Zarnu_IP.exe").write_bytes(b"no program any more")
        e2e.click(*road.centre_px(launcher.body_origin(), road.START_BUTTON))
        game = e2e.visible_window("Tovren", timeout=40)
        client = e2e.probe_rect("client", "Tovren")

        def game_in_front():
            # As a player does: a click into the game's window, which takes the keys.
            e2e.click((client[0] + client[2]) // 2, (client[1] + client[3]) // 2)
            e2e.run(["xdotool", "windowfocus", "--sync", str(game)], timeout=10)
            e2e.wait_for("the game in the foreground",
                         lambda: e2e.probe("foreground")[1] == "Tovren", 10)
            time.sleep(2 * TICK)  # the monitor has seen it there
        game_in_front()
        e2e.tap("F8", game)  # counts the list
        time.sleep(3 * TICK)
        e2e.tap("F8", game)  # would start the tool
        text = e2e.wait_message(20)
        e2e.check("zarnu_ip" in text, "the failed F8 said %r" % text)

        game_in_front()  # the box stays up behind the game
        f4_locks_and_frees(game, client, "with F8's message up, ", retap=True)
        e2e.check(len(e2e.message_boxes()) == 1, "the failure was told more than once")
        e2e.dismiss_message()
    finally:
        launcher.cleanup()
        server.stop()


def test_start_registers_a_missing_own_address_once():
    work = Path(os.environ["TOVREN_E2E_WORK"]) / "registration"
    launcher = e2e.Launcher("registration")
    server = Server(work, {"1_1.txt": LIST_1})  # the own address 127.0.0.1 is not in it
    e2e.write_settings(launcher.folder, {"复选5": "1", "复选6": "1"})
    try:
        launcher.start()
        e2e.wait_for("the own-address page", lambda: server.requests().count("/ip/ip.asp") >= 2, 10)
        e2e.click(*road.centre_px(launcher.body_origin(), road.START_BUTTON))
        road.game_window_lines()
        e2e.wait_for("the registration", lambda: server.submissions(), 15)
        time.sleep(2)
        subs = server.submissions()
        e2e.check(len(subs) == 1 and subs[0]["list"] == 1 and subs[0]["version"] == 1,
                  "registrations after the start: %r" % subs)
        e2e.check(server.requests().count("/za/net/1/1/data.asp") == 1, "the list was not fetched once")
        e2e.check(e2e.window_state("提交") == "no", "提交 stayed open after its page")

        # Listed now: the next start fetches the page and submits nothing. The player has
        # left the game first (a running game's files cannot be installed over).
        (server.state / "lists" / "1_1.txt").write_bytes((LIST_1 + "127.0.0.1\r\n").encode())
        e2e.probe("post", "Tovren", WM_CLOSE, 0, 0)
        e2e.wait_for("the game to end", lambda: not e2e.processes_named(launcher.folder, "Tovren.exe"), 10)
        e2e.post_tray(e2e.TRAY_LEFT_DOWN)
        e2e.visible_window("主体", timeout=10)
        pages = server.requests().count("/za/net/1/1/index.asp")
        e2e.click(*road.centre_px(launcher.body_origin(), road.START_BUTTON))
        e2e.wait_for("the second registration page",
                     lambda: server.requests().count("/za/net/1/1/index.asp") == pages + 1, 20)
        time.sleep(2)
        e2e.check(len(server.submissions()) == 1, "a listed address was registered again: %r"
                  % server.submissions())
    finally:
        launcher.cleanup()
        server.stop()


if __name__ == "__main__":
    e2e.require_session()
    e2e.main([test_f4_locks_the_cursor_into_the_windowed_game,
              test_a_failing_f8_leaves_f4_working,
              test_f9_fills_the_list_and_f8_walks_it_into_the_ip_tool,
              test_a_login_page_where_the_list_should_be_leaves_the_list,
              test_start_registers_a_missing_own_address_once])
