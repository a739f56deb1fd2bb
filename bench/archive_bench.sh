#!/usr/bin/env bash
# Times the making of a book by tamboril-cli against cp of the same pictures plus Info-ZIP's
# `zip -r -6 -q` of the same staging tree, in the same run, and measures the peak resident
# memory of both.
#
#   bench/archive_bench.sh [BUILD_FOLDER] [PICTURES] [WIDTHxHEIGHT] [REPEATS]
#                          (defaults: build, 40, 4000x3000, 5)
#
# The pictures are made once into bench/data/ by bench/archive_photos.py with cjpeg
# (libjpeg-turbo-progs); 40 of 4000 x 3000 come to about 100 MB. A first, untimed run of
# tamboril-cli makes the staging tree; the peer packs a copy of it (installation data and
# documents) after copying the pictures into it, as tamboril-cli copies them into its own.
# The two then run in turn and the medians are compared. Targets: a ratio of wall times of
# 1.0 or lower, and a peak resident memory of tamboril-cli under 32 MiB whatever the number
# of pictures. Peak memory is measured by GNU time (Debian package "time"), which starts each
# command from its own small process, so that the parent's memory is not counted.
set -euo pipefail

if [ ! -x /usr/bin/time ]; then
  echo "bench/archive_bench.sh needs GNU time: apt-get install time" >&2
  exit 2
fi

top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
count=${2:-40}
size=${3:-4000x3000}
repeats=${4:-5}
width=${size%x*}
height=${size#*x}
pictures=$top/bench/data/archive-$count-$size

if [ ! -f "$pictures/photo$(printf %03d "$count").jpg" ]; then
  echo "Making $count pictures of $size in $pictures ..."
  rm -rf "$pictures"
  python3 "$top/bench/archive_photos.py" "$pictures" "$count" "$width" "$height"
fi
cmake --build "$build" --target tamboril-cli >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$build/bin/tamboril-cli" "$pictures" "$work" "$repeats" <<'PY'
import glob, os, shutil, statistics, subprocess, sys, time

cli, pictures, work, repeats = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
ours_stage, ours_out = os.path.join(work, "ours-staging"), os.path.join(work, "ours-out")
peer_stage, peer_zip = os.path.join(work, "peer-staging"), os.path.join(work, "peer.zip")


def run(command):
    """Wall time in seconds and peak resident memory in kiB of a command and the children it waits for."""
    report = os.path.join(work, "peak")
    start = time.perf_counter()
    status = subprocess.call(["/usr/bin/time", "-f", "%M", "-o", report] + command, stdout=subprocess.DEVNULL)
    seconds = time.perf_counter() - start
    if status != 0:
        sys.exit("failed: " + " ".join(command))
    with open(report) as f:
        return seconds, int(f.read().split()[-1])


ours = [cli, "-t", "Bench", "-a", "Bench", "-o", ours_out, "-y", "--staging", ours_stage, pictures]
peer = ["sh", "-c", 'cp "$1"/*.jpg "$2/OEBPS/" && cd "$2" && zip -r -6 -q "$3" .', "sh", pictures, peer_stage, peer_zip]

# The first run makes the staging tree the peer packs too, and brings the pictures into the page cache.
run(ours)
shutil.copytree(ours_stage, peer_stage, ignore=shutil.ignore_patterns("*.jpg"))
ours_times, peer_times, ours_peak, peer_peak = [], [], 0, 0
for _ in range(repeats):
    for old in glob.glob(os.path.join(peer_stage, "OEBPS", "*.jpg")) + [peer_zip]:
        if os.path.exists(old):
            os.remove(old)
    seconds, kib = run(peer)
    peer_times.append(seconds)
    peer_peak = max(peer_peak, kib)
    seconds, kib = run(ours)
    ours_times.append(seconds)
    ours_peak = max(ours_peak, kib)

book = glob.glob(os.path.join(ours_out, "*.epub"))[0]
check = subprocess.run(["unzip", "-tq", book], capture_output=True, text=True)
picture_bytes = sum(os.path.getsize(p) for p in glob.glob(os.path.join(pictures, "*.jpg")))
ratio = statistics.median(ours_times) / statistics.median(peer_times)
ours_mib = ours_peak / 1024
print("archive benchmark: %d pictures, %.1f MB; median of %d runs each" % (
    len(glob.glob(os.path.join(pictures, "*.jpg"))), picture_bytes / 1e6, repeats))
print("  %-22s %8s %14s %12s" % ("", "wall s", "peak RSS MiB", "output MB"))
print("  %-22s %8.2f %14.1f %12.1f" % ("cp + zip -r -6 -q", statistics.median(peer_times), peer_peak / 1024,
                                         os.path.getsize(peer_zip) / 1e6))
print("  %-22s %8.2f %14.1f %12.1f" % ("tamboril-cli", statistics.median(ours_times), ours_mib,
                                         os.path.getsize(book) / 1e6))
print("  runs, s: cp + zip %s; tamboril-cli %s" % (" ".join("%.2f" % t for t in peer_times),
                                                   " ".join("%.2f" % t for t in ours_times)))
print("  ratio of wall times %.2f (target <= 1.0): %s" % (ratio, "ok" if ratio <= 1.0 else "MISSED"))
print("  peak memory of tamboril-cli %.1f MiB (target < 32): %s" % (ours_mib, "ok" if ours_mib < 32 else "MISSED"))
print("  unzip -t of the book: %s" % ("ok" if check.returncode == 0 else check.stdout + check.stderr))
PY
