#!/usr/bin/env bash
# Builds what is needed and starts the player on the sample recording.
# Without a display it runs under Xvfb for ten seconds and saves a screenshot.
set -euo pipefail
. "$(dirname "$0")/env.sh"

"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"

EXE="$WIN_BUILD/app/Vorplex.exe"
DLL="$WIN_BUILD/decoder/dvrctl.dll"
SAMPLE="$BUILD/sample/sample.d01"

XVFB_PID=""; WINESERVER_PID=""
cleanup() { stop_wineserver; stop_pid "$XVFB_PID"; }
trap cleanup EXIT INT TERM

headless=0
if [ -z "${DISPLAY:-}" ]; then
    headless=1
    start_xvfb
fi
start_wineserver

if [ -f "$DLL" ]; then
    wine regsvr32 /s "$(winepath -w "$DLL")" >/dev/null 2>&1 || echo "run: could not register dvrctl.dll" >&2
    # Made again when dvrtool is newer, so that the sample shows what synth draws now.
    [ -f "$SAMPLE" ] && [ "$SAMPLE" -nt "$NATIVE_BUILD/tools/dvrtool" ] ||
        "$ROOT/scripts/make-sample.sh" "$SAMPLE" || true
fi

args=()
[ -f "$SAMPLE" ] && args=("$(winepath -w "$SAMPLE")")

if [ $headless -eq 1 ]; then
    [ -x "$ROOT/scripts/headless-prepare.sh" ] && "$ROOT/scripts/headless-prepare.sh"
    wine "$EXE" "${args[@]}" >/dev/null 2>&1 &
    app=$!
    sleep 10
    shot="$BUILD/screenshot.png"
    import -display "$DISPLAY" -window root "$shot"
    stop_pid "$app"
    echo "screenshot: $shot"
else
    wine "$EXE" "${args[@]}"
fi
