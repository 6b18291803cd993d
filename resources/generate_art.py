#!/usr/bin/python3
"""Paints all of the launcher's artwork into resources/art/.

    /usr/bin/python3 resources/generate_art.py [--preview DIR] [--table]

Run by hand after changing the art; the output is committed, so the build needs
neither Python nor Pillow. Needs Debian's python3-pil and fonts-wqy-zenhei (and
the DejaVu fonts for the Latin title). The output is deterministic.

What it writes:
  backdrop.png menu.png about.png        layered windows, RGBA with per-pixel alpha
  back_main.bmp back_menu.bmp            window backgrounds, 24-bit, FF00FF = see-through
  panel_start.bmp panel_net.bmp panel_rules.bmp
  ojbNNSS.bmp                            skin bitmaps, 24-bit
  app.ico                                32x32 and 64x64, 24-bit

The settings window lies on the backdrop at a fixed offset and is colour-keyed,
so the two are painted together: wherever a keyed picture is see-through, the
backdrop beneath carries the art, and every skin bitmap is painted on a copy of
exactly what lies beneath it. The rule fields are keyed edit boxes: their boxes,
labels and the time/round pairing marks live on the backdrop.

--preview DIR composes screenshots of the window set (keyed pixels removed) and
a contact sheet of the skin bitmaps; keep them out of the committed tree.
--table prints the pixel rectangles below.
"""

import argparse
import os
import random
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

# --------------------------------------------------------------------------
# Layout. Everything the art must meet is given in twips, as the window code
# lays it out; every pixel position below is derived from these numbers.
# --------------------------------------------------------------------------

TWIPS_PER_PIXEL = 15


def px(twips):
    """Twips to pixels, to the nearest pixel (the layout is never negative)."""
    return (2 * twips + TWIPS_PER_PIXEL) // (2 * TWIPS_PER_PIXEL)


def px_rect(rect_tw):
    return tuple(px(v) for v in rect_tw)


BACKDROP_SIZE = (800, 600)
MENU_SIZE = (150, 300)
ABOUT_SIZE = (340, 350)
BODY_ON_MAIN_TW = (3420, 3675)        # 主体's corner on main's corner
BODY_SIZE_TW = (7755, 4350)

# Controls: container, left, top, width, height (twips). Containers: "body" is
# 主体 itself, "start"/"net" the two option panels, "list" the open version list.
CONTROLS_TW = {
    'panel_start': ('body', 0, 540, 6720, 2790),
    'panel_net': ('body', 0, 540, 6720, 2790),
    'panel_rules': ('body', 1200, 795, 4305, 2205),
    'button0': ('body', 2520, 3735, 930, 480),      # network tab
    'button1': ('body', 4275, 3435, 960, 555),      # settings tab
    'button2': ('body', 6420, 3660, 1365, 750),     # start
    'button3': ('body', 5820, 90, 375, 345),        # minimise
    'button4': ('body', 6255, 90, 375, 345),        # close
    'move': ('body', 0, 0, 5775, 495),              # drag handle
    'drop_box': ('start', 1170, 150, 2565, 450),
    'version': ('start', 1245, 255, 2100, 285),
    'drop_list': ('start', 1185, 570, 2565, 1410),
    'entry0': ('list', 60, 15, 2100, 285),
    'entry1': ('list', 60, 315, 2100, 285),
    'entry2': ('list', 60, 615, 2100, 285),
    'check0': ('start', 1155, 615, 2835, 435),
    'check1': ('start', 1155, 1095, 2835, 435),
    'check2': ('start', 1155, 1575, 2835, 435),
    'check3': ('start', 1155, 2055, 2835, 435),
    'check4': ('net', 315, 135, 3150, 435),
    'check5': ('net', 705, 615, 3150, 435),
    'check6': ('net', 705, 1095, 3150, 435),
    'check7': ('net', 315, 1575, 3150, 435),
    'browse': ('net', 4005, 2100, 855, 405),
    'path_label': ('net', 1480, 2220, 2450, 255),
}

# The rule fields inside the rules panel 血时 (twips): name, element -> rect.
RULE_FIELDS_TW = {}
for _i in range(5):
    RULE_FIELDS_TW[('血量', _i)] = (120 + 890 * _i, 30, 615, 245)
    RULE_FIELDS_TW[('时间', _i)] = (120 + 890 * _i, 510, 615, 245)
    RULE_FIELDS_TW[('场次', _i)] = (120 + 890 * _i, 990, 615, 245)
for _i, _left in zip((5, 6, 7), (120, 1010, 1900)):
    RULE_FIELDS_TW[('场次', _i)] = (_left, 1470, 615, 245)
RULE_FIELDS_TW[('人数', 0)] = (120, 1950, 615, 245)

# Time and round elements that mirror each other (items 1, 2, 3 and 5).
MIRRORED_ELEMENTS = (0, 1, 2, 4)

# Items of the pop-up menu window 菜单 (twips inside the window).
MENU_ITEMS_TW = [(510, 3150, 1125, 1095), (1005, 1770, 870, 810), (285, 420, 780, 795)]


def _control_on_body(name):
    """Pixel rectangle of a control in 主体's client coordinates."""
    container, *rect = CONTROLS_TW[name]
    x, y, w, h = px_rect(rect)
    if container == 'body':
        return (x, y, w, h)
    parent = {'start': 'panel_start', 'net': 'panel_net', 'list': 'drop_list'}[container]
    px0, py0, _, _ = _control_on_body(parent)
    return (px0 + x, py0 + y, w, h)


# ---- The derived pixel table -------------------------------------------------
BODY_ON_MAIN = px_rect(BODY_ON_MAIN_TW)                      # (228, 245)
BODY_SIZE = px_rect(BODY_SIZE_TW)                            # (517, 290)
ON_BODY = {name: _control_on_body(name) for name in CONTROLS_TW}
RULES_PANEL = ON_BODY['panel_rules']                         # (80, 53, 287, 147)
# Rule fields: inside the panel, and on main's (the screen's) pixels.
RULE_FIELDS_IN_PANEL = {k: px_rect(v) for k, v in RULE_FIELDS_TW.items()}
RULE_FIELDS_ON_BODY = {k: (RULES_PANEL[0] + x, RULES_PANEL[1] + y, w, h)
                       for k, (x, y, w, h) in RULE_FIELDS_IN_PANEL.items()}
RULE_FIELDS_ON_MAIN = {k: (BODY_ON_MAIN[0] + x, BODY_ON_MAIN[1] + y, w, h)
                       for k, (x, y, w, h) in RULE_FIELDS_ON_BODY.items()}
MENU_ITEMS = [px_rect(r) for r in MENU_ITEMS_TW]

# What the derivation gives for the rule fields on main (--table lists them
# one by one): each 41 x 16 pixels at these columns and rows.
RULE_COLUMNS_ON_MAIN = (316, 375, 435, 494, 553)
RULE_ROWS_ON_MAIN = {'血量': (300,), '时间': (332,), '场次': (364, 396), '人数': (428,)}
assert {r[2:] for r in RULE_FIELDS_ON_MAIN.values()} == {(41, 16)}
assert {r[0] for r in RULE_FIELDS_ON_MAIN.values()} == set(RULE_COLUMNS_ON_MAIN)
assert all(r[1] in RULE_ROWS_ON_MAIN[k[0]] for k, r in RULE_FIELDS_ON_MAIN.items())

# Skin bitmaps: family -> (width, height, states).
SKIN = {}
for _f in range(1, 5):
    SKIN[_f] = (189, 29, ('01', '02', '03'))
for _f in range(5, 9):
    SKIN[_f] = (210, 29, ('01', '02', '03'))
SKIN[9] = (140, 19, ('01', '02', '03'))
for _f in (10, 11, 12):
    SKIN[_f] = (140, 19, ('01', '02'))
SKIN[13] = (57, 27, ('01', '02'))
SKIN[14] = (171, 30, ('01', '02'))
SKIN[15] = (171, 94, ('01',))
SKIN[16] = (62, 32, ('01', '02', '03'))
SKIN[17] = (64, 37, ('01', '02', '03'))
SKIN[18] = (91, 50, ('01', '02', '03'))
SKIN[19] = (25, 23, ('01', '02', '03'))
SKIN[20] = (25, 23, ('01', '02', '03'))
SKIN[21] = (75, 73, ('01', '02'))
SKIN[22] = (58, 54, ('01', '02'))
SKIN[23] = (52, 53, ('01', '02'))

# Which control shows which family (the control's size must be the bitmap's).
FAMILY_CONTROL = {f: 'check%d' % (f - 1) for f in range(1, 9)}
FAMILY_CONTROL.update({9: 'version', 10: 'entry0', 11: 'entry1', 12: 'entry2',
                       13: 'browse', 14: 'drop_box', 15: 'drop_list', 16: 'button0',
                       17: 'button1', 18: 'button2', 19: 'button3', 20: 'button4'})

PANEL_SIZES = {'panel_start': (448, 186), 'panel_net': (448, 186), 'panel_rules': (287, 147)}

KEY = (255, 0, 255)   # the colour key of 主体 and 菜单

# --------------------------------------------------------------------------
# Texts painted into the art.
# --------------------------------------------------------------------------

TITLE = 'Tovren'
CAPTION = '功夫格斗 · 游戏启动器'
SITE = 'Quellor.net'
SWITCH_LABELS = ['开启隐藏指令', '无尘模式', '窗口模式锁定鼠标', '支持64位系统',
                 'IP直连联机', '大陆玩家', '港澳台玩家', '游戏平台联机']
SWITCH_HINTS = {2: 'F4', 4: 'F8 / F9'}
VERSION_LABELS = ['版本一 · 经典版', '版本二 · 全景版', '版本三 · 竞技版']

