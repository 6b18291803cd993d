#!/usr/bin/env python3
"""Every click and key lands where the player aims, on the real launcher:

- a press on a check box slid off the window and released there leaves no control holding
  the mouse: the next press reaches the box under the pointer;
- a click beside the digits of a rule field (its text lies on the key colour, so the click
  falls through to the backdrop) focuses that field with its text selected, and typing
  replaces the value; Tab and Shift+Tab walk the fields in reading order, wrapping;
- with Wine's system tray placed at the bottom right as a taskbar is, every right click on
  the real tray icon shows the menu, and the about item opens the about window in front of
  every launcher window, in the X stacking and in the system's, where a double click on its
  middle closes it; the settings window is above the backdrop afterwards.
"""
import re
import time

import road
from road import e2e

TRAY = "Wine System Tray"
TICK = 0.6  # the monitor's 600 ms timer, which dismisses the menu


def type_text(text):
    """Keys typed into whatever has the keyboard focus, at a player's pace."""
    e2e.run(["xdotool", "type", "--delay", "60", text], timeout=20)
    time.sleep(0.3)


def beside_digits(origin, field):
    """A point of a rule field right of its digits: on the key colour, over the backdrop."""
    x, y, w, h = field
    return origin[0] + (x + w) // e2e.TWIPS - 3, origin[1] + (y + h // 2) // e2e.TWIPS


def close_and_read(launcher):
    e2e.click(*road.centre_px(launcher.body_origin(), road.CLOSE_BUTTON))
    e2e.check(launcher.wait_exit(30) == 0, "the launcher ended with a failure")
    return e2e.settings_of(launcher.folder)


def check_rules_saved(launcher, typed):
    """Closes the launcher and compares the saved rule values with what was typed: time
    values 1, 2, 3 and 5 pair with the round values, typed after them."""
    saved = close_and_read(launcher)
    want = dict(typed)
    for i in (1, 2, 3, 5):
        want["时间%d" % i] = typed["场次%d" % i]
    wrong = {k: (saved.get(k), v) for k, v in want.items() if saved.get(k) != v}
    e2e.check(not wrong, "saved (got, typed) differ: %r" % wrong)


def open_rules(launcher):
    e2e.click(*road.centre_px(launcher.body_origin(), road.SETTINGS_BUTTON))
    time.sleep(0.3)


def test_a_press_slid_off_the_window_lets_the_next_press_land():
    launcher = e2e.Launcher("slide_off")
    try:
        launcher.start()
        origin = launcher.body_origin()
        first = road.centre_px(origin, road.check_box(0))
        fourth = road.centre_px(origin, road.check_box(3))
        road.rest_on(first)
        e2e.run(["xdotool", "mousedown", "1"], timeout=10)  # switches the first box on
        time.sleep(0.2)
        for x, y in ((first[0] - 100, first[1] - 120), (160, 140), (60, 60)):  # off the window
            e2e.move_pointer(x, y)
            time.sleep(0.1)
        e2e.run(["xdotool", "mouseup", "1"], timeout=10)
        time.sleep(0.3)
        e2e.click(*fourth)
        saved = close_and_read(launcher)
        e2e.check((saved.get("复选1"), saved.get("复选4")) == ("1", "1"),
                  "after the slide the first and fourth switches are %r, %r"
                  % (saved.get("复选1"), saved.get("复选4")))
    finally:
        launcher.cleanup()


def test_a_click_beside_the_digits_then_typing_replaces_each_rule_value():
    launcher = e2e.Launcher("rule_clicks")
    try:
        launcher.start()
        open_rules(launcher)
        origin = launcher.body_origin()
        typed = {}
        for k, key in enumerate(road.RULE_KEYS):
            e2e.click(*beside_digits(origin, road.rule_field(k)))
            value = str(10 + k)
            type_text(value)
            typed[key] = value
        check_rules_saved(launcher, typed)
    finally:
        launcher.cleanup()


def test_tab_walks_the_rule_fields_in_reading_order_and_wraps():
    launcher = e2e.Launcher("rule_tab")
    try:
        launcher.start()
        open_rules(launcher)
        origin = launcher.body_origin()
        e2e.click(*beside_digits(origin, road.rule_field(0)))
        typed = {}
        for k, key in enumerate(road.RULE_KEYS):
            value = str(30 + k)
            type_text(value)
            typed[key] = value
            e2e.run(["xdotool", "key", "Tab"], timeout=10)
            time.sleep(0.2)
        type_text("99")  # back on the first HP field: the whole value is replaced
        typed["血量1"] = "99"
        e2e.run(["xdotool", "key", "shift+Tab"], timeout=10)
        time.sleep(0.2)
        type_text("88")  # the players' field, before it
        typed["人数"] = "88"
        check_rules_saved(launcher, typed)
    finally:
        launcher.cleanup()


class TrayAtBottomRight:
    """Wine's system tray placed like a Windows taskbar: at the bottom right. Only a program
    inside Wine can move it so that Wine notices (the probe); put back afterwards."""

    def __enter__(self):
        windows = e2e.windows_named(TRAY)
        e2e.check(len(windows) == 1, "%d Wine system trays on this display" % len(windows))
        self.window = windows[0]
        self.was = e2e.geometry(self.window)  # its frame too, as SetWindowPos places it
        self.place(1280 - self.was[2], 1024 - self.was[3])
        return self

    def place(self, x, y):
        code, out = e2e.probe("place", TRAY, x, y)
        e2e.check(code == 0, "could not move the tray: " + out)
        e2e.wait_for("the tray at %d, %d" % (x, y),
                     lambda: e2e.geometry(self.window)[:2] == (x, y), 10)
        time.sleep(0.5)

    def __exit__(self, *exc):
        self.place(self.was[0], self.was[1])


