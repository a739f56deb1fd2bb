#!/usr/bin/env bash
# Fuzzes one of the program's readers of untrusted files for longer than the test run does.
#
#   tools/fuzz.sh archive|jpeg|pictures [SECONDS] [libFuzzer options...]    default: 600 seconds
#
#   archive   the reading of an existing archive's directory
#   jpeg      the page preview's JPEG decoding
#   pictures  the inspection of a picture of any kind, its preview and its picture for the book
#
# Builds the fuzz target with clang, AddressSanitizer and UndefinedBehaviorSanitizer in build-fuzz/,
# starts from the seeds the build makes, keeps the inputs it finds worth keeping in
# build-fuzz/fuzz-corpus/<target>/ for the next run, and leaves any input that fails in
# build-fuzz/fuzz-findings/.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-fuzz"

case "${1:-}" in
  archive)
    fuzzer=zip_directory_fuzzer
    seeds="$build/tests/archive/fuzz/seeds"
    options=()
    ;;
  jpeg)
    fuzzer=jpeg_preview_fuzzer
    seeds="$build/tests/pictures/fuzz/jpeg-seeds"
    # A huge picture may take a while to decode; that is not a finding.
    options=(-timeout=60)
    ;;
  pictures)
    fuzzer=picture_inspection_fuzzer
    seeds="$build/tests/pictures/fuzz/picture-seeds"
    options=(-timeout=60)
    ;;
  *)
    sed -n '4,8p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
    ;;
esac
shift
seconds=${1:-600}
shift || true

corpus="$build/fuzz-corpus/$fuzzer"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTAMBORIL_SANITIZE=ON -DTAMBORIL_FUZZ=ON >/dev/null
cmake --build "$build" --target "$fuzzer"
mkdir -p "$corpus" "$build/fuzz-findings"
exec "$build/tests/bin/$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 "${options[@]}" \
  -artifact_prefix="$build/fuzz-findings/" -print_final_stats=1 "$@" "$corpus" "$seeds"
