#!/usr/bin/env python3
"""Builds the stand-in payloads the launcher carries:

    VSN1.exe VSN2.exe VSN3.exe   version packs (self-extracting)
    SOE_ON.exe SOE_OFF.exe       effect-texture packs (self-extracting)
    CONFIG.exe                   the display-configuration tool, plain
    ZARNU_IP.exe                 the IP tool, plain

make_payloads.py --stub sfx_stub.exe --game game.exe --config config.exe
                 --ip zarnu_ip.exe --out DIR

A version pack holds what a real one holds as far as the launcher can tell:
Tovren.exe, Tovren.res and about 1,340 data files in folders (game_tree.py),
plus sn22\\sn22.pvb in version 2 only. The game image is padded to the size
of the real executable with a data region that holds the rule texts and code
bytes at the offsets of its layout (versions 1 and 3: layout A, version 2:
layout B) and a table that tells the game which layout it is (game_layout.h).
Every byte follows from the inputs: the same build writes the same packs.
"""
import argparse
import os
import struct
import sys

sys.dont_write_bytecode = True  # runs in the build; keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import game_tree  # noqa: E402
import pack  # noqa: E402

GAME_SIZE = 0x1C8000
LAYOUT_TABLE_OFFSET = 0x1C7800  # game_layout.h

# The game's data as the version packs install it. Texts are zero-terminated
# inside their slots (HP values 2 to 5: 8 bytes, the rest 4).
HP_TEXTS = ["50%", "100%", "150%", "200%", "300%"]            # HP values 1..5
ROUND_TEXTS = ["1", "3", "5", "9", "15", "21", "27", "OO"]    # the 8 round slots
TIME4_TEXT = "10"
PLAYER_TEXT = "16"
OTHER_PLAYER_TEXTS = ["8", "4"]   # further player-count texts after the first

LAYOUT_A = {
    "hp": [0x1C743C, 0x1C7434, 0x1C742C, 0x1C7424, 0x1C741C],
    "time": [0x1C7474, 0x1C7470, 0x1C746C, 0x1C7490, 0x1C7464],
    "rounds": [0x1C7474, 0x1C7470, 0x1C746C, 0x1C7468, 0x1C7464, 0x1C7460, 0x1C745C, 0x1C7458],
    "players": [0x1C7484],
    "other_players": [0x1C7488, 0x1C748C],
    "code": 0x3AB5E,
    "hidden": 0xB6595,
}
# Version 2: the text slots lie 16 bytes further; the code offsets differ.
LAYOUT_B = {k: ([o + 0x10 for o in v] if isinstance(v, list) else v) for k, v in LAYOUT_A.items()}
LAYOUT_B["code"] = 0x3AAAE
LAYOUT_B["hidden"] = 0xB66F5
LAYOUTS = {"A": LAYOUT_A, "B": LAYOUT_B}
LOWEST_PATCH = min(o for lay in LAYOUTS.values() for v in lay.values()
                   for o in (v if isinstance(v, list) else [v]))

# Scene table of Tovren.res: (scene mark offset, music track offset, track).
SCENES = [(0xEA43 + 77 * k, 0xEA43 + 77 * k + 16, t) for k, t in enumerate(
    [2, 2, 3, 5, 7, 5, 8, 8, 8, 9, 9, 1, 4, 1, 6, 6, 7, 5, 4, 7, 10])]
SCENES.append((0xF096, 0xF0A6, 5))
RES_SIZE = 0x10000


def filler(n, seed):
    """Deterministic non-zero-ish bytes, so a stray write shows in a diff."""
    out = bytearray(n)
    x = seed & 0xFFFFFFFF
    for i in range(n):
        x = (x * 1103515245 + 12345) & 0xFFFFFFFF
        out[i] = (x >> 16) & 0xFF
    return out


def pe_end(image):
    """End of the last section's raw data; what follows is the overlay."""
    if image[:2] != b"MZ":
        raise ValueError("not a PE file")
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    nsec, = struct.unpack_from("<H", image, pe + 6)
    opt, = struct.unpack_from("<H", image, pe + 20)
    end = 0
    for i in range(nsec):
        raw_size, raw_ptr = struct.unpack_from("<II", image, pe + 24 + opt + 40 * i + 16)
        if raw_size:
            end = max(end, raw_ptr + raw_size)
    return end


