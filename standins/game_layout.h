/* Where the stand-in game finds its rule texts.
 *
 * make_payloads.py pads Tovren.exe with a data region after its PE image and
 * writes, at the fixed offset below, a table that says which layout this copy
 * has and where its texts and code bytes lie. The offsets themselves live only
 * in make_payloads.py; the game reads them from its own file.
 *
 *   0   8 bytes  "TVLAYOUT"
 *   8   u32      layout letter, 'A' (versions 1 and 3) or 'B' (version 2)
 *   12  u32      offset of the two code-change bytes
 *   16  u32      offset of the hidden-commands byte
 *   20  4 x u32  number of slots in each group: HP, time, rounds, players
 *   36  u32 x n  slot offsets, group after group, in the order shown
 * little-endian. Each slot holds a zero-terminated text in code page 936.
 */
#ifndef TOVREN_GAME_LAYOUT_H
#define TOVREN_GAME_LAYOUT_H

#define GAME_LAYOUT_TABLE_OFFSET 0x1C7800u
#define GAME_LAYOUT_MAGIC "TVLAYOUT"
#define GAME_LAYOUT_GROUPS 4
#define GAME_LAYOUT_MAX_SLOTS 32
/* The game reads a text up to its zero; a value that fills its slot runs
 * into the next one, as it would in the real game. */
#define GAME_TEXT_MAX 32

#endif
