#!/usr/bin/env python3
"""Checks the interface art in app/art/ against what the window and the desktop expect of it.

Every picture must exist in its kind, pixel size and depth; art.qrc must name exactly the
pictures of the window (the larger application icons are for the desktop only); the banner
pieces must join without a visible seam, the stretched middle pieces must be alike in every
column, and the opaque window-button sprite must match the banner where the buttons lie. JPEG files are decoded with djpeg (libjpeg-turbo), the decoder the program uses.

    tools/check_art.py [FOLDER]        FOLDER defaults to app/art beside this script's folder
"""

import os
import struct
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

# name: (kind, width, height); kinds: "jpeg" baseline YCbCr JFIF; "png8a" and "png16a" RGBA of
# 8 and 16 bits per channel; "png8" 8 bits per channel with or without alpha; "bmp24".
EXPECTED = {
    "banner_left.jpg": ("jpeg", 333, 135),
    "banner_middle.jpg": ("jpeg", 6, 135),
    "banner_right.jpg": ("jpeg", 180, 135),
    "bottom_left.jpg": ("jpeg", 227, 45),
    "bottom_middle.jpg": ("jpeg", 7, 45),
    "bottom_right.jpg": ("jpeg", 69, 45),
    "edge_right.jpg": ("jpeg", 15, 376),
    "edge_left.jpg": ("jpeg", 8, 450),
    "edge_divider.jpg": ("jpeg", 21, 450),
    "preview_placeholder.jpg": ("jpeg", 146, 175),
    "filler_under_preview.jpg": ("jpeg", 12, 12),
    "background_title.jpg": ("jpeg", 12, 12),
    "background_author.jpg": ("jpeg", 12, 12),
    "background_fields.jpg": ("jpeg", 12, 12),
    "heading_title.jpg": ("jpeg", 167, 24),
    "heading_author.jpg": ("jpeg", 167, 24),
    "separator.png": ("png8", 126, 2),
    "icon_hint.png": ("png8a", 16, 16),
    "window_buttons.bmp": ("bmp24", 121, 60),
    "icon_add.png": ("png8a", 32, 32),
    "icon_remove.png": ("png8a", 32, 32),
    "icon_remove_all.png": ("png8a", 32, 32),
    "icon_convert.png": ("png8a", 32, 32),
    "icon_home.png": ("png8a", 32, 32),
    "icon_cover.png": ("png16a", 32, 32),
    "icon_folder.png": ("png8a", 32, 32),
    "app_icon_16.png": ("png8a", 16, 16),
    "app_icon_32.png": ("png8a", 32, 32),
    "app_icon_48.png": ("png8a", 48, 48),
}

# The larger sizes of the application icon, installed for the desktop's icon theme; the program
# does not carry them, so art.qrc does not name them.
DESKTOP_ONLY = {
    "app_icon_64.png": ("png8a", 64, 64),
    "app_icon_128.png": ("png8a", 128, 128),
    "app_icon_256.png": ("png8a", 256, 256),
}

MAX_FOLDER_BYTES = 200 * 1024

# Largest difference of one colour channel that still counts as the same colour: JPEG coding
# moves flat colours by a step or two.
JPEG_TOLERANCE = 4

# Where the window buttons lie over the right banner, and where their pictures lie in the
# sprite: (column in the banner, column in the sprite, visible width).
WINDOW_BUTTONS = [(110, 0, 24), (134, 68, 24)]
WINDOW_BUTTON_TOP = 8
BAND_HEIGHT = 20


class Problems:
    def __init__(self):
        self.found = []

    def add(self, text):
        self.found.append(text)


