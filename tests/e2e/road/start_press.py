#!/usr/bin/env python3
"""The road of a start press, end to end: the real launcher in a game folder that holds only
itself, a press on Start, and then everything it must leave behind — the packs extracted
and gone, the executable and the scene table patched byte for byte, the registry values,
the config tool written once, and the game's own window showing the patched texts.
"""
import os
import shutil
import time
from pathlib import Path

import road
from road import e2e

SHOTS = Path(os.environ.get("TOVREN_E2E_WORK", "/tmp/tovren-e2e"))


def press_start(launcher):
    e2e.click(*road.centre_px(launcher.body_origin(), road.START_BUTTON))


def check_start(folder, settings, hidden=(), config_tool=None):
    """Everything a finished start press leaves; hidden files do not count as present."""
    folder = Path(folder)
    version = settings["编号"]
    lines = road.game_window_lines()
    e2e.check(lines == road.game_lines(settings),
              "the game shows %r, expected %r" % (lines, road.game_lines(settings)))
    road.wait_packs_gone(folder)

    vsn = road.pack_entries("VSN%s.exe" % version)
    effect = road.pack_entries("SOE_OFF.exe" if settings["复选2"] == "1" else "SOE_ON.exe")
    for path, data in list(vsn.items()) + list(effect.items()):
        if path in ("Tovren.exe", "Tovren.res") or path == "sn22\\sn22.pvb" and version != "2":
            continue
        f = road.game_file(folder, path)
        e2e.check(f.is_file() and f.read_bytes() == data, "%s not extracted as packed" % path)
    e2e.check((folder / "Tovren.exe").read_bytes() == road.expected_exe(vsn["Tovren.exe"], settings),
              "Tovren.exe differs from the pack's copy with the rule texts and code bytes")
    e2e.check((folder / "Tovren.res").read_bytes() == road.expected_res(vsn["Tovren.res"], set(hidden)),
              "Tovren.res: scene marks or music tracks wrong for missing %s" % sorted(hidden))
    pvb = (folder / "sn22" / "sn22.pvb").exists()
    e2e.check(pvb == (version == "2"), "sn22\\sn22.pvb %s for version %s"
              % ("present" if pvb else "missing", version))

    expected_tool = config_tool if config_tool is not None else road.payload("CONFIG.exe").read_bytes()
    e2e.check((folder / "config.exe").read_bytes() == expected_tool,
              "config.exe is not the one expected (written when missing, never replaced)")
    ini = (folder / "config.ini").read_bytes().split(b"\r\n")
    e2e.check(len(ini) >= 7 and ini[6] == b"FullScreen 0", "config.ini was not written by the config tool")

    key = road.WOW64_KEY if settings["复选4"] == "1" else road.SOFTWARE_KEY
    own = e2e.windows_path(folder)
    e2e.check(e2e.reg_query(key, "Path") == own + "\\", "Path under %s is %r"
              % (key, e2e.reg_query(key, "Path")))
    e2e.check(e2e.reg_query(key, "Exe") == own + "\\tovren.exe", "Exe under %s is %r"
              % (key, e2e.reg_query(key, "Exe")))
    # The launcher waits in the tray while the game runs.
    e2e.check(e2e.window_state("main") == "hidden" and e2e.window_state("主体") == "hidden",
              "main and 主体 are not hidden while the game runs")


def settings_with(**changes):
    return dict(e2e.SETTINGS_DEFAULTS, **changes)


# Rule values of a player who changed every field; time and round values 1-3 and 5 are one
# text in the game, so they are given alike.
CUSTOM_RULES = {"血量1": "80", "血量2": "120", "血量3": "160", "血量4": "240", "血量5": "999",
                "时间1": "2", "时间2": "4", "时间3": "6", "时间4": "12", "时间5": "20",
                "场次1": "2", "场次2": "4", "场次3": "6", "场次4": "7", "场次5": "20",
                "场次6": "25", "场次7": "30", "场次8": "99", "人数": "8"}


def test_version_1_hidden_commands_clicked_on():
    """A first start in an empty folder; option switch 1 is switched on with the mouse."""
    road.forget_registration()
    launcher = e2e.Launcher("version1_clicked")
    try:
        launcher.start()
        e2e.click(*road.centre_px(launcher.body_origin(), road.check_box(0)))
        press_start(launcher)
        check_start(launcher.folder, settings_with(复选1="1"))
        shot = e2e.screenshot(SHOTS / "version1_game.png")
        print("  game window after the start press: %s" % shot)
    finally:
        launcher.cleanup()


