#!/usr/bin/env bash
# Benchmarks, measured side by side in one run.
set -euo pipefail
. "$(dirname "$0")/env.sh"
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"
echo "no benchmarks yet"
