#!/usr/bin/env bash
# Photographs the main window under Xvfb into docs/main-window.png, with a
# game folder of three screenshots. Needs a build (scripts/build.sh) first.
set -euo pipefail
cd "$(dirname "$0")/.."
for p in xvfb xauth imagemagick; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ -n "${missing[*]:-}" ]; then
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A fixed folder, so the folder box shows the same text every time.
work=/tmp/grelm-screenshot
rm -rf "$work"; mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
program="$work/program"
mkdir -p "$program" "$work/Half-Life"
cp build/bin/grelm-converter "$program/"
[ -d build/bin/fonts ] && cp -r build/bin/fonts "$program/"
touch "$work/Half-Life/"{de_dust0000,de_dust0001,cs_office0000}.bmp
printf '"%s"\r\n' "$work/Half-Life" > "$program/SLoadPath.txt"

cat > "$work/shoot.sh" <<SHOOT
#!/bin/sh
"$program/grelm-converter" &
pid=\$!
sleep 3
import -window root "$work/screen.png"
kill \$pid
SHOOT
chmod +x "$work/shoot.sh"
xvfb-run -a -s '-screen 0 1024x768x24' "$work/shoot.sh"
# The client area lies at (310, 249), 504 x 373 pixels.
convert "$work/screen.png" -crop 504x373+310+249 +repage docs/main-window.png
echo "docs/main-window.png written"
