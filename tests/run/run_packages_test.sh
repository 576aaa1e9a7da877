#!/usr/bin/env bash
# ./run when a Debian package is missing, as root, as a user with sudo and as a user without it.
# dpkg-query, id, apt-get and sudo are stand-ins on a PATH of their own: dpkg-query says one
# package is missing, apt-get and sudo only record how they were called. ./run is copied into a
# scratch folder, so that nothing it goes on to do can touch the source tree.
#
#   run_packages_test.sh RUN_SCRIPT
set -uo pipefail
RUN=$1
MISSING=help2man  # one of the native packages ./run lists
failures=0
fail() { printf 'FAIL: %s\n' "$*"; failures=$((failures + 1)); }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Runs `./run test` with the stand-ins. uid: what `id -u` says; sudo: yes or no.
run_case() {  # name, uid, sudo
  local dir=$scratch/$1
  mkdir -p "$dir/bin" "$dir/tree"
  cp "$RUN" "$dir/tree/run"
  for tool in dirname nproc grep cat mkdir tail; do ln -s "$(command -v "$tool")" "$dir/bin/$tool"; done
  cat >"$dir/bin/dpkg-query" <<SHIM
#!$BASH
for a in "\$@"; do p=\$a; done
if [[ \$p == $MISSING ]]; then echo "dpkg-query: no packages found matching \$p" >&2; exit 1; fi
printf 'install ok installed'
SHIM
  printf '#!%s\n[[ ${1:-} == -u ]] && echo %s || echo "uid=%s"\n' "$BASH" "$2" "$2" >"$dir/bin/id"
  # apt-get fails as a user would see it unless the caller is root.
  printf '#!%s\necho "apt-get $*" >>"%s/calls"\n[[ $(id -u) == 0 ]] && exit 0\n%s\nexit 100\n' \
    "$BASH" "$dir" 'echo "E: Could not open lock file (13: Permission denied)" >&2' >"$dir/bin/apt-get"
  if [[ $3 == yes ]]; then
    printf '#!%s\necho "sudo $*" >>"%s/calls"\nexit 0\n' "$BASH" "$dir" >"$dir/bin/sudo"
  fi
  chmod +x "$dir/bin"/*
  (cd "$dir/tree" && PATH=$dir/bin "$BASH" ./run test native </dev/null >"$dir/out" 2>"$dir/err")
  echo $? >"$dir/status"
  touch "$dir/calls"
}

# A user without sudo: told what is missing and the exact command to run as root; apt-get is
# never called, so its permission error never shows, and nothing is built.
run_case user 1000 no
d=$scratch/user
[[ $(cat "$d/status") == 1 ]] || fail "user without sudo: exit status $(cat "$d/status"), expected 1"
grep -qF "needs Debian packages that are missing: $MISSING" "$d/err" ||
  fail "user without sudo: the missing package is not named"
grep -qxF "   apt-get install -y --no-install-recommends $MISSING" "$d/err" ||
  fail "user without sudo: no apt-get install line to run as root"
grep -q "Permission denied" "$d/err" && fail "user without sudo: apt-get's own error shows"
[[ -s $d/calls ]] && fail "user without sudo: called $(cat "$d/calls")"
[[ -e $d/tree/build ]] && fail "user without sudo: went on to build"

# A user with sudo: told first, then apt-get through sudo.
run_case sudoer 1000 yes
d=$scratch/sudoer
grep -qF "needs Debian packages that are missing: $MISSING" "$d/err" ||
  fail "user with sudo: the missing package is not named before sudo asks"
grep -qxF "sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $MISSING" \
  "$d/calls" || fail "user with sudo: calls were: $(cat "$d/calls")"
grep -q "^apt-get" "$d/calls" && fail "user with sudo: apt-get called without sudo"

# Root: apt-get directly, as CI does.
run_case root 0 yes
d=$scratch/root
grep -qxF "apt-get install -y -qq --no-install-recommends $MISSING" "$d/calls" ||
  fail "root: calls were: $(cat "$d/calls")"
grep -q "^sudo" "$d/calls" && fail "root: sudo used"

if ((failures > 0)); then
  for c in user sudoer root; do printf -- '--- %s, standard error:\n' "$c"; cat "$scratch/$c/err"; done
  exit 1
fi
echo "run_packages_test: all cases passed"