# --------------------------------------------------------------------------
# Palette and fonts.
# --------------------------------------------------------------------------

LACQUER_HI = (158, 30, 28)
LACQUER = (124, 18, 20)
LACQUER_LO = (78, 9, 12)
GOLD_HI = (255, 233, 168)
GOLD = (226, 180, 92)
GOLD_MID = (190, 140, 62)
GOLD_LO = (128, 86, 34)
INK = (26, 19, 19)
INK_PAGE = (40, 29, 27)
INK_WELL = (19, 13, 13)
CREAM = (238, 224, 192)
PARCH = (236, 225, 198)         # light boxes that take dark-grey text
PARCH_EDGE = (150, 112, 60)
MUTED = (170, 140, 96)
PAIR_COLOURS = [(228, 74, 58), (236, 186, 64), (70, 178, 120), (92, 146, 232)]

CJK_FONT = '/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc'
SERIF_FONT = '/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf'
SANS_FONT = '/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf'

_font_cache = {}


def cjk(size):
    key = ('cjk', size)
    if key not in _font_cache:
        _font_cache[key] = ImageFont.truetype(CJK_FONT, size, index=0)
    return _font_cache[key]


def serif(size):
    key = ('serif', size)
    if key not in _font_cache:
        _font_cache[key] = ImageFont.truetype(SERIF_FONT, size)
    return _font_cache[key]


def sans(size):
    key = ('sans', size)
    if key not in _font_cache:
        _font_cache[key] = ImageFont.truetype(SANS_FONT, size)
    return _font_cache[key]


# --------------------------------------------------------------------------
# Drawing helpers. Masks are 'L' images the size of the picture they paint;
# shapes are drawn four times larger and reduced, for smooth edges.
# --------------------------------------------------------------------------

SS = 4


def ss_mask(size, draw):
    big = Image.new('L', (size[0] * SS, size[1] * SS), 0)
    draw(ImageDraw.Draw(big), SS)
    return big.resize(size, Image.BOX)


def rrect_mask(size, box, radius):
    x0, y0, x1, y1 = box
    return ss_mask(size, lambda d, s: d.rounded_rectangle(
        [x0 * s, y0 * s, x1 * s - 1, y1 * s - 1], radius=radius * s, fill=255))


def ring_mask(size, box, radius, width):
    x0, y0, x1, y1 = box
    outer = rrect_mask(size, box, radius)
    inner = rrect_mask(size, (x0 + width, y0 + width, x1 - width, y1 - width),
                       max(0, radius - width))
    return ImageChops.subtract(outer, inner)


def ellipse_mask(size, box):
    x0, y0, x1, y1 = box
    return ss_mask(size, lambda d, s: d.ellipse([x0 * s, y0 * s, x1 * s - 1, y1 * s - 1], fill=255))


def circle_ring_mask(size, centre, radius, width):
    cx, cy = centre
    outer = ellipse_mask(size, (cx - radius, cy - radius, cx + radius, cy + radius))
    r = radius - width
    inner = ellipse_mask(size, (cx - r, cy - r, cx + r, cy + r))
    return ImageChops.subtract(outer, inner)


def polyline_mask(size, points, width):
    return ss_mask(size, lambda d, s: d.line([(x * s, y * s) for x, y in points],
                                             fill=255, width=int(width * s), joint='curve'))


def polygon_mask(size, points):
    return ss_mask(size, lambda d, s: d.polygon([(x * s, y * s) for x, y in points], fill=255))


def scale_mask(mask, factor):
    return mask.point(lambda v: int(v * factor + 0.5))


def mask_and(a, b):
    return ImageChops.multiply(a, b)


def text_mask(size, xy, text, font, anchor='la', bold=False, tracking=0):
    """Mask of a text; tracking adds pixels between characters. Bold text is
    drawn four times larger with a thin stroke and reduced, which thickens the
    strokes by half a pixel without smearing them."""
    if bold:
        big_font = font.font_variant(size=font.size * SS)
        big = _text_mask((size[0] * SS, size[1] * SS), (xy[0] * SS, xy[1] * SS), text, big_font,
                         anchor, tracking * SS, 2)
        return big.resize(size, Image.BOX)
    return _text_mask(size, xy, text, font, anchor, tracking, 0)


def _text_mask(size, xy, text, font, anchor, tracking, stroke):
    m = Image.new('L', size, 0)
    d = ImageDraw.Draw(m)
    if tracking:
        total = sum(font.getlength(c) for c in text) + tracking * (len(text) - 1)
        x, y = xy
        if anchor[0] == 'm':
            x -= total / 2
        elif anchor[0] == 'r':
            x -= total
        for c in text:
            d.text((x, y), c, fill=255, font=font, anchor='l' + anchor[1],
                   stroke_width=stroke, stroke_fill=255)
            x += font.getlength(c) + tracking
    else:
        d.text(xy, text, fill=255, font=font, anchor=anchor, stroke_width=stroke, stroke_fill=255)
    return m


def vgrad(size, stops):
    """Vertical gradient through (position 0..1, colour) stops."""
    w, h = size
    col = Image.new('RGB', (1, h))
    for y in range(h):
        t = y / max(1, h - 1)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                u = 0 if p1 == p0 else (t - p0) / (p1 - p0)
                col.putpixel((0, y), tuple(int(a + (b - a) * u + 0.5) for a, b in zip(c0, c1)))
                break
    return col.resize((w, h), Image.NEAREST)


def vgrad_in(size, box, stops):
    """A gradient that runs over box only (flat colour outside it)."""
    img = Image.new('RGB', size, stops[0][1])
    x0, y0, x1, y1 = box
    g = vgrad((x1 - x0, y1 - y0), stops)
    img.paste(g, (x0, y0))
    if y1 < size[1]:
        img.paste(stops[-1][1], (0, y1, size[0], size[1]))
    return img


GOLD_STOPS = [(0, GOLD_HI), (0.45, GOLD), (0.55, GOLD_MID), (1, (236, 196, 110))]


def radial(size, centre, radius):
    """L image: 255 at centre falling to 0 at radius."""
    g = Image.radial_gradient('L').resize((2 * radius, 2 * radius), Image.BILINEAR)
    g = ImageChops.invert(g)
    out = Image.new('L', size, 0)
    out.paste(g, (int(centre[0] - radius), int(centre[1] - radius)))
    return out


