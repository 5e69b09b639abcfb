#!/usr/bin/env python3
"""Writes a Windows .ico of palette images from raw RGBA pixels.

Usage: make-ico.py OUT SIZE:BITS:RAWFILE ...  with BITS 1 (black and white) or
4 (the 16 standard colours). Pixels less than half opaque become transparent.
"""
import struct
import sys

PALETTES = {
    1: [(0, 0, 0), (255, 255, 255)],
    4: [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
        (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
        (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)],
}


def nearest(palette, rgb):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], rgb)))


def padded(bits_per_row):
    return (bits_per_row + 31) // 32 * 4


def image(size, bits, rgba):
    palette = PALETTES[bits]
    pixels = [rgba[i:i + 4] for i in range(0, len(rgba), 4)]
    assert len(pixels) == size * size, "raw file does not match the size"
    colour_rows, mask_rows = [], []
    for y in reversed(range(size)):  # bottom-up
        indices, mask = [], []
        for x in range(size):
            r, g, b, a = pixels[y * size + x]
            mask.append(0 if a >= 128 else 1)
            indices.append(nearest(palette, (r, g, b)) if a >= 128 else 0)
        colour_rows.append(pack(indices, bits, size))
        mask_rows.append(pack(mask, 1, size))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0,
                         len(palette), 0)
    colours = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + b"".join(colour_rows) + b"".join(mask_rows)


def pack(values, bits, size):
    row = bytearray(padded(size * bits))
    per_byte = 8 // bits
    for x, value in enumerate(values):
        shift = 8 - bits * (x % per_byte + 1)
        row[x // per_byte] |= value << shift
    return bytes(row)


def main():
    out, arguments = sys.argv[1], sys.argv[2:]
    images = []
    for argument in arguments:
        size, bits, path = argument.split(":", 2)
        with open(path, "rb") as raw:
            images.append((int(size), int(bits), image(int(size), int(bits), raw.read())))
    offset = 6 + 16 * len(images)
    directory, data = [], []
    for size, bits, body in images:
        directory.append(struct.pack("<BBBBHHII", size % 256, size % 256, 2 ** bits % 256, 0,
                                     1, bits, len(body), offset))
        data.append(body)
        offset += len(body)
    with open(out, "wb") as ico:
        ico.write(struct.pack("<HHH", 0, 1, len(images)) + b"".join(directory) + b"".join(data))


if __name__ == "__main__":
    main()
