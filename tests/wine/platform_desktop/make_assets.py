#!/usr/bin/env python3
"""Writes the small bitmaps and the icon the desktop tests carry as resources."""
import struct
import sys
from pathlib import Path


def bmp(width, height, pixel):
    """24-bit bottom-up BMP; pixel(x, y) -> (r, g, b), y from the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    return file_header + header + data


def ico(size, rgba):
    """One 32-bit image: BGRA bottom-up, then an all-zero AND mask."""
    xor = b"".join(bytes((b, g, r, a)) for _ in range(size * size) for (r, g, b, a) in [rgba])
    mask_stride = ((size + 31) // 32) * 4
    mask = b"\0" * (mask_stride * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    (out / "red.bmp").write_bytes(bmp(8, 6, lambda x, y: (255, 0, 0)))
    (out / "blue.bmp").write_bytes(bmp(8, 6, lambda x, y: (0, 0, 255)))
    # Left half the key colour, right half green.
    (out / "keyed.bmp").write_bytes(bmp(8, 6, lambda x, y: (255, 0, 255) if x < 4 else (0, 255, 0)))
    (out / "small.bmp").write_bytes(bmp(4, 4, lambda x, y: (255, 255, 0)))
    (out / "app.ico").write_bytes(ico(16, (0, 128, 255, 255)))


if __name__ == "__main__":
    main()
