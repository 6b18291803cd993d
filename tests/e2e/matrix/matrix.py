#!/usr/bin/env python3
"""The road a player takes, on the Windows set-ups players have besides the test prefix: a
32-bit Windows, a non-Chinese code page (1252) and a Linux desktop whose window manager
(openbox) manages Wine's windows. TOVREN_WINE_SETUP names the set-up; scripts/with-session
gives it its own prefix and display. The game folder has a Chinese name, as many players'
folders have.

In one folder, as a new player goes: the first start in an empty folder and a close; a
settings file written by hand with Chinese keys and values, loaded, and saved back with
only the values the player changed; a start press for version 2 with switch 1 switched on
and switch 4 on, and one for version 1 with switch 4 off, each checked byte for byte; the
tray icon bringing the launcher back; the popup menu's three items, the last one the exit.
"""
import os
import shutil
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "road"))
import road  # noqa: E402
import start_press  # noqa: E402
import tray_windows  # noqa: E402
from road import e2e  # noqa: E402

SETUP = os.environ.get("TOVREN_WINE_SETUP", "")
WM_CLOSE = 0x0010
MANAGED = SETUP == "openbox"  # a window manager places what Wine hands it
WORK = Path(os.environ.get("TOVREN_E2E_WORK", "/tmp/tovren-e2e"))
FOLDER = WORK / "玩家" / "格斗游戏"

NOTICE = "本文件由程序自动生成，请勿手动修改！否则可能会使程序无法正常运行！"
PLATFORM = "D:\\对战平台.exe"  # short enough for the path label to show it whole

# Written by hand: blanks around names and the equals sign, a comment, a section of the
# player's own, Chinese values, and no notice yet.
HAND_WRITTEN = [
    "; 我自己的设置",
    "[版本]", "  编号 = 2",
    "[配置]", "复选1=0", "复选2 = 0", "复选3=0", " 复选4 =1",
    "[网络]", "复选5=0", "复选6=0", "复选7=0", "复选8=0", "路径 = " + PLATFORM,
    "[设置]", "血量1=80", "血量2=120", "血量3=160", "血量4=240", "血量5=999",
    "时间1=2", "时间2=4", "时间3=6", "时间4=12", "时间5=20",
    "场次1=2", "场次2=4", "场次3=6", "场次4=7", "场次5=20", "场次6=25", "场次7=30",
    "场次8 = ∞", "人数=8",
    "[其他]", "颜色=红",
]
HAND_VALUES = dict(
    编号="2", 复选4="1", 路径=PLATFORM, 血量1="80", 血量2="120", 血量3="160", 血量4="240",
    血量5="999", 时间1="2", 时间2="4", 时间3="6", 时间4="12", 时间5="20", 场次1="2",
    场次2="4", 场次3="6", 场次4="7", 场次5="20", 场次6="25", 场次7="30", 场次8="∞",
    人数="8")


def gbk_lines(lines):
    return ("\r\n".join(lines) + "\r\n").encode("gbk")


def saved_after(lines, changes):
    """The hand-written file once saved with changes {key: value}: a changed line is written
    anew as key=value, every other line keeps its bytes, and the notice comes last."""
    out = []
    for line in lines:
        key = line.split("=", 1)[0].strip() if "=" in line and not line.startswith(";") else None
        out.append("%s=%s" % (key, changes[key]) if key in changes else line)
    return gbk_lines(out + ["[关于]", "注意=" + NOTICE])


def new_file(values):
    """The settings file a first close writes: every key in order, then the notice."""
    lines, section = [], None
    for sec, key in e2e.SETTINGS_KEYS:
        if sec != section:
            lines.append("[%s]" % sec)
            section = sec
        lines.append("%s=%s" % (key, values[key]))
    return gbk_lines(lines + ["[关于]", "注意=" + NOTICE])


def launcher(fresh=False):
    """The launcher in the game folder; a fresh folder holds nothing but the launcher."""
    if fresh or not (FOLDER / "TovrenLauncher.exe").exists():
        shutil.rmtree(FOLDER.parent, ignore_errors=True)
        FOLDER.mkdir(parents=True)
        shutil.copy(os.environ["TOVREN_EXE"], FOLDER / "TovrenLauncher.exe")
    return e2e.Launcher("matrix", folder=FOLDER)


