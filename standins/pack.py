#!/usr/bin/env python3
"""Builds a self-extracting pack: sfx_stub.exe followed by an archive.

    pack.py --stub sfx_stub.exe --out X.exe --root DIR
    pack.py --stub sfx_stub.exe --out X.exe --add 'music\\s1.mp3=/path/to/file' ...
    pack.py ... --exit-code 1     the stub ends with this code once it has extracted

Format (the stub reads it; sfx_format.h holds the same description):

    [stub bytes][archive][footer]
    archive:  b"TVSFXARC", u32 entry count, then per entry
              u16 path length, path (UTF-8, relative, backslashes),
              u32 size, the file's bytes
    footer:   b"TVSFXEND", u32 archive offset, u32 archive length,
              u32 CRC-32 (zlib) of the archive bytes
    integers little-endian.

An entry named ".sfx-exit-code" (EXIT_CODE_ENTRY) is no file: its decimal digits are
the exit code the stub ends with after extracting the others, as real self-extracting
archives report 1 for warnings only and 2 and above for a failure.

Paths are checked here with the same rules as in the stub, so a pack that
would be refused at extraction time is refused at build time.
--unchecked-paths turns the check off; it exists only to build the hostile
fixtures the stub's tests need.
"""
import argparse
import os
import struct
import sys
import zlib

ARCHIVE_MAGIC = b"TVSFXARC"
FOOTER_MAGIC = b"TVSFXEND"
MAX_PATH_CHARS = 240
EXIT_CODE_ENTRY = ".sfx-exit-code"
_RESERVED = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}


def path_problem(name):
    """Why an archive path is unsafe, or None when it names a file inside the folder."""
    if not name or len(name) > MAX_PATH_CHARS:
        return "empty or too long"
    for part in name.split("\\"):
        if not part:
            return "empty component (absolute path or doubled backslash)"
        if part[-1] in ". ":
            return "component ends in a dot or blank ('.', '..')"
        if any(ord(c) < 0x20 or c in '<>:"/|?*' for c in part):
            return "character not allowed in a file name"
        base = part.split(".", 1)[0].upper()
        if base in _RESERVED or (len(base) == 4 and base[:3] in ("COM", "LPT") and base[3].isdigit()):
            return "device name"
    return None


def build_archive(entries, check=True):
    """entries: list of (archive path, bytes). Returns the archive without footer."""
    out = bytearray(ARCHIVE_MAGIC)
    out += struct.pack("<I", len(entries))
    seen = set()
    for name, data in entries:
        if check:
            problem = path_problem(name)
            if problem:
                raise ValueError(f"unsafe archive path {name!r}: {problem}")
            if name.lower() in seen:
                raise ValueError(f"archive path {name!r} given twice")
            seen.add(name.lower())
        raw = name.encode("utf-8")
        if len(raw) > 0xFFFF or len(data) > 0xFFFFFFFF:
            raise ValueError(f"entry {name!r} too large")
        out += struct.pack("<H", len(raw)) + raw + struct.pack("<I", len(data)) + data
    return bytes(out)


def pack(stub, entries, check=True):
    """Returns the bytes of the self-extracting file."""
    archive = build_archive(entries, check)
    offset = len(stub)
    if offset + len(archive) > 0xFFFFFFFF:
        raise ValueError("pack too large")
    footer = FOOTER_MAGIC + struct.pack("<III", offset, len(archive), zlib.crc32(archive) & 0xFFFFFFFF)
    return stub + archive + footer


def entries_from_root(root):
    found = []
    for folder, dirs, files in os.walk(root):
        dirs.sort()
        for f in sorted(files):
            full = os.path.join(folder, f)
            rel = os.path.relpath(full, root).replace(os.sep, "\\")
            with open(full, "rb") as fh:
                found.append((rel, fh.read()))
    return found


def write_atomically(path, data):
    tmp = path + ".tmp"
    with open(tmp, "wb") as fh:
        fh.write(data)
    os.replace(tmp, path)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--stub", required=True, help="sfx_stub.exe")
    ap.add_argument("--out", required=True, help="the pack to write")
    ap.add_argument("--root", help="pack every file under this folder")
    ap.add_argument("--add", action="append", default=[], metavar="ARCHIVE_PATH=FILE",
                    help="pack FILE under ARCHIVE_PATH (backslashes); may be repeated")
    ap.add_argument("--exit-code", type=int, metavar="N",
                    help="the stub ends with exit code N (0-255) after extracting")
    ap.add_argument("--unchecked-paths", action="store_true", help=argparse.SUPPRESS)
    args = ap.parse_args(argv)

    entries = entries_from_root(args.root) if args.root else []
    for spec in args.add:
        name, sep, src = spec.partition("=")
        if not sep:
            ap.error(f"--add needs ARCHIVE_PATH=FILE, got {spec!r}")
        with open(src, "rb") as fh:
            entries.append((name, fh.read()))
    if not entries:
        ap.error("nothing to pack: give --root or --add")
    if args.exit_code is not None:
        if not 0 <= args.exit_code <= 255:
            ap.error("--exit-code must lie between 0 and 255")
        entries.append((EXIT_CODE_ENTRY, str(args.exit_code).encode("ascii")))
    with open(args.stub, "rb") as fh:
        stub = fh.read()
    try:
        data = pack(stub, entries, check=not args.unchecked_paths)
    except ValueError as e:
        print(f"pack.py: {e}", file=sys.stderr)
        return 1
    write_atomically(args.out, data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
