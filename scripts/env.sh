# Sourced by the other scripts: where things are, and the project's own Wine prefix.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
WIN_BUILD="$BUILD/win"
NATIVE_BUILD="$BUILD/native"
export WINEPREFIX="${WINEPREFIX:-$BUILD/wineprefix}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer prompts on a new prefix, and no debugger that would
# sit on a crashed test until its time-out.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml,winedbg.exe=}"
JOBS="$(nproc 2>/dev/null || echo 2)"

# Configures a tree by its preset in CMakePresets.json (win or native), unless
# it already was; a tree configured before the presets is configured again.
configure_tree() {
    local dir setting
    case "$1" in
        win) dir="$WIN_BUILD" setting='^GTest_DIR:' ;;
        native) dir="$NATIVE_BUILD" setting='^CMAKE_CXX_COMPILER:.*clang' ;;
        *) echo "configure_tree: no tree $1" >&2; return 2 ;;
    esac
    if [ ! -f "$dir/CMakeCache.txt" ] || ! grep -q "$setting" "$dir/CMakeCache.txt"; then
        # CMake cannot change a tree's compiler in place: a native tree made
        # with another compiler, before the presets, is made again.
        [ "$1" = native ] && rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
        (cd "$ROOT" && cmake --preset "$1" >/dev/null)
    fi
}

# dvrtool as it ships, without the sanitizers of the native tree's tests, for
# the benches to time: built in its own tree; sets DVRTOOL to it.
release_dvrtool() {
    local tree="$BUILD/native-release"
    if [ ! -f "$tree/CMakeCache.txt" ]; then
        (cd "$ROOT" && cmake --preset native -B "$tree" -DVORPLEX_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null)
    fi
    cmake --build "$tree" --target dvrtool -j "$JOBS" -- --no-print-directory -s >/dev/null
    DVRTOOL="$tree/tools/dvrtool"
}

# Starts Xvfb on a free display; sets XVFB_PID and DISPLAY. The server writes
# its display's number to the file on fd 3 (-displayfd) once it listens: only
# then is the display ours, and not one that another run's Xvfb took between
# the look for a free number and the start.
start_xvfb() {
    local n i ready
    ready="$(mktemp)"
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        : >"$ready"
        Xvfb ":$n" -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
        XVFB_PID=$!
        for i in $(seq 1 50); do
            [ -s "$ready" ] && { rm -f "$ready"; export DISPLAY=":$n"; return 0; }
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null
    done
    rm -f "$ready"
    echo "could not start Xvfb" >&2
    return 1
}

# Starts one persistent wineserver for the prefix; sets WINESERVER_PID.
start_wineserver() {
    # -f keeps it in the foreground, so that $! is the server itself.
    wineserver -f -p >/dev/null 2>&1 </dev/null &
    WINESERVER_PID=$!
    # Wait until it answers, so that no Wine process starts a server of its own.
    local i
    for i in $(seq 1 50); do
        [ -S "$(wine_server_socket)" ] && break
        sleep 0.1
    done
    # The first Wine process starts the prefix's services; they would inherit its
    # standard handles and keep a caller's pipe open, so start them here on /dev/null.
    wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
}

# The socket of the prefix's wineserver: under server-DEV-INODE of the prefix,
# in the directory whose name Debian's wineserver keeps in the prefix's file
# `wineserver` (a private one it made under $TMPDIR), else in /tmp/.wine-UID.
wine_server_socket() {
    local dev ino base
    dev=$(stat -c %d "$WINEPREFIX" 2>/dev/null) || return 1
    ino=$(stat -c %i "$WINEPREFIX" 2>/dev/null) || return 1
    base="/tmp/.wine-$(id -u)"
    [ -s "$WINEPREFIX/wineserver" ] && base="${TMPDIR:-/tmp}/$(head -n 1 "$WINEPREFIX/wineserver")"
    printf '%s/server-%x-%x/socket' "$base" "$dev" "$ino"
}

# Ends the prefix's Wine processes with their server, then the server itself.
stop_wineserver() {
    [ -n "${WINESERVER_PID:-}" ] || return 0
    wineserver -k >/dev/null 2>&1 || true
    stop_pid "$WINESERVER_PID"
}

stop_pid() {
    local pid="$1"
    [ -n "$pid" ] || return 0
    kill "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
    local i
    for i in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    return 0
}
