#!/usr/bin/env bash
# Draws the interface art of the window into app/art/ and checks it.
#
#   tools/make_art.sh                  build the generator, rewrite every picture and art.qrc, check them
#   tools/make_art.sh --check          check the pictures in app/art/ only
#   tools/make_art.sh --preview FILE   draw the whole window from the pictures in app/art/ into FILE (PNG)
#
# Needs cmake, ninja, g++, qt6-base-dev, fonts-liberation2, python3 and djpeg
# (libjpeg-turbo-progs). Runs without a display. The generator is built in build-artgen/.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
art=$top/app/art
build=$top/build-artgen

build_generator() {
  cmake -S "$top/tools/artgen" -B "$build" -G Ninja >/dev/null
  cmake --build "$build" --parallel 1
}

# Qt wants a folder of its own for run-time files; an offscreen run needs no more than that.
run_generator() {
  runtime=$(mktemp -d)
  trap 'rm -rf "$runtime"' EXIT
  QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$runtime "$build/artgen" "$@"
}

usage() {
  sed -n '4,6p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
}

case "${1:-}" in
  "")
    build_generator
    run_generator "$art"
    python3 "$top/tools/check_art.py" "$art"
    ;;
  --check)
    python3 "$top/tools/check_art.py" "$art"
    ;;
  --preview)
    [ $# -eq 2 ] || usage
    build_generator
    run_generator --preview "$art" "$2"
    ;;
  *)
    usage
    ;;
esac
