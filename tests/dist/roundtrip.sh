#!/usr/bin/env bash
# The install round trip under Wine, in a scratch prefix of its own
# (build/dist-test/prefix), made new for every run:
#   1. a new prefix, with the file association made for the installed player,
#      as a user's Yes to its offer would have made it; then the "before" state;
#   2. a silent install of an older build, then a silent install of this one
#      over it: replaced in place, one Add/Remove Programs entry, a Start-menu
#      shortcut, version resources, and nothing registered for COM;
#   3. the installed player plays the sample recording (its decoder found through
#      the manifest alone); the build tree's Vorplex.exe, put beside the same
#      dvrctl.dll, cannot make the decoder; the unpacked zip plays too; the
#      installed dvrtool.exe reads the sample, clips it and verifies the clip;
#   4. a silent uninstall, waited for to its end (it goes on in a copy of itself);
#   5. the next start of the prefix, which takes the uninstaller's copy away;
#      then files and registry must be as they were before the install, but for
#      the few keys that Wine itself rewrites (listed below, with the reasons).
# It runs under the caller's X display (make test's Xvfb) or an Xvfb of its own,
# and with a wineserver of its own for the scratch prefix, started and waited
# for by its PID. Exit status 0 when every check holds.
set -euo pipefail
. "$(dirname "$0")/../../scripts/env.sh"

VERSION="$(head -n 1 "$ROOT/VERSION")"
OLD_VERSION="0.0.0"  # what the earlier build installed here is labelled
DIST="$WIN_BUILD/dist"  # where the build's target dist writes
SETUP="$DIST/Vorplex-$VERSION-setup.exe"
ZIP="$DIST/Vorplex-$VERSION.zip"
CHECK="$WIN_BUILD/tests/dist/install_check.exe"
SAMPLE="$BUILD/sample/sample.d01"
WORK="$BUILD/dist-test"
LOGS="$WORK/logs"
UNINST_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorplex'
CLSID='8FCBB820-D2AD-4929-8B7D-3C3BC408E4FD'

export WINEPREFIX="$WORK/prefix"
# Wine's menu builder would copy the Start-menu shortcut into the Linux
# desktop's menus, outside the prefix; nothing here may write there.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe="

say() { echo "roundtrip: $*"; }
fail() { echo "roundtrip: FAILED: $*" >&2; exit 1; }

# What is needed: the two files of `make dist`, the checker, the sample. The
# target replaces its two files and nothing else: not another file beside
# them, nor a dist/ beside the build tree.
mkdir -p "$DIST" "$BUILD/dist"
OTHERS=("$DIST/another-file" "$BUILD/dist/another-file")
touch "${OTHERS[@]}"
cmake --build "$WIN_BUILD" --target dist install_check -- --no-print-directory -s >/dev/null
[ -f "$SETUP" ] && [ -f "$ZIP" ] || fail "make dist did not write $SETUP and $ZIP"
for f in "${OTHERS[@]}"; do
    [ -f "$f" ] || fail "the target dist removed $f, which it had not made"
    rm -f "$f"
done
[ -f "$SAMPLE" ] || "$ROOT/scripts/make-sample.sh" "$SAMPLE" >/dev/null

XVFB_PID=""; WINESERVER_PID=""
# The wineserver's directory for the scratch prefix (under $TMPDIR) goes when
# the run ends; the prefix itself stays after a failure, to be looked at.
remove_server_dir() {
    [ -s "$WINEPREFIX/wineserver" ] || return 0
    local dir
    dir="$(dirname "$(wine_server_socket)")"
    rm -rf "$dir"
    rmdir "$(dirname "$dir")" 2>/dev/null || true
}
cleanup() {
    stop_wineserver
    remove_server_dir
    stop_pid "$XVFB_PID"
}
trap cleanup EXIT INT TERM
[ -n "${DISPLAY:-}" ] || start_xvfb

# A session of the prefix: a wineserver of our own that ends by itself after
# the last Wine process of the prefix has ended, uninstaller copies included.
begin_session() {
    wineserver -f >/dev/null 2>&1 </dev/null &
    WINESERVER_PID=$!
    local i
    for i in $(seq 1 100); do
        [ -S "$(wine_server_socket)" ] && return 0
        kill -0 "$WINESERVER_PID" 2>/dev/null || break
        sleep 0.1
    done
    fail "the wineserver did not start"
}
# Waits for the session's end: every process gone and the registry saved.
end_session() {
    local i
    for i in $(seq 1 1200); do
        kill -0 "$WINESERVER_PID" 2>/dev/null || { wait "$WINESERVER_PID" || true; WINESERVER_PID=""; return 0; }
        sleep 0.1
    done
    fail "the prefix's processes did not end within two minutes"
}

