#!/usr/bin/env bash
# Benchmarks, measured side by side in one run, printed as one table.
# Recordings are made once under build/bench/ and kept. One Xvfb and one
# wineserver of its own serve the run; exactly those are stopped at the end.
set -euo pipefail
. "$(dirname "$0")/env.sh"
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"
cmake --build "$WIN_BUILD" --target decoder_bench player_bench -j "$JOBS" -- --no-print-directory -s

OUT="$BUILD/bench"
LOGS="$OUT/logs"
mkdir -p "$LOGS"
DVRTOOL="$NATIVE_BUILD/tools/dvrtool"
DECODER_BENCH="$WIN_BUILD/bench/decoder_bench.exe"
PLAYER_BENCH="$WIN_BUILD/bench/player_bench.exe"
REPEATS=3        # of each throughput run, interleaved; the median is quoted
FUZZ_SECONDS=60  # each fuzzer

# A recording, made once: NAME then the synth options.
recording() {
    local file="$OUT/$1.d01"; shift
    if [ ! -f "$file" ]; then
        echo "bench: making $file" >&2
        "$DVRTOOL" synth -o "$OUT/partial.d01" "$@" >/dev/null
        mv "$OUT/partial.d01" "$file"
    fi
    echo "$file"
}
# The bench's 320 x 240 file serves the player too; each throughput run is
# 1500 pictures, or 600 of D1, so that a run lasts long enough to time.
MOSAIC_FILE=$(recording player16 --cameras 16 --seconds 300 --fps 5 --size 320x240)
D1_FILE=$(recording d1-16 --cameras 16 --seconds 120 --fps 5 --size 704x576)
PLAYER_FILE=$MOSAIC_FILE
HOUR_FILE=$(recording hour16-d1 --cameras 16 --seconds 3600 --fps 1 --size 704x576)
# Footage like a real camera's: D1 under fresh grain in every picture, about 40 KB a picture.
GRAIN=(--size 704x576 --quality 5 --grain 8)
D1_GRAIN_FILE=$(recording d1-16-grain --cameras 16 --seconds 120 --fps 5 "${GRAIN[@]}")
CLIP_SOURCE=$(recording clip16-grain --cameras 16 --seconds 600 --fps 5 "${GRAIN[@]}")

XVFB_PID=""; WINESERVER_PID=""
cleanup() { stop_wineserver; stop_pid "$XVFB_PID"; }
trap cleanup EXIT INT TERM
start_xvfb
start_wineserver

