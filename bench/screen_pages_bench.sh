#!/usr/bin/env bash
# Times the making of pages for a reader's screen, the work of each picture alone (no book): 40 photos of
# 4000 x 3000 fitted to a Kindle Paperwhite's 1236 x 1648 by bench/bin/screen_pages_bench (the library's
# MakeScreenPages, a picture at a time on each core, as a conversion runs it), against two peers doing the same to
# the same pictures in the same run: libvips's `vipsthumbnail -s 1236x1648` at quality 85 (Debian package
# libvips-tools) and ImageMagick's `mogrify -filter Lanczos -resize 1236x1648 -quality 85`. Ours runs twice: in
# colour, the peers' work, and grey, as it makes pages for that grey screen by default.
#
#   bench/screen_pages_bench.sh [BUILD_FOLDER] [REPEATS]     (defaults: build, 3)
#
# The photos are made once into bench/data/ by bench/archive_photos.py (the same as bench/archive_bench.sh's) and
# read from /dev/shm, so the disk does not decide. Each command runs REPEATS times, the order of the commands
# rotated from one round to the next; the medians of the wall time and of the processor time (user + system, what
# a busy shared machine does not hide) are compared, and the peak resident memory of each is measured by GNU time
# (Debian package "time"). The load average is printed with the results.
set -euo pipefail

for tool in /usr/bin/time vipsthumbnail mogrify cjpeg; do
  if ! command -v "$tool" >/dev/null; then
    echo "bench/screen_pages_bench.sh needs $tool: tools/run.sh installs it" >&2
    exit 2
  fi
done

top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
repeats=${2:-3}

cmake --build "$build" --target screen_pages_bench >/dev/null

pictures=$top/bench/data/archive-40-4000x3000
if [ ! -f "$pictures/photo040.jpg" ]; then
  echo "Making 40 pictures of 4000x3000 in $pictures ..."
  rm -rf "$pictures"
  python3 "$top/bench/archive_photos.py" "$pictures" 40 4000 3000
fi
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  work=$(mktemp -d -p /dev/shm)
else
  work=$(mktemp -d)
fi
trap 'rm -rf "$work"' EXIT
cp -r "$pictures" "$work/pictures"

python3 - "$build/bench/bin/screen_pages_bench" "$work" "$repeats" <<'PY'
import glob, os, shutil, statistics, subprocess, sys

bench, work, repeats = sys.argv[1], sys.argv[2], int(sys.argv[3])
pictures = os.path.join(work, "pictures")
out = os.path.join(work, "out")
files = sorted(glob.glob(os.path.join(pictures, "*.jpg")))
screen = "1236x1648"
commands = {
    "ours, colour": [bench, pictures, out, screen, "colour"],
    "ours, grey": [bench, pictures, out, screen, "grey"],
    "vipsthumbnail": ["vipsthumbnail", "-s", screen, "-o", os.path.join(out, "%s.jpg[Q=85]")] + files,
    "mogrify": ["mogrify", "-path", out, "-filter", "Lanczos", "-resize", screen, "-quality", "85"] + files,
}
names = list(commands)
results = {name: {"wall": [], "cpu": [], "peak": 0, "bytes": 0} for name in names}
report = os.path.join(work, "time.txt")
for round_ in range(repeats):
    for name in names[round_ % len(names):] + names[:round_ % len(names)]:
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)
        subprocess.run(["/usr/bin/time", "-f", "%e %U %S %M", "-o", report] + commands[name], check=True,
                       stdout=subprocess.DEVNULL)
        wall, user, system, peak = open(report).read().split()[-4:]
        result = results[name]
        result["wall"].append(float(wall))
        result["cpu"].append(float(user) + float(system))
        result["peak"] = max(result["peak"], int(peak))
        result["bytes"] = sum(os.path.getsize(os.path.join(out, f)) for f in os.listdir(out))

median = {name: (statistics.median(r["wall"]), statistics.median(r["cpu"])) for name, r in results.items()}
print("40 photos of 4000x3000 to %s, medians of %d runs (load: %s):" % (screen, repeats,
      " ".join(open("/proc/loadavg").read().split()[:3])))
print("%-14s %8s %8s %9s %9s %13s %13s" % ("", "wall s", "cpu s", "peak MiB", "pages MB", "wall/vips", "wall/mogrify"))
for name, r in results.items():
    wall, cpu = median[name]
    print("%-14s %8.2f %8.2f %9.1f %9.1f %6.2f (cpu %.2f) %6.2f (cpu %.2f)" % (
        name, wall, cpu, r["peak"] / 1024, r["bytes"] / 1e6,
        wall / median["vipsthumbnail"][0], cpu / median["vipsthumbnail"][1],
        wall / median["mogrify"][0], cpu / median["mogrify"][1]))
PY