def noise(size, seed, cell=1, blur=0):
    """Deterministic grey noise, optionally coarse (cell > 1) and blurred."""
    rng = random.Random(seed)
    w, h = max(1, size[0] // cell), max(1, size[1] // cell)
    img = Image.frombytes('L', (w, h), rng.randbytes(w * h))
    if cell > 1:
        img = img.resize(size, Image.BICUBIC)
    if blur:
        img = img.filter(ImageFilter.GaussianBlur(blur))
    return img


def texture(img, seed, strength=10, cell=1, blur=0):
    """Darkens and lightens img by a noise field; strength is the largest
    opacity (0-255) of the darkening and the lightening."""
    n = noise(img.size, seed, cell, blur)
    img.paste((0, 0, 0), (0, 0), n.point(lambda v: max(0, 128 - v) * strength // 128))
    img.paste((255, 236, 210), (0, 0), n.point(lambda v: max(0, v - 128) * strength // 128))


def paint(img, colour, mask, offset=(0, 0)):
    if offset != (0, 0):
        mask = ImageChops.offset(mask, *offset)
    img.paste(colour, (0, 0), mask)


def shadow(img, mask, offset=(1, 1), blur=1.5, opacity=0.8, colour=(0, 0, 0)):
    m = ImageChops.offset(mask, *offset)
    if blur:
        m = m.filter(ImageFilter.GaussianBlur(blur))
    paint(img, colour, scale_mask(m, opacity))


def glow(img, mask, colour, blur, opacity):
    paint(img, colour, scale_mask(mask.filter(ImageFilter.GaussianBlur(blur)), opacity))


def outline_of(mask, width):
    return mask.filter(ImageFilter.MaxFilter(2 * width + 1))


def gold_text(img, xy, text, font, anchor='la', stroke=1, drop=True, stops=None,
              tracking=0, bold=False, edge=(46, 16, 10)):
    """Gilded text with a dark edge and a soft drop shadow, painted on img."""
    m = text_mask(img.size, xy, text, font, anchor, bold=bold, tracking=tracking)
    bbox = m.getbbox()
    if bbox is None:
        return m
    if drop:
        shadow(img, m, (1, 2), 2, 0.75)
    if stroke:
        paint(img, edge, outline_of(m, stroke))
    fill = vgrad_in(img.size, (0, bbox[1], img.size[0], bbox[3]), stops or GOLD_STOPS)
    img.paste(fill, (0, 0), m)
    return m


def flat_text(img, xy, text, font, colour, anchor='la', bold=False, tracking=0, drop=0.0):
    m = text_mask(img.size, xy, text, font, anchor, bold=bold, tracking=tracking)
    if drop:
        shadow(img, m, (1, 1), 1, drop)
    paint(img, colour, m)
    return m


def blend_colour(a, b, t):
    return tuple(int(x + (y - x) * t + 0.5) for x, y in zip(a, b))


def no_key_colour(img):
    """Moves any painted pixel off the exact key colour, so only intended
    pixels are see-through."""
    is_key = key_mask(img)
    if is_key.getbbox():
        img.paste((254, 0, 254), (0, 0), is_key)
    return img


def key_out(art, cover, beneath):
    """A colour-keyed picture: art where cover is full, the key colour where it is
    empty, and at partly covered edges the art mixed with what lies beneath (so
    edges are smooth without a magenta fringe)."""
    art = no_key_colour(art.convert('RGB'))
    out = Image.composite(art, beneath.convert('RGB'), cover)
    out = no_key_colour(out)
    out.paste(KEY, (0, 0), cover.point(lambda v: 255 if v == 0 else 0))
    return out


def key_mask(img):
    """255 where a picture holds the key colour."""
    r, g, b = img.convert('RGB').split()
    return ImageChops.multiply(ImageChops.multiply(
        r.point(lambda v: 255 if v == 255 else 0), g.point(lambda v: 255 if v == 0 else 0)),
        b.point(lambda v: 255 if v == 255 else 0))


def paste_opaque(dst, src, xy):
    """Pastes the pixels of a keyed picture that are not the key colour."""
    dst.paste(src.convert(dst.mode), xy, ImageChops.invert(key_mask(src)))


def unkey(img, beneath):
    """What the screen shows: a keyed picture over what lies beneath it."""
    out = img.convert('RGB').copy()
    out.paste(beneath.convert('RGB'), (0, 0), key_mask(img))
    return out


def crop(img, rect):
    x, y, w, h = rect
    return img.crop((x, y, x + w, y + h))


def grow(rect, by):
    x, y, w, h = rect
    return (x - by, y - by, w + 2 * by, h + 2 * by)


def box_of(rect):
    x, y, w, h = rect
    return (x, y, x + w, y + h)


# --------------------------------------------------------------------------
# The settings window 主体: its body (back_main), and the three pages that lie
# in the panel area. Everything here is in 主体's own pixels.
# --------------------------------------------------------------------------

BODY_BOX = (0, 0, 450, 290)          # the dark body; the start button overhangs it
BODY_RADIUS = 12
TITLE_STRIP = (0, 0, 450, 35)
PAGE = ON_BODY['panel_start']        # (0, 36, 448, 186)
PAGE_INNER = (6, 40, 442, 218)       # the framed page inside the panel area
# The window onto the backdrop while the rules page is open: back_main is
# see-through here, and the backdrop carries the rules page.
RULES_WINDOW = (7, 41, 441, 217)


def paint_body_base():
    size = BODY_SIZE
    img = vgrad(size, [(0, (36, 26, 25)), (1, (19, 13, 13))])
    texture(img, 101, 22, cell=20, blur=6)
    texture(img, 102, 12)
    cover = rrect_mask(size, BODY_BOX, BODY_RADIUS)

    # Title strip: lacquer with the name.
    strip = Image.new('L', size, 0)
    strip.paste(255, TITLE_STRIP)
    lac = vgrad_in(size, TITLE_STRIP, [(0, (176, 42, 36)), (0.5, LACQUER_HI), (1, (104, 14, 16))])
    texture(lac, 103, 18, cell=10, blur=3)
    img.paste(lac, (0, 0), strip)
    paint(img, GOLD_MID, rect_mask(size, (0, 35, 450, 36)))
    paint(img, (10, 6, 6), rect_mask(size, (0, 36, 450, 37)))
    gold_text(img, (16, 18), TITLE, serif(17), 'lm')
    flat_text(img, (86, 18), '游戏设置', cjk(14), CREAM, 'lm', drop=0.8)
    flat_text(img, (152, 19), '拖动此处移动窗口', cjk(11), (214, 150, 120), 'lm')

    # The framed page (what the rules page shows around its window).
    page = Image.new('L', size, 0)
    page.paste(255, PAGE_INNER)
    pg = vgrad_in(size, PAGE_INNER, [(0, (48, 35, 32)), (1, (34, 24, 23))])
    texture(pg, 104, 16, cell=16, blur=5)
    texture(pg, 105, 8)
    img.paste(pg, (0, 0), page)
    paint(img, GOLD_LO, ring_mask(size, PAGE_INNER, 3, 1))
    corner_brackets(img, PAGE_INNER, 3, 10, GOLD_MID)

    # Bottom bar: the hot keys the launcher watches while the game runs.
    for i, (key, what) in enumerate((('F4', '锁定/释放鼠标'), ('F8', '换下一个IP'),
                                     ('F9', '刷新IP列表'))):
        y = 240 + 17 * i
        flat_text(img, (18, y), key, sans(10), GOLD, 'lm')
        flat_text(img, (42, y), what, cjk(12), MUTED, 'lm')
    paint(img, GOLD_LO, rect_mask(size, (14, 228, 150, 229)))
    flat_text(img, (372, 278), SITE, sans(9), (120, 92, 60), 'mm')

    # The body's gilded edge.
    edge = ring_mask(size, BODY_BOX, BODY_RADIUS, 2)
    img.paste(vgrad(size, GOLD_STOPS), (0, 0), edge)
    paint(img, (60, 38, 20), ring_mask(size, (2, 2, 448, 288), BODY_RADIUS - 2, 1))
    return img, cover


def rect_mask(size, box):
    m = Image.new('L', size, 0)
    m.paste(255, box)
    return m


def corner_brackets(img, box, inset, length, colour):
    x0, y0, x1, y1 = box[0] + inset, box[1] + inset, box[2] - inset - 1, box[3] - inset - 1
    d = ImageDraw.Draw(img)
    for cx, cy, sx, sy in ((x0, y0, 1, 1), (x1, y0, -1, 1), (x0, y1, 1, -1), (x1, y1, -1, -1)):
        d.line([(cx, cy + sy * length), (cx, cy), (cx + sx * length, cy)], fill=colour, width=1)
        d.point((cx + 2 * sx, cy + 2 * sy), fill=colour)


def label(img, x, y, text, size=15):
    """A gilded row label, right-aligned at x, centred on y."""
    gold_text(img, (x, y), text, cjk(size), 'rm', stroke=0, drop=True, bold=True)


def paint_start_page(img):
    box = ON_BODY['drop_box']
    label(img, box[0] - 8, box[1] + box[3] / 2, '版本')
    c0 = ON_BODY['check0']
    label(img, box[0] - 8, c0[1] + c0[3] / 2, '选项')
    # An emblem beside the options.
    cx, cy = 352, 108
    size = img.size
    glow(img, ellipse_mask(size, (cx - 52, cy - 52, cx + 52, cy + 52)), (150, 30, 24), 10, 0.45)
    paint(img, (58, 16, 14), ellipse_mask(size, (cx - 44, cy - 44, cx + 44, cy + 44)))
    img.paste(vgrad(size, GOLD_STOPS), (0, 0), circle_ring_mask(size, (cx, cy), 47, 2.5))
    paint(img, GOLD_LO, circle_ring_mask(size, (cx, cy), 40, 1))
    gold_text(img, (cx, cy + 2), '武', cjk(50), 'mm', stroke=1, bold=True)
    flat_text(img, (cx, 178), '选好版本与选项', cjk(12), CREAM, 'mm')
    flat_text(img, (cx, 196), '点击「开始游戏」', cjk(12), MUTED, 'mm')


PATH_BOX = grow(ON_BODY['path_label'], 2)


def paint_net_page(img):
    size = img.size
    d = ImageDraw.Draw(img)
    # Switches 6 and 7 hang under switch 5: they only apply to IP direct play.
    c4, c5, c6 = ON_BODY['check4'], ON_BODY['check5'], ON_BODY['check6']
    x = c4[0] + 12
    d.line([(x, c4[1] + 24), (x, c6[1] + 14)], fill=GOLD_LO, width=1)
    for c in (c5, c6):
        d.line([(x, c[1] + 14), (c[0] + 3, c[1] + 14)], fill=GOLD_LO, width=1)
    # The platform path: a light box, so the label's grey text reads.
    pb = PATH_BOX
    paint(img, PARCH_EDGE, rrect_mask(size, box_of(grow(pb, 1)), 3))
    paint(img, PARCH, rrect_mask(size, box_of(pb), 2))
    paint(img, (206, 192, 160), rect_mask(size, (pb[0] + 1, pb[1], pb[0] + pb[2] - 1, pb[1] + 1)))
    label(img, pb[0] - 6, pb[1] + pb[3] / 2, '平台', 14)
    # A globe, and how the switches go together.
    cx, cy = 352, 80
    r = 30
    glow(img, ellipse_mask(size, (cx - r - 6, cy - r - 6, cx + r + 6, cy + r + 6)), (150, 30, 24), 8, 0.4)
    paint(img, (58, 16, 14), ellipse_mask(size, (cx - r, cy - r, cx + r, cy + r)))
    for rx in (r, 19, 8):
        outer = ellipse_mask(size, (cx - rx, cy - r, cx + rx, cy + r))
        inner = ellipse_mask(size, (cx - rx + 1.4, cy - r + 1.4, cx + rx - 1.4, cy + r - 1.4))
        paint(img, GOLD_MID if rx != r else GOLD, ImageChops.subtract(outer, inner))
    for dy in (-15, 0, 15):
        half = int((r * r - dy * dy) ** 0.5)
        paint(img, GOLD_MID, polyline_mask(size, [(cx - half + 1, cy + dy), (cx + half - 1, cy + dy)], 1.2))
    img.paste(vgrad(size, GOLD_STOPS), (0, 0), circle_ring_mask(size, (cx, cy), r + 2, 2))
    flat_text(img, (cx, 132), 'IP直连与平台联机二选一', cjk(12), CREAM, 'mm')
    flat_text(img, (cx, 150), '大陆/港澳台须先选IP直连', cjk(12), MUTED, 'mm')


def rules_row_centre(name, element=0):
    x, y, w, h = RULE_FIELDS_ON_BODY[(name, element)]
    return y + h / 2


def paint_rules_page(img):
    """The rules page as the backdrop shows it: a box under every rule field,
    the row labels, and marks pairing the time and round items that change
    together."""
    size = img.size
    px0 = RULES_PANEL[0]
    label(img, px0 - 10, rules_row_centre('血量'), '血量')
    label(img, px0 - 10, rules_row_centre('时间'), '时间')
    label(img, px0 - 10, (rules_row_centre('场次', 0) + rules_row_centre('场次', 5)) / 2, '场次')
    label(img, px0 - 10, rules_row_centre('人数'), '人数')
    # The two round rows belong to one label.
    r0, r5 = RULE_FIELDS_ON_BODY[('场次', 0)], RULE_FIELDS_ON_BODY[('场次', 5)]
    d = ImageDraw.Draw(img)
    bx = px0 - 5
    d.line([(bx + 2, r0[1] + 1), (bx, r0[1] + 1), (bx, r5[1] + r5[3] - 2), (bx + 2, r5[1] + r5[3] - 2)],
           fill=GOLD_LO, width=1)
    # Item numbers over the columns.
    for i in range(5):
        x, y, w, h = RULE_FIELDS_ON_BODY[('血量', i)]
        flat_text(img, (x + w / 2, y - 7), str(i + 1), sans(8), MUTED, 'mm')

    pair_of = {}
    for n, e in enumerate(MIRRORED_ELEMENTS):
        pair_of[('时间', e)] = pair_of[('场次', e)] = PAIR_COLOURS[n]
    # Connectors between the paired time and round boxes.
    for n, e in enumerate(MIRRORED_ELEMENTS):
        t = RULE_FIELDS_ON_BODY[('时间', e)]
        r = RULE_FIELDS_ON_BODY[('场次', e)]
        cx = t[0] + t[2] / 2
        c = PAIR_COLOURS[n]
        # A double arrow: a change on either side runs to the other.
        top, bottom = t[1] + t[3] + 3, r[1] - 3
        arrow = ImageChops.lighter(
            polyline_mask(size, [(cx, top + 2), (cx, bottom - 2)], 1.6),
            ImageChops.lighter(
                polygon_mask(size, [(cx - 3.5, top + 3.5), (cx, top), (cx + 3.5, top + 3.5)]),
                polygon_mask(size, [(cx - 3.5, bottom - 3.5), (cx, bottom), (cx + 3.5, bottom - 3.5)])))
        shadow(img, arrow, (1, 1), 0.6, 0.8)
        paint(img, c, arrow)
    # The boxes.
    for key, rect in RULE_FIELDS_ON_BODY.items():
        colour = pair_of.get(key)
        ring = grow(rect, 3)
        paint(img, (0, 0, 0), scale_mask(rrect_mask(size, box_of(grow(rect, 4)), 4), 0.5))
        paint(img, colour or PARCH_EDGE, rrect_mask(size, box_of(ring), 3))
        if colour:
            paint(img, blend_colour(colour, (0, 0, 0), 0.25), ring_mask(size, box_of(ring), 3, 0.8))
        paint(img, PARCH, rrect_mask(size, box_of(grow(rect, 1)), 1))
        x, y, w, h = rect
        paint(img, (214, 200, 168), rect_mask(size, (x - 1, y - 1, x + w + 1, y)))
        if colour:
            cx, cy = x + w - 5.5, y + h / 2
            paint(img, colour, polygon_mask(size, [(cx, cy - 4), (cx + 3.5, cy), (cx, cy + 4), (cx - 3.5, cy)]))
    # Legend on the right.
    lx = (RULES_PANEL[0] + RULES_PANEL[2] + RULES_WINDOW[2]) / 2 + 2
    flat_text(img, (lx, 62), '联动项', cjk(13), GOLD, 'mm', bold=False, drop=0.8)
    for n, e in enumerate(MIRRORED_ELEMENTS):
        y = 86 + 20 * n
        c = PAIR_COLOURS[n]
        paint(img, c, polygon_mask(size, [(lx - 22, y - 5), (lx - 17, y), (lx - 22, y + 5), (lx - 27, y)]))
        flat_text(img, (lx - 12, y), '第%d项' % (e + 1), cjk(12), CREAM, 'lm')
    flat_text(img, (lx, 176), '改一项', cjk(11), MUTED, 'mm')
    flat_text(img, (lx, 191), '另一项同变', cjk(11), MUTED, 'mm')
    flat_text(img, ((RULES_PANEL[0] + RULES_PANEL[0] + RULES_PANEL[2]) / 2, 209),
              '同色印记的时间与场次互相联动', cjk(11), MUTED, 'mm')


# --------------------------------------------------------------------------
# The backdrop main (800 x 600, per-pixel alpha).
# --------------------------------------------------------------------------

FRAME_BOX = (12, 12, 788, 588)
FRAME_RADIUS = 26


def mountain_profile(x0, x1, base, amp, seed, rough=0.55, step=4):
    rng = random.Random(seed)
    n = 1
    while n < (x1 - x0) // step:
        n *= 2
    ys = [0.0] * (n + 1)
    ys[0], ys[n] = rng.uniform(-0.3, 0.3), rng.uniform(-0.3, 0.3)
    span, scale = n, 1.0
    while span > 1:
        half = span // 2
        for i in range(half, n, span):
            ys[i] = (ys[i - half] + ys[i + half]) / 2 + rng.uniform(-1, 1) * scale
        span, scale = half, scale * rough
    return [(x0 + (x1 - x0) * i / n, base - amp * (0.6 + y)) for i, y in enumerate(ys)]


def paint_mountains(img, x0, x1, ridge, amp, bottom, colour, seed, opacity, fade=0.25):
    size = img.size
    prof = mountain_profile(x0, x1, ridge, amp, seed)
    m = polygon_mask(size, [(x0, bottom)] + prof + [(x1, bottom)]).filter(ImageFilter.GaussianBlur(0.8))
    top = min(y for _, y in prof)
    # Ink wash: darkest on the ridges, thinning towards the foot.
    wash = vgrad_in(size, (0, int(top), size[0], int(bottom)),
                    [(0, (255, 255, 255)), (1, (int(255 * fade),) * 3)]).convert('L')
    paint(img, colour, scale_mask(mask_and(m, wash), opacity))


def meander_strip(length, s):
    """One band of the key fret, s pixels high, as a mask."""
    m = Image.new('L', (length, s), 0)
    d = ImageDraw.Draw(m)
    units = length // s
    off = (length - units * s) // 2
    for u in range(units):
        x = off + u * s
        k = s - 1
        d.line([(x, k), (x, 0), (x + k - 2, 0), (x + k - 2, k - 3), (x + 3, k - 3),
                (x + 3, 3), (x + k - 5, 3)], fill=255, width=1)
        d.line([(x, k), (x + s, k)], fill=255, width=1)
    return m


def paint_frame(img):
    size = img.size
    x0, y0, x1, y1 = FRAME_BOX
    img.paste(vgrad(size, GOLD_STOPS), (0, 0), ring_mask(size, FRAME_BOX, FRAME_RADIUS, 3))
    paint(img, (60, 10, 10), ring_mask(size, (x0 + 3, y0 + 3, x1 - 3, y1 - 3), FRAME_RADIUS - 3, 1.5))
    paint(img, GOLD_LO, ring_mask(size, (x0 + 8, y0 + 8, x1 - 8, y1 - 8), FRAME_RADIUS - 8, 1))
    # Key fret between the two lines, with 回 squares in the corners.
    b, s = 11, 10
    c0x, c0y, c1x, c1y = x0 + b, y0 + b, x1 - b - s, y1 - b - s
    fret = Image.new('L', size, 0)
    horiz = meander_strip(c1x - c0x - s - 4, s)
    fret.paste(horiz, (c0x + s + 2, c0y))
    fret.paste(horiz.rotate(180), (c0x + s + 2, c1y))
    vert = meander_strip(c1y - c0y - s - 4, s).rotate(90, expand=True)
    fret.paste(vert, (c0x, c0y + s + 2))
    fret.paste(vert.rotate(180), (c1x, c0y + s + 2))
    d = ImageDraw.Draw(fret)
    for cx, cy in ((c0x, c0y), (c1x, c0y), (c0x, c1y), (c1x, c1y)):
        d.rectangle([cx, cy, cx + s - 1, cy + s - 1], outline=255)
        d.rectangle([cx + 3, cy + 3, cx + s - 4, cy + s - 4], outline=255)
    paint(img, (0, 0, 0), scale_mask(ImageChops.offset(fret, 1, 1), 0.5))
    paint(img, GOLD_MID, scale_mask(fret, 0.9))
    inner = (x0 + b + s + 2, y0 + b + s + 2, x1 - b - s - 2, y1 - b - s - 2)
    paint(img, GOLD_LO, ring_mask(size, inner, 5, 1))


def paint_backdrop(plate):
    size = BACKDROP_SIZE
    img = vgrad(size, [(0, LACQUER_HI), (0.5, LACQUER), (1, LACQUER_LO)])
    texture(img, 1, 40, cell=64, blur=26)
    texture(img, 2, 16, cell=6, blur=1)
    texture(img, 3, 10)
    paint(img, (0, 0, 0), scale_mask(ImageChops.invert(radial(size, (400, 270), 620)), 0.75))

    # Moon over the mountains, top right.
    mx, my, mr = 648, 122, 62
    glow(img, ellipse_mask(size, (mx - mr - 30, my - mr - 30, mx + mr + 30, my + mr + 30)),
         (255, 170, 90), 30, 0.35)
    moon = Image.new('RGB', size, (246, 220, 160))
    texture(moon, 4, 30, cell=12, blur=5)
    img.paste(moon, (0, 0), scale_mask(ellipse_mask(size, (mx - mr, my - mr, mx + mr, my + mr)), 0.92))
    for cy, cx0, cx1, hh in ((150, 548, 700, 9), (170, 600, 780, 7), (100, 670, 770, 5)):
        streak = ellipse_mask(size, (cx0, cy - hh, cx1, cy + hh)).filter(ImageFilter.GaussianBlur(6))
        paint(img, (118, 20, 22), scale_mask(streak, 0.75))
    paint_mountains(img, 430, 790, 232, 46, 300, (92, 14, 16), 7, 0.85)
    paint_mountains(img, 520, 790, 250, 30, 300, (58, 8, 10), 8, 0.9)
    # Ink hills along the foot of the frame.
    paint_mountains(img, 10, 790, 520, 70, 590, (70, 10, 12), 9, 0.8)
    paint_mountains(img, 10, 790, 560, 44, 590, (28, 8, 8), 10, 0.9, fade=0.6)

    # The title.
    gold_text(img, (58, 44), TITLE, serif(76), 'la', stroke=2)
    flat_text(img, (62, 148), CAPTION, cjk(24), CREAM, 'lm', tracking=3, drop=0.9)
    y = 180
    paint(img, GOLD_MID, polyline_mask(size, [(62, y), (212, y)], 1.2))
    paint(img, GOLD_MID, polyline_mask(size, [(240, y), (390, y)], 1.2))
    paint(img, GOLD, polygon_mask(size, [(226, y - 6), (232, y), (226, y + 6), (220, y)]))
    flat_text(img, (62, 202), SITE.upper(), sans(11), GOLD_MID, 'lm', tracking=4)

    # Left of the settings window: a watermark and a seal.
    wm = text_mask(size, (124, 404), '武', cjk(170), 'mm')
    paint(img, (0, 0, 0), scale_mask(wm.filter(ImageFilter.GaussianBlur(1.5)), 0.3))
    gold_text(img, (126, 300), '以武会友', cjk(30), 'mm', stroke=1, tracking=6, bold=True)
    sx, sy = 104, 478
    seal = rrect_mask(size, (sx, sy, sx + 44, sy + 44), 5)
    shadow(img, seal, (2, 3), 3, 0.6)
    img.paste(vgrad(size, GOLD_STOPS), (0, 0), seal)
    paint(img, (150, 26, 22), ring_mask(size, (sx + 3, sy + 3, sx + 41, sy + 41), 3, 1.5))
    flat_text(img, (sx + 22, sy + 22), '拳', cjk(30), (150, 26, 22), 'mm', bold=True)

    # The settings window's soft shadow.
    bx, by = BODY_ON_MAIN
    body = rrect_mask(size, (bx, by, bx + BODY_BOX[2], by + BODY_BOX[3]), BODY_RADIUS)
    shadow(img, body, (5, 7), 9, 0.7)

    paint_frame(img)
    flat_text(img, (754, 553), SITE, sans(10), (196, 150, 96), 'rm', drop=0.8)

    # The rules page lies in the settings window's see-through window.
    wx, wy = bx + RULES_WINDOW[0], by + RULES_WINDOW[1]
    img.paste(plate, (wx, wy))

    # Alpha: the frame, its soft shadow, and nothing in the corners.
    frame = rrect_mask(size, FRAME_BOX, FRAME_RADIUS)
    sh = ImageChops.offset(frame, 0, 4).filter(ImageFilter.GaussianBlur(6))
    out = Image.new('RGBA', size, (0, 0, 0, 0))
    out.paste((8, 2, 2, 255), (0, 0), scale_mask(sh, 0.7))
    art = img.convert('RGBA')
    art.putalpha(frame)
    out = Image.alpha_composite(out, art)
    corners = rrect_mask(size, (0, 0) + size, 40)
    a = ImageChops.multiply(out.getchannel('A'), corners)
    out.putalpha(a)
    return out


# --------------------------------------------------------------------------
# Skin bitmaps. Each is painted on a copy of what lies beneath its control.
# --------------------------------------------------------------------------

def lacquer_plate(img, box, radius, state, border=True):
    """A raised lacquer plate: normal, hover ("02", lit) or pressed ("03")."""
    size = img.size
    m = rrect_mask(size, box, radius)
    if state == '02':
        glow(img, m, (255, 150, 70), 3, 0.55)
    elif state == '01':
        shadow(img, m, (1, 2), 1.5, 0.6)
    stops = {'01': [(0, (160, 34, 30)), (0.5, (122, 20, 22)), (1, (84, 10, 12))],
             '02': [(0, (232, 84, 60)), (0.5, (190, 44, 34)), (1, (134, 22, 20))],
             '03': [(0, (44, 6, 8)), (0.5, (66, 10, 12)), (1, (96, 16, 16))]}[state]
    img.paste(vgrad_in(size, (0, box[1], size[0], box[3]), stops), (0, 0), m)
    if border:
        g = GOLD_STOPS if state != '03' else [(0, GOLD_LO), (1, GOLD_MID)]
        img.paste(vgrad(size, g), (0, 0), ring_mask(size, box, radius, 1.2))
    if state == '03':
        x0, y0, x1, y1 = box
        paint(img, (0, 0, 0), scale_mask(ring_mask(size, (x0 + 1, y0 + 1, x1 - 1, y1 - 1),
                                                   max(0, radius - 1), 1.5), 0.45))
    else:
        x0, y0, x1, y1 = box
        hl = mask_and(rrect_mask(size, (x0 + 2, y0 + 2, x1 - 2, y0 + (y1 - y0) // 2), radius - 2),
                      rrect_mask(size, box, radius))
        paint(img, (255, 220, 180), scale_mask(hl, 0.10 if state == '01' else 0.16))
    return m


def plate_text(img, box, text, font, state, bold=True):
    x0, y0, x1, y1 = box
    dy = 1 if state == '03' else 0
    stops = None if state != '02' else [(0, (255, 248, 214)), (0.5, GOLD_HI), (1, GOLD)]
    gold_text(img, ((x0 + x1) / 2, (y0 + y1) / 2 + dy), text, font, 'mm', stroke=0,
              stops=stops, bold=bold)


def skin_check(family, state, beneath):
    img = beneath.copy()
    size = img.size
    w, h = size
    if state == '02':
        bar = rrect_mask(size, (0, 2, w, h - 2), 6)
        paint(img, (255, 200, 130), scale_mask(bar, 0.07))
        paint(img, GOLD_LO, scale_mask(ring_mask(size, (0, 2, w, h - 2), 6, 1), 0.6))
    box = (5, 6, 22, 23)
    m = rrect_mask(size, box, 3)
    shadow(img, m, (1, 1), 1, 0.7)
    if state == '03':
        img.paste(vgrad_in(size, (0, 6, w, 23), [(0, (214, 58, 44)), (1, (128, 18, 18))]), (0, 0), m)
    else:
        paint(img, INK_WELL if state == '01' else (48, 32, 26), m)
    border = {'01': GOLD_MID, '02': GOLD_HI, '03': GOLD}[state]
    paint(img, border, ring_mask(size, box, 3, 1.3))
    if state == '03':
        tick = [(8.6, 14.4), (12.2, 18.2), (19.2, 9.0)]
        paint(img, (40, 4, 4), polyline_mask(size, [(x + 0.6, y + 0.8) for x, y in tick], 2.6))
        paint(img, GOLD_HI, polyline_mask(size, tick, 2.4))
    text = SWITCH_LABELS[family - 1]
    colour = {'01': CREAM, '02': GOLD_HI, '03': GOLD_HI}[state]
    tm = flat_text(img, (30, h / 2), text, cjk(15), colour, 'lm', drop=0.9)
    hint = SWITCH_HINTS.get(family - 1)
    if hint:
        right = tm.getbbox()[2]
        flat_text(img, (right + 8, h / 2 + 1), hint, sans(9), MUTED, 'lm')
    return img


def skin_drop_box(state, beneath):
    img = beneath.copy()
    size = img.size
    w, h = size
    outer = rrect_mask(size, (0, 0, w, h), 4)
    shadow(img, outer, (1, 1), 1, 0.6)
    paint(img, GOLD_MID if state == '01' else GOLD_HI, outer)
    paint(img, INK_WELL, rrect_mask(size, (1.5, 1.5, w - 1.5, h - 1.5), 3))
    paint(img, (30, 21, 20), rect_mask(size, (2, 2, 146, 3)))
    arrow = (147, 3, w - 3, h - 3)
    lacquer_plate(img, arrow, 3, '02' if state == '02' else '01', border=False)
    cx, cy = (arrow[0] + arrow[2]) / 2, (arrow[1] + arrow[3]) / 2 + 1
    tri = polygon_mask(size, [(cx - 6, cy - 3.5), (cx + 6, cy - 3.5), (cx, cy + 4)])
    shadow(img, tri, (1, 1), 0.8, 0.8)
    paint(img, GOLD_HI if state == '02' else GOLD, tri)
    return img


def version_text(img, index, colour_main, colour_rest, x=5):
    h = img.size[1]
    head, _, rest = VERSION_LABELS[index].partition(' · ')
    m = flat_text(img, (x, h / 2), head, cjk(13), colour_main, 'lm', drop=0.6)
    right = m.getbbox()[2]
    flat_text(img, (right + 3, h / 2), '· ' + rest, cjk(13), colour_rest, 'lm', drop=0.6)


def skin_version(index, beneath):
    img = beneath.copy()
    version_text(img, index, GOLD_HI, CREAM)
    return img


def skin_list(beneath):
    img = beneath.copy()
    size = img.size
    w, h = size
    shadow(img, rect_mask(size, (0, 0, w, h)), (2, 3), 3, 0.7)
    paint(img, GOLD_MID, rect_mask(size, (0, 0, w, h)))
    img.paste(vgrad(size, [(0, (34, 24, 22)), (1, (24, 17, 16))]), (0, 0), rect_mask(size, (1, 1, w - 1, h - 1)))
    texture(img, 301, 8)
    paint(img, GOLD_MID, rect_mask(size, (0, 0, w, 1)))
    paint(img, GOLD_MID, rect_mask(size, (0, h - 1, w, h)))
    d = ImageDraw.Draw(img)
    for y in (20, 40, 61):
        for x in range(6, w - 6, 3):
            d.point((x, y), fill=GOLD_LO)
    flat_text(img, (w / 2, 77), '点选要安装的游戏版本', cjk(11), MUTED, 'mm')
    return img


def skin_entry(index, state, beneath):
    img = beneath.copy()
    size = img.size
    w, h = size
    if state == '02':
        bar = rrect_mask(size, (0, 0, w, h), 3)
        img.paste(vgrad(size, [(0, (196, 50, 40)), (1, (124, 20, 20))]), (0, 0), bar)
        paint(img, GOLD_MID, ring_mask(size, (0, 0, w, h), 3, 1))
        version_text(img, index, (255, 246, 214), GOLD_HI, x=8)
    else:
        version_text(img, index, GOLD, CREAM, x=8)
    return img


def skin_browse(state, beneath):
    img = beneath.copy()
    w, h = img.size
    box = (1, 1, w - 1, h - 2)
    lacquer_plate(img, box, 5, state)
    plate_text(img, box, '浏览', cjk(14), state)
    return img


def skin_tab(text, state, beneath):
    img = beneath.copy()
    w, h = img.size
    box = (2, 2, w - 2, h - 3)
    lacquer_plate(img, box, 7, state)
    plate_text(img, box, text, cjk(16), state)
    return img


def skin_start(state, beneath):
    img = beneath.copy()
    size = img.size
    # The window clips this bitmap on the right and at the bottom (it overhangs
    # 主体's edge), so the button keeps to the part that shows.
    vis_w, vis_h = BODY_SIZE[0] - ON_BODY['button2'][0], BODY_SIZE[1] - ON_BODY['button2'][1]
    box = (3, 3, vis_w - 3, vis_h - 4)
    if state == '02':
        glow(img, rrect_mask(size, box, 10), (255, 170, 80), 5, 0.9)
    lacquer_plate(img, box, 10, state)
    x0, y0, x1, y1 = box
    paint(img, GOLD_LO if state == '03' else GOLD_MID,
          ring_mask(size, (x0 + 3, y0 + 3, x1 - 3, y1 - 3), 7, 1))
    plate_text(img, box, '开始游戏', cjk(18), state)
    # What the button paints: the plate, its shadow and its glow.
    cover = rrect_mask(size, box, 10).filter(ImageFilter.MaxFilter(13 if state == '02' else 7))
    return img, cover


def skin_window_button(kind, state, beneath):
    img = beneath.copy()
    size = img.size
    w, h = size
    box = (2, 2, w - 2, h - 2)
    m = rrect_mask(size, box, 4)
    if state == '01':
        paint(img, (0, 0, 0), scale_mask(m, 0.25))
        paint(img, GOLD_LO, ring_mask(size, box, 4, 1))
        fg = GOLD
    elif state == '02':
        hot = (210, 56, 44) if kind == 'close' else (168, 40, 34)
        img.paste(vgrad_in(size, (0, 2, w, h - 2), [(0, blend_colour(hot, (255, 255, 255), 0.15)), (1, hot)]),
                  (0, 0), m)
        paint(img, GOLD_HI, ring_mask(size, box, 4, 1))
        fg = (255, 246, 220)
    else:
        paint(img, (50, 8, 8), m)
        paint(img, GOLD_LO, ring_mask(size, box, 4, 1))
        fg = GOLD_MID
    cx, cy = w / 2, h / 2 + (0.5 if state == '03' else 0)
    if kind == 'min':
        line = polyline_mask(size, [(cx - 5, cy + 3), (cx + 5, cy + 3)], 2)
        shadow(img, line, (1, 1), 0.6, 0.7)
        paint(img, fg, line)
    else:
        x = ImageChops.lighter(polyline_mask(size, [(cx - 4.5, cy - 4.5), (cx + 4.5, cy + 4.5)], 2),
                               polyline_mask(size, [(cx + 4.5, cy - 4.5), (cx - 4.5, cy + 4.5)], 2))
        shadow(img, x, (1, 1), 0.6, 0.7)
        paint(img, fg, x)
    return img


MENU_ITEM_TEXTS = ['退出', '显示', '关于']


def skin_menu_item(index, state, beneath):
    """A round medallion; outside it the key colour shows the menu's backdrop."""
    w, h = beneath.size
    size = (w, h)
    r = min(w, h) / 2 - 4
    cx, cy = w / 2, h / 2
    disc = ellipse_mask(size, (cx - r, cy - r, cx + r, cy + r))
    art = beneath.copy()
    cover = disc
    if state == '02':
        halo = ellipse_mask(size, (cx - r - 3.5, cy - r - 3.5, cx + r + 3.5, cy + r + 3.5))
        g = halo.filter(ImageFilter.GaussianBlur(2))
        paint(art, (255, 180, 90), scale_mask(g, 0.9))
        cover = ImageChops.lighter(disc, g)
    else:
        sh = ImageChops.offset(disc, 1, 2).filter(ImageFilter.GaussianBlur(1.5))
        paint(art, (0, 0, 0), scale_mask(sh, 0.7))
        cover = ImageChops.lighter(disc, scale_mask(sh, 0.7))
    if state == '02':
        fill = [(0, (220, 64, 48)), (1, (120, 16, 16))]
    else:
        fill = [(0, (56, 40, 36)), (1, (22, 15, 15))]
    art.paste(vgrad_in(size, (0, int(cy - r), w, int(cy + r)), fill), (0, 0), disc)
    art.paste(vgrad(size, GOLD_STOPS), (0, 0), circle_ring_mask(size, (cx, cy), r, 2.4))
    paint(art, GOLD_LO if state == '01' else GOLD, circle_ring_mask(size, (cx, cy), r - 4.5, 1))
    fsize = {0: 20, 1: 16, 2: 15}[index]
    stops = None if state == '01' else [(0, (255, 250, 220)), (1, GOLD_HI)]
    gold_text(art, (cx, cy + 1), MENU_ITEM_TEXTS[index], cjk(fsize), 'mm', stroke=0, stops=stops, bold=True)
    return key_out(art, cover, beneath)


# --------------------------------------------------------------------------
# The pop-up menu's backdrop, the about picture and the application icon.
# --------------------------------------------------------------------------

def layered_card(size, box, radius, seed):
    """A lacquer card with a gilded edge, a soft shadow and clear corners."""
    img = vgrad(size, [(0, LACQUER_HI), (0.5, LACQUER), (1, LACQUER_LO)])
    texture(img, seed, 36, cell=32, blur=12)
    texture(img, seed + 1, 10)
    img.paste(vgrad(size, GOLD_STOPS), (0, 0), ring_mask(size, box, radius, 2.5))
    x0, y0, x1, y1 = box
    paint(img, (60, 10, 10), ring_mask(size, (x0 + 2.5, y0 + 2.5, x1 - 2.5, y1 - 2.5), radius - 2.5, 1.2))
    paint(img, GOLD_LO, ring_mask(size, (x0 + 6, y0 + 6, x1 - 6, y1 - 6), max(2, radius - 6), 1))
    return img


def finish_card(img, box, radius):
    size = img.size
    card = rrect_mask(size, box, radius)
    sh = ImageChops.offset(card, 0, 3).filter(ImageFilter.GaussianBlur(4))
    out = Image.new('RGBA', size, (0, 0, 0, 0))
    out.paste((8, 2, 2, 255), (0, 0), scale_mask(sh, 0.65))
    art = img.convert('RGBA')
    art.putalpha(card)
    out = Image.alpha_composite(out, art)
    out.putalpha(ImageChops.multiply(out.getchannel('A'), rrect_mask(size, (0, 0) + size, radius + 6)))
    return out


MENU_CARD = (6, 4, 144, 294)


def paint_menu():
    size = MENU_SIZE
    img = layered_card(size, MENU_CARD, 16, 201)
    # A gold cord threads the three medallions.
    centres = [(x + w / 2, y + h / 2) for x, y, w, h in MENU_ITEMS]
    path = [centres[2], centres[1], centres[0]]
    paint(img, (0, 0, 0), scale_mask(polyline_mask(size, [(x + 1, y + 2) for x, y in path], 2.4), 0.6))
    paint(img, GOLD_MID, polyline_mask(size, path, 1.6))
    gold_text(img, (107, 44), TITLE, serif(15), 'mm', stroke=1)
    flat_text(img, (107, 62), '启动器', cjk(11), CREAM, 'mm')
    return finish_card(img, MENU_CARD, 16)


ABOUT_CARD = (8, 6, 332, 342)


def paint_about():
    size = ABOUT_SIZE
    img = layered_card(size, ABOUT_CARD, 20, 211)
    cx = size[0] / 2
    cy = 84
    glow(img, ellipse_mask(size, (cx - 58, cy - 58, cx + 58, cy + 58)), (255, 170, 90), 14, 0.35)
    paint(img, (50, 12, 12), ellipse_mask(size, (cx - 48, cy - 48, cx + 48, cy + 48)))
    img.paste(vgrad(size, GOLD_STOPS), (0, 0), circle_ring_mask(size, (cx, cy), 50, 3))
    paint(img, GOLD_LO, circle_ring_mask(size, (cx, cy), 43, 1))
    gold_text(img, (cx, cy + 2), '武', cjk(54), 'mm', stroke=1, bold=True)
    gold_text(img, (cx, 170), TITLE, serif(42), 'mm', stroke=2)
    flat_text(img, (cx, 210), CAPTION, cjk(16), CREAM, 'mm', tracking=2, drop=0.9)
    y = 236
    paint(img, GOLD_MID, polyline_mask(size, [(70, y), (158, y)], 1.2))
    paint(img, GOLD_MID, polyline_mask(size, [(182, y), (270, y)], 1.2))
    paint(img, GOLD, polygon_mask(size, [(cx, y - 5), (cx + 5, y), (cx, y + 5), (cx - 5, y)]))
    gold_text(img, (cx, 262), SITE, sans(18), 'mm', stroke=1)
    flat_text(img, (cx, 288), '版本选择 · 比赛规则 · 网络联机', cjk(12), MUTED, 'mm')
    flat_text(img, (cx, 318), '双击此窗口即可关闭', cjk(12), (236, 200, 150), 'mm', drop=0.8)
    return finish_card(img, ABOUT_CARD, 20)


def paint_icon(n):
    size = (n, n)
    box = (1, 1, n - 1, n - 1)
    radius = n * 0.2
    img = vgrad(size, [(0, (196, 46, 38)), (0.5, LACQUER), (1, LACQUER_LO)])
    img.paste(vgrad(size, GOLD_STOPS), (0, 0), ring_mask(size, box, radius, max(1.5, n / 24)))
    if n >= 48:
        paint(img, GOLD_LO, ring_mask(size, (5, 5, n - 5, n - 5), radius - 4, 1))
    m = text_mask(size, (n / 2, n / 2 + n / 32), '武', cjk(int(n * 0.66)), 'mm', bold=n >= 48)
    if n >= 48:
        shadow(img, m, (1, 2), 1.5, 0.8)
    else:
        shadow(img, m, (1, 1), 0, 0.6)
    img.paste(vgrad(size, [(0, GOLD_HI), (1, GOLD)]), (0, 0), m)
    return img, rrect_mask(size, box, radius)


def write_ico(path, images):
    """An .ico of 24-bit DIB images with a 1-bit mask (no PNG entries, so
    every Windows version and Wine read it)."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for img, cover in images:
        w, h = img.size
        backing = Image.new('RGB', (w, h), (40, 20, 20))
        rgb = Image.composite(img, backing, cover)
        opaque = cover.point(lambda v: 255 if v >= 128 else 0)
        rgb.paste((0, 0, 0), (0, 0), ImageChops.invert(opaque))
        header = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, 24, 0, 0, 0, 0, 0, 0)
        xor = bytearray()
        row_pad = (-(w * 3)) % 4
        for y in range(h - 1, -1, -1):
            for x in range(w):
                r, g, b = rgb.getpixel((x, y))
                xor += bytes((b, g, r))
            xor += b'\0' * row_pad
        mask = bytearray()
        mask_row = ((w + 31) // 32) * 4
        for y in range(h - 1, -1, -1):
            row = bytearray(mask_row)
            for x in range(w):
                if opaque.getpixel((x, y)) == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        blob = header + bytes(xor) + bytes(mask)
        entries.append(struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, 1, 24, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    with open(path, 'wb') as f:
        f.write(struct.pack('<HHH', 0, 1, len(images)))
        for e in entries:
            f.write(e)
        for b in blobs:
            f.write(b)


# --------------------------------------------------------------------------
# Putting it together.
# --------------------------------------------------------------------------

def check_layout():
    for family, control in FAMILY_CONTROL.items():
        w, h, _ = SKIN[family]
        assert ON_BODY[control][2:] == (w, h), (family, control, ON_BODY[control], (w, h))
    for name, (w, h) in PANEL_SIZES.items():
        assert ON_BODY[name][2:] == (w, h), name
    for (x, y, w, h), family in zip(MENU_ITEMS, (21, 22, 23)):
        assert (w, h) == SKIN[family][:2], family
    assert BODY_ON_MAIN == (228, 245) and BODY_SIZE == (517, 290)


def differs_only_inside(a, b, box):
    bbox = ImageChops.difference(a, b).getbbox()
    return bbox is None or (bbox[0] >= box[0] and bbox[1] >= box[1] and
                            bbox[2] <= box[2] and bbox[3] <= box[3])


class Art:
    """Every picture, painted in dependency order."""

    def __init__(self):
        check_layout()
        body, self.body_cover = paint_body_base()
        self.body = body
        self.pages = {}
        for name, fn in (('start', paint_start_page), ('net', paint_net_page),
                         ('rules', paint_rules_page)):
            page = body.copy()
            fn(page)
            # Page art stays inside the page's frame.
            inner = RULES_WINDOW
            clipped = body.copy()
            clipped.paste(page.crop(inner), inner[:2])
            if name == 'rules':
                assert differs_only_inside(body, page, inner), \
                    'the rules page must stay inside the see-through window'
            self.pages[name] = clipped

        self.backdrop = paint_backdrop(self.pages['rules'].crop(RULES_WINDOW))
        bx, by = BODY_ON_MAIN
        under = self.backdrop.crop((bx, by, bx + BODY_SIZE[0], by + BODY_SIZE[1]))
        assert under.getchannel('A').getextrema() == (255, 255), 'main must be opaque under 主体'
        self.under_body = under.convert('RGB')

        cover = self.body_cover.copy()
        cover.paste(0, RULES_WINDOW)
        self.back_main = key_out(body, cover, self.under_body)
        self.panel_start = crop(self.pages['start'], PAGE)
        self.panel_net = crop(self.pages['net'], PAGE)
        rules = crop(self.pages['rules'], RULES_PANEL)
        for x, y, w, h in RULE_FIELDS_IN_PANEL.values():
            rules.paste(KEY, (x, y, x + w, y + h))
        self.panel_rules = rules
        self.back_menu = Image.new('RGB', MENU_SIZE, KEY)

        self.menu = paint_menu()
        self.about = paint_about()
        self.skins = {}
        self.paint_skins()
        self.check_keys()
        self.bake()

    def bake(self):
        """Paints 主体 and the menu items into the layered pictures beneath
        them, wherever those windows are opaque. Once the windows show this is
        hidden; but each layered picture fades in alone first, and then shows
        the whole window instead of a hole in the art."""
        bx, by = BODY_ON_MAIN
        for f in (16, 17, 18, 19, 20):
            x, y, w, h = ON_BODY[FAMILY_CONTROL[f]]
            bmp = self.skins[(f, '01')].crop((0, 0, min(w, BODY_SIZE[0] - x), min(h, BODY_SIZE[1] - y)))
            paste_opaque(self.backdrop, bmp, (bx + x, by + y))
        body = Image.new('RGB', BODY_SIZE, KEY)
        body.paste(self.back_main, (0, 0), ImageChops.invert(key_mask(self.back_main)))
        for f in (16, 17, 18, 19, 20):
            x, y, w, h = ON_BODY[FAMILY_CONTROL[f]]
            body.paste(KEY, (x, y, x + w, y + h))  # the buttons went in above
        paste_opaque(self.backdrop, body, (bx, by))
        for i, f in enumerate((21, 22, 23)):
            paste_opaque(self.menu, self.skins[(f, '01')], MENU_ITEMS[i][:2])

    def check_keys(self):
        """The key colour appears exactly where something must show through."""
        for name in ('panel_start', 'panel_net'):
            assert key_mask(getattr(self, name)).getbbox() is None, name
        holes = Image.new('L', PANEL_SIZES['panel_rules'], 0)
        for x, y, w, h in RULE_FIELDS_IN_PANEL.values():
            holes.paste(255, (x, y, x + w, y + h))
        assert ImageChops.difference(key_mask(self.panel_rules), holes).getbbox() is None
        bm = key_mask(self.back_main)
        assert bm.crop(RULES_WINDOW).getextrema() == (255, 255)
        px0, py0 = PAGE[:2]
        x0, y0, x1, y1 = RULES_WINDOW
        assert bm.crop(box_of(PAGE)).getbbox() == (x0 - px0, y0 - py0, x1 - px0, y1 - py0)
        for (f, st), img in self.skins.items():
            if f not in (18, 21, 22, 23):
                assert key_mask(img).getbbox() is None, (f, st)

    def screen_body(self, page=None):
        """What 主体 shows with one page open and no controls (its pixels)."""
        shown = unkey(self.back_main, self.under_body)
        if page == 'rules':
            panel = unkey(self.panel_rules, crop(shown, RULES_PANEL))
            shown.paste(panel, RULES_PANEL[:2])
        elif page:
            shown.paste(getattr(self, 'panel_' + page), PAGE[:2])
        return shown

    def beneath_on_body(self, control, page=None):
        """What lies under a control of 主体; beyond the window's right and
        bottom edges (the start button overhangs them), the backdrop."""
        x, y, w, h = ON_BODY[control]
        bx, by = BODY_ON_MAIN
        screen = self.backdrop.convert('RGB')
        screen.paste(self.screen_body(page), (bx, by))
        return screen.crop((bx + x, by + y, bx + x + w, by + y + h))

    def paint_skins(self):
        s = self.skins
        for f in range(1, 9):
            page = 'start' if f <= 4 else 'net'
            under = self.beneath_on_body(FAMILY_CONTROL[f], page)
            for st in SKIN[f][2]:
                s[(f, st)] = skin_check(f, st, under)
        under = self.beneath_on_body('drop_box', 'start')
        for st in SKIN[14][2]:
            s[(14, st)] = skin_drop_box(st, under)
        vx, vy, vw, vh = ON_BODY['version']
        dx, dy = ON_BODY['drop_box'][:2]
        for i, st in enumerate(SKIN[9][2]):
            s[(9, st)] = skin_version(i, crop(s[(14, '01')], (vx - dx, vy - dy, vw, vh)))
        s[(15, '01')] = skin_list(self.beneath_on_body('drop_list', 'start'))
        lx, ly = ON_BODY['drop_list'][:2]
        for i, f in enumerate((10, 11, 12)):
            ex, ey, ew, eh = ON_BODY['entry%d' % i]
            under = crop(s[(15, '01')], (ex - lx, ey - ly, ew, eh))
            for st in SKIN[f][2]:
                s[(f, st)] = skin_entry(i, st, under)
        under = self.beneath_on_body('browse', 'net')
        for st in SKIN[13][2]:
            s[(13, st)] = skin_browse(st, under)
        for f, text in ((16, '网络'), (17, '设置')):
            under = self.beneath_on_body(FAMILY_CONTROL[f])
            for st in SKIN[f][2]:
                s[(f, st)] = skin_tab(text, st, under)
        under = self.beneath_on_body('button2')
        for st in SKIN[18][2]:
            s[(18, st)] = self.keyed_on_body('button2', *skin_start(st, under))
        for f, kind in ((19, 'min'), (20, 'close')):
            under = self.beneath_on_body(FAMILY_CONTROL[f])
            for st in SKIN[f][2]:
                s[(f, st)] = skin_window_button(kind, st, under)
        menu_rgb = Image.new('RGB', MENU_SIZE, (0, 0, 0))
        menu_rgb.paste(self.menu, (0, 0), self.menu)
        for i, f in enumerate((21, 22, 23)):
            under = crop(menu_rgb, MENU_ITEMS[i])
            for st in SKIN[f][2]:
                s[(f, st)] = skin_menu_item(i, st, under)
        for (f, st), img in s.items():
            assert img.size == SKIN[f][:2], (f, st)

    def keyed_on_body(self, control, img, cover):
        """Key colour wherever the control paints nothing (outside cover) and
        what lies beneath is the backdrop seen through 主体: the start
        button's corners beyond the body."""
        x, y, w, h = ON_BODY[control]
        bm = Image.new('RGB', (w, h), (0, 0, 0))
        bm.paste(self.back_main.crop((x, y, x + w, y + h)), (0, 0))
        see_through = key_mask(bm)
        # Beyond the window's edge nothing is shown at all.
        outside = Image.new('L', (w, h), 255)
        outside.paste(0, (0, 0, max(0, BODY_SIZE[0] - x), max(0, BODY_SIZE[1] - y)))
        see_through = ImageChops.lighter(see_through, outside)
        unpainted = cover.point(lambda v: 255 if v == 0 else 0)
        out = no_key_colour(img.copy())
        out.paste(KEY, (0, 0), ImageChops.multiply(see_through, unpainted))
        return out

    def write(self, folder):
        os.makedirs(folder, exist_ok=True)
        for name, img in (('backdrop', self.backdrop), ('menu', self.menu), ('about', self.about)):
            assert img.mode == 'RGBA'
            img.save(os.path.join(folder, name + '.png'), optimize=True)
        for name in ('back_main', 'panel_start', 'panel_net', 'panel_rules', 'back_menu'):
            getattr(self, name).convert('RGB').save(os.path.join(folder, name + '.bmp'))
        for (f, st), img in sorted(self.skins.items()):
            img.convert('RGB').save(os.path.join(folder, 'ojb%02d%s.bmp' % (f, st)))
        write_ico(os.path.join(folder, 'app.ico'), [paint_icon(32), paint_icon(64)])


# --------------------------------------------------------------------------
# Previews: the window set as the screen shows it (key colour removed).
# --------------------------------------------------------------------------

FIELD_DEFAULTS = {('血量', 0): '50', ('血量', 1): '100', ('血量', 2): '150', ('血量', 3): '200',
                  ('血量', 4): '300', ('时间', 0): '1', ('时间', 1): '3', ('时间', 2): '5',
                  ('时间', 3): '10', ('时间', 4): '15', ('场次', 0): '1', ('场次', 1): '3',
                  ('场次', 2): '5', ('场次', 3): '9', ('场次', 4): '15', ('场次', 5): '21',
                  ('场次', 6): '27', ('场次', 7): 'OO', ('人数', 0): '16'}


def preview(art, folder):
    os.makedirs(folder, exist_ok=True)
    desk = Image.new('RGB', (900, 700), (250, 250, 250))
    d = ImageDraw.Draw(desk)
    for x in range(0, 900, 20):
        for y in range(0, 700, 20):
            if (x + y) // 20 % 2:
                d.rectangle([x, y, x + 19, y + 19], fill=(214, 222, 232))
    mx, my = 50, 50
    ox, oy = mx + BODY_ON_MAIN[0], my + BODY_ON_MAIN[1]

    def place(screen, control, bmp):
        x, y, w, h = ON_BODY[control]
        vis = bmp.crop((0, 0, min(w, BODY_SIZE[0] - x), min(h, BODY_SIZE[1] - y)))
        under = screen.crop((ox + x, oy + y, ox + x + vis.size[0], oy + y + vis.size[1]))
        screen.paste(unkey(vis, under), (ox + x, oy + y))

    def shot(page, states, extra=None):
        screen = desk.copy()
        screen.paste(art.backdrop, (mx, my), art.backdrop)
        screen.paste(art.screen_body(page), (ox, oy))
        for control, key in states:
            place(screen, control, art.skins[key])
        if extra:
            extra(screen)
        return screen

    buttons = [('button0', (16, '01')), ('button1', (17, '01')), ('button2', (18, '01')),
               ('button3', (19, '01')), ('button4', (20, '01'))]
    start = [('drop_box', (14, '01')), ('version', (9, '01')), ('check0', (1, '03')),
             ('check1', (2, '01')), ('check2', (3, '02')), ('check3', (4, '01'))]
    shot('start', start + buttons).save(os.path.join(folder, 'preview_start.png'))

    def path_text(screen):
        x, y, w, h = ON_BODY['path_label']
        dd = ImageDraw.Draw(screen)
        dd.text((ox + x, oy + y + h / 2), 'D:\\...m\\start.exe', font=cjk(12), fill=(0x40, 0x40, 0x40), anchor='lm')
    net = [('check4', (5, '03')), ('check5', (6, '03')), ('check6', (7, '02')), ('check7', (8, '01')),
           ('browse', (13, '01'))]
    hot = [('button0', (16, '03')), ('button1', (17, '02')), ('button2', (18, '02')),
           ('button3', (19, '02')), ('button4', (20, '02'))]
    shot('net', net + hot, path_text).save(os.path.join(folder, 'preview_net.png'))

    def fields(screen):
        dd = ImageDraw.Draw(screen)
        for key, (x, y, w, h) in RULE_FIELDS_ON_BODY.items():
            dd.text((ox + x + 1, oy + y + h / 2), FIELD_DEFAULTS[key], font=cjk(14), fill=(0x40, 0x40, 0x40),
                    anchor='lm', stroke_width=0)
    shot('rules', [('button1', (17, '03'))] + buttons[0:1] + buttons[2:], fields).save(
        os.path.join(folder, 'preview_rules.png'))

    listed = [('drop_box', (14, '02')), ('version', (9, '02')), ('check3', (4, '01')),
              ('drop_list', (15, '01')), ('entry0', (10, '01')), ('entry1', (11, '02')),
              ('entry2', (12, '01'))]
    shot('start', listed + buttons).save(os.path.join(folder, 'preview_list.png'))

    screen = desk.crop((0, 0, 580, 420)).copy()
    screen.paste(art.menu, (20, 40), art.menu)
    menu_screen = screen.crop((20, 40, 170, 340))
    for i, (f, st) in enumerate(((21, '01'), (22, '02'), (23, '01'))):
        x, y, w, h = MENU_ITEMS[i]
        under = menu_screen.crop((x, y, x + w, y + h))
        menu_screen.paste(unkey(art.skins[(f, st)], under), (x, y))
    screen.paste(menu_screen, (20, 40))
    screen.paste(art.about, (190, 40), art.about)
    screen.save(os.path.join(folder, 'preview_menu_about.png'))

    # Every skin bitmap at twice its size.
    items = sorted(art.skins.items())
    sheet = Image.new('RGB', (1000, 3000), (90, 90, 100))
    x, y, row_h = 8, 8, 0
    for (f, st), img in items:
        big = img.resize((img.size[0] * 2, img.size[1] * 2), Image.NEAREST)
        if x + big.size[0] > 992:
            x, y, row_h = 8, y + row_h + 8, 0
        sheet.paste(big, (x, y))
        x += big.size[0] + 8
        row_h = max(row_h, big.size[1])
    sheet = sheet.crop((0, 0, 1000, y + row_h + 8))
    sheet.save(os.path.join(folder, 'skins.png'))
    icons = Image.new('RGB', (120, 70), (200, 200, 200))
    for n, xx in ((32, 8), (64, 48)):
        img, cover = paint_icon(n)
        icons.paste(img, (xx, 3), cover.point(lambda v: 255 if v >= 128 else 0))
    icons.save(os.path.join(folder, 'icons.png'))


def print_table():
    print('主体 on main: %d,%d  size %dx%d' % (BODY_ON_MAIN + BODY_SIZE))
    print('rules panel on 主体: %d,%d %dx%d' % RULES_PANEL)
    for key, rect in RULE_FIELDS_ON_MAIN.items():
        print('%s %d: on main %3d,%3d %dx%d' % ((key[0], key[1] + 1) + rect))


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    ap.add_argument('--out', default=os.path.join(os.path.dirname(os.path.abspath(__file__)), 'art'))
    ap.add_argument('--preview', metavar='DIR')
    ap.add_argument('--table', action='store_true')
    args = ap.parse_args(argv)
    if args.table:
        print_table()
        return 0
    art = Art()
    art.write(args.out)
    if args.preview:
        preview(art, args.preview)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
