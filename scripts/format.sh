#!/usr/bin/env bash
# Formats the C and C++ sources with the style of .clang-format.
#   scripts/format.sh            formats every source in place
#   scripts/format.sh --check    changes nothing; lists the files that differ
#                                from the style and fails when there are any
# The sources are the tracked files (build/ and what the build generates are
# never tracked). clang-format 14, Debian's clang-format-14: other versions
# break some lines differently.
set -euo pipefail
. "$(dirname "$0")/env.sh"

CHECK=0
case "${1:-}" in
    "") ;;
    --check) CHECK=1 ;;
    *) echo "usage: scripts/format.sh [--check]" >&2; exit 2 ;;
esac

FORMAT="$(command -v clang-format-14 || command -v clang-format || true)"
if [ -z "$FORMAT" ]; then
    echo "format: clang-format not found (Debian: apt-get install clang-format-14)" >&2
    exit 2
fi
"$FORMAT" --version | grep -q 'version 14\.' ||
    echo "format: $("$FORMAT" --version) is not clang-format 14; its lines may differ" >&2

cd "$ROOT"
mapfile -t FILES < <(git ls-files -- '*.c' '*.cc' '*.cpp' '*.h' '*.hpp' | grep -v '^build/')

if [ "$CHECK" -eq 0 ]; then
    printf '%s\0' "${FILES[@]}" | xargs -0 -n 50 "$FORMAT" -i --style=file
    exit 0
fi

# clang-format names each place that differs; a file is listed once. Without
# --Werror it succeeds on such places and fails only when it cannot format.
if ! REPORT="$(printf '%s\0' "${FILES[@]}" | xargs -0 -n 50 "$FORMAT" --dry-run --style=file 2>&1)"; then
    printf '%s\n' "$REPORT" >&2
    echo "format: clang-format failed" >&2
    exit 2
fi
mapfile -t UNFORMATTED < <(printf '%s\n' "$REPORT" |
    sed -n 's/^\(.*\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*/\1/p' | sort -u)
if [ ${#UNFORMATTED[@]} -gt 0 ]; then
    printf '%s\n' "${UNFORMATTED[@]}"
    echo "format: ${#UNFORMATTED[@]} of ${#FILES[@]} files are not formatted (scripts/format.sh formats them)" >&2
    exit 1
fi
