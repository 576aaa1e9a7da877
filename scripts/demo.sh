#!/usr/bin/env bash
# The demo: packs the nature photographs of mate-backgrounds into a finished screen saver with the
# engine of build/native, inspects it, unpacks it again and checks the pictures byte for byte,
# then starts the engine on it in show mode. Run by `./run demo` after it has built build/native.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=${BUILD:-$ROOT/build/native}
PACK=$BUILD/tools/pack/tovrin-pack
ENGINE=$BUILD/src/app/tovrin
PHOTOS=/usr/share/backgrounds/mate/nature
OUT=$ROOT/demo-out
SCR=$OUT/nature.scr

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

log "packing ${#pictures[@]} photographs into $SCR"
"$PACK" build --engine "$ENGINE" -o "$SCR" \
  --text "Nature" --font-name "DejaVu Sans" --font-size 24 --font-color clWhite \
  --interval 4000 --effects 1,5,9,12,33 --stretch \
  --sound "$SOUND" --title "Nature" --author "Tovrin demo" \
  "${pictures[@]}"

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

log "running the engine: $SCR /s"
# The engine finds its package in its own file, so it runs as the finished screen saver.
chmod +x "$SCR"
# A time limit keeps the demo from waiting on a show that a later display back end might run.
status=0
timeout 30 "$SCR" /s || status=$?
case $status in
  0) engine_note="exit status 0" ;;
  3) engine_note="exit status 3, as expected while no display back end exists" ;;
  124) engine_note="still running after 30 s, stopped" ;;
  *) engine_note="exit status $status (unexpected)" ;;
esac
log "engine: $engine_note"

# The Windows screen saver: the same show packed onto the Windows engine (WINDOWS_ENGINE, built
# by `./run demo`), ready to be installed on Windows as Nature.scr.
WINSCR=$OUT/windows/Nature.scr
windows_note="not made (no Windows engine)"
if [[ -n ${WINDOWS_ENGINE:-} && -f $WINDOWS_ENGINE ]]; then
  mkdir -p "$OUT/windows"
  log "packing the same show onto the Windows engine: $WINSCR"
  "$PACK" build --engine "$WINDOWS_ENGINE" -o "$WINSCR" \
    --text "Nature" --font-name "Arial" --font-size 24 --font-color clWhite \
    --interval 4000 --effects 1,5,9,12,33 --stretch \
    --sound "$SOUND" --title "Nature" --author "Tovrin demo" \
    "${pictures[@]}"
  "$PACK" inspect "$WINSCR" | head -n 3
  windows_note="$WINSCR ($(stat -c %s "$WINSCR") bytes)"
fi

size=$(stat -c %s "$SCR")
echo
echo "Summary"
echo "  screen saver:   $SCR ($size bytes, ${#pictures[@]} pictures, 1 sound)"
echo "  inspected:      trailer, settings and every picture item read back"
echo "  extracted:      $same pictures + 1 sound, identical to the originals (cmp)"
echo "  transitions:    ${#sheets[@]} contact sheets ($OUT/transition-*.png)"
echo "  engine /s:      $engine_note"
echo "  Windows saver:  $windows_note"
[[ $status == 0 || $status == 3 || $status == 124 ]]
