"""The launcher's window set, seen from outside: the real TovrenLauncher.exe copied alone
into an empty folder and run under Wine in the session's Xvfb display, driven with xdotool.

Environment: TOVREN_EXE, TOVREN_E2E_WORK, TOVREN_ART_DIR (the committed artwork, to compare
the screen with), TOVREN_IP_TOOL (the IP tool the launcher carries), DISPLAY and the Wine
variables of scripts/wine-env.sh.
"""
import os
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "lib"))
import e2e  # noqa: E402
from e2e import TWIPS, check  # noqa: E402

ART = Path(os.environ.get("TOVREN_ART_DIR", Path(__file__).resolve().parents[3] / "resources" / "art"))
SCREEN = (1280, 1024)

# Rectangles in twips inside `主体`, containers included (the start panel lies at 0, 540;
# the version list at 1185, 570 inside it).
START_PANEL_TOP = 540
CHECK_BOX = [(1155, START_PANEL_TOP + (32 * i + 41) * 15, 2835, 435) for i in range(4)]
DROP_DOWN_BOX = (1170, START_PANEL_TOP + 150, 2565, 450)
VERSION_ENTRY = [(1185 + 60, START_PANEL_TOP + 570 + (20 * i + 1) * 15, 2100, 285) for i in range(3)]
VERSION_PICTURE = (1245, START_PANEL_TOP + 255, 2100, 285)
START_BUTTON = (6420, 3660, 1365, 750)
MINIMISE_BUTTON = (5820, 90, 375, 345)
CLOSE_BUTTON = (6255, 90, 375, 345)


