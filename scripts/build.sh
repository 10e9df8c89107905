#!/usr/bin/env bash
# Configures and builds both trees: the Windows one (cross, run under Wine) and the
# native one (portable recording code, tools, sanitizer tests).
set -euo pipefail
. "$(dirname "$0")/env.sh"

if [ ! -f "$WIN_BUILD/CMakeCache.txt" ] || ! grep -q '^CMAKE_PREFIX_PATH' "$WIN_BUILD/CMakeCache.txt"; then
    # libjpeg-turbo is found where scripts/libjpeg-turbo.sh installed it.
    cmake -S "$ROOT" -B "$WIN_BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
          -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$BUILD/libjpeg-turbo/win" >/dev/null
fi
cmake --build "$WIN_BUILD" -j "$JOBS" -- --no-print-directory -s

if [ ! -f "$NATIVE_BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$NATIVE_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$NATIVE_BUILD" -j "$JOBS" -- --no-print-directory -s
