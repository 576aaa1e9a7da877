#!/usr/bin/env bash
# Cross-builds libjpeg (the IJG API of libjpeg-turbo) and the TurboJPEG library (tovrin-pack's
# lossless rotations) for 64-bit Windows from Debian's own libjpeg-turbo source package, as static
# libraries, into build/win-deps/prefix.
#
#   scripts/build-libjpeg-mingw.sh        # does nothing when the prefix already holds the library
#
# Needs: apt and dpkg-dev for `apt-get source` (scripts/debian-source.sh), cmake, ninja, the
# MinGW-w64 cross compiler, and nasm for the SIMD code (without nasm the library is built without SIMD).
# No third-party source is kept in the repository.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
DEPS=${TOVRIN_WIN_DEPS_DIR:-$ROOT/build/win-deps}
PREFIX=$DEPS/prefix
SRC=$DEPS/src
WORK=$DEPS/libjpeg-build
TOOLCHAIN=$ROOT/cmake/mingw-w64-x86_64.cmake
JOBS=${JOBS:-$(nproc)}

log() { printf '== libjpeg: %s\n' "$*" >&2; }

if [[ -f $PREFIX/lib/libjpeg.a && -f $PREFIX/include/jpeglib.h && -f $PREFIX/include/jconfig.h &&
      -f $PREFIX/lib/libturbojpeg.a && -f $PREFIX/include/turbojpeg.h ]]; then
  log "cached in $PREFIX"
  exit 0
fi

# shellcheck source=debian-source.sh
. "$ROOT/scripts/debian-source.sh"

src_dir=$(debian_source libjpeg-turbo "$SRC/libjpeg-turbo" CMakeLists.txt "$DEPS/libjpeg-source.log")
log "building $(basename "$src_dir")"

simd=(-DWITH_SIMD=ON -DREQUIRE_SIMD=ON)
if ! command -v nasm >/dev/null && ! command -v yasm >/dev/null; then
  log "no nasm: building without SIMD"
  simd=(-DWITH_SIMD=OFF)
fi

rm -rf "$WORK"
cmake -S "$src_dir" -B "$WORK" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$PREFIX" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=ON \
  "${simd[@]}" >"$DEPS/libjpeg-configure.log" 2>&1 ||
  { tail -n 30 "$DEPS/libjpeg-configure.log"; exit 1; }

# Only the static libraries are needed; the tools and tests would double the build time.
cmake --build "$WORK" -j "$JOBS" --target jpeg-static turbojpeg-static >"$DEPS/libjpeg-build.log" 2>&1 ||
  { tail -n 30 "$DEPS/libjpeg-build.log"; exit 1; }

# Install by hand what the consumers need: the IJG library with its four public headers, and the
# TurboJPEG library with its one. The prefix is shared with the other Windows libraries, so only
# these files are replaced; the libraries go last, as the cache check above looks for them.
mkdir -p "$PREFIX/lib" "$PREFIX/include"
cp "$src_dir/jpeglib.h" "$src_dir/jerror.h" "$src_dir/jmorecfg.h" "$WORK/jconfig.h" \
  "$src_dir/turbojpeg.h" "$PREFIX/include/"
cp "$WORK/libjpeg.a" "$WORK/libturbojpeg.a" "$PREFIX/lib/"
log "installed into $PREFIX"
