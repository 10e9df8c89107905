#!/usr/bin/env bash
# Makes docs/zoom-tile.png, the README's picture of looking closer: make run's sample in the
# player under Xvfb, paused, beside the same moment with camera 6's tile zoomed to 2x.
set -euo pipefail
. "$(dirname "$0")/env.sh"
SAMPLE="$BUILD/sample/sample.d01"
[ -f "$SAMPLE" ] && [ "$SAMPLE" -nt "$NATIVE_BUILD/tools/dvrtool" ] || "$ROOT/scripts/make-sample.sh" "$SAMPLE"
cmake --build "$WIN_BUILD" --target zoom_shot Vorplex dvrctl -j "$JOBS" -- --no-print-directory -s >/dev/null

XVFB_PID=""; WINESERVER_PID=""
cleanup() { stop_wineserver; stop_pid "$XVFB_PID"; }
trap cleanup EXIT INT TERM
start_xvfb >/dev/null
start_wineserver >/dev/null
wine regsvr32 /s "$(winepath -w "$WIN_BUILD/decoder/dvrctl.dll")" >/dev/null 2>&1
"$ROOT/scripts/headless-prepare.sh" >/dev/null

SHOTS="$BUILD/zoom-shots"
mkdir -p "$SHOTS"
wine "$WIN_BUILD/bench/zoom_shot.exe" "$(winepath -w "$WIN_BUILD/app/Vorplex.exe")" "$(winepath -w "$SAMPLE")" \
    "$(winepath -w "$SHOTS/before.png")" "$(winepath -w "$SHOTS/after.png")" </dev/null 2>"$SHOTS/err.log" ||
    { cat "$SHOTS/err.log" >&2; exit 1; }
# Side by side, a gap between them.
ffmpeg -v error -nostdin -y -i "$SHOTS/before.png" -i "$SHOTS/after.png" \
    -filter_complex "[0]pad=iw+8:ih:0:0:white[a];[a][1]hstack=2" "$ROOT/docs/zoom-tile.png"
echo "docs/zoom-tile.png"
