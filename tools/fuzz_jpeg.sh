#!/usr/bin/env bash
# Fuzzes the page preview's JPEG decoding for longer than the test suite does.
#
#   tools/fuzz_jpeg.sh [SECONDS] [LIBFUZZER OPTIONS...]
#
# Builds the fuzzer with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-fuzz/, runs it for SECONDS (default 600) from the seed pictures the build makes,
# keeps the inputs it finds worth keeping in build-fuzz/fuzz-corpus/ for the next run, and
# leaves any input that fails in build-fuzz/fuzz-findings/.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build-fuzz
seconds=${1:-600}
shift || true

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTAMBORIL_SANITIZE=ON -DTAMBORIL_FUZZ=ON >/dev/null
cmake --build "$build" --target jpeg_preview_fuzzer

mkdir -p "$build/fuzz-corpus" "$build/fuzz-findings"
exec "$build/tests/bin/jpeg_preview_fuzzer" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 \
  -artifact_prefix="$build/fuzz-findings/" -print_final_stats=1 "$@" \
  "$build/fuzz-corpus" "$build/tests/pages/fuzz/jpeg-seeds"
