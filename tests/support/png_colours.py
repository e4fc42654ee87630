#!/usr/bin/env python3
"""Counts the pixels of given colours in a PNG (8-bit RGB or RGBA, as
rsvg-convert writes it).

usage: png_colours.py FILE.png RRGGBB...   prints one count per colour
"""
import struct
import sys
import zlib


def pixels(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit(path + ": not a PNG")
    pos, idat = 8, b""
    while pos < len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        chunk = data[pos + 8:pos + 8 + n]
        pos += 12 + n
        if kind == b"IHDR":
            width, height, depth, ctype = struct.unpack(">IIBB", chunk[:10])
        elif kind == b"IDAT":
            idat += chunk
    if depth != 8 or ctype not in (2, 6):
        raise SystemExit(path + ": not 8-bit RGB or RGBA")
    bpp = 4 if ctype == 6 else 3
    stride = width * bpp
    raw = zlib.decompress(idat)
    prev = bytearray(stride)
    p = 0
    for _ in range(height):
        kind, line = raw[p], bytearray(raw[p + 1:p + 1 + stride])
        p += 1 + stride
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b = prev[x]
            c = prev[x - bpp] if x >= bpp else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                q = a + b - c
                pa, pb, pc = abs(q - a), abs(q - b), abs(q - c)
                pred = a if pa <= pb and pa <= pc else b if pb <= pc else c
                line[x] = (line[x] + pred) & 255
        for x in range(0, stride, bpp):
            yield bytes(line[x:x + 3])
        prev = line


def main():
    wanted = [bytes.fromhex(h) for h in sys.argv[2:]]
    counts = [0] * len(wanted)
    for px in pixels(sys.argv[1]):
        for i, w in enumerate(wanted):
            if px == w:
                counts[i] += 1
    print(" ".join(str(n) for n in counts))


main()
