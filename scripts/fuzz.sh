#!/usr/bin/env bash
# Runs the reader's fuzzer for SECONDS (default 60) on a copy of the seed corpus.
# Crashing inputs land in build/fuzz/; copy each into tests/recording/crashes/ once fixed.
set -euo pipefail
. "$(dirname "$0")/env.sh"
SECONDS_TO_RUN="${1:-60}"

[ -f "$NATIVE_BUILD/CMakeCache.txt" ] || cmake -S "$ROOT" -B "$NATIVE_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$NATIVE_BUILD" --target fuzz_reader -- --no-print-directory -s
FUZZER="$NATIVE_BUILD/tests/recording/fuzz_reader"

WORK="$BUILD/fuzz"
mkdir -p "$WORK/corpus"
cp -n "$ROOT"/tests/recording/corpus/* "$WORK/corpus/" 2>/dev/null || true
cp -n "$ROOT"/tests/recording/crashes/* "$WORK/corpus/" 2>/dev/null || true
cd "$WORK"
"$FUZZER" -max_total_time="$SECONDS_TO_RUN" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
          -print_final_stats=1 -artifact_prefix="$WORK/" "$WORK/corpus"