def close_game():
    """The player closes the game before the next start (it holds Tovren.exe open)."""
    e2e.probe("post", "Tovren", WM_CLOSE, 0, 0)
    e2e.wait_for("the game to end", lambda: not e2e.processes_named(FOLDER, "Tovren.exe")
                 and e2e.window_state("Tovren") == "no", 15)


def press(l, control):
    e2e.click(*road.centre_px(l.body_origin(), control))


def wait_hidden(l):
    e2e.wait_for("main and 主体 to hide", lambda: e2e.window_state("main") == "hidden"
                 and e2e.window_state("主体") == "hidden", 10)


def check_glued(l):
    main, body = e2e.geometry(l.main), e2e.geometry(l.body)
    e2e.check((body[0] - main[0], body[1] - main[1]) == e2e.BODY_OFFSET,
              "主体 at %r on main at %r" % (body, main))


def place_tray():
    """Puts Wine's system tray where a player finds the notification area: the bottom-right
    corner, as on Windows; with a window manager, the top-right corner instead, so that the
    menu opens reaching above the screen and the manager keeps it on the screen. Where Wine
    first puts it, at the top left, the game's window covers it."""
    def client():
        return e2e.probe_rect("client", "Wine System Tray")
    r = e2e.wait_for("Wine's system tray", client, 10)
    width, height = r[2] - r[0], r[3] - r[1]
    want = (1280 - width - 8, 8) if MANAGED else (1280 - width - 8, 1024 - height - 8)
    # The probe places the frame; the icons lie in the client area inside it.
    frame = want
    for _ in range(3):
        if r[:2] == want:
            return
        e2e.probe("place", "Wine System Tray", *frame)
        time.sleep(0.5)
        r = client()
        frame = (frame[0] + want[0] - r[0], frame[1] + want[1] - r[1])
    e2e.check(r[:2] == want, "Wine's system tray stays at %r, not %r" % (r[:2], want))


def open_menu():
    """Opens the tray menu with a right click on the tray icon; returns where it lies."""
    tray_windows.tray_until(e2e.TRAY_RIGHT_UP, lambda: e2e.window_state("菜单") == "visible",
                            "the menu")
    px, py = e2e.pointer()
    menu, items = e2e.visible_window("menu", 10), e2e.visible_window("菜单", 10)

    def together():
        at = e2e.geometry(items)
        # On the screen and for Windows alike: the items on their skin.
        windows = [e2e.probe_rect("client", t) for t in ("menu", "菜单")]
        want = (at[0], at[1], at[0] + 150, at[1] + 300)
        return at if e2e.geometry(menu) == at and windows == [want, want] else None
    try:
        at = e2e.wait_for("menu and 菜单 on one place", together, 5)
    except e2e.Failure:
        raise e2e.Failure("menu at %r (Windows: %r), 菜单 at %r (Windows: %r)" % (
            e2e.geometry(menu), e2e.probe_rect("client", "menu"), e2e.geometry(items),
            e2e.probe_rect("client", "菜单")))
    if MANAGED:
        e2e.check(0 <= at[1] and 0 <= at[0] <= 1280 - 150, "the menu at %r is off the screen" % (at,))
    else:
        # Its lower edge on the pointer; to the pointer's left this near the right edge.
        want = (px if 1280 - 150 >= px else px - 150, py - 300, 150, 300)
        e2e.check(at == want, "the menu at %r, not %r" % (at, want))
    return at


def choose(item):
    """Opens the menu and presses one of its items with the mouse."""
    at = open_menu()
    e2e.click(*road.centre_px(at, item))
    e2e.wait_for("the menu to close", lambda: e2e.window_state("菜单") == "no", 10)


