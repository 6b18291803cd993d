"""The data files of a stand-in version pack, shaped like the game's own: about 1,340
files in a tree of folders up to four levels deep, named in Chinese and in ASCII, from a
few bytes to a few hundred kilobytes, about 3 MB in all.

Everything is derived from the archive path and the version alone (SHAKE-256, no random
state), so every build writes the same packs. The names and sizes are the same in every
version; the bytes differ, so a file left over from another version shows in a compare.

    data_files(version) -> [(archive path, bytes)], folders kept together, in path order
"""
import hashlib

DATA_FILE_COUNT = 1340  # what a real version pack carries besides Tovren.exe and Tovren.res

# Sixteen fighters: an ASCII folder of their own and a Chinese name for their voice files.
FIGHTERS = [("kane", "铁拳"), ("ryo", "疾风"), ("mei", "飞燕"), ("tao", "醉拳"),
            ("jin", "金刚"), ("lan", "兰花"), ("bao", "豹子"), ("shu", "书生"),
            ("long", "青龙"), ("hu", "白虎"), ("que", "朱雀"), ("gui", "玄武"),
            ("lei", "雷鸣"), ("xue", "飞雪"), ("ying", "影子"), ("wang", "霸王")]
ANIMATIONS = [("stand", 6), ("walk", 8), ("punch", 7), ("kick", 7), ("hit", 5), ("win", 7)]
MOVES = ["出拳", "踢腿", "升龙", "旋风腿", "必杀"]
VOICES = ["喝", "哈", "呀", "痛", "胜利", "失败", "开始", "挑衅"]
UI_FOLDERS = [("界面\\按钮", "btn%02d.bmp", 40), ("界面\\图标", "icon%02d.ico", 30),
              ("界面\\菜单", "菜单%02d.bmp", 24), ("界面\\字体", "font%d.fnt", 6),
              ("界面\\字体\\中文", "宋体%02d.fnt", 10)]
SOUND_FOLDERS = [("sound\\common", "%03d.wav", 80), ("sound\\语音\\旁白", "旁白%02d.wav", 40)]
STAGE_LAYERS = ["背景.bmp", "前景.bmp", "layer1.spr", "layer2.spr", "palette.act"]


def _bytes(seed, n):
    return hashlib.shake_256(seed).digest(n) if n else b""


def _size(path, low, high):
    """A size between low and high, spread over the range logarithmically, fixed by path."""
    h = int.from_bytes(hashlib.sha256(("size:" + path).encode("utf-8")).digest()[:4], "little")
    frac = h / 0xFFFFFFFF
    return int(round(low * (high / low) ** frac))


def _tree():
    """[(archive path, smallest size, largest size)] of one version's data files."""
    tree = [("sn%02d.pak" % n, 8000, 60000) for n in range(1, 23)]
    tree += [("music\\s%d.mp3" % n, 80000, 320000) for n in range(1, 11)]
    tree += [("data\\version.txt", 0, 0)]
    tree += [("data\\%s.tbl" % name, 40, 6000) for name in
             ("moves", "chars", "stages", "rules", "ai", "combo", "damage", "hitbox", "sound",
              "music", "palette", "shadow", "effect", "menu", "story", "ending", "credits",
              "network", "keys", "limits")]
    for ascii_name, chinese_name in FIGHTERS:
        base = "chars\\" + ascii_name
        tree.append((base + "\\" + ascii_name + ".def", 120, 600))
        tree.append((base + "\\" + ascii_name + ".cns", 2000, 9000))
        tree.append((base + "\\portrait.bmp", 8000, 24000))
        for anim, frames in ANIMATIONS:
            tree += [("%s\\sprites\\%s\\%04d.spr" % (base, anim, k), 200, 2500) for k in range(frames)]
        tree += [(base + "\\招式\\" + move + ".act", 30, 800) for move in MOVES]
        tree += [(base + "\\声音\\" + chinese_name + voice + ".wav", 300, 3000) for voice in VOICES]
    for folder, pattern, count in UI_FOLDERS:
        tree += [(folder + "\\" + pattern % k, 4, 3000) for k in range(count)]
    for folder, pattern, count in SOUND_FOLDERS:
        tree += [(folder + "\\" + pattern % k, 200, 2000) for k in range(count)]
    for n in range(1, 23):
        tree += [("stages\\st%02d\\%s" % (n, layer), 60, 2500) for layer in STAGE_LAYERS]
    tree.append(("script\\menu.txt", 0, 0))
    tree += [("script\\ai%02d.lua" % k, 100, 4000) for k in range(20)]
    tree += [("script\\对白\\第%d章.txt" % k, 200, 3000) for k in range(1, 31)]
    return tree


def _content(path, version, low, high):
    if path == "data\\version.txt":
        return ("Tovren version %d\r\n" % version).encode()
    if path == "script\\menu.txt":
        return "开始\r\n设置\r\n退出\r\n".encode("gbk")
    size = max(1, _size(path, max(low, 1), high))
    seed = ("%d:%s" % (version, path)).encode("utf-8")
    tag = ("%s v%d\r\n" % (path, version)).encode("utf-8")
    if size < len(tag) + 8:  # too small for a readable head: bytes of its version only
        return _bytes(seed, size)
    return tag + _bytes(seed, size - len(tag))


def data_files(version):
    # Sorted by folder, then name: the stub then meets each folder once, in a row.
    files = sorted(_tree(), key=lambda item: item[0].rpartition("\\")[::2])
    assert len(files) == DATA_FILE_COUNT, len(files)
    return [(path, _content(path, version, low, high)) for path, low, high in files]
