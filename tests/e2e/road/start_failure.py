#!/usr/bin/env python3
"""A start press that fails for real under Wine. Wine runs as root here, so a read-only game
folder stops nothing; a folder standing where the road must write a file does. The player
gets one message box titled with the launcher's name, the launcher's windows come back,
and the game folder holds what the steps before the failure wrote, and nothing after them.
Once the obstacle is gone, the next press goes through.
"""
import shutil
import time
from pathlib import Path

import road
from road import e2e


def check_nothing_after_effect_pack(folder, settings):
    """The version pack and the executable patch ran; the steps after the effect pack did not."""
    vsn = road.pack_entries("VSN1.exe")
    e2e.check((folder / "Tovren.exe").read_bytes() == road.expected_exe(vsn["Tovren.exe"], settings),
              "the executable patch before the failure is not in Tovren.exe")
    # sn05.pak is hidden: a scene patch would have marked scene 5 missing.
    e2e.check((folder / "Tovren.res").read_bytes() == vsn["Tovren.res"],
              "the scene table was patched although the start had failed before")
    e2e.check(not (folder / "texture").exists(), "effect textures written although soe.exe failed")


def check_nothing_written(folder, settings):
    e2e.check(not (folder / "Tovren.res").exists() and not (folder / "sn01.pak").exists(),
              "the version pack extracted files although it could not write Tovren.exe")
    e2e.check((folder / "Tovren.exe").is_dir(), "the folder Tovren.exe was replaced")


# (name, what stands in the way, words the message must hold, what must be in the folder)
CASES = [
    ("effect_pack_blocked", "soe.exe", "soe.exe", check_nothing_after_effect_pack),
    ("version_pack_blocked", "Tovren.exe", "vsn.exe", check_nothing_written),
]


def test_failed_start_reports_once_and_gives_the_windows_back():
    for name, obstacle, words, check_folder in CASES:
        road.forget_registration()
        launcher = e2e.Launcher("failed_" + name)
        folder = launcher.folder
        (folder / obstacle).mkdir()
        (folder / obstacle / "keep.txt").write_text("a folder of the player's")
        (folder / "sn05.pak").write_bytes(b"hidden")
        e2e.set_hidden(folder / "sn05.pak")
        settings = dict(e2e.SETTINGS_DEFAULTS)
        try:
            launcher.start()
            before = e2e.geometry(launcher.main)
            e2e.click(*road.centre_px(launcher.body_origin(), road.START_BUTTON))
            text = e2e.wait_message()
            e2e.check(words in text, "%s: the message %r does not name %s" % (name, text, words))
            e2e.check(e2e.window_state("main") == "hidden", "%s: main shown over the message" % name)
            check_folder(folder, settings)
            e2e.check(not (folder / "config.exe").exists(), "%s: config.exe written after the failure" % name)
            e2e.check(e2e.reg_query(road.SOFTWARE_KEY, "Path") is None,
                      "%s: the game was registered after the failure" % name)
            e2e.check(not e2e.windows_named("Tovren"), "%s: the game started after the failure" % name)
            e2e.check(not (folder / "vsn.exe").exists() and not (folder / "soe.exe").is_file(),
                      "%s: a pack file was left behind" % name)

            e2e.dismiss_message()
            body = e2e.visible_window("主体", timeout=10)
            e2e.visible_window("main", timeout=10)
            e2e.check(e2e.geometry(launcher.main) == before, "%s: main came back elsewhere" % name)
            x, y, _, _ = e2e.geometry(body)
            e2e.check((x - before[0], y - before[1]) == e2e.BODY_OFFSET,
                      "%s: 主体 came back off its place on main" % name)
            time.sleep(1.5)
            e2e.check(not e2e.message_boxes(), "%s: a second message followed the first" % name)
            e2e.check((folder / obstacle / "keep.txt").exists(), "%s: the player's folder was touched" % name)

            # The launcher goes on: without the obstacle the next press plays.
            shutil.rmtree(folder / obstacle)
            e2e.click(*road.centre_px(launcher.body_origin(), road.START_BUTTON))
            lines = road.game_window_lines()
            e2e.check(lines == road.game_lines(settings), "%s: the retry's game shows %r" % (name, lines))
        finally:
            launcher.cleanup()


if __name__ == "__main__":
    e2e.require_session()
    e2e.main([test_failed_start_reports_once_and_gives_the_windows_back])
