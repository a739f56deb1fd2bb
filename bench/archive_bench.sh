#!/usr/bin/env bash
# Times the making of a book by tamboril-cli against two peers that copy the same pictures into the
# same staging tree and pack it: Info-ZIP's `zip -r -6 -q` (one thread) and p7zip's
# `7z a -tzip -mx=5 -mmt=2` (two threads), in the same run, and measures the processor time
# (user + system, which shows what a busy machine took from the threads' wall time) and the peak
# resident memory of each. To show where the time goes, it also times the packing alone
# (bench/archive/pack_folder, PackStagedBook on the finished staging tree, once as the flowing book packs
# it and once with the pictures stored, as the fixed-page book packs it) and `zip -r -6 -q` alone on
# the same tree.
#
#   bench/archive_bench.sh [BUILD_FOLDER] [REPEATS] [COUNT:WIDTHxHEIGHT[:ORIENTATION] ...]
#                          (defaults: build, 5, 40:4000x3000 10000:160x120 40:4032x3024:6)
#
# Each set of pictures is made once into bench/data/ by bench/archive_photos.py with cjpeg
# (libjpeg-turbo-progs): 40 of 4000 x 3000 come to about 120 MB, 10,000 of 160 x 120 to about 55 MB.
# The third set is 40 phone photos of 4032 x 3024 marked to be turned a quarter clockwise (EXIF
# orientation 6), as a phone stores photos taken upright: tamboril-cli turns each into the book
# without loss, where the peers copy them as they are. A first, untimed run of tamboril-cli makes
# the staging tree; the peers pack a copy of it (installation data and documents) after copying the
# pictures into it, as tamboril-cli copies them into its own. The commands then run in turn and the
# medians are compared. Targets, for every set: tamboril-cli takes at most 0.55 of the time of cp +
# zip and at most the time of cp + 7z, with a peak resident memory of at most 32 MiB. A book of
# fixed pages (--layout fixed, its pictures stored) is timed too: at most 0.15 of the time of cp +
# zip for sets of photos (pictures of 1 MB and more; a book of 10,000 small pictures is mostly its
# documents and staging), within the same 32 MiB. Peak memory is
# measured by GNU time (Debian package "time"), which starts each command from its own small
# process, so that the parent's memory is not counted. The machine is shared: the load average is
# printed with the results. The staging trees and archives of all commands lie in /dev/shm when it
# is there: on a disk, the file system's own work of creating files just after deleting as many
# (ext4 looks at every recently freed inode) and other people's disk traffic would swamp what is
# measured here.
set -euo pipefail

for tool in /usr/bin/time zip 7z cjpeg; do
  if ! command -v "$tool" >/dev/null; then
    echo "bench/archive_bench.sh needs $tool: tools/run.sh installs it" >&2
    exit 2
  fi
done

