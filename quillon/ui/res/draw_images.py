#!/usr/bin/env python3
"""Draws the program's toolbar bitmap and icons as small pixel maps and writes
them as BMP and ICO files (run from this folder; the outputs are committed)."""
import struct

PALETTE = {
    '.': None, 'k': (0, 0, 0), 'w': (255, 255, 255), 'y': (240, 200, 40),
    'o': (200, 140, 20), 'b': (30, 80, 200), 'l': (120, 170, 240), 'r': (210, 30, 30),
    'g': (30, 150, 60), 'e': (128, 128, 128), 's': (192, 192, 192),
}
BACKGROUND = (192, 192, 192)  # the toolbar's face colour; the first pixel is keyed

def grid(rows):
    assert len(rows) == 16 and all(len(r) == 16 for r in rows), rows
    return rows

HELP = grid([
    "................", ".....kkkkkk.....", "....kbbbbbbk....", "...kbbwwwwbbk...",
    "...kbwbbbbwbk...", "...kbbbbbbwbk...", "....kbbbbwbk....", ".....kbbwbk.....",
    "......kbwbk.....", "......kbwbk.....", "......kbbbk.....", ".......kkk......",
    "......kbbbk.....", "......kbwbk.....", "......kbbbk.....", ".......kkk......"])
EXIT = grid([
    "................", "..kkkkkkkk......", "..koooooook.....", "..koooooooк.....".replace('к', 'k'),
    "..kooooooook....", "..kooooooook....", "..kooooooook.r..", "..kooookooook.rr",
    "..koooooooorrrrr", "..kooooooook.rr.", "..kooooooook.r..", "..kooooooook....",
    "..kooooooook....", "..koooooooook...", "..kkkkkkkkkkk...", "................"])
BLANK_PAGE = grid([
    "................", "...kkkkkkkk.....", "...kwwwwwwkk....", "...kwwwwwwkwk...",
    "...kwwwwwwkkkk..", "...kwwwwwwwwwk..", "...kwkkkkkkwwk..", "...kwwwwwwwwwk..",
    "...kwkkkkkkkwk..", "...kwwwwwwwwwk..", "...kwkkkkkkkwk..", "...kwwwwwwwwwk..",
    "...kwkkkkwwwwk..", "...kwwwwwwwwwk..", "...kkkkkkkkkkk..", "................"])
OPEN = grid([
    "................", "................", "..kkkk..........", ".kyyyyk.........",
    "kyyyyyykkkkkkk..", "kyyyyyyyyyyyyk..", "kyyyyyyyyyyyyk..", "kyyykkkkkkkkkkkk",
    "kyykooooooooooko", "kyykoooooooooko.", "kykooooooooooko.", "kykoooooooooko..",
    "kkooooooooooko..", "kkoooooooooooko.", "kkkkkkkkkkkkkk..", "................"])
CLOSE = grid([
    "................", "................", "..kkkk..........", ".kyyyyk.........",
    "kyyyyyykkkkkkk..", "kyyyyyyyyyyyyk..", "kyyyyyyyyyyyyk..", "kyyyyyyrryyrryk.",
    "kyyyyyyyrrrryyk.", "kyyyyyyyyrryyyk.", "kyyyyyyyrrrryyk.", "kyyyyyyrryyrryk.",
    "kyyyyyyyyyyyyyk.", "kyyyyyyyyyyyyyk.", "kkkkkkkkkkkkkkk.", "................"])
CONVERT = grid([
    "................", ".kkkkkk.........", ".kwwwwkk........", ".kwkkwwk........",
    ".kwwwwwk........", ".kwkkkwk...g....", ".kwwwwwk...gg...", ".kkkkkkkgggggg..",
    "...........gg...", "...........g....", "........kkkkkkk.", "........kllllbk.",
    "........klbbllk.", "........kbllblk.", "........kllllbk.", "........kkkkkkk."])