def read_jpeg_header(data):
    """Returns (jfif, sof_marker, precision, width, height, component_ids)."""
    if data[:2] != b"\xff\xd8":
        raise ValueError("no JPEG start marker")
    jfif = False
    position = 2
    while position + 4 <= len(data):
        if data[position] != 0xFF:
            raise ValueError("broken marker sequence")
        marker = data[position + 1]
        length = struct.unpack(">H", data[position + 2:position + 4])[0]
        segment = data[position + 4:position + 2 + length]
        if marker == 0xE0 and segment[:5] == b"JFIF\x00":
            jfif = True
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            precision, height, width, count = struct.unpack(">BHHB", segment[:6])
            ids = [segment[6 + 3 * index] for index in range(count)]
            return jfif, marker, precision, width, height, ids
        position += 2 + length
    raise ValueError("no frame header")


def check_jpeg(name, data, width, height, problems):
    try:
        jfif, marker, precision, found_width, found_height, ids = read_jpeg_header(data)
    except ValueError as error:
        problems.add(f"{name}: {error}")
        return
    if not jfif:
        problems.add(f"{name}: no JFIF header")
    if marker != 0xC0:
        problems.add(f"{name}: frame marker 0x{marker:02X}, not baseline (0xC0)")
    if precision != 8 or ids != [1, 2, 3]:
        problems.add(f"{name}: precision {precision}, components {ids}; want 8 bits, YCbCr")
    if (found_width, found_height) != (width, height):
        problems.add(f"{name}: {found_width} x {found_height}, want {width} x {height}")


def check_png(name, data, kind, width, height, problems):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        problems.add(f"{name}: not a PNG file")
        return
    found_width, found_height, depth, colour_type = struct.unpack(">IIBB", data[16:26])
    if (found_width, found_height) != (width, height):
        problems.add(f"{name}: {found_width} x {found_height}, want {width} x {height}")
    want_depth = 16 if kind == "png16a" else 8
    want_types = (2, 6) if kind == "png8" else (6,)
    if depth != want_depth or colour_type not in want_types:
        problems.add(f"{name}: {depth} bits, colour type {colour_type}; "
                     f"want {want_depth} bits, colour type {' or '.join(map(str, want_types))}")


def read_bmp(data):
    """Returns (width, height, bits, compression, rows of (r, g, b) from the top)."""
    if data[:2] != b"BM":
        raise ValueError("not a BMP file")
    offset = struct.unpack("<I", data[10:14])[0]
    width, height, planes, bits, compression = struct.unpack("<iiHHI", data[18:34])
    rows = []
    if bits == 24 and compression == 0:
        stride = (width * 3 + 3) // 4 * 4
        for y in range(abs(height)):
            stored_row = abs(height) - 1 - y if height > 0 else y
            start = offset + stored_row * stride
            rows.append([tuple(data[start + 3 * x:start + 3 * x + 3][::-1]) for x in range(width)])
    return width, abs(height), bits, compression, rows


def check_bmp(name, data, width, height, problems):
    try:
        found_width, found_height, bits, compression, _ = read_bmp(data)
    except (ValueError, struct.error) as error:
        problems.add(f"{name}: {error}")
        return
    if (found_width, found_height) != (width, height):
        problems.add(f"{name}: {found_width} x {found_height}, want {width} x {height}")
    if bits != 24 or compression != 0:
        problems.add(f"{name}: {bits} bits, compression {compression}; want 24 bits, uncompressed")


def decode_jpeg(path):
    """Decodes with djpeg; returns rows of (r, g, b)."""
    ppm = subprocess.run(["djpeg", "-pnm", path], check=True, capture_output=True).stdout
    fields = ppm.split(maxsplit=4)
    if fields[0] != b"P6":
        raise ValueError(f"{path}: djpeg did not give a colour picture")
    width, height = int(fields[1]), int(fields[2])
    pixels = fields[4]
    return [[tuple(pixels[3 * (y * width + x):3 * (y * width + x) + 3]) for x in range(width)]
            for y in range(height)]


def difference(a, b):
    return max(abs(p - q) for p, q in zip(a, b))


