#!/usr/bin/env bash
# Photographs the main window under Xvfb into docs/main-window.png, with a
# game folder of three screenshots, then the folder picker (docs/set-path.png)
# with its drive list open, and the about window (docs/about.png), opened by
# clicking their buttons. HOME is a fake home holding a Steam install of
# Counter-Strike, so the drive list shows a found game folder after the drives.
# Needs a build (scripts/build.sh) first.
set -euo pipefail
cd "$(dirname "$0")/.."
for p in xvfb xauth imagemagick xdotool; do
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
mkdir -p "$program" "$work/Half-Life/"{cstrike,valve}
cp build/bin/grelm-converter "$program/"
[ -d build/bin/fonts ] && cp -r build/bin/fonts "$program/"
touch "$work/Half-Life/"{de_dust0000,de_dust0001,cs_office0000}.bmp
printf '"%s"\r\n' "$work/Half-Life" > "$program/SLoadPath.txt"
home="$work/home"
mkdir -p "$home/.local/share/Steam/steamapps/common/Half-Life/cstrike"

# The program runs in the game folder, where the folder picker opens. Buttons
# are clicked at their centres: the window's client area starts at (310, 249).
cat > "$work/shoot.sh" <<SHOOT
#!/bin/sh
cd "$work/Half-Life"
HOME="$home" "$program/grelm-converter" &
pid=\$!
sleep 3
import -window root "$work/screen.png"
xdotool mousemove 650 377 click 1 mousemove 0 0
sleep 2
xdotool search --name '^Set Path\$' getwindowgeometry --shell > "$work/set-path.geometry"
. "$work/set-path.geometry"
# Opens the drive list, then closes it again with Escape.
xdotool mousemove \$((X + 84)) \$((Y + 18)) click 1 mousemove 0 0
sleep 1
import -window root "$work/set-path.png"
# The open list is a window of its own, named after the program only.
for w in \$(xdotool search --onlyvisible --pid \$pid); do
  [ "\$(xdotool getwindowname \$w)" = 'GRELM Screenshot Converter' ] && xdotool getwindowgeometry --shell \$w
done | sed 's/^/LIST_/' > "$work/drive-list.geometry"
xdotool key Escape
sleep 1
xdotool mousemove \$((X + 372)) \$((Y + 200)) click 1 mousemove 0 0
sleep 1
xdotool mousemove 374 585 click 1 mousemove 0 0
sleep 2
import -window root "$work/about.png"
kill \$pid
SHOOT
chmod +x "$work/shoot.sh"
xvfb-run -a -s '-screen 0 1024x768x24' "$work/shoot.sh"
# The client area lies at (310, 249), 504 x 373 pixels.
convert "$work/screen.png" -crop 504x373+310+249 +repage docs/main-window.png
# The folder picker's client area, 423 x 221 pixels, where the window system
# put it, widened to hold its open drive list.
. "$work/set-path.geometry"
. "$work/drive-list.geometry"
left=$(( X < LIST_X ? X : LIST_X )); top=$(( Y < LIST_Y ? Y : LIST_Y ))
right=$(( X + 423 > LIST_X + LIST_WIDTH ? X + 423 : LIST_X + LIST_WIDTH ))
bottom=$(( Y + 221 > LIST_Y + LIST_HEIGHT ? Y + 221 : LIST_Y + LIST_HEIGHT ))
# Only the dialog and the list are drawn, on a transparent ground.
convert -size "$((right - left))x$((bottom - top))" xc:none \
  \( "$work/set-path.png" -crop "423x221+$X+$Y" +repage \) -geometry "+$((X - left))+$((Y - top))" -composite \
  \( "$work/set-path.png" -crop "${LIST_WIDTH}x${LIST_HEIGHT}+$LIST_X+$LIST_Y" +repage \) \
  -geometry "+$((LIST_X - left))+$((LIST_Y - top))" -composite docs/set-path.png
# The about window: its 511 x 254 picture area at (309, 217) inside a one-pixel border.
convert "$work/about.png" -crop 513x256+308+216 +repage docs/about.png
echo "docs/main-window.png, docs/set-path.png and docs/about.png written"
