#!/usr/bin/env bash
# Everything, from a fresh machine: set-up, both builds, then every test.
# One Xvfb and one persistent wineserver serve the whole run; exactly those two
# processes are stopped at the end, whatever the outcome.
set -uo pipefail
. "$(dirname "$0")/env.sh"

"$ROOT/scripts/setup.sh" || exit 1
"$ROOT/scripts/build.sh" || exit 1

XVFB_PID=""; WINESERVER_PID=""
cleanup() { stop_wineserver; stop_pid "$XVFB_PID"; }
trap cleanup EXIT INT TERM

start_xvfb || exit 1
start_wineserver

status=0
echo "== native tests"
ctest --test-dir "$NATIVE_BUILD" --output-on-failure -j "$JOBS" || status=1
echo "== Windows tests (under Wine)"
# One at a time: every test process shares the one desktop, and some read
# their windows' pixels back from the screen.
ctest --test-dir "$WIN_BUILD" --output-on-failure || status=1
exit $status
