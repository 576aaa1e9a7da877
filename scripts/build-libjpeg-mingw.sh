#!/usr/bin/env bash
# Cross-builds libjpeg (the IJG API of libjpeg-turbo) and the TurboJPEG library (tovrin-pack's
# lossless rotations) for 64-bit Windows from Debian's own libjpeg-turbo source package, as static
# libraries, into build/win-deps/prefix.
#
#   scripts/build-libjpeg-mingw.sh        # does nothing when the prefix already holds the library
#
# Needs: apt (when the machine has no deb-src entries, ones for its own Debian suites are added
# for the download and removed again), dpkg-dev for `apt-get source`, cmake, ninja, the MinGW-w64
# cross compiler, and nasm for the SIMD code (without nasm the library is built without SIMD).
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

as_root() {
  if ((EUID == 0)); then "$@"; else sudo "$@"; fi
}

# Debian's sources come as deb822 files (/etc/apt/sources.list.d/*.sources) or as one-line entries
# (sources.list). Add a deb-src twin of every enabled Debian entry when there is none yet.
has_deb_src() {
  grep -qsE '^[[:space:]]*deb-src[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list &&
    return 0
  grep -qsiE '^Types:.*deb-src' /etc/apt/sources.list.d/*.sources
}

add_deb_src() {
  local dir=/etc/apt/sources.list.d tmp f added=0
  tmp=$(mktemp)
  for f in "$dir"/*.sources; do
    [[ -f $f && $f != "$dir/tovrin-deb-src.sources" ]] || continue
    # Keep the stanzas that name a Debian archive, with their Types turned into deb-src.
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /URIs:[^\n]*debian/ && /Types:[^\n]*deb/ {
           gsub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" >>"$tmp"
  done
  if [[ -s $tmp ]]; then
    as_root install -m 0644 "$tmp" "$dir/tovrin-deb-src.sources"
    ADDED_SOURCES+=("$dir/tovrin-deb-src.sources")
    added=1
  fi
  # One-line entries ("deb [options] uri suite components") get a deb-src twin each.
  : >"$tmp"
  for f in /etc/apt/sources.list "$dir"/*.list; do
    [[ -f $f && $f != "$dir/tovrin-deb-src.list" ]] || continue
    sed -nE '/debian/s/^[[:space:]]*deb([[:space:]]+)/deb-src\1/p' "$f" >>"$tmp"
  done
  if [[ -s $tmp ]]; then
    as_root install -m 0644 "$tmp" "$dir/tovrin-deb-src.list"
    ADDED_SOURCES+=("$dir/tovrin-deb-src.list")
    added=1
  fi
  rm -f "$tmp"
  ((added)) || { log "no Debian apt source found to derive a deb-src entry from"; return 1; }
}

fetch_source() {
  local dir
  dir=$(find "$SRC" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*' 2>/dev/null | head -n 1)
  if [[ -n $dir && -f $dir/CMakeLists.txt ]]; then
    printf '%s\n' "$dir"
    return 0
  fi
  rm -rf "$SRC"  # an interrupted download or unpacking is started again
  mkdir -p "$SRC"
  ADDED_SOURCES=()
  if ! has_deb_src; then
    add_deb_src
  fi
  # The package lists may be stale or may lack the sources: update once and try again.
  local rc=0
  if ! (cd "$SRC" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1); then
    rm -rf "$SRC" && mkdir -p "$SRC"
    as_root apt-get update -qq >/dev/null
    (cd "$SRC" && apt-get source -qq libjpeg-turbo >"$DEPS/libjpeg-source.log" 2>&1) || rc=$?
  fi
  # The machine's apt sources are left as they were found.
  if ((${#ADDED_SOURCES[@]} > 0)); then as_root rm -f "${ADDED_SOURCES[@]}"; fi
  if ((rc != 0)); then
    cat "$DEPS/libjpeg-source.log" >&2
    return 1
  fi
  dir=$(find "$SRC" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
  [[ -n $dir && -f $dir/CMakeLists.txt ]] || { log "apt-get source gave no source tree"; return 1; }
  printf '%s\n' "$dir"
}

src_dir=$(fetch_source)
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
# TurboJPEG library with its one.
staging=$DEPS/prefix.new
rm -rf "$staging"
mkdir -p "$staging/lib" "$staging/include"
cp "$WORK/libjpeg.a" "$WORK/libturbojpeg.a" "$staging/lib/"
cp "$src_dir/jpeglib.h" "$src_dir/jerror.h" "$src_dir/jmorecfg.h" "$WORK/jconfig.h" \
  "$src_dir/turbojpeg.h" "$staging/include/"
rm -rf "$PREFIX"
mv "$staging" "$PREFIX"
log "installed into $PREFIX"
