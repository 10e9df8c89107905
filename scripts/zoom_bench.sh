#!/usr/bin/env bash
# Looking closer on the 16-camera D1 file in a 640 x 480 view: one tile at 4x against the same
# view unzoomed (CPU at 1x, pictures a second at Full, in one run side by side), a double-click
# to one camera's picture, and the sharpness of the zoomed tile: PSNR against ffmpeg's crop of
# the same frame scaled to the tile with the same kind of filter (bilinear), beside the PSNR of
# the tile's own picture enlarged. Prints its table rows; bench.sh runs it within its Xvfb and
# wineserver (ZOOM_BENCH_SERVED=1), and run alone it starts its own.
set -euo pipefail
. "$(dirname "$0")/env.sh"
OUT="$BUILD/bench"
LOGS="$OUT/logs"
mkdir -p "$LOGS"
D1_FILE="$OUT/d1-16.d01"
if [ ! -f "$D1_FILE" ]; then
    "$NATIVE_BUILD/tools/dvrtool" synth -o "$OUT/partial.d01" --cameras 16 --seconds 120 --fps 5 --size 704x576 >/dev/null
    mv "$OUT/partial.d01" "$D1_FILE"
fi
cmake --build "$WIN_BUILD" --target decoder_bench -j "$JOBS" -- --no-print-directory -s >/dev/null
if [ -z "${ZOOM_BENCH_SERVED:-}" ]; then
    XVFB_PID=""; WINESERVER_PID=""
    cleanup() { stop_wineserver; stop_pid "$XVFB_PID"; }
    trap cleanup EXIT INT TERM
    start_xvfb >/dev/null
    start_wineserver >/dev/null
fi

LOG="$LOGS/zoom"
wine "$WIN_BUILD/bench/decoder_bench.exe" zoom "$(winepath -w "$D1_FILE")" "$(winepath -w "$OUT")" \
    >"$LOG" 2>"$LOG.err" </dev/null || { echo "zoom bench: decoder_bench failed:" >&2; cat "$LOG.err" >&2; exit 1; }
value() { sed -n "s/^$1=//p" "$LOG" | tr -d '\r' | tail -n 1; }
TILE=$(value tile)
ffmpeg -v error -nostdin -y -i "$OUT/zoom-frame.jpg" -vf "format=gbrp,crop=$(value crop),scale=${TILE/x/:}:flags=bilinear" \
    -f rawvideo -pix_fmt bgra "$OUT/zoom-reference.bgra"
# psnr PICTURE: its PSNR (dB, over R, G and B) against the reference.
psnr() {
    ffmpeg -hide_banner -nostdin -f rawvideo -pix_fmt bgra -s "$TILE" -i "$OUT/$1" \
        -f rawvideo -pix_fmt bgra -s "$TILE" -i "$OUT/zoom-reference.bgra" \
        -lavfi "[0]format=gbrp[a];[1]format=gbrp[b];[a][b]psnr" -f null - 2>&1 |
        sed -n 's/.*average:\([0-9.inf]*\).*/\1/p' | tail -n 1
}
SHARP=$(psnr zoom-decoded.bgra)
BLURRED=$(psnr zoom-enlarged.bgra)

verdict() { awk -v m="$1" -v g="$3" -v op="$2" 'BEGIN {ok = (op == "<=") ? (m <= g) : (m >= g); print ok ? "ok" : "MISSED"}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}'; }
row() { printf '| %-58s | %-20s | %-8s | %-26s |\n' "$@"; }
CPU=$(ratio "$(value zoomed_1x_cores)" "$(value unzoomed_1x_cores)")
PPS=$(ratio "$(value zoomed_full_pps)" "$(value unzoomed_full_pps)")
CLICK=$(value double_click_median_ms)
row "Zoom 4x on a D1 tile of 16: PSNR vs ffmpeg's crop (dB)" "$SHARP" ">= 35" "$(verdict "$SHARP" ">=" 35)"
row "   the tile's own picture enlarged instead (dB)" "$BLURRED" "-" "-"
row "16 D1 at 1x, one tile at 4x: CPU against unzoomed" "$(value zoomed_1x_cores) vs $(value unzoomed_1x_cores)" "<= 1.5x" "$CPU x, $(verdict "$CPU" "<=" 1.5)"
row "Full speed, one tile at 4x: pictures/s against unzoomed" "$(value zoomed_full_pps) vs $(value unzoomed_full_pps)" ">= 0.7x" "$PPS x, $(verdict "$PPS" ">=" 0.7)"
row "Double-click to one camera's picture (median of 16, ms)" "$CLICK" "<= 50" "$(verdict "$CLICK" "<=" 50)"
