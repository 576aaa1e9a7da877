#!/usr/bin/env bash
# Writes the program's icon, a small framed landscape (sky, sun, hill) drawn here pixel by pixel,
# as a Windows .ico file with 16, 32 and 48 pixel images (32-bit BGRA, no third-party art).
#
#   scripts/make-icon.sh OUT.ico
#
# The build calls it; the result is the same on every run.
set -euo pipefail
out=${1:?usage: make-icon.sh OUT.ico}
sizes=(16 32 48)

# Little-endian fields as printf escapes.
le16() { printf '\\%03o\\%03o' $(($1 & 255)) $((($1 >> 8) & 255)); }
le32() { printf '\\%03o\\%03o\\%03o\\%03o' $(($1 & 255)) $((($1 >> 8) & 255)) \
                                         $((($1 >> 16) & 255)) $((($1 >> 24) & 255)); }

# The image of one size: BITMAPINFOHEADER, pixels bottom-up, then the (empty) AND mask.
image() {
  local n=$1 x y r g b border mask_row
  border=$((n >= 32 ? 2 : 1))
  mask_row=$((((n + 31) / 32) * 4))
  printf "$(le32 40)$(le32 "$n")$(le32 $((n * 2)))$(le16 1)$(le16 32)$(le32 0)"
  printf "$(le32 $((n * n * 4 + mask_row * n)))$(le32 0)$(le32 0)$(le32 0)$(le32 0)"
  for ((y = n - 1; y >= 0; y--)); do
    local row=""
    for ((x = 0; x < n; x++)); do
      if ((x < border || y < border || x >= n - border || y >= n - border)); then
        r=58 g=42 b=26                                    # the frame
      elif (((4 * x - 3 * n) ** 2 + (4 * y - 6 * n / 5) ** 2 < (n * 7 / 12) ** 2)); then
        r=255 g=210 b=60                                  # the sun
      elif (((10 * x - 3 * n) ** 2 + (10 * y - 12 * n) ** 2 < (15 * n / 2) ** 2)); then
        r=60 g=154 b=60                                   # the hill
      else
        r=$((74 + 94 * y / n)) g=$((144 + 68 * y / n)) b=$((217 + 28 * y / n))  # the sky
      fi
      row+=$(printf '\\%03o\\%03o\\%03o\\377' "$b" "$g" "$r")
    done
    printf "$row"
  done
  for ((y = 0; y < n * mask_row; y++)); do printf '\0'; done
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
offset=$((6 + 16 * ${#sizes[@]}))
{
  printf "$(le16 0)$(le16 1)$(le16 ${#sizes[@]})"
  for n in "${sizes[@]}"; do
    image "$n" >"$tmp/$n"
    bytes=$(stat -c %s "$tmp/$n")
    printf "\\$(printf %03o "$n")\\$(printf %03o "$n")\\0\\0$(le16 1)$(le16 32)$(le32 "$bytes")$(le32 "$offset")"
    offset=$((offset + bytes))
  done
  for n in "${sizes[@]}"; do cat "$tmp/$n"; done
} >"$out.tmp"
mv "$out.tmp" "$out"
