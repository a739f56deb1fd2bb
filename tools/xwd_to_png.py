#!/usr/bin/env python3
"""Converts an X window dump (the output of xwd) of a true-colour screen into a PNG file.

Usage: xwd_to_png.py OUTPUT.png < DUMP.xwd
"""

import struct
import sys
import zlib

# The header of a dump: 25 unsigned 32-bit big-endian numbers, then the window name.
HEADER_FIELDS = (
    "header_size file_version pixmap_format pixmap_depth pixmap_width pixmap_height xoffset "
    "byte_order bitmap_unit bitmap_bit_order bitmap_pad bits_per_pixel bytes_per_line visual_class "
    "red_mask green_mask blue_mask bits_per_rgb colormap_entries ncolors window_width window_height "
    "window_x window_y window_bdrwidth"
).split()
Z_PIXMAP = 2
TRUE_COLOR = 4
DIRECT_COLOR = 5
COLORMAP_ENTRY_SIZE = 12
LSB_FIRST = 0


def read_dump(data):
    header = dict(zip(HEADER_FIELDS, struct.unpack(">25I", data[:100])))
    if header["file_version"] != 7 or header["pixmap_format"] != Z_PIXMAP:
        sys.exit("not a ZPixmap dump of version 7")
    # A screen holding windows of several visuals is dumped as DirectColor with identity colour
    # ramps, so its pixels are read as true colour too.
    if header["visual_class"] not in (TRUE_COLOR, DIRECT_COLOR) or header["bits_per_pixel"] not in (24, 32):
        sys.exit("only true-colour dumps of 24 or 32 bits per pixel are understood")
    pixels = header["header_size"] + header["ncolors"] * COLORMAP_ENTRY_SIZE
    return header, data[pixels:]


def byte_of(mask, pixel_bytes, lsb_first):
    """Which byte of a pixel holds the channel of an 8-bit mask."""
    shift = (mask & -mask).bit_length() - 1
    if mask >> shift != 0xFF or shift % 8:
        sys.exit("only channels of whole bytes are understood")
    index = shift // 8
    return index if lsb_first else pixel_bytes - 1 - index


def rgb_rows(header, pixels):
    width, height = header["pixmap_width"], header["pixmap_height"]
    stride = header["bytes_per_line"]
    pixel_bytes = header["bits_per_pixel"] // 8
    lsb_first = header["byte_order"] == LSB_FIRST
    channels = [byte_of(header[name], pixel_bytes, lsb_first) for name in ("red_mask", "green_mask", "blue_mask")]
    for y in range(height):
        row = pixels[y * stride : y * stride + width * pixel_bytes]
        rgb = bytearray(width * 3)
        for offset, channel in enumerate(channels):
            rgb[offset::3] = row[channel::pixel_bytes]
        yield bytes(rgb)


def png_chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def write_png(path, width, height, rows):
    raw = b"".join(b"\x00" + row for row in rows)  # filter type 0 before every row
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(png_chunk(b"IDAT", zlib.compress(raw, 6)))
        out.write(png_chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip())
    header, pixels = read_dump(sys.stdin.buffer.read())
    write_png(sys.argv[1], header["pixmap_width"], header["pixmap_height"], rgb_rows(header, pixels))


if __name__ == "__main__":
    main()