def right_click_tray_until_menu(attempt):
    """A real right click on the tray icon; returns the menu's place. Wine's tray drops about
    one click in twelve: nothing at all of the launcher's appears then, and the click is made
    again. A menu that appears and goes again, or never gets its items, is the launcher's
    fault and fails."""
    for tries in range(3):
        e2e.tray_notify(e2e.TRAY_RIGHT_UP)
        try:
            e2e.wait_for("the menu's backdrop", lambda: e2e.window_state("menu") != "no", 3)
        except e2e.Failure:
            print("  right click %d: the tray dropped it; clicking again" % attempt)
            continue
        items = e2e.visible_window("菜单", timeout=5)
        at = e2e.pointer()
        left = at[0] if 1280 - 150 >= at[0] else at[0] - 150
        want = (left, at[1] - 300, 150, 300)
        e2e.wait_for("the menu at %r" % (want,), lambda: e2e.geometry(items) == want, 5)
        # It stays through the monitor's ticks while it has the foreground.
        time.sleep(3 * TICK)
        e2e.check(e2e.window_state("菜单") == "visible" and e2e.window_state("menu") == "visible",
                  "right click %d: the menu went away on its own" % attempt)
        return want
    raise e2e.Failure("three right clicks on the tray icon reached nothing")


def x_stacking():
    """Titles of the viewable top-level X windows, bottom first (the X server's order)."""
    out = e2e.run(["xwininfo", "-root", "-children"], timeout=10).stdout
    titles = []
    for line in out.splitlines():
        m = re.match(r'\s+0x[0-9a-f]+ "(.*)": \(', line)
        if m:
            titles.append(m.group(1))
    # xwininfo lists the top window first.
    return titles[::-1]


def above(order, upper, lower):
    return upper in order and lower in order and order.index(upper) > order.index(lower)


def test_every_right_click_on_the_tray_shows_the_menu():
    launcher = e2e.Launcher("tray_menu_twenty")
    try:
        launcher.start()
        with TrayAtBottomRight():
            for attempt in range(1, 21):
                place = right_click_tray_until_menu(attempt)
                # The show item brings the launcher back and closes the menu.
                e2e.click(*road.centre_px(place[:2], road.MENU_SHOW))
                e2e.wait_for("the menu to close", lambda: e2e.window_state("菜单") == "no"
                             and e2e.window_state("menu") == "no", 10)
    finally:
        launcher.cleanup()


def test_the_about_window_opens_in_front_and_closes_on_a_double_click():
    launcher = e2e.Launcher("about_front")
    try:
        launcher.start()
        with TrayAtBottomRight():
            place = right_click_tray_until_menu(1)
            e2e.click(*road.centre_px(place[:2], road.MENU_ABOUT))
            about = e2e.visible_window("关于", timeout=10)
            e2e.wait_for("the menu to close", lambda: e2e.window_state("菜单") == "no", 10)
            time.sleep(2 * TICK)
            e2e.check(e2e.probe("foreground")[1] == "关于",
                      "the foreground is %r, not the about window" % e2e.probe("foreground")[1])
            system = e2e.probe("zorder")[1].splitlines()
            e2e.check(system.index("关于") < min(system.index("主体"), system.index("main")),
                      "the system stacks %r" % system)
            stack = x_stacking()
            e2e.check(above(stack, "关于", "主体") and above(stack, "关于", "main"),
                      "the X server stacks %r" % stack)
            ax, ay, aw, ah = e2e.geometry(about)
            middle = (ax + aw // 2, ay + ah // 2)
            e2e.check(e2e.probe("window-at", *middle)[1] == "关于",
                      "a click on the about window's middle reaches %r" % e2e.probe("window-at", *middle)[1])

            e2e.move_pointer(*middle)
            time.sleep(0.2)
            e2e.run(["xdotool", "click", "--repeat", "2", "--delay", "120", "1"], timeout=10)
            e2e.wait_for("the about window to close", lambda: e2e.window_state("关于") == "no", 10)
            time.sleep(2 * TICK)
            system = e2e.probe("zorder")[1].splitlines()
            e2e.check(system.index("主体") < system.index("main"), "the system stacks %r" % system)
            e2e.check(above(x_stacking(), "主体", "main"), "the X server stacks %r" % x_stacking())
            box = road.centre_px(launcher.body_origin(), road.check_box(1))
            e2e.check(e2e.probe("window-at", *box)[1] == "主体", "a check box is covered by %r"
                      % e2e.probe("window-at", *box)[1])
    finally:
        launcher.cleanup()


if __name__ == "__main__":
    e2e.require_session()
    e2e.main([test_a_press_slid_off_the_window_lets_the_next_press_land,
              test_a_click_beside_the_digits_then_typing_replaces_each_rule_value,
              test_tab_walks_the_rule_fields_in_reading_order_and_wraps,
              test_every_right_click_on_the_tray_shows_the_menu,
              test_the_about_window_opens_in_front_and_closes_on_a_double_click])
