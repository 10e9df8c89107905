#!/usr/bin/env bash
# Runs a fuzzer for SECONDS (default 60) on a copy of its seeds and its old crashers.
#   scripts/fuzz.sh [SECONDS] [reader|frames]
# reader (the default): the recording reader, seeds in tests/recording/corpus.
# frames: the reader and the frame decoder, seeds in tests/decoder/frame_corpus.
# Crashing inputs land in build/fuzz/crashes/ (reader) or build/fuzz-frames/crashes/;
# copy each into tests/recording/crashes/ or tests/decoder/frame_crashes/ once fixed.
set -euo pipefail
. "$(dirname "$0")/env.sh"
SECONDS_TO_RUN="${1:-60}"
WHICH="${2:-reader}"

case "$WHICH" in
    reader)
        TARGET=fuzz_reader FUZZER="$NATIVE_BUILD/tests/recording/fuzz_reader" WORK="$BUILD/fuzz"
        SEEDS=("$ROOT/tests/recording/corpus" "$ROOT/tests/recording/crashes")
        LIMITS=() ;;
    frames)
        TARGET=fuzz_frames FUZZER="$NATIVE_BUILD/tests/decoder/fuzz_frames" WORK="$BUILD/fuzz-frames"
        SEEDS=("$ROOT/tests/decoder/frame_corpus" "$ROOT/tests/decoder/frame_crashes")
        # No allocation of a frame the decoder accepts comes near this: a bigger
        # one is a frame that should have been refused.
        LIMITS=(-malloc_limit_mb=512) ;;
    *)
        echo "usage: $0 [SECONDS] [reader|frames]" >&2
        exit 2 ;;
esac

configure_tree native
cmake --build "$NATIVE_BUILD" --target "$TARGET" -- --no-print-directory -s

mkdir -p "$WORK/corpus" "$WORK/crashes"
for dir in "${SEEDS[@]}"; do
    cp -n "$dir"/* "$WORK/corpus/" 2>/dev/null || true
done
cd "$WORK"
"$FUZZER" -max_total_time="$SECONDS_TO_RUN" -max_len=65536 -timeout=10 -rss_limit_mb=2048 "${LIMITS[@]}" \
          -print_final_stats=1 -artifact_prefix="$WORK/crashes/" "$WORK/corpus"
