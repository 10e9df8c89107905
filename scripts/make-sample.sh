#!/usr/bin/env bash
# Makes the demo recording: 16 cameras, five minutes, with events (dvrtool synth).
# Usage: make-sample.sh OUTPATH
set -euo pipefail
. "$(dirname "$0")/env.sh"
OUT="${1:?usage: make-sample.sh OUTPATH}"

DVRTOOL="$NATIVE_BUILD/tools/dvrtool"
if [ ! -x "$DVRTOOL" ]; then
    configure_tree native
    cmake --build "$NATIVE_BUILD" --target dvrtool -j "$JOBS" -- --no-print-directory -s
fi
mkdir -p "$(dirname "$OUT")"
# 4 fps and quality 24 keep 16 x 300 s under 60 MB.
"$DVRTOOL" synth -o "$OUT" --cameras 16 --seconds 300 --fps 4 --size 320x240 --quality 24 \
    --start "2024-01-01 08:00:00.000"
