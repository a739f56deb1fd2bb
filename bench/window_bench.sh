#!/usr/bin/env bash
# Times the page list's commands and Convert in the real window, offscreen, at 1,000, 10,000 and
# 50,000 pages (or the numbers given), and prints one table with the targets met or missed.
#
#   bench/window_bench.sh [BUILD_FOLDER] [PAGES...]     (defaults: build, 1000 10000 50000)
#
# The window is driven through its own handlers, as the tests drive it: Add, a scroll through the
# list a screen at a time while the rows' thumbnails come in and then to twenty places far apart
# (the slowest step, the longest wait for a screen's thumbnails, the thumbnails' cache and the
# memory the list added), Remove of every other row and of one row near the top, a drop of the last row onto the first, the first click on the
# last row after that change (the preview decodes a small real picture), Undo and Redo of each kind
# of change (a drop, a scattered Remove, Remove All, Add, Sort by File Name; the slowest step is
# shown), and Convert, twice (the second replaces the book of the first while the first run's
# staged files are being removed), each with the time from the click to the first event dispatch,
# the longest gap of the event loop while it runs, and its peak resident memory. Each number of
# pages runs in processes of its own. Targets: every list operation within 100 ms up to 10,000
# pages and 1 s up to 50,000; no scroll step and no event-loop gap over 100 ms; a screen's
# thumbnails within 250 ms; the thumbnails' cache within its 4 MiB; Convert's peak memory within
# 64 MiB up to 50,000 pages. Exits with 1 when a target is missed.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
shift || true

cmake --build "$build" --target window_bench >/dev/null
exec "$build/bench/bin/window_bench" "$@"
