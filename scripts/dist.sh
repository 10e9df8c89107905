#!/usr/bin/env bash
# `make dist`: the per-user installer and the zip, in build/dist/.
set -euo pipefail
. "$(dirname "$0")/env.sh"

"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"
cmake --build "$WIN_BUILD" --target dist -- --no-print-directory -s
VERSION="$(head -n 1 "$ROOT/VERSION")"
mkdir -p "$BUILD/dist"
for f in "Vorplex-$VERSION-setup.exe" "Vorplex-$VERSION.zip"; do
    [ -f "$WIN_BUILD/dist/$f" ] || { echo "dist: $f was not made" >&2; exit 1; }
    cp -f "$WIN_BUILD/dist/$f" "$BUILD/dist/$f"
    echo "dist: build/dist/$f"
done
