#!/usr/bin/env python3
"""Draws the sample pictures of the README's example and saves them as JPEG files in samples/.

Each picture is computed pixel by pixel here and compressed by cjpeg (libjpeg-turbo-progs).
Run it again only to change the samples; the results are committed.
"""
import math
import pathlib
import subprocess
import sys

WIDTH, HEIGHT = 480, 640
OUTPUT = pathlib.Path(__file__).resolve().parent.parent / "samples"


def clamp(value):
    return max(0, min(255, int(value)))


def sunrise(x, y):
    sky = y / HEIGHT
    r, g, b = 250 - 120 * sky, 170 - 110 * sky, 90 + 100 * sky
    sun = math.hypot(x - WIDTH / 2, y - HEIGHT * 0.62)
    if sun < 90:
        r, g, b = 255, 220, 120
    if y > HEIGHT * 0.62:
        wave = math.sin(x / 18 + y / 9) * 12
        r, g, b = 40 + wave, 70 + wave, 120 + wave
    return r, g, b


def waves(x, y):
    value = math.sin(x / 40) + math.sin(y / 30) + math.sin((x + y) / 55)
    return 30 + 20 * value, 110 + 35 * value, 160 + 30 * value


def tiles(x, y):
    cell = ((x // 60) + (y // 60)) % 2
    shade = 40 * math.sin(x / 70) * math.cos(y / 90)
    if cell:
        return 230 + shade, 200 + shade, 120 + shade
    return 70 + shade, 90 + shade, 150 + shade


def rings(x, y):
    distance = math.hypot(x - WIDTH * 0.4, y - HEIGHT * 0.45)
    band = (math.sin(distance / 12) + 1) / 2
    return 200 * band + 30, 80 + 60 * band, 140 - 80 * band


PICTURES = {"page1.jpg": sunrise, "page2.jpg": waves, "page3.jpg": tiles, "cover.jpg": rings}


def ppm(draw):
    pixels = bytearray()
    for y in range(HEIGHT):
        for x in range(WIDTH):
            pixels.extend(clamp(c) for c in draw(x, y))
    return b"P6\n%d %d\n255\n" % (WIDTH, HEIGHT) + bytes(pixels)


def main():
    OUTPUT.mkdir(exist_ok=True)
    for name, draw in PICTURES.items():
        jpeg = subprocess.run(["cjpeg", "-quality", "80", "-optimize"], input=ppm(draw),
                              stdout=subprocess.PIPE, check=True).stdout
        (OUTPUT / name).write_bytes(jpeg)
        print(f"{OUTPUT / name}: {len(jpeg)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