# The prefix between sessions: a list of its files (size and time of each) and
# its registry files, normalised: key times dropped, Wine's own keys left out.
snapshot() {
    local out="$WORK/$1" f
    mkdir -p "$out"
    (cd "$WINEPREFIX" && find . \( -path ./system.reg -o -path ./user.reg -o -path ./userdef.reg \) -prune -o \
        \( -type f -printf 'f %s %T@ %P\n' \) -o \( -type l -printf 'l %P -> %l\n' \) -o -printf '%y %P\n') |
        sort >"$out/files"
    for f in system user userdef; do
        awk 'FILENAME == ARGV[1] { if ($0 !~ /^(#|$)/) ignored[$0] = 1; next }
             /^#time=/ { next }
             /^\[/ { sub(/\] [0-9]+$/, "]"); skip = (substr($0, 2, length($0) - 2) in ignored) }
             !skip' "$WORK/volatile-keys" "$WINEPREFIX/$f.reg" >"$out/$f.reg"
        grep -q '^WINE REGISTRY Version 2' "$out/$f.reg" || fail "$f.reg was not read"
    done
}
# Whether two snapshots are the same; what differs goes to the log and stderr.
same() {
    local f ok=0
    for f in files system.reg user.reg userdef.reg; do
        diff -u "$WORK/$1/$f" "$WORK/$2/$f" >"$WORK/$2.$f.diff" 2>&1 || { ok=1; head -n 40 "$WORK/$2.$f.diff" >&2; }
    done
    return $ok
}

# wine with its chatter in the log.
run() { wine "$@" >>"$LOGS/wine.log" 2>&1 </dev/null; }
# The data of a registry value, as `reg query` shows it.
reg_value() {
    wine reg query "$1" /v "$2" 2>/dev/null </dev/null | tr -d '\r' |
        sed -n "s/^ *$2 \{4\}REG_[A-Z_]* \{4\}//p" | head -n 1
}

# --- 1. A new prefix, and the state before the install -------------------------
remove_server_dir
rm -rf "$WORK"
mkdir -p "$WINEPREFIX" "$LOGS"
begin_session
run wineboot -i
end_session
# The first start after the prefix's creation rewrites a few keys of Wine's own
# (network cards, display classes) that later starts leave alone: the state
# before is that of a prefix started again, as a user's is.
begin_session
# Set as the project's own prefix is: no window manager under Xvfb.
run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
LOCALAPPDATA_W="$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null </dev/null | tr -d '\r' | head -n 1)"
APPDATA_W="$(wine cmd /c echo %APPDATA% 2>/dev/null </dev/null | tr -d '\r' | head -n 1)"
[ -n "$LOCALAPPDATA_W" ] && [ -n "$APPDATA_W" ] || fail "the prefix has no user folders"
INSTDIR_W="$LOCALAPPDATA_W\\Programs\\Vorplex"
unix_path() { local p; p="$(winepath -u "$1" 2>/dev/null)"; echo "${p%/}"; }
INSTDIR="$(unix_path "$LOCALAPPDATA_W")/Programs/Vorplex"
SHORTCUT="$(unix_path "$APPDATA_W")/Microsoft/Windows/Start Menu/Programs/Vorplex.lnk"
INSTALLED_EXE_W="$INSTDIR_W\\Vorplex.exe"
# The recordings open with the installed player, as the player itself writes
# it on a Yes to its offer: so the installed player starts without asking, and
# the uninstall has this association to leave alone.
for ext in .nwv .d00 .d01; do
    run reg add "HKCR\\$ext" /ve /d Zentrix.001 /f
done
run reg add 'HKCR\Zentrix.001\shell\open\command' /ve /d "$INSTALLED_EXE_W \"%1\"" /f
# A window of a program, the first in this prefix: Wine sets its display
# devices up anew then, once for good (the display classes lose their names).
# The program is the build tree's player, which finds no decoder in a prefix
# where nothing is registered.
wine "$CHECK" unregistered "$(winepath -w "$WIN_BUILD/app/Vorplex.exe")" 2>>"$LOGS/wine.log" </dev/null |
    tr -d '\r' || fail "the build tree's player found a decoder in a new prefix"
