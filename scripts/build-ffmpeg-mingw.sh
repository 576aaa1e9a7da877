#!/usr/bin/env bash
# Cross-builds FFmpeg's libraries (libavformat, libavcodec, libswscale, libswresample, libavutil)
# for 64-bit Windows from Debian's own ffmpeg source package, as static libraries, into
# build/win-deps/prefix, for the engine's video player.
#
#   scripts/build-ffmpeg-mingw.sh        # does nothing when the prefix holds this configuration
#
# Only what the player uses is configured: the MP4/MOV and Matroska/WebM demuxers, the H.264,
# H.265, VP8, VP9, AAC, Opus, Vorbis and MP3 decoders with their parsers, scaling and resampling.
# No protocols (the player reads through its own AVIOContext), no network, no programs, and no
# automatically detected system libraries (hardware decoding, Media Foundation), and no bcrypt
# (see below): the engine gains no imported DLL. AV1 is left out: FFmpeg's own AV1 decoder decodes only through hardware.
# Log: build/win-deps/ffmpeg-build.log (configure: ffmpeg-configure.log).
#
# Needs: apt and dpkg-dev for `apt-get source` (scripts/debian-source.sh), make, the MinGW-w64
# cross compiler and nasm (FFmpeg's SIMD code). No third-party source is kept in the repository.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
DEPS=${TOVRIN_WIN_DEPS_DIR:-$ROOT/build/win-deps}
PREFIX=$DEPS/prefix
SRC=$DEPS/src
WORK=$DEPS/ffmpeg-build
JOBS=${JOBS:-$(nproc)}
# Records the configuration the prefix's libraries were built with: another one rebuilds them.
STAMP=$PREFIX/lib/tovrin-ffmpeg.config

log() { printf '== ffmpeg: %s\n' "$*" >&2; }

LIBS=(avformat avcodec swscale swresample avutil)

config=(
  --enable-cross-compile --target-os=mingw32 --arch=x86_64
  --cross-prefix=x86_64-w64-mingw32- --cc=x86_64-w64-mingw32-gcc-posix
  --pkg-config=false
  --enable-static --disable-shared --disable-debug
  --disable-programs --disable-doc --disable-network --disable-autodetect
  --disable-avdevice --disable-avfilter --disable-postproc
  --enable-w32threads
  --disable-everything
  --enable-demuxer=mov,matroska
  --enable-decoder=h264,hevc,vp8,vp9,aac,opus,vorbis,mp3,mp3float
  --enable-parser=h264,hevc,vp8,vp9,aac,opus,vorbis,mpegaudio
  --enable-swscale --enable-swresample
)

# What the stamp records: the configure options and the edit made after configure.
recipe="${config[*]} without-bcrypt"

cached() {
  local lib
  for lib in "${LIBS[@]}"; do
    [[ -f $PREFIX/lib/lib$lib.a && -d $PREFIX/include/lib$lib ]] || return 1
  done
  [[ -f $STAMP && $(cat "$STAMP") == "$recipe" ]]
}

if cached; then
  log "cached in $PREFIX"
  exit 0
fi

# shellcheck source=debian-source.sh
. "$ROOT/scripts/debian-source.sh"

src_dir=$(debian_source ffmpeg "$SRC/ffmpeg" configure "$DEPS/ffmpeg-source.log")
log "building $(basename "$src_dir") (log: $DEPS/ffmpeg-build.log)"
command -v nasm >/dev/null || { log "needs nasm"; exit 1; }

start=$SECONDS
rm -rf "$WORK"
mkdir -p "$WORK"
(cd "$WORK" && "$src_dir/configure" --prefix="$PREFIX" "${config[@]}") \
  >"$DEPS/ffmpeg-configure.log" 2>&1 || { tail -n 30 "$DEPS/ffmpeg-configure.log"; exit 1; }
# configure always takes bcrypt.dll for libavutil's random seeds when the system has it, and no
# option turns that off. bcrypt.dll is not one of the system's known DLLs, so importing it would
# let a bcrypt.dll lying beside the saver be loaded; the seeds (used by decryption and parsing
# helpers, never by decoding) then come from FFmpeg's own clock-based fallback.
sed -i 's/^#define HAVE_BCRYPT 1$/#define HAVE_BCRYPT 0/' "$WORK/config.h"
sed -i 's/ -lbcrypt//g' "$WORK/ffbuild/config.mak"
grep -q '^#define HAVE_BCRYPT 0$' "$WORK/config.h" || { log "config.h has no HAVE_BCRYPT"; exit 1; }
log "configured; compiling with $JOBS jobs"

# Progress: one line a minute with the number of objects compiled so far.
make -C "$WORK" -j "$JOBS" >"$DEPS/ffmpeg-build.log" 2>&1 &
maker=$!
while kill -0 "$maker" 2>/dev/null; do
  for ((i = 0; i < 60; i++)); do
    sleep 1
    kill -0 "$maker" 2>/dev/null || break
  done
  if kill -0 "$maker" 2>/dev/null; then
    log "$(find "$WORK" -name '*.o' | wc -l) objects after $((SECONDS - start)) s"
  fi
done
wait "$maker" || { tail -n 30 "$DEPS/ffmpeg-build.log"; exit 1; }

# The prefix is shared with the other Windows libraries: only FFmpeg's own files are replaced,
# and the configuration stamp is written last, once everything is in place.
rm -f "$STAMP"
for lib in "${LIBS[@]}"; do
  rm -rf "$PREFIX/include/lib$lib" "$PREFIX/lib/lib$lib.a" "$PREFIX/lib/pkgconfig/lib$lib.pc"
done
make -C "$WORK" install >>"$DEPS/ffmpeg-build.log" 2>&1 || { tail -n 30 "$DEPS/ffmpeg-build.log"; exit 1; }
printf '%s' "$recipe" >"$STAMP"
log "installed into $PREFIX in $((SECONDS - start)) s"
