"""What the road scenarios share: where the controls of 主体 lie, the packs the launcher
carries (read straight from the payload folder), and what a start press must leave in the
game files, worked out here independently of the launcher's own tables.
"""
import os
import struct
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "lib"))
import e2e  # noqa: E402

# Controls of 主体 in twips from its top-left corner: (left, top, width, height). The panels
# 开始 and 网络 lie at (0, 540); their controls are given here already moved by that.
PANEL_TOP = 540
START_BUTTON = (6420, 3660, 1365, 750)
NETWORK_BUTTON = (2520, 3735, 930, 480)
MINIMISE_BUTTON = (5820, 90, 375, 345)
CLOSE_BUTTON = (6255, 90, 375, 345)
DRAG_STRIP = (0, 0, 5775, 495)


def check_box(element):
    """Check box of option switch element + 1 (elements 0-3 on 开始, 4-7 on 网络)."""
    if element < 4:
        return (1155, PANEL_TOP + (32 * element + 41) * 15, 2835, 435)
    left, top = [(315, 135), (705, 615), (705, 1095), (315, 1575)][element - 4]
    return (left, PANEL_TOP + top, 3150, 435)


# The version drop-down box of 开始 and the entries of its list (versions 1 to 3).
DROP_DOWN_BOX = (1170, PANEL_TOP + 150, 2565, 450)


def version_entry(version):
    return (1185 + 60, PANEL_TOP + 570 + (20 * (version - 1) + 1) * 15, 2100, 285)


# Popup menu items in twips inside 菜单 (150 x 300 pixels).
MENU_EXIT = (510, 3150, 1125, 1095)
MENU_SHOW = (1005, 1770, 870, 810)
MENU_ABOUT = (285, 420, 780, 795)

# The rules panel 血时 opens with the settings button (按钮 1).
SETTINGS_BUTTON = (4275, 3435, 960, 555)
RULES_PANEL = (1200, 795)
# The rule fields in reading order, with their settings keys.
RULE_KEYS = (["血量%d" % i for i in range(1, 6)] + ["时间%d" % i for i in range(1, 6)]
             + ["场次%d" % i for i in range(1, 9)] + ["人数"])


def rule_field(k):
    """Rule field k of RULE_KEYS in 主体's twips: (left, top, width, height)."""
    column, top = [(k, 30), (k - 5, 510), (k - 10, 990), (k - 15, 1470), (0, 1950)][
        0 if k < 5 else 1 if k < 10 else 2 if k < 15 else 3 if k < 18 else 4]
    return (RULES_PANEL[0] + 120 + 890 * column, RULES_PANEL[1] + top, 615, 245)


def rest_on(point):
    """Brings the pointer onto point from outside 主体 in a few moves, and rests it there: one
    resting on a control when 主体 appeared has that control's capture, and its first move
    only gives it back."""
    for x in (point[0] - 30, point[0] - 2, point[0] - 1, point[0]):
        e2e.move_pointer(x, point[1] - 60 if x == point[0] - 30 else point[1])
        time.sleep(0.15)