def put_text(buf, off, text, slot):
    raw = text.encode("gbk")
    assert len(raw) < slot, (text, slot)
    buf[off:off + slot] = raw + bytes(slot - len(raw))


def game_exe(image, letter):
    # Everything the launcher patches must lie in the data region: a patch
    # inside the code would break the program.
    end = max(pe_end(image), len(image))
    if end >= LOWEST_PATCH:
        raise SystemExit(f"make_payloads.py: game image ends at {end:#x}, "
                         f"at or after the lowest patched offset {LOWEST_PATCH:#x}")
    lay = LAYOUTS[letter]
    buf = bytearray(image) + filler(GAME_SIZE - len(image), 0x7A11 + ord(letter))
    # The text region is zero where no text lies, like the game's own data.
    base = lay["hp"][4] - 0x1C
    buf[base:base + 0xA0] = bytes(0xA0)
    for i, (off, text) in enumerate(zip(lay["hp"], HP_TEXTS)):
        put_text(buf, off, text, 4 if i == 0 else 8)
    for off, text in zip(lay["rounds"], ROUND_TEXTS):
        put_text(buf, off, text, 4)
    put_text(buf, lay["time"][3], TIME4_TEXT, 4)
    put_text(buf, lay["players"][0], PLAYER_TEXT, 4)
    for off, text in zip(lay["other_players"], OTHER_PLAYER_TEXTS):
        put_text(buf, off, text, 4)
    buf[lay["code"]:lay["code"] + 2] = b"\x75\x07"
    buf[lay["hidden"]:lay["hidden"] + 2] = b"\x75\x1F"
    groups = [lay["hp"], lay["time"], lay["rounds"], lay["players"]]
    table = b"TVLAYOUT" + struct.pack("<III", ord(letter), lay["code"], lay["hidden"])
    table += struct.pack("<4I", *(len(g) for g in groups))
    table += b"".join(struct.pack("<I", o) for g in groups for o in g)
    buf[LAYOUT_TABLE_OFFSET:LAYOUT_TABLE_OFFSET + len(table)] = table
    assert len(buf) == GAME_SIZE
    return bytes(buf)


def resource_file(version):
    buf = filler(RES_SIZE, 0x5E5 + version)
    header = f"TOVREN RES v{version}\0".encode()
    buf[:len(header)] = header
    for mark, track_at, track in SCENES:
        buf[mark:mark + 4] = struct.pack("<I", 0x0B)
        buf[track_at:track_at + 4] = struct.pack("<I", track)
    return bytes(buf)


def small_file(tag, size, seed):
    head = tag.encode("utf-8")
    return head + bytes(filler(max(0, size - len(head)), seed))


def version_pack_entries(version, game_image):
    """The game executable and resource file first, then the data files folder by folder."""
    letter = "B" if version == 2 else "A"
    entries = [("Tovren.exe", game_exe(game_image, letter)),
               ("Tovren.res", resource_file(version))]
    entries += game_tree.data_files(version)
    if version == 2:
        entries.append(("sn22\\sn22.pvb", small_file("TVPVB scene 22", 300, 2222)))
    return entries


def effect_pack_entries(on):
    text = "TVTEX effects on (dust)\r\n" if on else "TVTEX effects off (dust-free)\r\n"
    return [("texture\\effect.tex", small_file(text, 2048, 0xE0 if on else 0xE1))]


def read(path):
    with open(path, "rb") as fh:
        return fh.read()


def main(argv=None):
    ap = argparse.ArgumentParser(description="Builds the stand-in payload folder.")
    for name in ("stub", "game", "config", "ip", "out"):
        ap.add_argument(f"--{name}", required=True)
    args = ap.parse_args(argv)
    stub, game = read(args.stub), read(args.game)
    os.makedirs(args.out, exist_ok=True)
    outputs = {
        "VSN1.exe": pack.pack(stub, version_pack_entries(1, game)),
        "VSN2.exe": pack.pack(stub, version_pack_entries(2, game)),
        "VSN3.exe": pack.pack(stub, version_pack_entries(3, game)),
        "SOE_ON.exe": pack.pack(stub, effect_pack_entries(True)),
        "SOE_OFF.exe": pack.pack(stub, effect_pack_entries(False)),
        "CONFIG.exe": read(args.config),
        "ZARNU_IP.exe": read(args.ip),
    }
    for name, data in outputs.items():
        pack.write_atomically(os.path.join(args.out, name), data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
