#!/usr/bin/env bash
# Configures and builds both trees: the Windows one (cross, run under Wine) and the
# native one (portable recording code, tools, sanitizer tests, fuzzers). How each
# tree is configured is in CMakePresets.json.
set -euo pipefail
. "$(dirname "$0")/env.sh"

configure_tree win
cmake --build "$WIN_BUILD" -j "$JOBS" -- --no-print-directory -s

configure_tree native
cmake --build "$NATIVE_BUILD" -j "$JOBS" -- --no-print-directory -s
