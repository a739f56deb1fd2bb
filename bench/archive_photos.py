"""Writes photo-like JPEG pictures for the archive benchmark.

    archive_photos.py FOLDER COUNT WIDTH HEIGHT [ORIENTATION]

Each picture is a binary PPM made here, of smooth shading and fine texture under light that
changes from top to bottom, encoded by cjpeg (libjpeg-turbo-progs) at quality 90 with 4:2:0
colour, as a camera would write it. A tile of texture is computed with its own seed and tint and
laid out with shifting offsets, so no two neighbouring tiles are alike; fresh noise in every row
keeps the coded data from repeating, so that Deflate gains as little on it as on a photograph's.
The first 64 pictures each have a tile of their own; later ones share those tiles (the tile takes
longer to compute than a small picture to encode), under light and noise of their own, so no two
pictures are alike. 4000 x 3000 gives about 2.8 MB a picture, 160 x 120 about 5 kB.
With an ORIENTATION (2-8), each picture carries an EXIF block after its JFIF header that marks it to
be turned so, as a phone marks a photo taken upright (6): the stored picture is as wide as given.
"""
import math
import os
import random
import subprocess
import sys

TILE = 256
# The tile's texture: random levels either way of its shading.
NOISE = 12
LIGHT_LEVELS = 32
# Tables that scale every byte of a row by one level of light, applied at the speed of bytes.translate.
LIGHT = [bytes(min(255, int(v * (0.45 + 0.8 * level / (LIGHT_LEVELS - 1)))) for v in range(256))
         for level in range(LIGHT_LEVELS)]
# Fresh noise in every row: random bytes kept to their low bits, mixed in by one XOR of big integers.
NOISE_MASK = 0x07
NOISE_BITS = bytes(v & NOISE_MASK for v in range(256))


def texture_rows(seed):
    rng = random.Random(seed)
    tint = (1.0, 0.75 + 0.25 * rng.random(), 0.55 + 0.4 * rng.random())
    phase = rng.uniform(0, 2 * math.pi)
    rows = []
    for y in range(TILE):
        row = bytearray()
        for x in range(TILE):
            shade = (0.5 + 0.25 * math.sin(x / 23.0 + phase) * math.cos(y / 31.0)
                     + 0.2 * math.sin((x + 2 * y) / 57.0 - phase))
            for channel in tint:
                value = 255 * shade * channel + rng.uniform(-NOISE, NOISE)
                row.append(max(0, min(255, int(value))))
        rows.append(bytes(row * 2))
    return rows


# Pictures beyond this many reuse the tiles of the first ones.
TILE_SEEDS = 64


def write_picture(path, seed, width, height, tiles):
    tile_seed = (seed - 1) % TILE_SEEDS + 1
    if tile_seed not in tiles:
        tiles[tile_seed] = texture_rows(tile_seed)
    rows = tiles[tile_seed]
    noise = random.Random(seed)
    line = 3 * TILE
    encoder = subprocess.Popen(["cjpeg", "-quality", "90", "-sample", "2x2", "-outfile", path],
                               stdin=subprocess.PIPE)
    encoder.stdin.write(b"P6\n%d %d\n255\n" % (width, height))
    for y in range(height):
        shift = ((y // TILE) * 97 + seed * 31) % TILE * 3
        pattern = rows[y % TILE][shift:shift + line]
        light = 0.5 + 0.5 * math.sin(math.pi * y / height * 1.5 + seed)
        row = (pattern * (width // TILE + 1))[:3 * width].translate(LIGHT[int(light * (LIGHT_LEVELS - 1))])
        grain = noise.randbytes(len(row)).translate(NOISE_BITS)
        mixed = int.from_bytes(row, "little") ^ int.from_bytes(grain, "little")
        encoder.stdin.write(mixed.to_bytes(len(row), "little"))
    encoder.stdin.close()
    if encoder.wait() != 0:
        sys.exit("cjpeg failed on " + path)


def exif_segment(orientation):
    """An APP1 segment of an EXIF block whose one entry is the orientation: a big-endian TIFF structure with one
    directory of one entry, tag 0x0112, type SHORT, count 1."""
    tiff = b"MM\0*" + (8).to_bytes(4, "big") + (1).to_bytes(2, "big")
    tiff += (0x0112).to_bytes(2, "big") + (3).to_bytes(2, "big") + (1).to_bytes(4, "big")
    tiff += orientation.to_bytes(2, "big") + b"\0\0" + (0).to_bytes(4, "big")
    data = b"Exif\0\0" + tiff
    return b"\xff\xe1" + (len(data) + 2).to_bytes(2, "big") + data


def mark_orientation(path, orientation):
    with open(path, "rb") as f:
        jpeg = f.read()
    jfif_end = 4 + int.from_bytes(jpeg[4:6], "big")  # after the start-of-image marker and the JFIF segment
    with open(path, "wb") as f:
        f.write(jpeg[:jfif_end] + exif_segment(orientation) + jpeg[jfif_end:])


def main():
    folder, count, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
    orientation = int(sys.argv[5]) if len(sys.argv) > 5 else 1
    os.makedirs(folder, exist_ok=True)
    tiles = {}
    for index in range(1, count + 1):
        path = os.path.join(folder, "photo%03d.jpg" % index)
        write_picture(path, index, width, height, tiles)
        if orientation != 1:
            mark_orientation(path, orientation)


if __name__ == "__main__":
    main()