def test_first_start_in_an_empty_folder():
    l = launcher(fresh=True)
    try:
        l.start()
        place_tray()
        zarnu = FOLDER / "zarnu"
        e2e.check((zarnu / "Zarnu_IP.exe").read_bytes() == road.payload("ZARNU_IP.exe").read_bytes(),
                  "zarnu\\Zarnu_IP.exe is not the IP tool the launcher carries")
        e2e.check(sorted(p.name for p in FOLDER.iterdir()) == ["TovrenLauncher.exe", "zarnu"]
                  and [p.name for p in zarnu.iterdir()] == ["Zarnu_IP.exe"],
                  "files before the first close: %s" % sorted(str(p) for p in FOLDER.rglob("*")))
        x, y, w, h = e2e.geometry(l.main)
        e2e.check((x, y, w, h) == ((1280 - 800) // 2, (1024 - 600) // 2, 800, 600),
                  "main at %r, not centred" % ((x, y, w, h),))
        check_glued(l)
        press(l, road.CLOSE_BUTTON)
        e2e.check(l.wait_exit(30) == 0, "the launcher ended with a failure")
        saved = (zarnu / "zarnu.res").read_bytes()
        e2e.check(saved == new_file(e2e.SETTINGS_DEFAULTS),
                  "the first close wrote %r" % saved.decode("gbk", "replace"))
    finally:
        l.cleanup()


def test_hand_written_settings_two_start_presses_tray_and_menu():
    l = launcher()
    settings_file = FOLDER / "zarnu" / "zarnu.res"
    settings_file.parent.mkdir(exist_ok=True)
    settings_file.write_bytes(gbk_lines(HAND_WRITTEN))
    road.forget_registration()
    try:
        l.start()
        place_tray()
        # Loaded through code page 936 whatever the system's is: the controls show the texts.
        texts = [text for _, _, text in e2e.children("主体")]
        e2e.check("∞" in texts and PLATFORM in texts and "999" in texts,
                  "the settings window shows %r" % texts)

        press(l, road.check_box(0))  # hidden commands on
        press(l, road.START_BUTTON)
        v2 = dict(e2e.SETTINGS_DEFAULTS, **HAND_VALUES, 复选1="1")
        start_press.check_start(FOLDER, v2)
        if SETUP == "win32":
            # The name a 64-bit Windows redirects is only a plain subkey here.
            e2e.check(road.registered(road.WOW64_KEY) == {"Path": None, "Exe": None},
                      "switch 4 wrote under Wow6432Node, where the game never reads")

        tray_windows.tray_until(e2e.TRAY_LEFT_DOWN, lambda: e2e.window_state("主体") == "visible",
                                "the tray's restore")
        check_glued(l)
        close_game()
        road.forget_registration()
        press(l, road.DROP_DOWN_BOX)
        time.sleep(0.3)
        press(l, road.version_entry(1))
        press(l, road.check_box(3))  # 64-bit Windows support off
        press(l, road.START_BUTTON)
        start_press.check_start(FOLDER, dict(v2, 编号="1", 复选4="0"))

        # The menu: back to the windows, the about picture, and the exit.
        choose(road.MENU_SHOW)
        e2e.wait_for("main and 主体 back", lambda: e2e.window_state("主体") == "visible"
                     and e2e.window_state("main") == "visible", 10)
        check_glued(l)
        choose(road.MENU_ABOUT)
        e2e.visible_window("关于", 15)
        choose(road.MENU_EXIT)
        e2e.check(l.wait_exit(30) == 0, "the launcher ended with a failure")
        e2e.check(e2e.tray_icon() is None, "the tray icon outlived the exit")
        saved = settings_file.read_bytes()
        want = saved_after(HAND_WRITTEN, {"编号": "1", "复选1": "1", "复选4": "0"})
        e2e.check(saved == want, "saved %r, expected %r" % (saved.decode("gbk", "replace"),
                                                            want.decode("gbk", "replace")))
    finally:
        l.cleanup()
        road.forget_registration()


if __name__ == "__main__":
    e2e.require_session()
    print("set-up: %s, WINEPREFIX=%s, LANG=%s" % (SETUP or "test prefix", os.environ["WINEPREFIX"],
                                                  os.environ.get("LANG")))
    e2e.main([test_first_start_in_an_empty_folder,
              test_hand_written_settings_two_start_presses_tray_and_menu])