end_session
# Keys that Wine rewrites by itself in any session, whatever runs in it; the
# before/after comparison leaves exactly these out (names as the .reg files
# spell them).
cat >"$WORK/volatile-keys" <<'KEYS'
# The display adapter's driver key: Wine registers the adapter again whenever a
# session opens its first window, and stamps DriverDateData with that moment.
System\\CurrentControlSet\\Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}\\0000
# Wine's font cache: Codepages records the code pages of the last process that
# set its fonts up, UTF-8 for the player (its manifest asks for it), 1252 for
# the installer and Wine's own programs. With it Wine writes the bitmap fonts
# for that code page's OEM and system text (OEMFONT.FON: vgaoem.fon for 437,
# vga850.fon for 850), so they follow whichever process came last too.
Software\\Wine\\Fonts
System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts
KEYS
snapshot before

# --- 2. Install an older build, then this one over it ---------------------------
# The older build: the build tree's Vorplex.exe (no manifest) and the same
# dvrctl.dll, labelled $OLD_VERSION, so that a copy left unreplaced shows.
OLD_STAGE="$WORK/old-stage"
mkdir -p "$OLD_STAGE"
cp "$WIN_BUILD/app/Vorplex.exe" "$WIN_BUILD/decoder/dvrctl.dll" "$WIN_BUILD/tools/dvrtool.exe" "$OLD_STAGE/"
makensis -V2 -WX -DVERSION="$OLD_VERSION" -DSTAGE="$OLD_STAGE" -DICON="$WIN_BUILD/res/art/vorplex.ico" \
    -DOUTFILE="$WORK/old-setup.exe" "$ROOT/installer/vorplex.nsi" >"$LOGS/makensis-old.log" 2>&1 ||
    fail "makensis could not make the older installer (see $LOGS/makensis-old.log)"

begin_session
run "$WORK/old-setup.exe" /S || fail "the older installer failed"
[ "$(reg_value "$UNINST_KEY" DisplayVersion)" = "$OLD_VERSION" ] && cmp -s "$INSTDIR/Vorplex.exe" "$OLD_STAGE/Vorplex.exe" ||
    fail "the older build is not installed"
run "$SETUP" /S || fail "the silent install failed"
say "installed silently over $OLD_VERSION in $INSTDIR_W"

# The folder holds this build's three files and the uninstaller, nothing else.
[ "$(ls -A "$INSTDIR" | LC_ALL=C sort | tr '\n' ' ')" = "Vorplex.exe dvrctl.dll dvrtool.exe uninstall.exe " ] ||
    fail "the install folder holds: $(ls "$INSTDIR" | tr '\n' ' ')"
cmp -s "$INSTDIR/Vorplex.exe" "$WIN_BUILD/release/Vorplex.exe" || fail "Vorplex.exe was not replaced by this build's"
cmp -s "$INSTDIR/dvrctl.dll" "$WIN_BUILD/release/dvrctl.dll" || fail "dvrctl.dll is not this build's"
cmp -s "$INSTDIR/dvrtool.exe" "$WIN_BUILD/tools/dvrtool.exe" || fail "dvrtool.exe is not this build's"
[ -f "$SHORTCUT" ] || fail "no Start-menu shortcut"
grep -qaiF "$INSTALLED_EXE_W" "$SHORTCUT" || fail "the shortcut does not lead to $INSTALLED_EXE_W"
for file in Vorplex.exe dvrctl.dll; do
    wine "$CHECK" version "$INSTDIR_W\\$file" "$VERSION" 2>>"$LOGS/wine.log" </dev/null | tr -d '\r' ||
        fail "$file's version resource"
done

# The Add/Remove Programs entry: this version, and an uninstaller that is there.
[ "$(reg_value "$UNINST_KEY" DisplayName)" = "Vorplex" ] || fail "no DisplayName"
[ "$(reg_value "$UNINST_KEY" DisplayVersion)" = "$VERSION" ] ||
    fail "DisplayVersion is '$(reg_value "$UNINST_KEY" DisplayVersion)', not $VERSION"
[ "$(reg_value "$UNINST_KEY" UninstallString)" = "\"$INSTDIR_W\\uninstall.exe\"" ] ||
    fail "UninstallString is '$(reg_value "$UNINST_KEY" UninstallString)'"
[ "$(reg_value "$UNINST_KEY" QuietUninstallString)" = "\"$INSTDIR_W\\uninstall.exe\" /S" ] ||
    fail "QuietUninstallString is '$(reg_value "$UNINST_KEY" QuietUninstallString)'"
[ "$(reg_value "$UNINST_KEY" InstallLocation)" = "$INSTDIR_W" ] || fail "InstallLocation"
entries=$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null </dev/null |
          tr -d '\r' | grep -c '^HKEY.*\\Uninstall\\' || true)
[ "$entries" = 1 ] || fail "$entries Add/Remove Programs entries, not one"
say "one Add/Remove Programs entry, Vorplex $VERSION, with its uninstaller"
end_session
snapshot installed