def check_join(folder, left_name, middle_name, right_name, problems):
    left, middle, right = (decode_jpeg(os.path.join(folder, name))
                           for name in (left_name, middle_name, right_name))
    for y, row in enumerate(middle):
        if any(difference(pixel, row[0]) > JPEG_TOLERANCE for pixel in row):
            problems.add(f"{middle_name}: row {y} is not alike in every column, so it cannot stretch")
            return
        if difference(left[y][-1], row[0]) > JPEG_TOLERANCE:
            problems.add(f"{left_name} and {middle_name} do not join at row {y}")
            return
        if difference(right[y][0], row[0]) > JPEG_TOLERANCE:
            problems.add(f"{middle_name} and {right_name} do not join at row {y}")
            return


def check_window_buttons(folder, problems):
    banner = decode_jpeg(os.path.join(folder, "banner_right.jpg"))
    with open(os.path.join(folder, "window_buttons.bmp"), "rb") as file:
        sprite = read_bmp(file.read())[4]
    # The top and bottom rows of every state picture are plain background; they must match the
    # banner around the button, or the button shows as a box.
    for band in range(3):
        for banner_column, sprite_column, width in WINDOW_BUTTONS:
            for row in (0, BAND_HEIGHT - 1):
                for x in range(width):
                    expected = banner[WINDOW_BUTTON_TOP + row][banner_column + x]
                    found = sprite[band * BAND_HEIGHT + row][sprite_column + x]
                    if difference(expected, found) > 2 * JPEG_TOLERANCE:
                        problems.add(f"window_buttons.bmp: band {band}, column {sprite_column + x}, "
                                     f"row {row} differs from the banner beneath")
                        return


def check_resource_list(folder, problems):
    try:
        root = ElementTree.parse(os.path.join(folder, "art.qrc")).getroot()
    except (OSError, ElementTree.ParseError) as error:
        problems.add(f"art.qrc: {error}")
        return
    resources = root.findall("qresource")
    if len(resources) != 1 or resources[0].get("prefix") != "/art":
        problems.add("art.qrc: want one resource list with the prefix /art")
        return
    listed = [entry.text for entry in resources[0].findall("file")]
    for entry in resources[0].findall("file"):
        if entry.get("alias") != entry.text:
            problems.add(f"art.qrc: {entry.text} has the alias {entry.get('alias')}")
    if sorted(listed) != sorted(EXPECTED):
        problems.add(f"art.qrc: lists {sorted(set(listed) ^ set(EXPECTED))} wrongly")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "app", "art")
    problems = Problems()

    present = set(os.listdir(folder))
    for name in sorted(present - set(EXPECTED) - set(DESKTOP_ONLY) - {"art.qrc"}):
        problems.add(f"{name}: not a picture of the window")
    for name, (kind, width, height) in {**EXPECTED, **DESKTOP_ONLY}.items():
        if name not in present:
            problems.add(f"{name}: missing")
            continue
        with open(os.path.join(folder, name), "rb") as file:
            data = file.read()
        if kind == "jpeg":
            check_jpeg(name, data, width, height, problems)
        elif kind == "bmp24":
            check_bmp(name, data, width, height, problems)
        else:
            check_png(name, data, kind, width, height, problems)

    total = sum(os.path.getsize(os.path.join(folder, name)) for name in present)
    if total > MAX_FOLDER_BYTES:
        problems.add(f"the art folder holds {total} bytes, more than {MAX_FOLDER_BYTES}")

    check_resource_list(folder, problems)
    if not problems.found:
        check_join(folder, "banner_left.jpg", "banner_middle.jpg", "banner_right.jpg", problems)
        check_join(folder, "bottom_left.jpg", "bottom_middle.jpg", "bottom_right.jpg", problems)
        check_window_buttons(folder, problems)

    for problem in problems.found:
        print(f"check_art: {problem}", file=sys.stderr)
    if problems.found:
        return 1
    print(f"check_art: {len(EXPECTED) + len(DESKTOP_ONLY)} pictures and art.qrc are as the window and the "
          f"desktop expect ({total} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