def test_version_2_then_version_1_in_one_folder():
    """Version 2 with every rule changed, a scene pack and a music file hidden beforehand
    (a hidden file is no file to the launcher) and the 64-bit registry names; then a second
    start with version 1 in the same folder: the version-2-only file goes, the config tool
    is not replaced, and files the pack brings back count again."""
    road.forget_registration()
    launcher = e2e.Launcher("version2_then_1")
    folder = launcher.folder
    hidden = ["sn05.pak", "music\\s5.mp3"]
    for name in hidden:
        f = road.game_file(folder, name)
        f.parent.mkdir(parents=True, exist_ok=True)
        f.write_bytes(b"left by an earlier install")
        e2e.set_hidden(f)
    v2 = settings_with(编号="2", 复选4="1", **CUSTOM_RULES)
    e2e.write_settings(folder, v2)
    try:
        launcher.start()
        press_start(launcher)
        check_start(folder, v2, hidden)
    finally:
        launcher.cleanup()

    # A differing config tool of the player's own stays; removed files come back with the pack.
    tool = (folder / "config.exe").read_bytes() + b"player's own copy"
    (folder / "config.exe").write_bytes(tool)
    (folder / "sn07.pak").unlink()
    (folder / "music" / "s8.mp3").unlink()
    road.forget_registration()
    v1 = settings_with(编号="1")
    e2e.write_settings(folder, v1)
    again = e2e.Launcher("version2_then_1", folder=folder)
    try:
        again.start()
        press_start(again)
        check_start(folder, v1, hidden, config_tool=tool)
    finally:
        again.cleanup()


def test_version_3_dust_free_hidden_commands():
    """Version 3 writes at the offsets of version 1; dust-free mode picks the other effect pack."""
    road.forget_registration()
    launcher = e2e.Launcher("version3_dust_free")
    v3 = settings_with(编号="3", 复选1="1", 复选2="1", **CUSTOM_RULES)
    e2e.write_settings(launcher.folder, v3)
    try:
        launcher.start()
        press_start(launcher)
        check_start(launcher.folder, v3)
        effect = (launcher.folder / "texture" / "effect.tex").read_bytes()
        e2e.check(effect == road.pack_entries("SOE_OFF.exe")["texture\\effect.tex"],
                  "dust-free mode did not install the SOE/OFF textures")
    finally:
        launcher.cleanup()


def test_start_press_in_a_folder_with_blanks_runs_no_planted_program():
    """The launcher runs as administrator. In "My Games\\Tovren Gold\\Game Folder", with a
    program planted at the text up to every blank of the path ("My.exe" beside "My Games",
    ...), a press on Start installs, patches, registers and starts the game through its
    config tool, and not one planted program runs."""
    road.forget_registration()
    work = SHOTS / "planted"
    shutil.rmtree(work, ignore_errors=True)
    folder = work / "My Games" / "Tovren Gold" / "Game Folder"
    folder.mkdir(parents=True)
    shutil.copy(os.environ["TOVREN_EXE"], folder / "TovrenLauncher.exe")
    planted = [work / "My.exe", work / "My Games" / "Tovren.exe",
               work / "My Games" / "Tovren Gold" / "Game.exe"]
    for program in planted:
        shutil.copy(os.environ["TOVREN_PLANTED"], program)
    launcher = e2e.Launcher("planted", folder=folder)
    try:
        launcher.start()
        press_start(launcher)
        try:
            check_start(folder, settings_with())
        finally:
            # Also when the start went wrong: a planted program that ran says why.
            time.sleep(1)  # one started with the config tool has written by now
            ran = [str(p) for p in planted if p.with_name(p.name + ".ran").exists()]
            e2e.check(not ran, "planted programs ran: %s" % ", ".join(ran))
    finally:
        launcher.cleanup()
        e2e.end_processes_in(work)


if __name__ == "__main__":
    e2e.require_session()
    e2e.main([test_version_1_hidden_commands_clicked_on,
              test_version_2_then_version_1_in_one_folder,
              test_version_3_dust_free_hidden_commands,
              test_start_press_in_a_folder_with_blanks_runs_no_planted_program])
