#!/usr/bin/env bash
# libjpeg-turbo for the Windows build, from Debian's own source package: fetched
# with apt's source client and cross-compiled once (static, with its SIMD code)
# into build/libjpeg-turbo/. Nothing is done when it is already there.
#
# apt works from a configuration of the project's own under build/apt/: a
# deb-src entry for the archive and suite the machine's apt already uses, with
# lists and a cache of its own. Nothing under /etc changes, and apt checks the
# files it fetches against the archive's signed index.
set -euo pipefail
. "$(dirname "$0")/env.sh"

JPEG_DIR="$BUILD/libjpeg-turbo"
JPEG_PREFIX="$JPEG_DIR/win"   # what the Windows tree finds (CMAKE_PREFIX_PATH)

# The version of the machine's Debian release, the same as the native build's
# libjpeg62-turbo-dev.
SUITE="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
case "$SUITE" in
    bookworm) VERSION="1:2.1.5-2" ;;
    *) VERSION="$(dpkg-query -W -f='${Version}' libjpeg62-turbo-dev 2>/dev/null || true)" ;;
esac
[ -n "$VERSION" ] || { echo "libjpeg-turbo: no pinned version for Debian '$SUITE'" >&2; exit 1; }

# The libjpeg API alone, without TurboJPEG. With TurboJPEG the library keeps
# its choice of SIMD code in thread-local storage, which MinGW's compiler
# emulates with a call through the pthreads layer, and the SIMD code looks at it
# on every call, a few thousand times a frame: without it, four cameras at full
# speed make about 7 % more pictures a second. A build made another way (an
# older checkout's) is made again.
CONFIGURATION="$VERSION static simd libjpeg-api"
STAMP="$JPEG_DIR/configuration"
[ -f "$JPEG_PREFIX/lib/cmake/libjpeg-turbo/libjpeg-turboConfig.cmake" ] && [ -f "$STAMP" ] &&
    [ "$(cat "$STAMP")" = "$CONFIGURATION" ] && exit 0

echo "setup: building libjpeg-turbo $VERSION for Windows (once)"
APT_DIR="$BUILD/apt"
rm -rf "$APT_DIR" "$JPEG_DIR"
mkdir -p "$APT_DIR/sources.list.d" "$APT_DIR/state/lists/partial" "$APT_DIR/cache/archives/partial" \
         "$JPEG_DIR/source"

# The machine's own archive for its release, as apt's index targets name it.
ARCHIVE="$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 2>/dev/null |
           awk -v s="$SUITE" '$2 == s {print $1; exit}')"
[ -n "$ARCHIVE" ] || { echo "libjpeg-turbo: apt has no archive for '$SUITE'" >&2; exit 1; }
KEYRING=/usr/share/keyrings/debian-archive-keyring.gpg
OPTIONS=""
[ -f "$KEYRING" ] && OPTIONS="[signed-by=$KEYRING] "
echo "deb-src ${OPTIONS}$ARCHIVE $SUITE main" >"$APT_DIR/sources.list"
cat >"$APT_DIR/apt.conf" <<EOF
Dir::Etc::SourceList "$APT_DIR/sources.list";
Dir::Etc::SourceParts "$APT_DIR/sources.list.d";
Dir::State "$APT_DIR/state";
Dir::Cache "$APT_DIR/cache";
Debug::NoLocking "true";
APT::Sandbox::User "$(id -un)";
EOF
export APT_CONFIG="$APT_DIR/apt.conf"
apt-get update -qq
# apt-get source checks the files against the signed Sources index, then
# unpacks them with Debian's patches applied (dpkg-source).
(cd "$JPEG_DIR/source" && apt-get source -qq "libjpeg-turbo=$VERSION" >/dev/null)
SOURCE="$(find "$JPEG_DIR/source" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)"
[ -n "$SOURCE" ] || { echo "libjpeg-turbo: apt-get source unpacked nothing" >&2; exit 1; }

cmake -S "$SOURCE" -B "$JPEG_DIR/build" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$JPEG_PREFIX" \
      -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -DREQUIRE_SIMD=ON \
      >"$JPEG_DIR/configure.log" 2>&1 ||
    { echo "libjpeg-turbo: configure failed, see $JPEG_DIR/configure.log" >&2; exit 1; }
cmake --build "$JPEG_DIR/build" -j "$JOBS" >"$JPEG_DIR/build.log" 2>&1 &&
    cmake --install "$JPEG_DIR/build" >>"$JPEG_DIR/build.log" 2>&1 ||
    { echo "libjpeg-turbo: build failed, see $JPEG_DIR/build.log" >&2; exit 1; }
echo "$CONFIGURATION" >"$STAMP"
