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
FUZZ_SECONDS=60

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
MOSAIC_FILE=$(recording mosaic16 --cameras 16 --seconds 60 --fps 5 --size 320x240)
PLAYER_FILE=$(recording player16 --cameras 16 --seconds 300 --fps 5 --size 320x240)
HOUR_FILE=$(recording hour16 --cameras 16 --seconds 3600 --fps 1 --size 160x120)

XVFB_PID=""; WINESERVER_PID=""
cleanup() { stop_wineserver; stop_pid "$XVFB_PID"; }
trap cleanup EXIT INT TERM
start_xvfb
start_wineserver

# value FILE KEY: the value of a "key=value" line.
value() { sed -n "s/^$2=//p" "$1" | tr -d '\r' | tail -n 1; }
median() { sort -g | awk '{v[NR]=$1} END {if (NR==0) print "nan"; else if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
now() { date +%s.%N; }

# decoder MODE FILE [ARGS] LOG: a run of the decoder bench; fails the bench when it fails.
decoder() {
    local mode="$1" file="$2" log="${*: -1}"
    local args=("${@:3:$#-3}")
    wine "$DECODER_BENCH" "$mode" "$(winepath -w "$file")" "${args[@]}" >"$log" 2>"$log.err" </dev/null ||
        { echo "bench: decoder_bench $mode failed:" >&2; cat "$log.err" >&2; exit 1; }
}

# ffmpeg's side of the throughput: the same file into the same 4 x 4 mosaic of 160 x 120.
filter="" inputs="" layout=""
for i in $(seq 0 15); do
    filter+="[0:v:$i]scale=160:120[v$i];"
    inputs+="[v$i]"
    layout+="${layout:+|}$((i % 4 * 160))_$((i / 4 * 120))"
done
filter+="${inputs}xstack=inputs=16:layout=$layout[mosaic]"
ffmpeg_run() {
    local log="$1" t0 t1 frames
    t0=$(now)
    ffmpeg -hide_banner -nostdin -i "$MOSAIC_FILE" -filter_complex "$filter" -map "[mosaic]" -f null - >"$log" 2>&1
    t1=$(now)
    frames=$(tr '\r' '\n' <"$log" | sed -n 's/^frame= *\([0-9]*\).*/\1/p' | tail -n 1)
    awk -v n="$frames" -v a="$t0" -v b="$t1" 'BEGIN {printf "pictures=%d\nseconds=%.3f\npictures_per_second=%.1f\n", n, b-a, n/(b-a)}' >"$log.result"
}

echo "bench: throughput, $REPEATS runs of each side by side" >&2
for r in $(seq 1 "$REPEATS"); do
    ffmpeg_run "$LOGS/ffmpeg.$r"
    decoder throughput "$MOSAIC_FILE" "$LOGS/throughput.$r"
    decoder codec "$MOSAIC_FILE" "$LOGS/codec.$r"
done
pick() { for r in $(seq 1 "$REPEATS"); do value "$LOGS/$1.$r" "$2"; done | median; }
FF_FPS=$(for r in $(seq 1 "$REPEATS"); do value "$LOGS/ffmpeg.$r.result" pictures_per_second; done | median)
OUR_FPS=$(pick throughput pictures_per_second)
OUR_GAP=$(pick throughput median_gap_ms)
OUR_PICTURES=$(value "$LOGS/throughput.1" pictures)
OUR_CORES=$(pick throughput cores)
TILE_MS=$(pick codec ms_per_tile)
# The most a 16-tile view could reach if every core did nothing but decode tiles.
CEILING=$(awk -v n="$(nproc)" -v t="$TILE_MS" 'BEGIN {printf "%.0f", n * 1000 / (16 * t)}')

echo "bench: seeks, CPU at 1x, memory of an hour" >&2
decoder seek "$MOSAIC_FILE" "$LOGS/seek"
decoder cpu "$MOSAIC_FILE" 20 "$LOGS/cpu"
decoder memory "$HOUR_FILE" "$LOGS/memory"

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

FUZZ_EXECS="-" FUZZ_COV="(no scripts/fuzz.sh)"
if [ -x "$ROOT/scripts/fuzz.sh" ]; then
    echo "bench: fuzzing the reader for $FUZZ_SECONDS s" >&2
    if "$ROOT/scripts/fuzz.sh" "$FUZZ_SECONDS" >"$LOGS/fuzz" 2>&1; then
        FUZZ_EXECS=$(sed -n 's/^stat::number_of_executed_units: *//p' "$LOGS/fuzz" | tail -n 1)
        FUZZ_COV=$(grep -E '^#[0-9]+' "$LOGS/fuzz" | tail -n 1 | grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [^ ]+' || true)
    else
        FUZZ_EXECS="FAILED"; FUZZ_COV="see $LOGS/fuzz"
    fi
fi

# The table.
verdict() {  # MEASURED OP GOAL: "ok" or "MISSED"
    awk -v m="$1" -v g="$3" -v op="$2" 'BEGIN {ok = (op == "<") ? (m < g) : (m >= g); print ok ? "ok" : "MISSED"}'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
row() { printf '| %-52s | %-18s | %-16s | %-22s |\n' "$@"; }

SEEK_PIC=$(value "$LOGS/seek" median_to_picture_ms)
SEEK_POS=$(value "$LOGS/seek" median_to_position_ms)
CPU=$(value "$LOGS/cpu" cores)
PEAK=$(value "$LOGS/memory" peak_working_set_mb)
P_OPEN=$(pick player open_done_ms)
P_FIRST=$(pick player first_position_ms)
P_SEEK=$(pick player median_seek_ms)
P_PEAK=$(pick player player_peak_working_set_mb)
FUZZ_ROW=$([ "$FUZZ_EXECS" = "-" ] && echo "not run" || echo "$FUZZ_EXECS execs")

echo
echo "Machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)," \
     "$(awk '/^MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo) memory;" \
     "$(wine --version 2>/dev/null), $(ffmpeg -version | head -n 1 | cut -d' ' -f1-3)"
echo
row "Figure" "Measured" "Goal" "Ratio / verdict"
row "----" "----" "----" "----"
row "1. Full speed, 16-camera view 640x480 (pictures/s)" "$OUR_FPS" ">= ffmpeg" "$(ratio "$OUR_FPS" "$FF_FPS") x ffmpeg, $(verdict "$(ratio "$OUR_FPS" "$FF_FPS")" ">=" 1.0)"
row "   ffmpeg, same file to a 4x4 mosaic (pictures/s)" "$FF_FPS" "reference" "1.00"
row "   ours, spacing of pictures (median ms)" "$OUR_GAP" "-" "-"
row "   ours, CPU while at full speed (cores)" "$OUR_CORES" "-" "of $(nproc)"
row "   one tile, WIC decode + resize, one thread (ms)" "$TILE_MS" "-" "ceiling $CEILING pictures/s"
row "2. Seek: open to picture composed (median of 20, ms)" "$SEEK_PIC" "< 50 ms" "$(verdict "$SEEK_PIC" "<" 50)"
row "   Seek: open to PositionChange (median of 20, ms)" "$SEEK_POS" "-" "-"
row "3. CPU at 1x, 16 cameras, 20 s (cores)" "$CPU" "< 0.5 core" "$(verdict "$CPU" "<" 0.5)"
row "4. Peak working set, 1 h 16-camera file (MB)" "$PEAK" "< 200 MB" "$(verdict "$PEAK" "<" 200)"
row "5. Player start to Pause, less 2 s (median of 3, ms)" "$P_FIRST" "< 300 ms" "$(verdict "$P_FIRST" "<" 300)"
row "   Player start to file open (title), less 2 s (ms)" "$P_OPEN" "-" "-"
row "   Player seek, scroll bar page to Pause (median ms)" "$P_SEEK" "< 100 ms" "$(verdict "$P_SEEK" "<" 100)"
row "   Player peak working set, 16 cameras (MB)" "$P_PEAK" "-" "-"
row "6. Reader fuzzer, $FUZZ_SECONDS s" "$FUZZ_ROW" "no crash" "$FUZZ_COV"
echo
echo "Pictures per run: ours $OUR_PICTURES, ffmpeg $(value "$LOGS/ffmpeg.1.result" pictures). Logs: $LOGS"