def centre_px(origin, control):
    x, y, w, h = control
    return origin[0] + (x + w // 2) // e2e.TWIPS, origin[1] + (y + h // 2) // e2e.TWIPS


# --- the packs -----------------------------------------------------------------------------

def payload(name):
    return Path(os.environ["TOVREN_PAYLOADS"]) / name


def pack_entries(name):
    """{archive path: bytes} of a self-extracting pack of the payload folder."""
    data = payload(name).read_bytes()
    magic, offset, length, _crc = struct.unpack_from("<8sIII", data, len(data) - 20)
    e2e.check(magic == b"TVSFXEND", name + " has no archive footer")
    archive = data[offset:offset + length]
    e2e.check(archive[:8] == b"TVSFXARC", name + " has no archive")
    count, = struct.unpack_from("<I", archive, 8)
    pos, entries = 12, {}
    for _ in range(count):
        plen, = struct.unpack_from("<H", archive, pos)
        path = archive[pos + 2:pos + 2 + plen].decode("utf-8")
        pos += 2 + plen
        size, = struct.unpack_from("<I", archive, pos)
        entries[path] = archive[pos + 4:pos + 4 + size]
        pos += 4 + size
    return entries


def game_file(folder, archive_path):
    return Path(folder).joinpath(*archive_path.split("\\"))


# --- the executable patch ------------------------------------------------------------------

# Slot offsets in writing order, versions 1 and 3; version 2 lies 0x10 further.
TEXT_SLOTS = [  # (settings key, offset, appends "%")
    ("血量1", 0x1C743C, True), ("血量2", 0x1C7434, True), ("血量3", 0x1C742C, True),
    ("血量4", 0x1C7424, True), ("血量5", 0x1C741C, True),
    ("时间1", 0x1C7474, False), ("时间2", 0x1C7470, False), ("时间3", 0x1C746C, False),
    ("场次4", 0x1C7468, False), ("时间4", 0x1C7490, False), ("时间5", 0x1C7464, False),
    ("场次6", 0x1C7460, False), ("场次7", 0x1C745C, False), ("场次8", 0x1C7458, False),
    ("人数", 0x1C7484, False),
]
CODE_CHANGE = {"A": 0x3AB5E, "B": 0x3AAAE}
HIDDEN_COMMANDS = {"A": 0xB6595, "B": 0xB66F5}


def layout(version):
    return "B" if version == "2" else "A"


def expected_exe(pristine, settings):
    """Tovren.exe as a start press with these settings must leave the pack's copy."""
    buf = bytearray(pristine)
    shift = 0x10 if layout(settings["编号"]) == "B" else 0
    for _, offset, _ in TEXT_SLOTS:
        buf[offset + shift:offset + shift + 4] = bytes(4)
    for key, offset, percent in TEXT_SLOTS:
        raw = (settings[key] + ("%" if percent else "")).encode("gbk")
        buf[offset + shift:offset + shift + len(raw)] = raw
    code = CODE_CHANGE[layout(settings["编号"])]
    buf[code:code + 2] = b"\x90\x90"
    if settings["复选1"] == "1":
        buf[HIDDEN_COMMANDS[layout(settings["编号"])]] = 0x71
    return bytes(buf)


def game_lines(settings):
    """The lines the game stand-in shows for a file patched with these settings."""
    s = settings
    times = [s["时间%d" % i] for i in range(1, 6)]
    # The round-count list shares its 1st-3rd and 5th texts with the time values.
    rounds = [s["时间1"], s["时间2"], s["时间3"], s["场次4"], s["时间5"],
              s["场次6"], s["场次7"], s["场次8"]]
    b = layout(s["编号"]) == "B"
    return [
        "Layout: B (version 2)" if b else "Layout: A (versions 1, 3)",
        "HP: " + " ".join(s["血量%d" % i] + "%" for i in range(1, 6)),
        "Time: " + " ".join(times),
        "Rounds: " + " ".join(rounds),
        "Players: " + s["人数"],
        "Code: 90 90 / " + ("71" if s["复选1"] == "1" else "75"),
    ]


# --- the scene table -----------------------------------------------------------------------

SCENE_TRACKS = [2, 2, 3, 5, 7, 5, 8, 8, 8, 9, 9, 1, 4, 1, 6, 6, 7, 5, 4, 7, 10, 5]


def scene_record(scene):
    return 0xF096 if scene == 22 else 0xEA43 + 77 * (scene - 1)


def expected_res(pristine, missing):
    """Tovren.res after the scene patch, when the files in missing do not count as present."""
    buf = bytearray(pristine)
    for scene in range(1, 23):
        at = scene_record(scene)
        track = SCENE_TRACKS[scene - 1]
        buf[at] = 0x0A if "sn%02d.pak" % scene in missing else 0x0B
        buf[at + 16] = 0x0B if "music\\s%d.mp3" % track in missing else track
    return bytes(buf)


# --- registry ------------------------------------------------------------------------------

SOFTWARE_KEY = r"HKLM\Software\Corvane\Tovren"
WOW64_KEY = r"HKLM\SOFTWARE\Wow6432Node\Corvane\Tovren"


def forget_registration():
    # On a 32-bit Windows the second name is a key of its own.
    for key in (r"HKLM\Software\Corvane", r"HKLM\SOFTWARE\Wow6432Node\Corvane"):
        e2e.reg_delete(key)


def registered(key=SOFTWARE_KEY):
    """{"Path": ..., "Exe": ...} under key as the game reads them (None for a missing value)."""
    return {value: e2e.reg_query(key, value) for value in ("Path", "Exe")}


# --- programs the launcher started -----------------------------------------------------------

def game_window_lines(timeout=40):
    """Waits for the game's window and returns the texts it shows."""
    e2e.visible_window("Tovren", timeout=timeout)

    def lines():
        found = [text for cls, _, text in e2e.children("Tovren") if cls.lower() == "static"]
        return found if len(found) == 6 else None
    return e2e.wait_for("the game's six lines", lines, 10)


def wait_packs_gone(folder, timeout=15):
    """The packs delete themselves: neither name stays, nor the stub's hidden copy."""
    folder = Path(folder)
    e2e.check(not (folder / "vsn.exe").exists(), "vsn.exe left in the game folder")
    e2e.check(not (folder / "soe.exe").exists(), "soe.exe left in the game folder")
    e2e.wait_for("the packs' temporary copies to go",
                 lambda: not list(folder.glob(".~sfx*")), timeout)


def settle(seconds):
    time.sleep(seconds)