# No COM registration anywhere: neither the class, nor its ProgID, nor the DLL.
if grep -il -e "$CLSID" -e 'Vorplex.DvrControl' -e 'dvrctl' "$WINEPREFIX"/*.reg; then
    fail "the install registered the decoder"
fi
say "nothing registered for COM"

# --- 3. The installed player, the control without its manifest, the zip --------
begin_session
wine "$CHECK" play "$INSTALLED_EXE_W" "$(winepath -w "$SAMPLE")" --shot "$(winepath -w "$WORK")\\installed.png" \
    2>>"$LOGS/wine.log" </dev/null | tr -d '\r' || fail "the installed player does not play the sample"

# The same dvrctl.dll beside the build tree's Vorplex.exe, which has no
# manifest: without the manifest the decoder cannot be made here.
mkdir -p "$WORK/no-manifest"
cp "$WIN_BUILD/app/Vorplex.exe" "$INSTDIR/dvrctl.dll" "$WORK/no-manifest/"
wine "$CHECK" unregistered "$(winepath -w "$WORK/no-manifest/Vorplex.exe")" 2>>"$LOGS/wine.log" </dev/null |
    tr -d '\r' || fail "a Vorplex.exe without the manifest made the decoder: something is registered"

# The zip, unpacked elsewhere: it plays as it is. The association names the
# installed player, so this one is offered it, and it is declined.
mkdir -p "$WORK/portable"
(cd "$WORK/portable" && cmake -E tar xf "$ZIP")
wine "$CHECK" play "$(winepath -w "$WORK/portable/Vorplex-$VERSION/Vorplex.exe")" "$(winepath -w "$SAMPLE")" \
    --decline-association 2>>"$LOGS/wine.log" </dev/null | tr -d '\r' || fail "the unpacked zip does not play"

# The installed dvrtool.exe with nothing else: it reads the sample, writes a
# clip of it outside the prefix, and verifies the clip against the sample.
DVRTOOL_W="$INSTDIR_W\\dvrtool.exe"
CLIP="$WORK/clip.d01"
wine "$DVRTOOL_W" info "$(winepath -w "$SAMPLE")" 2>>"$LOGS/wine.log" </dev/null | tr -d '\r' |
    grep '^cameras: ' >/dev/null || fail "the installed dvrtool.exe cannot read the sample"
run "$DVRTOOL_W" clip -o "$(winepath -w "$CLIP")" --to +10 "$(winepath -w "$SAMPLE")" ||
    fail "the installed dvrtool.exe cannot clip the sample"
(cd "$WORK" && sha256sum --quiet -c clip.d01.sha256) || fail "sha256sum -c does not pass on the clip"
run "$DVRTOOL_W" verify "$(winepath -w "$CLIP")" --source "$(winepath -w "$SAMPLE")" ||
    fail "the installed dvrtool.exe does not verify its clip (see $LOGS/wine.log)"
say "the installed dvrtool.exe reads the sample, clips it and verifies the clip"
end_session

# --- 4. Uninstall --------------------------------------------------------------
begin_session
run "$INSTDIR/uninstall.exe" /S || fail "the silent uninstall failed"
# It goes on in a copy of itself: the end of the session is the end of that copy.
end_session
snapshot uninstalled
[ ! -e "$INSTDIR" ] || fail "the install folder is still there: $(ls -A "$INSTDIR" | tr '\n' ' ')"
[ ! -e "$SHORTCUT" ] || fail "the shortcut is still there"
if grep -q '^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Vorplex\]' "$WORK/uninstalled/user.reg"; then
    fail "the Add/Remove Programs entry is still there"
fi
# All that may wait for the next start is the uninstaller's copy in its folder
# under the user's Temp (NSIS names it ~nsuN.tmp).
left="$({ diff "$WORK/before/files" "$WORK/uninstalled/files" || true; } | sed -n 's/^[<>] [dfl] \([0-9.]* [0-9.]* \)\{0,1\}//p')"
if printf '%s\n' "$left" | grep -v '^drive_c/users/[^/]*/Temp/~nsu[^/]*\.tmp\(/[^/]*\)\{0,1\}$' | grep -q .; then
    fail "the uninstall left, besides its own copy: $(printf '%s\n' "$left" | tr '\n' ' ')"
fi
say "uninstalled; only the uninstaller's copy waits for the next start: $(printf '%s\n' "$left" | tr '\n' ' ')"

# --- 5. The next start, then the state before the install ---------------------
begin_session
run cmd /c exit
end_session
snapshot after
same before after || fail "the prefix is not as it was before the install (diffs in $WORK)"
say "files and registry as before the install (the association kept)"
remove_server_dir
rm -rf "$WINEPREFIX"
say "PASS"
