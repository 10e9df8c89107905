#!/usr/bin/env bash
# Everything, from a fresh machine: set-up, both builds, then every test.
# One Xvfb and one persistent wineserver serve the whole run; exactly those two
# processes are stopped at the end, whatever the outcome.
set -uo pipefail
. "$(dirname "$0")/env.sh"

"$ROOT/scripts/setup.sh" || exit 1
# The written style first: a file that differs from it fails the run, which
# still goes on to tell what else holds.
status=0
echo "== code style"
"$ROOT/scripts/format.sh" --check || status=1
"$ROOT/scripts/build.sh" || exit 1

XVFB_PID=""; WINESERVER_PID=""
cleanup() { stop_wineserver; stop_pid "$XVFB_PID"; }
trap cleanup EXIT INT TERM

start_xvfb || exit 1
start_wineserver

echo "== native tests"
ctest --test-dir "$NATIVE_BUILD" --output-on-failure -j "$JOBS" || status=1
echo "== end-to-end set-up"
# The end-to-end tests run the real player: the decoder registered in the
# prefix, the file types associated (so no question shows at start), and their
# recordings, made again whenever dvrtool is newer.
wine regsvr32 /s "$(winepath -w "$WIN_BUILD/decoder/dvrctl.dll")" >/dev/null 2>&1 ||
    { echo "test: could not register dvrctl.dll" >&2; status=1; }
"$ROOT/scripts/headless-prepare.sh" || status=1
E2E="$BUILD/e2e"
DVRTOOL="$NATIVE_BUILD/tools/dvrtool"
mkdir -p "$E2E"
e2e_recording() {
    local out="$E2E/$1"; shift
    [ -f "$out" ] && [ "$out" -nt "$DVRTOOL" ] && return 0
    "$DVRTOOL" synth -o "$out" --start "2024-01-01 08:00:00.000" "$@" >/dev/null ||
        { echo "test: dvrtool could not make $out" >&2; rm -f "$out"; status=1; }
}
e2e_recording play16.d01 --cameras 16 --seconds 150 --fps 4 --size 160x120
e2e_recording long16.d00 --cameras 16 --seconds 900 --fps 1 --size 160x120
echo "== Windows tests (under Wine)"
# One at a time: every test process shares the one desktop, and some read
# their windows' pixels back from the screen.
ctest --test-dir "$WIN_BUILD" --output-on-failure || status=1
echo "== install round trip (a scratch prefix of its own)"
"$ROOT/tests/dist/roundtrip.sh" || status=1
exit $status
