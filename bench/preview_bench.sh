#!/usr/bin/env bash
# Times the page preview of a 4000 x 3000 and a 12000 x 9000 picture against
# `djpeg -scale 1/8` of the same files, in the same run, and measures the preview's memory.
#
#   bench/preview_bench.sh [BUILD_FOLDER] [REPEATS]     (defaults: build, 7)
#
# The pictures are made once into bench/data/ by cjpeg (libjpeg-turbo-progs) from a generated
# picture of smooth shading and fine texture, at quality 90 with 4:2:0 colour, as a camera
# would write them. Targets: the preview takes at most 1.5 times djpeg's time, and raises
# the program's resident memory by less than 16 MiB above its baseline.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
repeats=${2:-7}
data=$top/bench/data

cmake --build "$build" --target preview_bench >/dev/null
bench=$build/bench/bin/preview_bench

# make_ppm WIDTH HEIGHT: a binary PPM on standard output. A 256 x 256 tile of shading and
# texture is computed once and laid out with shifting offsets, so no two neighbouring tiles
# line up.
make_ppm() {
  python3 - "$1" "$2" <<'PY'
import math, random, sys
width, height = int(sys.argv[1]), int(sys.argv[2])
tile = 256
random.seed(1)
rows = []
for y in range(tile):
    row = bytearray()
    for x in range(tile):
        shade = 0.5 + 0.25 * math.sin(x / 23.0) * math.cos(y / 31.0) + 0.2 * math.sin((x + 2 * y) / 57.0)
        for channel, tint in enumerate((1.0, 0.85, 0.7)):
            value = 255 * shade * tint + random.uniform(-9, 9)
            row.append(max(0, min(255, int(value))))
    rows.append(bytes(row * 2))
out = sys.stdout.buffer
out.write(b"P6\n%d %d\n255\n" % (width, height))
line = 3 * tile
for y in range(height):
    base = rows[y % tile]
    shift = (y // tile * 97 % tile) * 3
    pattern = base[shift:shift + line]
    out.write((pattern * (width // tile + 1))[:3 * width])
PY
}

# run_djpeg FILE: median wall time in ms and peak resident memory in kiB of REPEATS runs.
run_djpeg() {
  python3 - "$1" "$repeats" <<'PY'
import os, statistics, subprocess, sys, time
path, repeats = sys.argv[1], int(sys.argv[2])
times, peak = [], 0
for _ in range(repeats):
    start = time.perf_counter()
    child = subprocess.Popen(["djpeg", "-scale", "1/8", "-outfile", os.devnull, path])
    _, status, usage = os.wait4(child.pid, 0)
    times.append((time.perf_counter() - start) * 1000)
    peak = max(peak, usage.ru_maxrss)
    if status != 0:
        sys.exit("djpeg failed on " + path)
print("%.1f %d" % (statistics.median(times), peak))
PY
}

# report SIZE FILE_BYTES DJPEG_MS DJPEG_KIB BENCH_LINE: one line of the table; fails when a
# target is missed.
report() {
  python3 - "$@" <<'PY'
import re, sys
size, file_bytes, djpeg_ms, djpeg_kib, line = sys.argv[1:]
fields = dict(re.findall(r"(\w+)=(\S+)", line))
ratio = float(fields["median_ms"]) / float(djpeg_ms)
above_mib = int(fields["above_baseline_kib"]) / 1024
ok = ratio <= 1.5 and above_mib < 16
print("%-11s %8.1f %9.1f %10.1f %6.2f %9.1f %11.2f  %s -> %s  %s" % (
    size, int(file_bytes) / 1048576, float(djpeg_ms), float(fields["median_ms"]), ratio,
    int(djpeg_kib) / 1024, above_mib, fields["decoded"], fields["shown"], "ok" if ok else "MISSED"))
sys.exit(0 if ok else 1)
PY
}

mkdir -p "$data"
echo "Page preview against djpeg -scale 1/8 of the same file: $repeats runs each, medians."
echo "djpeg is timed as a whole process (start-up included), the preview inside its program;"
echo "djpeg MiB is its peak resident memory, preview MiB the rise above the program's baseline."
printf '%-11s %8s %9s %10s %6s %9s %11s  %s\n' picture "file MiB" "djpeg ms" "preview ms" ratio \
  "djpeg MiB" "preview MiB" "decoded -> shown"
status=0
for size in 4000x3000 12000x9000; do
  picture=$data/$size.jpg
  if [ ! -s "$picture" ]; then
    make_ppm "${size%x*}" "${size#*x}" | cjpeg -quality 90 -outfile "$picture.part"
    mv "$picture.part" "$picture"
  fi
  read -r djpeg_ms djpeg_kib < <(run_djpeg "$picture")
  line=$("$bench" "$picture" "$repeats")
  report "$size" "$(stat -c %s "$picture")" "$djpeg_ms" "$djpeg_kib" "$line" || status=1
done
exit $status
