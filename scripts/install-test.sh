#!/usr/bin/env bash
# The install stage: Tovrin as a user installs it.
#
#   scripts/install-test.sh BUILD_DIR
#
# BUILD_DIR is a native Release build with the engine, the tools, the man pages and the package
# documents built. Checks, each counted:
#   - `cmake --install` into a scratch prefix puts every file where it belongs, and tovrin-pack
#     from there, with no --engine, builds a saver of the installed engine;
#   - CPack's Debian package tovrin_<version>_<arch>.deb holds the same files, and lintian finds no
#     error in it;
#   - as root: dpkg -i installs it (apt-get -f brings its dependencies), /usr/bin/tovrin-pack
#     builds a saver of /usr/lib/tovrin/tovrin (and a Windows one of the Windows engine, when the
#     package holds it), and dpkg --purge leaves none of its files behind.
#     Skipped for other users, and when a tovrin package is installed already (it is not ours to
#     replace).
# The last line printed is exactly "install: N passed, N failed".
set -uo pipefail
BUILD=$(cd "$1" && pwd)
PASSED=0
FAILED=0
log() { printf '== install: %s\n' "$*" >&2; }
pass() { PASSED=$((PASSED + 1)); }
fail() { log "FAILED: $*"; FAILED=$((FAILED + 1)); }
check() {  # description, command...
  local what=$1; shift
  if "$@"; then pass; else fail "$what"; fi
}
finish() {
  echo "install: $PASSED passed, $FAILED failed"
  ((FAILED == 0))
  exit
}

VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
ARCH=$(dpkg --print-architecture)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# A picture to pack.
convert -size 64x48 gradient:red-blue "$WORK/picture.jpg" || { fail "no picture made"; finish; }

# Builds a saver with the tovrin-pack given and checks it is the engine given with a package.
# Further arguments go to the build command (--engine).
saver_from() {  # tovrin-pack, engine, out, build arguments...
  "$1" build -o "$3" --title "Installed" "${@:4}" "$WORK/picture.jpg" >"$WORK/build.log" 2>&1 ||
    { cat "$WORK/build.log" >&2; return 1; }
  cmp -s -n "$(stat -c %s "$2")" "$2" "$3" || { log "$3 does not start with $2"; return 1; }
  "$1" inspect "$3" | grep -q 'Title' || { log "inspect does not read $3"; return 1; }
}

# The files every install holds, below its prefix.
FILES=(bin/tovrin-pack bin/tovrin-render lib/tovrin/tovrin share/tovrin/xscreensaver/tovrin.xml
       share/man/man1/tovrin-pack.1.gz share/man/man1/tovrin-render.1.gz
       share/doc/tovrin/copyright share/doc/tovrin/changelog.gz)

# cmake --install into a prefix that is then moved: the tools find the engine from where they
# stand, not from where they were built or first installed.
PREFIX=$WORK/prefix
if cmake --install "$BUILD" --prefix "$WORK/first" >"$WORK/install.log" 2>&1; then
  pass
  mv "$WORK/first" "$PREFIX"
  for f in "${FILES[@]}"; do check "cmake --install: no $f" test -f "$PREFIX/$f"; done
  check "tovrin-pack --version" test "$("$PREFIX/bin/tovrin-pack" --version)" = "tovrin-pack $VERSION"
  check "the man page of tovrin-pack lacks its commands" \
    bash -c "zcat '$PREFIX/share/man/man1/tovrin-pack.1.gz' | grep -qF 'tovrin\\-pack install'"
  check "a saver from the installed files" \
    saver_from "$PREFIX/bin/tovrin-pack" "$PREFIX/lib/tovrin/tovrin" "$WORK/prefix-saver"
else
  cat "$WORK/install.log" >&2
  fail "cmake --install"
fi

# The Debian package.
DEB=$BUILD/tovrin_${VERSION}_${ARCH}.deb
rm -f "$DEB"
if (cd "$BUILD" && cpack -G DEB) >"$WORK/cpack.log" 2>&1 && [[ -f $DEB ]]; then
  pass
else
  cat "$WORK/cpack.log" >&2
  fail "cpack -G DEB made no $DEB"
  finish
fi
DEPENDS=$(dpkg-deb -f "$DEB" Depends)
log "$(basename "$DEB"): $(stat -c %s "$DEB") bytes; $DEPENDS"
# The libraries the engine loads only when first needed are not linked: the package names them.
for dep in libgtk-3-0 libsdl2-mixer-2.0-0 libavformat libavcodec libswscale libswresample libavutil; do
  check "the package does not depend on $dep" grep -q "\b$dep" <<<"$DEPENDS"
done
mapfile -t PACKAGED < <(dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ {print substr($6, 2)}')
for f in "${FILES[@]}"; do
  check "the package lacks /usr/$f" bash -c "printf '%s\n' \"\$@\" | grep -qx '/usr/$f'" _ "${PACKAGED[@]}"
done
if lintian --fail-on error "$DEB" >"$WORK/lintian.log" 2>&1; then
  pass
  grep -E '^[WE]:' "$WORK/lintian.log" >&2 || true
else
  cat "$WORK/lintian.log" >&2
  fail "lintian reports errors"
fi

if (($(id -u) != 0)); then
  log "installing the package needs root: dpkg -i, its use and its removal were not tried"
  finish
fi
if dpkg-query -W -f='${Status}' tovrin 2>/dev/null | grep -q 'ok installed'; then
  log "a tovrin package is installed already: dpkg -i, its use and its removal were not tried"
  finish
fi
export DEBIAN_FRONTEND=noninteractive
if dpkg -i "$DEB" >"$WORK/dpkg.log" 2>&1 ||
   apt-get install -f -y -qq --no-install-recommends >>"$WORK/dpkg.log" 2>&1; then
  check "dpkg says tovrin is not installed" \
    bash -c "dpkg-query -W -f='\${Status}' tovrin | grep -q 'install ok installed'"
  check "a saver from the installed package" \
    saver_from /usr/bin/tovrin-pack /usr/lib/tovrin/tovrin "$WORK/package-saver"
  windows=/usr/share/tovrin/windows/tovrin.exe
  if [[ -f $windows ]]; then
    check "a Windows saver from the installed package" \
      saver_from /usr/bin/tovrin-pack "$windows" "$WORK/package-saver.scr" --engine "$windows"
  else
    log "the package holds no Windows engine (the Windows build had not made one)"
  fi
else
  cat "$WORK/dpkg.log" >&2
  fail "dpkg -i $DEB"
fi
if dpkg --purge tovrin >"$WORK/purge.log" 2>&1; then
  pass
else
  cat "$WORK/purge.log" >&2
  fail "dpkg --purge tovrin"
fi
left=()
for f in "${PACKAGED[@]}" /usr/lib/tovrin /usr/share/tovrin /usr/share/doc/tovrin; do
  [[ -e $f ]] && left+=("$f")
done
check "left after removal: ${left[*]}" test ${#left[@]} -eq 0
finish