top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
repeats=${2:-5}
shift $(($# < 2 ? $# : 2))
sets=("$@")
if [ ${#sets[@]} -eq 0 ]; then
  sets=(40:4000x3000 10000:160x120 40:4032x3024:6)
fi

cmake --build "$build" --target tamboril-cli pack_folder >/dev/null

if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  work=$(mktemp -d -p /dev/shm)
else
  work=$(mktemp -d)
fi
trap 'rm -rf "$work"' EXIT

for set in "${sets[@]}"; do
  IFS=: read -r count size orientation <<<"$set"
  orientation=${orientation:-1}
  pictures=$top/bench/data/archive-$count-$size
  if [ "$orientation" != 1 ]; then
    pictures=$pictures-o$orientation
  fi
  if [ ! -f "$pictures/photo$(printf %03d "$count").jpg" ]; then
    echo "Making $count pictures of $size (orientation $orientation) in $pictures ..."
    rm -rf "$pictures"
    python3 "$top/bench/archive_photos.py" "$pictures" "$count" "${size%x*}" "${size#*x}" "$orientation"
  fi
  rm -rf "${work:?}"/*
  python3 - "$build/bin/tamboril-cli" "$build/bench/bin/pack_folder" "$pictures" "$work" "$repeats" "$orientation" <<'PY'
import glob, os, shutil, statistics, subprocess, sys, time

cli, pack, pictures, work, repeats = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], int(sys.argv[5])
orientation = int(sys.argv[6])
ours_stage, ours_out = os.path.join(work, "ours-staging"), os.path.join(work, "ours-out")
peer_stage = os.path.join(work, "peer-staging")
outputs = {name: os.path.join(work, name + ".zip") for name in ("zip", "7z", "pack", "pack-stored", "zip-alone")}


def run(command):
    """Wall time and processor time (user + system) in seconds, and peak resident memory in kiB, of a command and
    the children it waits for."""
    report = os.path.join(work, "peak")
    start = time.perf_counter()
    status = subprocess.call(["/usr/bin/time", "-f", "%M %U %S", "-o", report] + command, stdout=subprocess.DEVNULL)
    seconds = time.perf_counter() - start
    if status != 0:
        sys.exit("failed: " + " ".join(command))
    with open(report) as f:
        kib, user, system = f.read().split()[-3:]
    return seconds, float(user) + float(system), int(kib)


def fresh_peer_tree():
    for old in glob.glob(os.path.join(peer_stage, "OEBPS", "*.jpg")) + list(outputs.values()):
        if os.path.exists(old):
            os.remove(old)


copy_then = 'cp "$1"/*.jpg "$2/OEBPS/" && cd "$2" && '
commands = {
    "cp + zip -r -6 -q": (["sh", "-c", copy_then + 'zip -r -6 -q "$3" .', "sh", pictures, peer_stage,
                           outputs["zip"]], outputs["zip"]),
    "cp + 7z -mx=5 -mmt=2": (["sh", "-c", copy_then + '7z a -tzip -mx=5 -mmt=2 "$3" . >/dev/null', "sh", pictures,
                              peer_stage, outputs["7z"]], outputs["7z"]),
    "tamboril-cli": ([cli, "-t", "Bench", "-a", "Bench", "-o", ours_out, "-y", "--staging", ours_stage, pictures],
                     os.path.join(ours_out, "Bench.epub")),
    "tamboril-cli, fixed": ([cli, "-t", "Fixed", "-a", "Bench", "-o", ours_out, "-y", "--layout", "fixed",
                             "--staging", ours_stage + "-fixed", pictures], os.path.join(ours_out, "Fixed.epub")),
    "packing alone": ([pack, ours_stage, outputs["pack"]], outputs["pack"]),
    "packing, stored": ([pack, "--layout", "fixed", ours_stage, outputs["pack-stored"]], outputs["pack-stored"]),
    "zip -r -6 -q alone": (["sh", "-c", 'cd "$1" && zip -r -6 -q "$2" .', "sh", ours_stage, outputs["zip-alone"]],
                           outputs["zip-alone"]),
}

# The first run makes the staging tree the peers pack too, and brings the pictures into the page cache.
load_before = os.getloadavg()[0]
run(commands["tamboril-cli"][0])
shutil.copytree(ours_stage, peer_stage, ignore=shutil.ignore_patterns("*.jpg"))
times = {name: [] for name in commands}
cpu = {name: [] for name in commands}
peaks = {name: 0 for name in commands}
sizes = {}
for _ in range(repeats):
    for name, (command, output) in commands.items():
        if name.startswith("cp + "):
            fresh_peer_tree()
        elif os.path.exists(output) and not name.startswith("tamboril-cli"):
            os.remove(output)
        seconds, processor, kib = run(command)
        times[name].append(seconds)
        cpu[name].append(processor)
        peaks[name] = max(peaks[name], kib)
        sizes[name] = os.path.getsize(output)

median = {name: statistics.median(values) for name, values in times.items()}
book = commands["tamboril-cli"][1]
check = subprocess.run(["unzip", "-tq", book], capture_output=True, text=True)
jpegs = glob.glob(os.path.join(pictures, "*.jpg"))
marked = " marked with orientation %d" % orientation if orientation != 1 else ""
print("%d pictures%s, %.1f MB; median of %d runs each; load average %.2f before, %.2f after (%d cores)" % (
    len(jpegs), marked, sum(os.path.getsize(p) for p in jpegs) / 1e6, repeats, load_before, os.getloadavg()[0],
    os.cpu_count()))
print("  %-22s %8s %8s %14s %12s" % ("", "wall s", "CPU s", "peak RSS MiB", "output MB"))
for name in commands:
    print("  %-22s %8.2f %8.2f %14.1f %12.1f" % (name, median[name], statistics.median(cpu[name]),
                                                peaks[name] / 1024, sizes[name] / 1e6))
print("  runs, s: " + "; ".join("%s %s" % (name, " ".join("%.2f" % t for t in times[name])) for name in commands))


def verdict(ok):
    return "ok" if ok else "MISSED"


to_zip = median["tamboril-cli"] / median["cp + zip -r -6 -q"]
to_7z = median["tamboril-cli"] / median["cp + 7z -mx=5 -mmt=2"]
ours_mib = peaks["tamboril-cli"] / 1024
print("  ratio to cp + zip -r -6: %.2f (target <= 0.55): %s" % (to_zip, verdict(to_zip <= 0.55)))
print("  ratio to cp + 7z: %.2f (target <= 1.0): %s" % (to_7z, verdict(to_7z <= 1.0)))
print("  peak memory of tamboril-cli %.1f MiB (target <= 32): %s" % (ours_mib, verdict(ours_mib <= 32)))
fixed_to_zip = median["tamboril-cli, fixed"] / median["cp + zip -r -6 -q"]
fixed_mib = peaks["tamboril-cli, fixed"] / 1024
photos = sum(os.path.getsize(p) for p in jpegs) / len(jpegs) >= 1e6
print("  fixed pages, ratio to cp + zip -r -6: %.2f%s" % (
    fixed_to_zip, " (target <= 0.15): " + verdict(fixed_to_zip <= 0.15) if photos else ""))
print("  peak memory of tamboril-cli, fixed %.1f MiB (target <= 32): %s" % (fixed_mib, verdict(fixed_mib <= 32)))
print("  packing alone / zip -r -6 alone: %.2f" % (median["packing alone"] / median["zip -r -6 -q alone"]))
print("  packing with pictures stored / zip -r -6 alone: %.2f, peak memory %.1f MiB (target <= 32): %s" % (
    median["packing, stored"] / median["zip -r -6 -q alone"], peaks["packing, stored"] / 1024,
    verdict(peaks["packing, stored"] / 1024 <= 32)))
print("  unzip -t of the book: %s" % ("ok" if check.returncode == 0 else check.stdout + check.stderr))
PY
done