WAVE = grid([
    "................", "kkkkkkkkkkkkkkkk", "kwwwwwwwwwwwwwwk", "kwwwwwwwwwwwwwwk",
    "kwwwwbwwwwwwwwwk", "kwwwbwbwwwwwwwwk", "kwwwbwbwwwwbwwwk", "kbwbwwwbwwbwbwbk",
    "kwbwwwwbwbwwwbwk", "kwwwwwwwbwwwwwwk", "kwwwwwwwbwwwwwwk", "kwwwwwwwwwwwwwwk",
    "kwwwwwwwwwwwwwwk", "kwwwwwwwwwwwwwwk", "kkkkkkkkkkkkkkkk", "................"])
PERSON = grid([
    "................", "......kkkk......", ".....kooook.....", "....koooooook...",
    "....koooooook...", "....koooooook...", ".....kooook.....", "......kkkk......",
    "....kkbbbbkk....", "...kbbbbbbbbk...", "..kbbbbbbbbbbk..", "..kbbbbbbbbbbk..",
    "..kbbbbbbbbbbk..", "..kbbbbbbbbbbk..", "..kkkkkkkkkkkk..", "................"])
GRID = grid([
    "................", ".kkkkkkkkkkkkkk.", ".kskwwwkwwwkwwk.", ".kkkkkkkkkkkkkk.",
    ".kskwwwkwwwkwwk.", ".kkkkkkkkkkkkkk.", ".kskwwwkwwwkwwk.", ".kkkkkkkkkkkkkk.",
    ".kskwwwkwwwkwwk.", ".kkkkkkkkkkkkkk.", ".kskwwwkwwwkwwk.", ".kkkkkkkkkkkkkk.",
    ".kskwwwkwwwkwwk.", ".kkkkkkkkkkkkkk.", "................", "................"])
DISK = grid([
    "................", ".kkkkkkkkkkkkk..", ".kbkwwwwwwwkbbk.", ".kbkwwwwwwwkbbk.",
    ".kbkwwwwwwwkbbk.", ".kbkwwwwwwwkbbk.", ".kbbkkkkkkkbbbk.", ".kbbbbbbbbbbbbk.",
    ".kbbkkkkkkkkbbk.", ".kbbkeekkkkkbbk.", ".kbbkeekkkkkbbk.", ".kbbkeekkkkkbbk.",
    ".kkkkkkkkkkkkkk.", "................", "................", "................"])

# Image order is fixed by the program: 0 help, 1 exit, 3 open, 4 close, 5 convert,
# 6 the wave preview.
TOOLBAR = [HELP, EXIT, BLANK_PAGE, OPEN, CLOSE, CONVERT, WAVE, PERSON, GRID, DISK]

def colour(ch, background):
    c = PALETTE[ch]
    return background if c is None else c

def bmp_rows(pixel_rows):
    """Bottom-up 24-bit rows padded to four bytes."""
    out = b''
    for row in reversed(pixel_rows):
        data = b''.join(struct.pack('BBB', b, g, r) for (r, g, b) in row)
        out += data + b'\0' * ((4 - len(data) % 4) % 4)
    return out

def write_toolbar(path):
    rows = [[colour(img[y][x], BACKGROUND) for img in TOOLBAR for x in range(16)] for y in range(16)]
    width, height = 16 * len(TOOLBAR), 16
    pixels = bmp_rows(rows)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    open(path, 'wb').write(header + info + pixels)

def scaled(rows, factor):
    return [''.join(ch * factor for ch in row) for row in rows for _ in range(factor)]

def icon_image(rows):
    size = len(rows)
    pixels = [[colour(ch, (0, 0, 0)) for ch in row] for row in rows]
    xor = bmp_rows(pixels)
    mask = b''
    for row in reversed(rows):
        bits = ''.join('1' if ch == '.' else '0' for ch in row)
        data = int(bits, 2).to_bytes(size // 8, 'big')
        mask += data + b'\0' * ((4 - len(data) % 4) % 4)
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 24, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask

def write_icon(path, rows16):
    images = [(32, icon_image(scaled(rows16, 2))), (16, icon_image(rows16))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 24, len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    open(path, 'wb').write(out)

write_toolbar('toolbar.bmp')
write_icon('quillon.ico', WAVE)
write_icon('second.ico', CONVERT)
