#!/usr/bin/env bash
# Times what checking each picture adds to copying it, as the staging copies a book's pictures: for
# 40 photos of 4000 x 3000 and 10,000 small pictures of 160 x 120, made once into bench/data/ by
# bench/archive_photos.py (the same pictures as bench/archive_bench.sh's), copied on /dev/shm.
#
#   bench/pictures_bench.sh [BUILD_FOLDER] [REPEATS]     (defaults: build, 7)
#
# Target for the photos: checking adds at most 5% (ratio at most 1.05). A small picture's check must read
# its content, which the kernel's copy never brings into the program, so against that bare copy the
# share is larger: the time the check adds to each picture is printed with it, to be set against the
# time a whole conversion takes per picture (bench/archive_bench.sh).
#
# A second line times the proof that each picture is whole (its inspection and CheckPictureWhole, which
# decodes all of its coded data) against a plain read of the same files, with the time the proof takes
# per picture: the packing workers spend that on each picture a book carries as it is, beside packing it.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
repeats=${2:-7}

cmake --build "$build" --target check_bench >/dev/null
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  work=$(mktemp -d -p /dev/shm)
else
  work=$(mktemp -d)
fi
trap 'rm -rf "$work"' EXIT

echo "Copying pictures with and without checking each one: $repeats runs each, medians (load: $(cut -d' ' -f1-3 /proc/loadavg))."
status=0
for set in 40:4000x3000 10000:160x120; do
  count=${set%%:*}
  size=${set#*:}
  pictures=$top/bench/data/archive-$count-$size
  if [ ! -f "$pictures/photo$(printf %03d "$count").jpg" ]; then
    echo "Making $count pictures of $size in $pictures ..."
    rm -rf "$pictures"
    python3 "$top/bench/archive_photos.py" "$pictures" "$count" "${size%x*}" "${size#*x}"
  fi
  # The pictures are read from memory too, so that the disk does not decide.
  rm -rf "$work/pictures"
  cp -r "$pictures" "$work/pictures"
  lines=$("$build/bench/bin/check_bench" "$work/pictures" "$work/copies" "$repeats")
  line=$(head -n 1 <<<"$lines")
  whole=$(tail -n 1 <<<"$lines")
  read -r added ratio < <(python3 -c "
import re, sys
f = dict(re.findall(r'(\\w+)=(\\S+)', sys.argv[1]))
print('%.1f %s' % ((float(f['check_copy_ms']) - float(f['copy_ms'])) * 1000 / int(f['files']), f['ratio']))" "$line")
  proof=$(python3 -c "
import re, sys
f = dict(re.findall(r'(\\w+)=(\\S+)', sys.argv[1]))
print('%.2f' % (float(f['whole_check_ms']) / int(f['files'])))" "$whole")
  verdict=
  if [ "$count" -le 1000 ]; then
    verdict=$(python3 -c "print('ok' if $ratio <= 1.05 else 'MISSED')")
    [ "$verdict" = ok ] || status=1
  fi
  echo "$count x $size: $line added_us_per_picture=$added $verdict"
  echo "$count x $size: $whole whole_check_ms_per_picture=$proof"
done
exit $status
