#!/usr/bin/env bash
# The Windows stage: cross-builds Tovrin with MinGW-w64 and runs every test program under Wine in
# a virtual X display.
#
#   scripts/windows-test.sh                 build everything and run every test program
#   scripts/windows-test.sh --engine-only   build only the engine, tovrin.exe
#
# Steps: libjpeg and FFmpeg's libraries for Windows (scripts/build-libjpeg-mingw.sh and
# scripts/build-ffmpeg-mingw.sh, cached in build/win-deps), configure and build build/windows, prepare a Wine prefix once (build/wineprefix), run each test program
# (*.exe under build/windows/tests) and count GoogleTest's own summaries, then make the Windows zip
# (build/windows/tovrin-<version>-windows.zip) and try it as a user would (one more check), then
# run the two-monitor programs (build/windows/two-monitor-tests) on a nested display of two
# screens. The last line printed is exactly "windows: N passed, N failed"; the exit status is
# non-zero when anything failed.
# Needs the Debian packages g++-mingw-w64-x86-64, wine, wine64, xvfb, xauth, xserver-xephyr,
# dpkg-dev, nasm, make, unzip, imagemagick, x11-utils, ffmpeg, cmake and ninja-build. Runs without
# interaction; only the first run reaches the network, for Debian's libjpeg-turbo and ffmpeg
# source packages.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$ROOT/build/windows
DEPS_PREFIX=$ROOT/build/win-deps/prefix
JOBS=${JOBS:-$(nproc)}
VERSION=$(sed -n 's/^project(tovrin VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
# One test program may not run longer than this under Wine.
TEST_TIMEOUT=${TOVRIN_WINDOWS_TEST_TIMEOUT:-600}

# The same settings let `xvfb-run -a ctest` run the programs in build/windows by hand.
export HOME=${HOME:-$ROOT/build}
export WINEPREFIX=$ROOT/build/wineprefix
export WINEARCH=win64
export WINEDEBUG=-all
# A UTF-8 locale, in which Wine passes file names with any letters between the programs and the
# Unix file system (the end-to-end tests run a saver from a folder whose name lies outside the
# ANSI code page); Windows' own code pages stay those of an English system.
export LC_ALL=C.UTF-8
# No Mono or Gecko: their install prompts would stop a run that has no one to answer them.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Sound: this machine has no sound card, so Wine's ALSA driver is given one: ALSA's null output
# behind its file plugin, which appends every sample played to TOVRIN_ALSA_FILE (through
# `cat >>`: the plugin itself would start the file again for every sound). The end-to-end
# tests read that file to see which sounds the screen saver played, in which order.
export ALSA_CONFIG_PATH=$ROOT/build/windows-test-alsa.conf
export TOVRIN_ALSA_FILE=$ROOT/build/windows-test-sound.raw
# Screenshots of each mode of the real screen saver (named in the log).
export TOVRIN_SHOTS_DIR=$ROOT/build/windows-test-shots
# Movie clips for the tests, made on the host by the ffmpeg program (the programs under Wine
# cannot run it): a program asks for the clips it lacks in wanted.txt there (tests/support/
# clip_maker.h), they are made, and the program runs again. Kept from run to run.
export TOVRIN_TEST_CLIPS=$ROOT/build/windows-test-clips

log() { printf '== windows: %s\n' "$*" >&2; }

# The Windows zip a user downloads: unpacked into a scratch folder, its tovrin-pack.exe packs a
# picture into a saver without --engine (it finds tovrin.exe beside itself), and that saver opens
# its show over the whole screen. Prints "zip: passed" or "zip: failed".
check_zip() {
  local zip=$BUILD/tovrin-$VERSION-windows.zip dir ok=1
  dir=$(mktemp -d)
  if [[ ! -f $zip ]] || ! unzip -q "$zip" -d "$dir"; then
    log "no zip $zip"
    ok=0
  else
    local f
    for f in tovrin.exe tovrin-pack.exe README.txt; do
      [[ -f $dir/$f ]] || { log "the zip lacks $f"; ok=0; }
    done
    convert -size 64x48 gradient:red-blue "$dir/picture.jpg" 2>/dev/null ||
      { log "no picture made (ImageMagick's convert)"; ok=0; }
  fi
  if ((ok)); then
    local version
    version=$(cd "$dir" && wine tovrin-pack.exe --version 2>/dev/null | tr -d '\r')
    [[ $version == "tovrin-pack $VERSION" ]] || { log "tovrin-pack.exe --version says: $version"; ok=0; }
    if (cd "$dir" && wine tovrin-pack.exe build -o Zip.scr picture.jpg >"$dir/build.log" 2>&1); then
      cmp -s -n "$(stat -c %s "$dir/tovrin.exe")" "$dir/tovrin.exe" "$dir/Zip.scr" ||
        { log "Zip.scr does not start with the zip's tovrin.exe"; ok=0; }
      # The show: a window of the saver covering the whole screen within half a minute (Wine
      # starts slowly). An error box or an early end would show no such window.
      local screen saver shown=0 i
      screen=$(xwininfo -root | awk '/-geometry/ {print $2}')
      (cd "$dir" && exec timeout 60 wine Zip.scr /s >/dev/null 2>&1) &
      saver=$!
      for ((i = 0; i < 30; i++)); do
        sleep 1
        if xwininfo -root -tree | grep -qF "(\"zip.scr\" \"zip.scr\")  $screen"; then
          shown=1
          break
        fi
        kill -0 "$saver" 2>/dev/null || break
      done
      kill "$saver" 2>/dev/null
      wait "$saver" 2>/dev/null
      ((shown)) || { log "the saver made from the zip showed no window covering $screen"; ok=0; }
      # install copies the saver into the folder named.
      if ! (cd "$dir" && wine tovrin-pack.exe install Zip.scr --folder Savers --name Harbour \
              >"$dir/install.log" 2>&1) || ! cmp -s "$dir/Zip.scr" "$dir/Savers/Harbour.scr"; then
        cat "$dir/install.log" >&2
        log "tovrin-pack.exe install did not copy the saver into the folder named"
        ok=0
      fi
    else
      cat "$dir/build.log" >&2
      log "tovrin-pack.exe build failed"
      ok=0
    fi
  fi
  rm -rf "$dir"
  if ((ok)); then echo "zip: passed"; else echo "zip: failed"; fi
}

# Runs the test programs; called inside the virtual display (see the end of this file).
run_tests() {
  local exe
  cat >"$ALSA_CONFIG_PATH" <<'ALSA'
</usr/share/alsa/alsa.conf>
pcm.!default {
  type file
  slave.pcm "null"
  file {
    @func concat
    strings [ "|cat >>" { @func getenv vars [ TOVRIN_ALSA_FILE ] default "/dev/null" } ]
  }
  format "raw"
}
ALSA
  rm -rf "$TOVRIN_SHOTS_DIR"
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    log "preparing the Wine prefix (once)"
    rm -rf "$WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1 || log "wineboot reported a failure"
    wineserver -w || true
  fi
  # A program that crashes ends at once instead of starting Wine's debugger, which would keep the
  # test's output pipe open and stall the whole stage until its time-out.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
    /t REG_SZ /d false /f >/dev/null 2>&1 || log "the crash debugger could not be turned off"
  # A run that ended inside the two-monitor programs may have left Wine reading Xinerama.
  forget_two_monitor_desk
  mapfile -t programs < <(find "$BUILD/tests" -name '*.exe' -type f | sort)
  if ((${#programs[@]} == 0)); then
    log "no test programs were built"
    echo "windows: 0 passed, 1 failed"
    return 1
  fi
  for exe in "${programs[@]}"; do
    run_program "$exe"
  done
  out=$(check_zip)
  printf '%s\n' "$out"
  if [[ $out == *"zip: passed"* ]]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
  run_two_monitor_programs
  wineserver -k >/dev/null 2>&1 || true
  if [[ -d $TOVRIN_SHOTS_DIR ]]; then
    log "screenshots: $(cd "$TOVRIN_SHOTS_DIR" && ls | tr '\n' ' ')in $TOVRIN_SHOTS_DIR"
  fi
  echo "windows: $passed passed, $failed failed"
  ((failed == 0))
}

passed=0
failed=0

# Makes the clips the last program asked for in $TOVRIN_TEST_CLIPS/wanted.txt; true when it made
# any (the program then runs again), false when none were asked for. A clip ffmpeg cannot make
# is left out: the program's test fails on it again.
make_wanted_clips() {
  local wanted=$TOVRIN_TEST_CLIPS/wanted.txt name options made=1
  [[ -s $wanted ]] || return 1
  while IFS=$'\t' read -r name options; do
    options=${options%$'\r'}
    [[ -n $name && ! -f $TOVRIN_TEST_CLIPS/$name ]] || continue
    # The options are ffmpeg's command line as the tests write it for a shell (quoted filters).
    if bash -c "ffmpeg -nostdin -v error -y $options '$TOVRIN_TEST_CLIPS/new-$name'" \
         >>"$ROOT/build/windows-test-clips.log" 2>&1; then
      mv "$TOVRIN_TEST_CLIPS/new-$name" "$TOVRIN_TEST_CLIPS/$name"
      made=0
    else
      log "ffmpeg could not make the clip $name (build/windows-test-clips.log)"
    fi
  done <"$wanted"
  rm -f "$wanted"
  return $made
}

# Runs one test program (with the environment assignments that follow it) and adds its counts to
# passed and failed.
run_program() {
  local exe=$1 name out rc p f
  shift
  name=$(basename "$exe" .exe)
  rc=0
  mkdir -p "$TOVRIN_TEST_CLIPS"
  rm -f "$TOVRIN_TEST_CLIPS/wanted.txt"
  # Started from its own folder: relative paths in a test land in the build tree, and absolute
  # Unix paths resolve through Wine's Z: drive.
  out=$(cd "$(dirname "$exe")" && env "$@" timeout "$TEST_TIMEOUT" wine "$exe" --gtest_color=no 2>&1) ||
    rc=$?
  # A test may ask for its next clip only once it has the one before: rounds while new clips
  # come, ten at most.
  local round
  for round in $(seq 10); do
    make_wanted_clips || break
    log "$name: made the clips it asked for; running it again"
    rc=0
    out=$(cd "$(dirname "$exe")" && env "$@" timeout "$TEST_TIMEOUT" wine "$exe" --gtest_color=no 2>&1) ||
      rc=$?
  done
  p=0 f=0
  if [[ $out =~ \[\ \ PASSED\ \ \]\ ([0-9]+)\ test ]]; then p=${BASH_REMATCH[1]}; fi
  if [[ $out =~ \[\ \ FAILED\ \ \]\ ([0-9]+)\ test ]]; then f=${BASH_REMATCH[1]}; fi
  if ((rc != 0 && f == 0)); then
    # A crash, a time-out or a failure outside any test: no summary to count it from.
    f=1
  fi
  if ((f > 0)); then
    printf '%s\n' "$out" | grep -vE '^\[ +(RUN|OK) +\]' | tail -n 60
    log "$name${TOVRIN_TEST_DESK:+ ($TOVRIN_TEST_DESK)}: $p passed, $f failed (exit $rc)"
  else
    log "$name${TOVRIN_TEST_DESK:+ ($TOVRIN_TEST_DESK)}: $p passed"
  fi
  # Screenshots and measured figures stay in the log either way.
  printf '%s\n' "$out" | grep -E '^(screenshot|figure): ' || true
  passed=$((passed + p))
  failed=$((failed + f))
}

# Puts back Wine's own choice of monitors (XRandR, its primary monitor).
forget_two_monitor_desk() {
  local key='HKCU\Software\Wine\X11 Driver' value
  for value in UseXRandR PrimaryMonitor; do
    wine reg delete "$key" /v "$value" /f >/dev/null 2>&1 || true
  done
}

# The programs in build/windows/two-monitor-tests run on a desk of two monitors: a nested X server
# (Xephyr) inside the stage's display, with an 800x600 and a 640x480 screen side by side joined by
# Xinerama, which Wine reads when told not to use XRandR. Twice: with the 800x600 screen as the
# primary monitor (the other right of it), and with the 640x480 one (Wine's PrimaryMonitor), which
# puts the other left of it at negative coordinates. Wine reads the monitors when its server
# starts, so each desk gets a fresh one; the prefix's settings are put back afterwards.
run_two_monitor_programs() {
  local exe n xephyr primary desk wine_key='HKCU\Software\Wine\X11 Driver'
  mapfile -t programs < <(find "$BUILD/two-monitor-tests" -name '*.exe' -type f 2>/dev/null | sort)
  ((${#programs[@]} > 0)) || return 0
  n=20
  while [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]]; do n=$((n + 1)); done
  Xephyr ":$n" +xinerama -screen 800x600 -screen 640x480 >"$ROOT/build/windows-xephyr.log" 2>&1 &
  xephyr=$!
  for _ in $(seq 100); do [[ -e /tmp/.X11-unix/X$n ]] && break; sleep 0.1; done
  if [[ ! -e /tmp/.X11-unix/X$n ]]; then
    log "the two-monitor display did not start (build/windows-xephyr.log)"
    kill "$xephyr" 2>/dev/null || true
    failed=$((failed + 1))
    return 0
  fi
  wine reg add "$wine_key" /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1 || true
  for primary in 0 1; do
    if ((primary == 0)); then
      wine reg delete "$wine_key" /v PrimaryMonitor /f >/dev/null 2>&1 || true
      desk="0,0,800,600;800,0,1440,480"
    else
      wine reg add "$wine_key" /v PrimaryMonitor /t REG_SZ /d 1 /f >/dev/null 2>&1 || true
      desk="0,0,640,480;-800,0,0,600"
    fi
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w || true
    for exe in "${programs[@]}"; do
      TOVRIN_TEST_DESK=$desk run_program "$exe" DISPLAY=":$n" TOVRIN_TEST_DESK="$desk"
    done
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w || true
  done
  forget_two_monitor_desk
  kill "$xephyr" 2>/dev/null || true
  wait "$xephyr" 2>/dev/null || true
}

if [[ ${1:-} == --run-tests ]]; then
  run_tests
  exit
fi
# --engine-only: build the Windows engine (build/windows/src/app/tovrin.exe) and stop; the demo
# packs a Windows screen saver with it.
targets=()
if [[ ${1:-} == --engine-only ]]; then
  targets=(--target tovrin)
fi

for tool in cmake ninja make nasm x86_64-w64-mingw32-g++-posix wine xvfb-run Xephyr ffmpeg; do
  command -v "$tool" >/dev/null || { log "missing $tool"; echo "windows: 0 passed, 1 failed"; exit 1; }
done

if ! "$ROOT/scripts/build-libjpeg-mingw.sh"; then
  log "libjpeg for Windows could not be built"
  echo "windows: 0 passed, 1 failed"
  exit 1
fi
if ! "$ROOT/scripts/build-ffmpeg-mingw.sh"; then
  log "FFmpeg's libraries for Windows could not be built (build/win-deps/ffmpeg-build.log)"
  echo "windows: 0 passed, 1 failed"
  exit 1
fi

log "configuring and building $BUILD"
if ! cmake -S "$ROOT" -B "$BUILD" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_PREFIX_PATH="$DEPS_PREFIX" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVRIN_WERROR=ON -DTOVRIN_BENCH=OFF \
      >"$ROOT/build/windows-configure.log" 2>&1 ||
   ! cmake --build "$BUILD" -j "$JOBS" "${targets[@]}" >"$ROOT/build/windows-build.log" 2>&1; then
  tail -n 40 "$ROOT/build/windows-configure.log" "$ROOT/build/windows-build.log"
  log "the Windows build failed"
  echo "windows: 0 passed, 1 failed"
  exit 1
fi

((${#targets[@]} == 0)) || exit 0

# The zip a Windows user downloads: tovrin-<version>-windows.zip in build/windows.
if ! (cd "$BUILD" && cpack -G ZIP) >"$ROOT/build/windows-zip.log" 2>&1; then
  tail -n 20 "$ROOT/build/windows-zip.log"
  log "the Windows zip could not be made"
fi

# One display and one Wine server for all the programs, on a screen of the size the show's
# performance figures are given for.
exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" --run-tests
