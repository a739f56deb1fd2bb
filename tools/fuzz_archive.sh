#!/usr/bin/env bash
# Fuzzes the reading of an existing archive's directory for longer than the test run does.
#
#   tools/fuzz_archive.sh [SECONDS] [libFuzzer options...]    default: 600 seconds
#
# Builds the fuzz target with clang, AddressSanitizer and UndefinedBehaviorSanitizer in build-fuzz/, keeps
# the inputs it finds worth keeping in build-fuzz/fuzz-corpus/zip_directory/ for the next run, and leaves any
# input that makes the reader fail in build-fuzz/fuzz-findings/.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
shift || true

build="$top/build-fuzz"
corpus="$build/fuzz-corpus/zip_directory"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTAMBORIL_SANITIZE=ON -DTAMBORIL_FUZZ=ON >/dev/null
cmake --build "$build" --target zip_directory_fuzzer
mkdir -p "$corpus" "$build/fuzz-findings"
exec "$build/tests/bin/zip_directory_fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 \
  -artifact_prefix="$build/fuzz-findings/" -print_final_stats=1 "$@" "$corpus" "$build/tests/archive/fuzz/seeds"
