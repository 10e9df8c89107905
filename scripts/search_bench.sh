#!/usr/bin/env bash
# The motion search (dvrtool search) against ffmpeg decoding the same camera's frames at full
# size, cropped to the region, to grey: frames of footage a second, for the bottom-right
# quarter, the whole picture and a tenth of each side. Prints its table rows; bench.sh runs it.
#   scripts/search_bench.sh [SECONDS]   footage length, an hour by default
# The footage (one noisy 704 x 576 camera at 25 fps, about 50 KB a frame) is made once under
# build/bench/, and dvrtool is built without the sanitizers in build/native-release/.
set -euo pipefail
. "$(dirname "$0")/env.sh"
LENGTH="${1:-3600}"
OUT="$BUILD/bench"
LOGS="$OUT/logs"
mkdir -p "$LOGS"

FOOTAGE="$OUT/search-d1-$LENGTH.avi"
if [ ! -f "$FOOTAGE" ]; then
    echo "search bench: making $FOOTAGE (once; long)" >&2
    # A still scene under fresh noise every frame, the camera's own grain: ten seconds of it
    # encoded, then copied frame for frame to the length (encoding an hour would take half
    # an hour; the search's work is the same).
    ffmpeg -v error -nostdin -y -f lavfi -i "testsrc2=size=704x576" -frames:v 1 "$OUT/search-still.png"
    ffmpeg -v error -nostdin -y -loop 1 -framerate 25 -i "$OUT/search-still.png" -vf "noise=alls=8:allf=t" \
        -t 10 -c:v mjpeg -q:v 5 -f avi "$OUT/search-ten.avi"
    ffmpeg -v error -nostdin -y -stream_loop $(((LENGTH + 9) / 10 - 1)) -i "$OUT/search-ten.avi" -t "$LENGTH" \
        -c copy -f avi "$OUT/search-partial.avi"
    mv "$OUT/search-partial.avi" "$FOOTAGE"
fi

release_dvrtool
FRAMES=$((LENGTH * 25))

# seconds COMMAND...: how long it ran; a failure (search: exit 2 and up) fails the bench.
seconds() {
    local start end code=0
    start=$(date +%s.%N)
    "$@" >"$LOGS/search-last.log" 2>&1 || code=$?
    end=$(date +%s.%N)
    if [ "$code" -ge 2 ]; then
        echo "search bench: $* failed ($code):" >&2
        cat "$LOGS/search-last.log" >&2
        exit 1
    fi
    awk -v a="$start" -v b="$end" 'BEGIN {printf "%.2f", b - a}'
}
per_second() { awk -v n="$FRAMES" -v t="$1" 'BEGIN {printf "%.0f", n / t}'; }
row() { printf '| %-58s | %-20s | %-8s | %-26s |\n' "$@"; }

# Both sides read the footage from the page cache: the search reads one frame in a few, which
# from a disk would time the disk's seeks, not the search.
warm() { cat "$FOOTAGE" >/dev/null; }

# side NAME REGION CROP GOAL: one region, ours then ffmpeg's, as a row.
side() {
    local ours theirs fps ff ratio verdict
    warm
    ours=$(seconds "$DVRTOOL" search "$FOOTAGE" --camera 1 --region "$2")
    cp "$LOGS/search-last.log" "$LOGS/search-${1// /-}.log"
    warm
    theirs=$(seconds ffmpeg -v error -nostdin -i "$FOOTAGE" -map 0:v:0 -vf "crop=$3,format=gray" -f null -)
    fps=$(per_second "$ours"); ff=$(per_second "$theirs")
    ratio=$(awk -v a="$fps" -v b="$ff" 'BEGIN {printf "%.1f", a / b}')
    verdict=$(awk -v r="$ratio" -v g="$4" 'BEGIN {print (g == "-" || r >= g) ? "ok" : "MISSED"}')
    row "Search, $((LENGTH / 60)) min of one 704x576 camera: $1" "$fps vs $ff /s" ">= ${4}x" \
        "${ratio} x ffmpeg ($ours s), $verdict"
}

side "bottom-right quarter" "50%,50%,50%,50%" "352:288:352:288" 20
side "whole picture" "0,0,100%,100%" "704:576:0:0" "-"
side "a tenth of each side, bottom right" "634,518,70,58" "70:58:634:518" "-"
