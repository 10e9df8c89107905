#!/usr/bin/env bash
# Before a run without a display: registers the player for its three file types
# in the prefix, as a user answering Yes to its offer would, so that the run
# shows the player and not a question nobody can answer. Types that already
# open with the player are left as they are.
# Expects the prefix's wineserver to be running (run.sh starts it).
set -euo pipefail
. "$(dirname "$0")/env.sh"

EXE="$WIN_BUILD/app/Vorplex.exe"
PROGID="Zentrix.001"
[ -f "$EXE" ] || { echo "headless-prepare: no $EXE" >&2; exit 0; }

# The default value of an HKEY_CLASSES_ROOT key when it is a plain string.
default_of() {
    wine reg query "HKCR\\$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/^ *([^)]*) \{4\}REG_SZ \{4\}//p' | head -n 1
}

# The executable as the program sees itself, in both forms. cmd takes quotes
# on its command line literally, so the short form is asked for in a batch file.
long_path="$(winepath -w "$EXE" 2>/dev/null)"
bat="$(mktemp --suffix=.bat)"
trap 'rm -f "$bat"' EXIT
printf '@for %%%%I in ("%s") do @echo %%%%~sI\r\n' "$long_path" >"$bat"
short_path="$(wine cmd /c "$(winepath -w "$bat")" 2>/dev/null | tr -d '\r' | head -n 1)"
[ -n "$short_path" ] || short_path="$long_path"

# As the player makes it: a path with a blank in it is quoted.
command_of() { case "$1" in *" "*) printf '"%s" "%%1"' "$1" ;; *) printf '%s "%%1"' "$1" ;; esac; }
long_command="$(command_of "$long_path")"
short_command="$(command_of "$short_path")"

# Associated when the extension's ProgID, whichever it is, opens with either
# form of the own command, letter case ignored.
is_associated() {
    local progid command
    progid="$(default_of "$1")"
    [ -n "$progid" ] || return 1
    command="$(default_of "$progid\\shell\\open\\command")"
    [ "${command,,}" = "${short_command,,}" ] || [ "${command,,}" = "${long_command,,}" ]
}

for ext in .nwv .d00 .d01; do
    is_associated "$ext" && continue
    wine reg add "HKCR\\$ext" /ve /t REG_SZ /d "$PROGID" /f >/dev/null 2>&1
    wine reg add "HKCR\\$PROGID\\shell\\open\\command" /ve /t REG_SZ /d "$short_command" /f >/dev/null 2>&1
    echo "headless-prepare: $ext opens with $short_command"
done
