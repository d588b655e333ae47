#!/usr/bin/env bash
# Checks that common tools read the dates the real Convert writes inside its
# JPEGs: a screenshot dated in summer and one dated in winter, converted with
# thumbnails by `grelm-converter --convert` in a zone with half-hour offsets
# (St. John's). `exiv2 -pt` must show each JPEG's and thumbnail's DateTime,
# DateTimeOriginal and OffsetTimeOriginal, and ImageMagick's identify its
# DateTimeOriginal, all in the local time and offset of that day; and exiv2
# the program's name as its Software, the mark by which it knows its JPEGs.
# Installs exiv2 and ImageMagick when missing.
# Usage: tests/convert/exif_readback.sh [build folder (default build)]
set -euo pipefail
cd "$(dirname "$0")/../.."
. tests/support/outside_checks.sh
build="${1:-build}"
built_programs "$build" program=grelm-converter
scripts/install-deps.sh exiv2 imagemagick

scratch_root /tmp/grelm-exif
export QT_QPA_PLATFORM=offscreen HOME="$root/home" XDG_CONFIG_HOME="$root/config" TZ=America/St_Johns
mkdir -p "$HOME" "$root/game"

# name | the screenshot's time | the local time and offset St. John's showed then
shots=("summer|2023-07-22T04:26:40Z|2023:07:22 01:56:40|-02:30"
       "winter|2023-11-14T22:13:20Z|2023:11:14 18:43:20|-03:30")
for shot in "${shots[@]}"; do
  IFS='|' read -r name utc _ _ <<<"$shot"
  convert -size 64x48 gradient:red-blue -type TrueColor "BMP3:$root/game/$name.bmp"
  touch -d "$utc" "$root/game/$name.bmp"
done
"$program" --convert "$root/game" --thumbs

expect() { # condition-output pattern what
  if grep -qE "$2" <<<"$1"; then pass "$3"; else fail "$3"; fi
}
for shot in "${shots[@]}"; do
  IFS='|' read -r name _ local offset <<<"$shot"
  for jpeg in "$name.jpg" "Thumbs/th_$name.jpg"; do
    tags=$(exiv2 -pt "$root/game/$jpeg" 2>&1 || true)
    grep -E 'DateTime|OffsetTime|Software' <<<"$tags" | sed "s|^|  $jpeg: |" || true
    expect "$tags" "^Exif.Image.Software +Ascii +27 +GRELM Screenshot Converter\$" "exiv2 $jpeg Software"
    for key in Exif.Image.DateTime Exif.Photo.DateTimeOriginal; do
      expect "$tags" "^$key +Ascii +20 +$local\$" "exiv2 $jpeg $key $local"
    done
    expect "$tags" "^Exif.Photo.OffsetTimeOriginal +Ascii +7 +$offset\$" "exiv2 $jpeg OffsetTimeOriginal $offset"
    original=$(identify -format '%[EXIF:DateTimeOriginal]' "$root/game/$jpeg" 2>&1 || true)
    echo "  $jpeg: identify DateTimeOriginal: $original"
    expect "$original" "^$local\$" "identify $jpeg DateTimeOriginal $local"
  done
done
exit_if_failed
echo "Exif dates read back by exiv2 and identify"
