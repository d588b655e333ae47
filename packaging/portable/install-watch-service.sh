#!/bin/sh
# Writes the watch mode's systemd user service into
# ~/.config/systemd/user/grelm-converter-watch.service, starting the program
# of this folder (where the archive was unpacked), and says how to turn it on.
# Run it again after moving the folder.
set -eu
folder=$(cd "$(dirname "$0")" && pwd -P)
case "$folder" in
  *'"'* | *'\'* | *"
"*) echo "$0: the folder's name holds a character a unit file cannot quote: $folder" >&2; exit 1 ;;
esac
units="${XDG_CONFIG_HOME:-$HOME/.config}/systemd/user"
unit="$units/grelm-converter-watch.service"
mkdir -p "$units"
# The installed unit starts /usr/bin/grelm-converter; this one starts ours,
# quoted for spaces, with systemd's specifier and variable marks doubled.
awk -v folder="$folder" '/^ExecStart=/ {
    program = folder "/grelm-converter"; gsub(/%/, "%%", program); gsub(/\$/, "$$", program)
    arguments = $0; sub(/^ExecStart=[^ ]*/, "", arguments)
    print "ExecStart=\"" program "\"" arguments; next
  } { print }' \
  "$folder/grelm-converter-watch.service" > "$unit.new"
mv "$unit.new" "$unit"
echo "Written: $unit"
echo "Turn it on with: systemctl --user daemon-reload && systemctl --user enable --now grelm-converter-watch"
