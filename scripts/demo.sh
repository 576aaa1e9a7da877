#!/usr/bin/env bash
# The demo: packs the nature photographs of mate-backgrounds into a finished Linux screen saver
# with the engine of build/native (and into a Windows one when build/windows holds the Windows
# engine), inspects it, unpacks it again and checks the pictures byte for byte, then runs the
# Linux show: on the desktop when there is a display, otherwise on an Xvfb of its own for about
# twenty seconds, with screenshots and a contact sheet in demo-out/. Run by `./run demo` after it
# has built build/native.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=${BUILD:-$ROOT/build/native}
PACK=$BUILD/tools/pack/tovrin-pack
ENGINE=$BUILD/src/app/tovrin
PHOTOS=/usr/share/backgrounds/mate/nature
WINDOWS_ENGINE=$ROOT/build/windows/src/app/tovrin.exe
OUT=$ROOT/demo-out
SCR=$OUT/nature
WINDOWS_SCR=$OUT/nature.scr
SHOW_SECONDS=${SHOW_SECONDS:-20}

log() { printf '== %s\n' "$*"; }
fail() { printf 'demo: %s\n' "$*" >&2; exit 1; }

[[ -x $PACK ]] || fail "no tovrin-pack at $PACK (build build/native first)"
[[ -x $ENGINE ]] || fail "no engine at $ENGINE (build build/native first)"
[[ -d $PHOTOS ]] || fail "no photographs in $PHOTOS (install Debian's mate-backgrounds)"
shopt -s nullglob
pictures=("$PHOTOS"/*.jpg "$PHOTOS"/*.jpeg "$PHOTOS"/*.JPG)
shopt -u nullglob
((${#pictures[@]} > 0)) || fail "no JPEG files in $PHOTOS"

rm -rf "$OUT"
mkdir -p "$OUT"

# A short sound, to show that media are packed too: a valid WAV file holding 0.1 s of silence
# (8 kHz, 8-bit mono: a 44-byte header, then 800 samples of 0x80).
SOUND=$OUT/chime.wav
{
  printf 'RIFF\x44\x03\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00'
  printf '\x40\x1f\x00\x00\x40\x1f\x00\x00\x01\x00\x08\x00data\x20\x03\x00\x00'
  head -c 800 /dev/zero | tr '\0' '\200'
} >"$SOUND"

show_options=(--text "Nature" --font-name "DejaVu Sans" --font-size 24 --font-color clWhite
              --interval 4000 --effects 1,5,9,12,33 --stretch
              --sound "$SOUND" --title "Nature" --author "Tovrin demo")
log "packing ${#pictures[@]} photographs into the Linux saver $SCR"
"$PACK" build --engine "$ENGINE" -o "$SCR" "${show_options[@]}" "${pictures[@]}"
windows_note="not made (no Windows engine at $WINDOWS_ENGINE; scripts/windows-test.sh builds it)"
if [[ -f $WINDOWS_ENGINE ]]; then
  log "packing them into the Windows saver $WINDOWS_SCR"
  "$PACK" build --engine "$WINDOWS_ENGINE" -o "$WINDOWS_SCR" "${show_options[@]}" "${pictures[@]}"
  windows_note="$WINDOWS_SCR ($(stat -c %s "$WINDOWS_SCR") bytes)"
fi

log "inspect"
"$PACK" inspect "$SCR"

log "inspect --json"
if command -v jq >/dev/null; then
  "$PACK" inspect "$SCR" --json | jq .
elif command -v python3 >/dev/null; then
  "$PACK" inspect "$SCR" --json | python3 -m json.tool
else
  "$PACK" inspect "$SCR" --json
fi

log "extract into $OUT/extracted"
"$PACK" extract "$SCR" "$OUT/extracted"
same=0
for p in "${pictures[@]}"; do
  cmp "$p" "$OUT/extracted/$(basename "$p")" || fail "extracted $(basename "$p") differs"
  same=$((same + 1))
done
cmp "$SOUND" "$OUT/extracted/chime.wav" || fail "extracted chime.wav differs"
log "all $same pictures and the sound came back byte for byte"

# Contact sheets of the packed show's transitions between its first two pictures (extracted
# from the package, so they are the show's own pictures), scaled to 1280 x 800 as the show scales
# pictures to the screen, composed as the frame composer draws them.
RENDER=$BUILD/tools/render/tovrin-render
sheets=()
if [[ -x $RENDER ]] && ((${#pictures[@]} >= 2)); then
  first=$OUT/extracted/$(basename "${pictures[0]}")
  second=$OUT/extracted/$(basename "${pictures[1]}")
  for style in 1 5 9 12 33 84 117 127; do
    sheet=$OUT/transition-$style.png
    if "$RENDER" strip --style "$style" --step 10 --columns 6 --thumb-width 200 --size 1280x800 \
         --old "$first" --new "$second" --out "$sheet"; then
      sheets+=("$sheet")
    else
      log "no contact sheet for style $style"
    fi
  done
  log "rendered ${#sheets[@]} contact sheets of transitions into $OUT"
fi

chmod +x "$SCR"
show_note=""
if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
  log "running the show on your display: press a key or move the mouse to end it"
  status=0
  timeout 300 "$SCR" --show || status=$?
  show_note="shown on $DISPLAY (exit status $status)"
else
  command -v Xvfb >/dev/null || fail "no display and no Xvfb to run the show on"
  SHOTS=$OUT/show
  mkdir -p "$SHOTS"
  # An X server of the demo's own; it writes its display number when it is ready.
  exec 3< <(Xvfb -displayfd 1 -screen 0 1280x720x24 -nolisten tcp 2>/dev/null & echo "pid $!")
  read -r _ xvfb_pid <&3
  read -r number <&3
  export DISPLAY=:$number
  trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
  log "running the show for ${SHOW_SECONDS} s on Xvfb $DISPLAY (1280x720), a screenshot every 2 s"
  # A temporary folder of its own, to see that the show removes its media folder.
  mkdir -p "$OUT/tmp"
  TMPDIR=$OUT/tmp SDL_AUDIODRIVER=dummy "$SCR" --show &
  show_pid=$!
  for ((i = 1; i <= SHOW_SECONDS / 2; i++)); do
    sleep 2
    import -window root "$(printf '%s/shot-%02d.png' "$SHOTS" "$i")" 2>/dev/null || true
  done
  # A key ends it, as it would end it for a user.
  xdotool key space
  status=0
  wait "$show_pid" || status=$?
  # Only the media folders count: the single-instance lock's folder (tovrin-lock-UID) lives
  # here too when XDG_RUNTIME_DIR is not set, and stays by design.
  leftovers=$(find "$OUT/tmp" -mindepth 1 -maxdepth 1 -name 'tovrin-*' ! -name 'tovrin-lock-*' |
    wc -l)
  rm -rf "$OUT/tmp"
  shots=("$SHOTS"/shot-*.png)
  montage "${shots[@]}" -tile 5x -geometry 256x144+4+4 -background '#202020' \
    "$OUT/show-contact.png" 2>/dev/null || log "no contact sheet (ImageMagick's montage failed)"
  show_note="ran ${SHOW_SECONDS} s on Xvfb, ended by a key (exit status $status, $leftovers media folders left); ${#shots[@]} screenshots in $SHOTS, contact sheet $OUT/show-contact.png"
  kill "$xvfb_pid" 2>/dev/null || true
  trap - EXIT
fi
log "show: $show_note"

size=$(stat -c %s "$SCR")
echo
echo "Summary"
echo "  Linux saver:    $SCR ($size bytes, ${#pictures[@]} pictures, 1 sound)"
echo "  Windows saver:  $windows_note"
echo "  inspected:      trailer, settings and every picture item read back"
echo "  extracted:      $same pictures + 1 sound, identical to the originals (cmp)"
echo "  transitions:    ${#sheets[@]} contact sheets ($OUT/transition-*.png)"
echo "  show:           $show_note"
[[ $status == 0 ]]
