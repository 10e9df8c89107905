#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing) and creates
# the project's Wine prefix once. Quiet when everything is already in place.
set -euo pipefail
. "$(dirname "$0")/env.sh"

# One group a line; README.md says why each is here.
PACKAGES=(cmake make g++ clang libclang-rt-14-dev g++-mingw-w64-x86-64-posix
          wine wine64 wine64-preloader
          fonts-wine fonts-liberation
          fonts-dejavu-core
          libxrender1 libxrandr2 libxinerama1 libxcursor1 libxi6 libxfixes3 libxcomposite1 libxxf86vm1
          xvfb imagemagick
          ffmpeg
          libgtest-dev googletest
          libturbojpeg0-dev libjpeg62-turbo-dev nasm dpkg-dev
          libssl-dev
          nsis
          clang-format-14)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The Windows build's JPEG library, made once from Debian's source package.
"$ROOT/scripts/libjpeg-turbo.sh"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "setup: creating the Wine prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    # wineboot needs no display for this; keep its chatter out of the log.
    DISPLAY= wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
    [ -f "$WINEPREFIX/system.reg" ] || { echo "setup: wineboot did not create the prefix" >&2; exit 1; }
fi

# Settings of the prefix, made once (the marker names their version).
MARKER="$WINEPREFIX/.vorplex-settings-2"
if [ ! -f "$MARKER" ]; then
    # Windows not handed to a window manager: there is none under Xvfb, and
    # Wine would wait two seconds on each shown window's destruction for it.
    DISPLAY= wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # Wine's own fonts (Tahoma, Marlett, MS Sans Serif, System) in the prefix's
    # Fonts folder, where Windows keeps them. Debian's Wine 8 looks for them in
    # a folder it cannot open, and would draw every dialog and caption with
    # whatever fontconfig offers in their place.
    for font in /usr/share/wine/fonts/*; do
        ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
    done
    wineserver -w || true
    touch "$MARKER"
fi
