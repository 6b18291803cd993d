#!/usr/bin/env python3
"""The launcher's two glued windows without a caption: dragging the top strip, the tray
icon's left press and right release, the popup menu's exit, and the close button. Wine in
Xvfb shows a system tray whose icons xdotool can click; where there is none (or with
TOVREN_E2E_TRAY=post) the tests post the tray's callback message to 主体 as the shell does.
"""
import time

import road
from road import e2e


def drag(start, delta, button=1, steps=8):
    """Rests the pointer on start, then moves it by delta with button held. A click on the
    backdrop first: Wine keeps a button down that an earlier test's launcher never saw go up."""
    e2e.click(start[0] - 30, start[1] - 60)
    road.rest_on(start)
    e2e.run(["xdotool", "mousedown", str(button)], timeout=10)
    for i in range(1, steps + 1):
        e2e.move_pointer(start[0] + delta[0] * i // steps, start[1] + delta[1] * i // steps)
        time.sleep(0.05)
    time.sleep(0.2)
    e2e.run(["xdotool", "mouseup", str(button)], timeout=10)
    time.sleep(0.3)


def tray_until(code, done, what):
    """A tray notification, repeated once when nothing follows: Wine's system tray here drops
    about one click in twelve on its icon (nothing reaches the launcher then, while the same
    notification posted never fails)."""
    how = e2e.tray_notify(code)
    try:
        e2e.wait_for(what, done, 3)
    except e2e.Failure:
        if how != "clicked":
            raise
        print("  the tray dropped a click (%d); clicking again" % code)
        e2e.tray_notify(code)
        e2e.wait_for(what, done, 10)
    return how


def body_offset(launcher):
    mx, my, _, _ = e2e.geometry(launcher.main)
    bx, by, _, _ = e2e.geometry(launcher.body)
    return bx - mx, by - my


def test_dragging_the_strip_moves_both_windows():
    launcher = e2e.Launcher("drag")
    try:
        launcher.start()
        main0, body0 = e2e.geometry(launcher.main), e2e.geometry(launcher.body)
        strip = road.centre_px(launcher.body_origin(), road.DRAG_STRIP)
        drag(strip, (40, 10))
        main1, body1 = e2e.geometry(launcher.main), e2e.geometry(launcher.body)
        e2e.check(main1[:2] == (main0[0] + 40, main0[1] + 10), "main moved to %r from %r" % (main1, main0))
        e2e.check(body1[:2] == (body0[0] + 40, body0[1] + 10), "主体 moved to %r from %r" % (body1, body0))
        e2e.check(body_offset(launcher) == e2e.BODY_OFFSET, "主体 left its place on main")

        # The right button drags nothing.
        strip = road.centre_px(launcher.body_origin(), road.DRAG_STRIP)
        drag(strip, (-60, 30), button=3)
        e2e.check(e2e.geometry(launcher.main) == main1 and e2e.geometry(launcher.body) == body1,
                  "a right-button drag moved the windows")
    finally:
        launcher.cleanup()


def test_after_a_start_press_the_strip_moves_nothing_without_a_button():
    """The start press hides the windows under the pressed button, so the button goes up
    over no window of ours; once the tray brings them back, plain moves over the strip must
    not drag them."""
    launcher = e2e.Launcher("strip_after_start")
    try:
        launcher.start()
        e2e.click(*road.centre_px(launcher.body_origin(), road.START_BUTTON))
        road.game_window_lines()
        e2e.post_tray(e2e.TRAY_LEFT_DOWN)
        e2e.visible_window("主体", timeout=10)
        main0 = e2e.geometry(launcher.main)
        strip = road.centre_px(launcher.body_origin(), road.DRAG_STRIP)
        road.rest_on(strip)
        for dx in (20, 40):
            e2e.move_pointer(strip[0] + dx, strip[1])
            time.sleep(0.2)
        e2e.check(e2e.geometry(launcher.main) == main0, "moves without a button dragged the windows "
                  "from %r to %r" % (main0, e2e.geometry(launcher.main)))
    finally:
        launcher.cleanup()


def test_tray_restores_opens_menu_and_exit_saves():
    launcher = e2e.Launcher("tray")
    try:
        launcher.start()
        origin = launcher.body_origin()
        e2e.click(*road.centre_px(origin, road.check_box(1)))  # dust-free mode on: a change to save
        e2e.click(*road.centre_px(origin, road.MINIMISE_BUTTON))
        e2e.wait_for("main and 主体 to hide", lambda: e2e.window_state("main") == "hidden"
                     and e2e.window_state("主体") == "hidden", 10)

        how = tray_until(e2e.TRAY_LEFT_DOWN, lambda: e2e.window_state("main") == "visible"
                         and e2e.window_state("主体") == "visible", "the tray's restore")
        e2e.check(body_offset(launcher) == e2e.BODY_OFFSET, "the tray's restore (%s) put 主体 at %r"
                  % (how, body_offset(launcher)))

        # A plain pointer move over the icon is no command.
        e2e.post_tray(e2e.TRAY_MOVE)
        time.sleep(1.0)
        e2e.check(e2e.window_state("menu") == "no", "a pointer move over the tray icon opened the menu")

        how = tray_until(e2e.TRAY_RIGHT_UP, lambda: e2e.window_state("菜单") == "visible", "the menu")
        at = e2e.pointer()
        menu = e2e.visible_window("menu", timeout=10)
        items = e2e.visible_window("菜单", timeout=10)
        want = (at[0], at[1] - 300, 150, 300)
        e2e.wait_for("the menu (%s) at %r, lower edge on the pointer" % (how, want),
                     lambda: e2e.geometry(menu) == want and e2e.geometry(items) == want, 10)

        # Once more, with the pointer in the middle of the screen, so the menu is all on it.
        e2e.move_pointer(600, 700)
        e2e.post_tray(e2e.TRAY_RIGHT_UP)
        e2e.wait_for("the menu to follow the pointer",
                     lambda: e2e.geometry(items) == (600, 400, 150, 300), 10)
        e2e.check(e2e.window_state("menu") == "visible", "the menu closed while in the foreground")
        e2e.click(*road.centre_px((600, 400), road.MENU_EXIT))

        e2e.check(launcher.wait_exit(30) == 0, "the launcher ended with a failure")
        for title in ("main", "主体", "动态", "menu", "菜单", "关于", "提交"):
            e2e.check(e2e.window_state(title) == "no", "window %s outlived the exit" % title)
        e2e.check(e2e.tray_icon() is None, "the tray icon outlived the exit")
        saved = e2e.settings_of(launcher.folder)
        e2e.check(saved.get("复选2") == "1", "the exit item did not save dust-free mode: %r" % saved)
        e2e.check(saved.get("注意", "").startswith("本文件由程序自动生成"), "no notice in the saved file")
    finally:
        launcher.cleanup()


def test_close_button_saves():
    launcher = e2e.Launcher("close_button")
    try:
        launcher.start()
        e2e.click(*road.centre_px(launcher.body_origin(), road.check_box(2)))  # cursor lock on
        e2e.click(*road.centre_px(launcher.body_origin(), road.CLOSE_BUTTON))
        e2e.check(launcher.wait_exit(30) == 0, "the launcher ended with a failure")
        saved = e2e.settings_of(launcher.folder)
        expected = dict(e2e.SETTINGS_DEFAULTS, 复选3="1")
        wrong = {k: saved.get(k) for k, v in expected.items() if saved.get(k, "") != v}
        e2e.check(not wrong, "saved settings differ: %r" % wrong)
        e2e.check(e2e.tray_icon() is None, "the tray icon outlived the launcher")
    finally:
        launcher.cleanup()


if __name__ == "__main__":
    e2e.require_session()
    e2e.main([test_dragging_the_strip_moves_both_windows,
              test_after_a_start_press_the_strip_moves_nothing_without_a_button,
              test_tray_restores_opens_menu_and_exit_saves,
              test_close_button_saves])