def px(rect_twips):
    return tuple((v + TWIPS // 2) // TWIPS for v in rect_twips)


def raw_rgb(path, crop=None):
    """(width, height, bytes) of an image or of a rectangle of it, 8-bit RGB."""
    args = ["convert", str(path)]
    if crop:
        x, y, w, h = crop
        args += ["-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage"]
    size = subprocess.run(args + ["-format", "%w %h", "info:"], capture_output=True, text=True,
                          timeout=30).stdout.split()
    data = subprocess.run(args + ["-depth", "8", "rgb:-"], capture_output=True, timeout=30).stdout
    return int(size[0]), int(size[1]), data


def matches_bitmap(shot, bitmap, at):
    """Share of the bitmap's non-magenta pixels that the screen shows exactly at `at`."""
    w, h, want = raw_rgb(ART / bitmap)
    _, _, got = raw_rgb(shot, (at[0], at[1], w, h))
    same = total = 0
    for i in range(0, min(len(want), len(got)), 3):
        if want[i:i + 3] == b"\xff\x00\xff":
            continue  # keyed out: the backdrop shows there
        total += 1
        same += want[i:i + 3] == got[i:i + 3]
    return same / total if total else 0.0


def magenta_pixels(shot, rect):
    _, _, data = raw_rgb(shot, rect)
    return sum(1 for i in range(0, len(data), 3) if data[i:i + 3] == b"\xff\x00\xff")


def control_on_screen(launcher, rect_twips):
    bx, by = launcher.body_origin()
    x, y, w, h = px(rect_twips)
    return bx + x, by + y, w, h


def park_pointer():
    e2e.mouse_move(5, SCREEN[1] - 5)
    time.sleep(0.3)


def wait_gone(title, timeout=15.0):
    def gone():
        for w in e2e.windows_named(title):
            if "IsViewable" in e2e.run(["xwininfo", "-id", str(w)], timeout=10).stdout:
                return False
        return True
    e2e.wait_for(title + " hidden", gone, timeout)


def test_first_start_shows_the_skinned_launcher():
    l = e2e.Launcher("first_start")
    try:
        l.start()
        # The working folder and the IP tool are dropped before the controls show.
        zarnu = l.folder / "zarnu"
        check(zarnu.is_dir(), "no zarnu folder")
        check((zarnu / "Zarnu_IP.exe").is_file(), "no zarnu\\Zarnu_IP.exe")
        carried = os.environ.get("TOVREN_IP_TOOL")
        if carried and Path(carried).is_file():
            check((zarnu / "Zarnu_IP.exe").read_bytes() == Path(carried).read_bytes(),
                  "zarnu\\Zarnu_IP.exe is not the IP tool the launcher carries")
        check(not (zarnu / "zarnu.res").exists(), "a settings file before the first close")
        check(sorted(p.name for p in l.folder.iterdir()) == ["TovrenLauncher.exe", "zarnu"],
              "unexpected files: %s" % sorted(p.name for p in l.folder.iterdir()))

        mx, my, mw, mh = e2e.geometry(l.main)
        check((mw, mh) == e2e.MAIN_SIZE, "main is %dx%d" % (mw, mh))
        check((mx, my) == ((SCREEN[0] - mw) // 2, (SCREEN[1] - mh) // 2),
              "main not centred: %d,%d" % (mx, my))
        bx, by, bw, bh = e2e.geometry(l.body)
        check((bw, bh) == e2e.BODY_SIZE, "主体 is %dx%d" % (bw, bh))
        check((bx - mx, by - my) == e2e.BODY_OFFSET, "主体 at +%d,+%d" % (bx - mx, by - my))

        park_pointer()
        shot = e2e.screenshot(Path(os.environ.get("TOVREN_E2E_WORK", "/tmp")) / "first_start.png")
        # The colour key works everywhere: no magenta reaches the screen.
        check(magenta_pixels(shot, (mx, my, mw, mh)) == 0, "magenta on the screen")
        # The artwork is what shows: the skin bitmaps at their places, the window
        # background of `主体`, and the backdrop's transparent corner shows the white root.
        for bitmap, rect in [("ojb0101.bmp", CHECK_BOX[0]), ("ojb0401.bmp", CHECK_BOX[3]),
                             ("ojb1801.bmp", START_BUTTON), ("ojb2001.bmp", CLOSE_BUTTON),
                             ("ojb1601.bmp", (2520, 3735, 930, 480))]:
            x, y, _, _ = control_on_screen(l, rect)
            share = matches_bitmap(shot, bitmap, (x, y))
            check(share > 0.97, "%s shows only %.0f%%" % (bitmap, share * 100))
        check(e2e.pixel(shot, mx + 1, my + 1) == (255, 255, 255), "main's corner is not see-through")

        # Dragging the handle across the top of `主体` moves both windows together.
        hx, hy = bx + 120, by + 15
        e2e.mouse_move(hx, hy)
        time.sleep(0.2)
        e2e.run(["xdotool", "mousedown", "1"], timeout=10)
        for step in (1, 2):
            e2e.mouse_move(hx + 20 * step, hy + 5 * step)
            time.sleep(0.2)
        e2e.run(["xdotool", "mouseup", "1"], timeout=10)
        time.sleep(0.3)
        check(e2e.geometry(l.main)[:2] == (mx + 40, my + 10), "main dragged to %d,%d" % e2e.geometry(l.main)[:2])
        check(e2e.geometry(l.body)[:2] == (bx + 40, by + 10), "主体 dragged to %d,%d" % e2e.geometry(l.body)[:2])
    finally:
        l.kill()


def test_choices_are_saved_when_the_close_button_ends_the_launcher():
    l = e2e.Launcher("choices")
    try:
        l.start()
        work = Path(os.environ.get("TOVREN_E2E_WORK", "/tmp"))
        box = control_on_screen(l, CHECK_BOX[0])

        # A click on the first check box switches it on: its picture becomes the "on" one.
        l.press_body(*CHECK_BOX[0])
        park_pointer()
        shot = e2e.screenshot(work / "choices_on.png")
        share = matches_bitmap(shot, "ojb0103.bmp", box[:2])
        check(share > 0.97, "check box 1 shows its on picture only %.0f%%" % (share * 100))

        # The version list opens over the first three boxes; the third entry picks version 3.
        l.press_body(*DROP_DOWN_BOX)
        time.sleep(0.3)
        l.press_body(*VERSION_ENTRY[2])
        park_pointer()
        shot = e2e.screenshot(work / "choices_version.png")
        share = matches_bitmap(shot, "ojb0903.bmp", control_on_screen(l, VERSION_PICTURE)[:2])
        check(share > 0.97, "the version picture shows version 3 only %.0f%%" % (share * 100))
        share = matches_bitmap(shot, "ojb0103.bmp", box[:2])
        check(share > 0.97, "the list did not close over check box 1")

        l.press_body(*CLOSE_BUTTON)
        l.wait_exit(30)
        ini = e2e.read_ini(l.folder / "zarnu" / "zarnu.res")
        check(list(ini) == ["版本", "配置", "网络", "设置", "关于"], "sections %s" % list(ini))
        check(ini["版本"].get("编号") == "3", "version saved as %r" % ini["版本"].get("编号"))
        check(ini["配置"].get("复选1") == "1", "switch 1 saved as %r" % ini["配置"].get("复选1"))
        check(ini["配置"].get("复选2") == "0", "switch 2 saved as %r" % ini["配置"].get("复选2"))
        check(ini["设置"].get("场次8") == "OO", "round 8 saved as %r" % ini["设置"].get("场次8"))
        check(ini["关于"].get("注意", "").startswith("本文件由程序自动生成"), "no notice")
    finally:
        l.kill()


def test_minimise_hides_and_the_tray_icon_brings_both_back():
    l = e2e.Launcher("tray")
    try:
        l.start()
        mx, my, _, _ = e2e.geometry(l.main)
        l.press_body(*MINIMISE_BUTTON)
        wait_gone("主体")
        wait_gone("main")
        check(l.proc.poll() is None, "the launcher ended on minimise")
        # The notification area of Wine's explorer draws its own caption; its first icon
        # lies below it, 12 pixels in.
        tray = e2e.visible_window("Wine System Tray", timeout=10)
        tx, ty, _, th = e2e.geometry(tray)
        icon = (tx + 12, ty + th - 13)
        e2e.click(*icon)
        body = e2e.visible_window("主体", timeout=10)
        main = e2e.visible_window("main", timeout=10)
        x, y, _, _ = e2e.geometry(main)
        bx, by, _, _ = e2e.geometry(body)
        check((x, y) == (mx, my), "main came back at %d,%d" % (x, y))
        check((bx - x, by - y) == e2e.BODY_OFFSET, "主体 came back at +%d,+%d" % (bx - x, by - y))

        # A right click opens the popup with its lower edge at the pointer.
        e2e.click(*icon, button=3)
        menu = e2e.visible_window("菜单", timeout=10)
        ux, uy, uw, uh = e2e.geometry(menu)
        check((uw, uh) == (150, 300), "the menu is %dx%d" % (uw, uh))
        check((ux, uy + uh) == (icon[0] + 1, icon[1]), "the menu at %d,%d" % (ux, uy))
    finally:
        l.kill()


if __name__ == "__main__":
    e2e.main([
        test_first_start_shows_the_skinned_launcher,
        test_choices_are_saved_when_the_close_button_ends_the_launcher,
        test_minimise_hides_and_the_tray_icon_brings_both_back,
    ])