# value FILE KEY: the value of a "key=value" line.
value() { sed -n "s/^$2=//p" "$1" | tr -d '\r' | tail -n 1; }
median() { sort -g | awk '{v[NR]=$1} END {if (NR==0) print "nan"; else if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }

# decoder MODE FILE [ARGS] LOG: a run of the decoder bench; fails the bench when it fails.
decoder() {
    local mode="$1" file="$2" log="${*: -1}"
    local args=("${@:3:$#-3}")
    wine "$DECODER_BENCH" "$mode" "$(winepath -w "$file")" "${args[@]}" >"$log" 2>"$log.err" </dev/null ||
        { echo "bench: decoder_bench $mode failed:" >&2; cat "$log.err" >&2; exit 1; }
}

# The filter that makes ffmpeg show what the player's 640 x 480 view of cameras
# 1..N shows: N of 16, 4 or 1 streams, each scaled to its tile, side by side.
view_filter() {
    local n="$1" side tile_w tile_h filter="" inputs="" layout="" i
    side=$(awk -v n="$n" 'BEGIN {print int(sqrt(n))}')
    tile_w=$((640 / side)); tile_h=$((480 / side))
    for i in $(seq 0 $((n - 1))); do
        filter+="[0:v:$i]scale=$tile_w:$tile_h[v$i];"
        inputs+="[v$i]"
        layout+="${layout:+|}$((i % side * tile_w))_$((i / side * tile_h))"
    done
    if [ "$n" -eq 1 ]; then
        echo "[0:v:0]scale=640:480[view]"
    else
        echo "${filter}${inputs}xstack=inputs=$n:layout=$layout[view]"
    fi
}

# ffmpeg_run FILE N LOG: ffmpeg decoding the view of N cameras of FILE, as fast
# as it can. Timed as the player's side is, from the opened file to the last
# picture: ffmpeg's own measure of its run (-benchmark's rtime), without the
# start of its process.
ffmpeg_run() {
    local file="$1" n="$2" log="$3" seconds frames
    ffmpeg -hide_banner -nostdin -benchmark -i "$file" -filter_complex "$(view_filter "$n")" -map "[view]" \
        -f null - >"$log" 2>&1
    seconds=$(sed -n 's/.*rtime=\([0-9.]*\)s.*/\1/p' "$log" | tail -n 1)
    frames=$(tr '\r' '\n' <"$log" | sed -n 's/^frame= *\([0-9]*\).*/\1/p' | tail -n 1)
    awk -v n="$frames" -v t="$seconds" 'BEGIN {printf "pictures=%d\nseconds=%.3f\npictures_per_second=%.1f\n", n, t, n/t}' >"$log.result"
}

# Each view of the player against ffmpeg's of the same cameras, side by side:
# NAME FILE CAMERAS.
VIEWS=("mosaic16 $MOSAIC_FILE 16" "d1-16 $D1_FILE 16" "d1-16-grain $D1_GRAIN_FILE 16" "mosaic4 $MOSAIC_FILE 4" "mosaic1 $MOSAIC_FILE 1")
echo "bench: throughput, $REPEATS runs of each side, interleaved" >&2
for r in $(seq 1 "$REPEATS"); do
    for view in "${VIEWS[@]}"; do
        read -r name file n <<<"$view"
        ffmpeg_run "$file" "$n" "$LOGS/ffmpeg-$name.$r"
        decoder throughput "$file" "$n" "$LOGS/ours-$name.$r"
    done
    decoder codec "$MOSAIC_FILE" "$LOGS/codec.$r"
done
pick() { for r in $(seq 1 "$REPEATS"); do value "$LOGS/$1.$r" "$2"; done | median; }
ours_fps() { pick "ours-$1" pictures_per_second; }
ffmpeg_fps() { for r in $(seq 1 "$REPEATS"); do value "$LOGS/ffmpeg-$1.$r.result" pictures_per_second; done | median; }
TILE_MS=$(pick codec ms_per_tile)
LIBRARY=$(value "$LOGS/codec.1" library)

# Evidence: a lossless clip of the whole 10 minutes against cp of the same
# bytes, and verify --source of it, the source in the page cache for each.
# seconds COMMAND...: its wall-clock time, starting with nothing of the run before left to
# write back (sync).
seconds() {
    local t0 t1
    sync
    t0=$(date +%s.%N); "$@" >/dev/null; t1=$(date +%s.%N)
    awk -v a="$t0" -v b="$t1" 'BEGIN {printf "%.3f\n", b - a}'
}
# The fastest of five runs each. Memory the machine has not touched for a while comes slowly
# (this one is a virtual machine that hands freed memory back to its host): a copy of 1.7 GB
# into fresh page cache took from 0.6 s to 5.7 s, all of it in the kernel. So each writer is
# timed right after an untimed run of its own, whose pages it then takes over.
CLIP_REPEATS=5
fastest() { for r in $(seq 1 "$CLIP_REPEATS"); do value "$LOGS/$1.$r" seconds; done | sort -g | head -n 1; }
echo "bench: clip and verify, $CLIP_REPEATS runs each" >&2
# Timed as shipped: without the sanitizers of the native tree's tests.
release_dvrtool
CLIP="$OUT/clip.d01"
for r in $(seq 1 "$CLIP_REPEATS"); do
    cat "$CLIP_SOURCE" >/dev/null
    rm -f "$CLIP"*
    cp "$CLIP_SOURCE" "$OUT/copy.bin" && rm "$OUT/copy.bin"
    echo "seconds=$(seconds cp "$CLIP_SOURCE" "$OUT/copy.bin")" >"$LOGS/cp.$r"
    rm -f "$OUT/copy.bin"
    "$DVRTOOL" clip -o "$CLIP" "$CLIP_SOURCE" >/dev/null && rm "$CLIP"*
    echo "seconds=$(seconds "$DVRTOOL" clip -o "$CLIP" "$CLIP_SOURCE")" >"$LOGS/clip.$r"
    echo "seconds=$(seconds "$DVRTOOL" verify "$CLIP" --source "$CLIP_SOURCE")" >"$LOGS/verify.$r"
    # For scale: one SHA-256 pass over the clip by OpenSSL's own command. A clip makes three
    # (the source, its frames, the clip) beside the copy, on the machine's cores.
    echo "seconds=$(seconds openssl dgst -sha256 "$CLIP")" >"$LOGS/sha256.$r"
done
CLIP_MB=$(stat -c %s "$CLIP" | awk '{printf "%.1f", $1 / 1048576}')
CP_S=$(fastest cp); CLIP_S=$(fastest clip); VERIFY_S=$(fastest verify); SHA_S=$(fastest sha256)
CLIP_VS_CP=$(awk -v c="$CP_S" -v k="$CLIP_S" -v s="$(stat -c %s "$CLIP_SOURCE")" -v b="$(stat -c %s "$CLIP")" \
    'BEGIN {printf "%.2f", (b / k) / (s / c)}')
VERIFY_MBS=$(awk -v m="$CLIP_MB" -v t="$VERIFY_S" 'BEGIN {printf "%.0f", m / t}')
rm -f "$CLIP"*

echo "bench: seeks, CPU at 1x, memory of an hour" >&2
decoder seek "$MOSAIC_FILE" "$LOGS/seek"
decoder cpu "$MOSAIC_FILE" 20 "$LOGS/cpu"
# The same 16 cameras at 1x, then again with motion searches of camera 1 back to back.
decoder search "$MOSAIC_FILE" 20 "$LOGS/search-playing"
decoder memory "$HOUR_FILE" "$LOGS/memory"
echo "bench: going back, on the 16-camera D1 file" >&2
decoder review "$D1_FILE" "$LOGS/review"
echo "bench: looking closer, on the 16-camera D1 file" >&2
ZOOM_ROWS=$(ZOOM_BENCH_SERVED=1 "$ROOT/scripts/zoom_bench.sh")

echo "bench: the player" >&2
wine regsvr32 /s "$(winepath -w "$WIN_BUILD/decoder/dvrctl.dll")" >/dev/null 2>&1 </dev/null ||
    { echo "bench: could not register dvrctl.dll" >&2; exit 1; }
"$ROOT/scripts/headless-prepare.sh" >/dev/null
# Start-up varies from run to run far more than the rest: it is measured
# $REPEATS times, and the medians are quoted.
for r in $(seq 1 "$REPEATS"); do
    wine "$PLAYER_BENCH" "$(winepath -w "$WIN_BUILD/app/Vorplex.exe")" "$(winepath -w "$PLAYER_FILE")" 10 \
        >"$LOGS/player.$r" 2>"$LOGS/player.$r.err" </dev/null ||
        { echo "bench: player_bench failed:" >&2; cat "$LOGS/player.$r.err" >&2; exit 1; }
done

# fuzz NAME: the fuzzer of NAME (reader or frames) for $FUZZ_SECONDS s; its row's cells.
fuzz() {
    local log="$LOGS/fuzz-$1" execs cov
    echo "bench: fuzzing the $1 for $FUZZ_SECONDS s" >&2
    if "$ROOT/scripts/fuzz.sh" "$FUZZ_SECONDS" "$1" >"$log" 2>&1; then
        execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
        cov=$(grep -E '^#[0-9]+' "$log" | tail -n 1 | grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [^ ]+' || true)
        echo "$execs execs|$cov"
    else
        echo "FAILED|see $log"
    fi
}
FUZZ_READER=$(fuzz reader)
FUZZ_FRAMES=$(fuzz frames)
# The motion search against ffmpeg over an hour of one camera: its rows of the table.
SEARCH_ROWS=$("$ROOT/scripts/search_bench.sh")

# The table.
verdict() {  # MEASURED OP GOAL: "ok" or "MISSED"
    awk -v m="$1" -v g="$3" -v op="$2" 'BEGIN {ok = (op == "<=") ? (m <= g) : (m >= g); print ok ? "ok" : "MISSED"}'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
row() { printf '| %-58s | %-20s | %-8s | %-26s |\n' "$@"; }
view_row() {  # NAME TEXT GOAL
    local ours ff r
    ours=$(ours_fps "$1"); ff=$(ffmpeg_fps "$1"); r=$(ratio "$ours" "$ff")
    row "$2" "$ours vs $ff /s" ">= $3x" "$r x ffmpeg, $(verdict "$r" ">=" "$3")"
}

SEEK_PIC=$(value "$LOGS/seek" median_to_picture_ms)
CPU=$(value "$LOGS/cpu" cores)
PEAK=$(value "$LOGS/memory" peak_working_set_mb)
R() { value "$LOGS/review" "$1"; }
BACK_CPU=$(awk -v b="$(R backward_1x_cores)" -v f="$(R forward_1x_cores)" 'BEGIN {printf "%.2f", (f > 0 ? b / f : 0)}')
BACK_PPS=$(awk -v b="$(R backward_full_pps)" -v f="$(R forward_full_pps)" 'BEGIN {printf "%.2f", (f > 0 ? b / f : 0)}')
P_FIRST=$(pick player first_picture_ms)
P_PANEL=$(pick player panel_shown_ms)
P_OPEN=$(pick player open_done_ms)
P_SEEK=$(pick player median_seek_ms)
P_PEAK=$(pick player player_peak_working_set_mb)

echo
echo "Machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)," \
     "$(awk '/^MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo) memory;" \
     "$(wine --version 2>/dev/null), $(ffmpeg -version | head -n 1 | cut -d' ' -f1-3), $LIBRARY"
echo "Throughput: pictures per second at full speed in a 640 x 480 view, medians of $REPEATS runs a side, interleaved."
echo
row "Measure" "Measured" "Goal" "Ratio / verdict"
row "----" "----" "----" "----"
view_row mosaic16 "16 cameras, 320x240 file, vs ffmpeg's xstack mosaic" 2.0
view_row d1-16 "16 cameras, 704x576 file, vs ffmpeg's xstack mosaic" 3.0
view_row d1-16-grain "   the same, camera-like grain (~40 KB a picture)" 3.0
view_row mosaic4 "4 cameras, 320x240 file, vs ffmpeg into the same layout" 1.2
view_row mosaic1 "1 camera, 320x240 file, vs ffmpeg into the same size" 1.0
row "   one 160x120 tile of a 320x240 frame, one thread (ms)" "$TILE_MS" "-" "-"
row "16 cameras at 1x, 20 s: CPU (cores)" "$CPU" "<= 0.05" "$(verdict "$CPU" "<=" 0.05)"
row "Seek: open to first picture (median of 20, ms)" "$SEEK_PIC" "<= 20" "$(verdict "$SEEK_PIC" "<=" 20)"
row "Step back to the picture, 16 D1 (median of 20, ms)" "$(R step_back_median_ms)" "<= 20" "$(verdict "$(R step_back_median_ms)" "<=" 20)"
row "   step forward to the picture (median of 20, ms)" "$(R step_forward_median_ms)" "<= 20" "$(verdict "$(R step_forward_median_ms)" "<=" 20)"
row "Backward at 1x: CPU against forward's" "$(R backward_1x_cores) vs $(R forward_1x_cores)" "<= 1.5x" "$BACK_CPU x, $(verdict "$BACK_CPU" "<=" 1.5)"
row "Backward at Full: pictures/s against forward's" "$(R backward_full_pps) vs $(R forward_full_pps)" ">= 0.7x" "$BACK_PPS x, $(verdict "$BACK_PPS" ">=" 0.7)"
row "Hop to an event slot, to the picture (median of 10, ms)" "$(R hop_median_ms)" "<= 30" "$(verdict "$(R hop_median_ms)" "<=" 30)"
echo "$ZOOM_ROWS"
row "Peak working set, an hour of 16 D1 cameras (MB)" "$PEAK" "<= 100" "$(verdict "$PEAK" "<=" 100)"
row "Player: start to first picture, less the 2 s timer (ms)" "$P_FIRST" "<= 250" "$(verdict "$P_FIRST" "<=" 250)"
row "   start to the panel on screen (ms)" "$P_PANEL" "-" "-"
row "   start to the file open (title), less 2 s (ms)" "$P_OPEN" "-" "-"
row "   seek, scroll bar page to Pause (median, ms)" "$P_SEEK" "-" "-"
row "   peak working set, 16 cameras (MB)" "$P_PEAK" "-" "-"
row "Clip of 10 min of 16 D1 cameras, grain ($CLIP_MB MB), vs cp (fastest of $CLIP_REPEATS)" "$CLIP_S s vs $CP_S s" ">= 0.5x" "$CLIP_VS_CP x cp, $(verdict "$CLIP_VS_CP" ">=" 0.5)"
row "   one SHA-256 pass over the clip, openssl dgst (s)" "$SHA_S" "-" "-"
row "verify --source of that clip (MB/s of frames)" "$VERIFY_MBS" ">= 300" "$(verdict "$VERIFY_MBS" ">=" 300)"
row "Reader fuzzer, $FUZZ_SECONDS s" "${FUZZ_READER%%|*}" "no crash" "${FUZZ_READER#*|}"
row "Frame decoder fuzzer, $FUZZ_SECONDS s" "${FUZZ_FRAMES%%|*}" "no crash" "${FUZZ_FRAMES#*|}"
echo "$SEARCH_ROWS"
S() { value "$LOGS/search-playing" "$1"; }
SEARCH_ADDED=$(awk -v a="$(S working_set_with_mb)" -v b="$(S working_set_without_mb)" 'BEGIN {printf "%.1f", a - b}')
row "16 cameras at 1x, 20 s, searching camera 1: late pictures" "$(S late_with) (alone $(S late_without))" "0" \
    "$(verdict "$(S late_with)" "<=" 0)"
row "   working set a search adds (MB)" "$SEARCH_ADDED" "<= 20" "$(verdict "$SEARCH_ADDED" "<=" 20)"
row "   searches, frames of footage a second beside playing" "$(S searches), $(S search_frames_per_second)" "-" \
    "CPU $(S cores_with) vs $(S cores_without) cores"
echo
echo "Logs: $LOGS"
