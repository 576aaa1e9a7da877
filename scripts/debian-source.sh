# Fetches the source of one of Debian's own packages with `apt-get source`, for the scripts that
# cross-build libraries for Windows (build-libjpeg-mingw.sh, build-ffmpeg-mingw.sh). Sourced, not
# run; the caller defines log().
#
#   src_dir=$(debian_source PACKAGE DIR MARKER LOG)
#
# Unpacks PACKAGE's source into DIR (a folder of its own: other packages' sources are never
# touched) unless a tree holding MARKER is already there, and prints the tree's path. When the
# machine has no deb-src entries, ones for its own Debian suites are added for the download and
# removed again. Needs apt and dpkg-dev.

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

# Adds the deb-src entries and appends the files it wrote to ADDED_SOURCES.
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

# The unpacked tree of PACKAGE in DIR that holds MARKER, if any.
find_source_tree() {
  local package=$1 dir=$2 marker=$3 tree
  for tree in "$dir/$package"-*/; do
    tree=${tree%/}
    if [[ -d $tree && -f $tree/$marker ]]; then
      printf '%s\n' "$tree"
      return 0
    fi
  done
  return 1
}

debian_source() {
  local package=$1 dir=$2 marker=$3 logfile=$4 tree
  if tree=$(find_source_tree "$package" "$dir" "$marker"); then
    printf '%s\n' "$tree"
    return 0
  fi
  rm -rf "$dir"  # an interrupted download or unpacking is started again
  mkdir -p "$dir"
  ADDED_SOURCES=()
  if ! has_deb_src; then
    add_deb_src
  fi
  # The package lists may be stale or may lack the sources: update once and try again.
  local rc=0
  if ! (cd "$dir" && apt-get source -qq "$package" >"$logfile" 2>&1); then
    rm -rf "$dir" && mkdir -p "$dir"
    as_root apt-get update -qq >/dev/null
    (cd "$dir" && apt-get source -qq "$package" >"$logfile" 2>&1) || rc=$?
  fi
  # The machine's apt sources are left as they were found.
  if ((${#ADDED_SOURCES[@]} > 0)); then as_root rm -f "${ADDED_SOURCES[@]}"; fi
  if ((rc != 0)); then
    cat "$logfile" >&2
    return 1
  fi
  tree=$(find_source_tree "$package" "$dir" "$marker") ||
    { log "apt-get source $package gave no source tree"; return 1; }
  printf '%s\n' "$tree"
}
