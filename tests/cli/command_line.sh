#!/usr/bin/env bash
# Drives the real program's command line with no display: the exit statuses
# and the lines that stand for message boxes of --convert, then --watch on a
# folder where screenshots are written slowly in pieces and where the game
# reuses a name once the screenshot is deleted, stopped by SIGTERM.
# Usage: tests/cli/command_line.sh [build folder (default build)]
set -euo pipefail
cd "$(dirname "$0")/../.."
. tests/support/outside_checks.sh
build="${1:-build}"
program="$PWD/$build/bin/grelm-converter"
make_shots="$PWD/$build/bin/grelm-fault-check"
require_built "$build" grelm-converter grelm-fault-check
root="$(mktemp -d /tmp/grelm-cli.XXXXXX)"
watcher=""
trap '[ -n "$watcher" ] && kill "$watcher" 2>/dev/null; rm -rf "$root"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config" XDG_RUNTIME_DIR="$root/run"
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"

failures=0
check() { # check <what> <expected> <actual>
  if [ "$2" = "$3" ]; then echo "PASS  $1"; else echo "FAIL  $1: expected [$2], got [$3]"; failures=$((failures + 1)); fi
}
run() { rc=0; out=$("$program" "$@" 2>"$root/err") || rc=$?; err=$(cat "$root/err"); }

# --convert: exit statuses and message lines.
"$make_shots" make "$root/game" 3 160 120
run --convert "$root/game" --thumbs --delete
check "--convert converts, makes thumbnails, deletes: exit 0" 0 "$rc"
check "three JPEGs and three thumbnail JPEGs" "6" "$(ls "$root/game"/*.jpg "$root/game/Thumbs"/th_*.jpg | wc -l)"
check "the summary line" "converted 3 of 3, failed 0, deleted 3" "$(grep -o 'converted.*deleted [0-9]*' <<<"$out")"
printf 'BM not a picture' > "$root/game/broken.bmp"
"$make_shots" make "$root/game" 1 160 120 again
run --convert "$root/game"
check "a file that does not load: exit 1" 1 "$rc"
check "its two message boxes as lines" "GRELM Screenshot Converter: Can't load BMP image|libjpeg-turbo JPEG Library: IJL ERROR: [-4] - Failed to save to JPG" \
  "$(cut -d'(' -f1 <<<"$err" | sed 's/ *$//' | paste -sd'|')"
run --convert "$root/missing"
check "a folder that is not there: exit 2" 2 "$rc"
check "the wrong-path box as a line" "Wrong Path!: The path you are currently using is incorrect!" "$(cut -d'(' -f1 <<<"$err" | sed 's/ *$//')"
run --convert "$root/game" --delete
check "--delete without --thumbs: exit 2" 2 "$rc"
run --convert
check "no folder given and none stored: exit 2" 2 "$rc"
check "the setting file's box as a line" "File Not Found!" "$(cut -d: -f1 <<<"$err")"
run --help
check "--help: exit 0" 0 "$rc"

# As a Steam launch option: the game (here a fake one that leaves a
# screenshot) runs first, then the Convert, without the variables Steam sets
# for the game.
launch="$root/launch"; mkdir -p "$launch"
fake_game="$make_shots make '$launch' 1 160 120 de_dust2"
steam() { # steam <command after the game>: the launch line as Steam runs it, with its variables set
  rc=0; LD_PRELOAD="$root/steam-overlay.so" LD_LIBRARY_PATH="$root/steam-runtime" \
    sh -c "$fake_game; env -u LD_PRELOAD -u LD_LIBRARY_PATH $1" >/dev/null 2>"$root/err" || rc=$?
  grep -c '^ERROR: ld.so' "$root/err" || true
}
# Every process started before `env` complains of the missing overlay; the
# Convert after it must add no complaint of its own.
before=$(steam true)
after=$(steam "'$program' --convert '$launch' --thumbs")
check "as a Steam launch option after the game: exit 0, the game's variables cleared" "0 $before" "$rc $after"
check "the game's screenshot converted" "yes" "$([ -f "$launch/Thumbs/th_de_dust20001.jpg" ] && echo yes || echo no)"

# --watch: a screenshot written in pieces is converted once, after it is complete.
watched="$root/watched"; mkdir -p "$watched"
"$make_shots" make "$root/pieces" 2 320 240 de_dust2
"$program" --watch "$watched" --thumbs --delete >"$root/watch.out" 2>"$root/watch.err" &
watcher=$!
sleep 1
shot="$root/pieces/de_dust20001.bmp"; size=$(stat -c %s "$shot")
for part in 0 1 2 3; do # four pieces, 0.7 s apart: never still long enough to count
  dd if="$shot" of="$watched/de_dust20000.bmp" bs=$((size / 4 + 1)) skip=$part seek=$part count=1 conv=notrunc status=none
  sleep 0.7
done
sleep 2.5
check "written in pieces: converted once it is complete" "1" "$(grep -c 'converted 1 of 1' "$root/watch.out" || true)"
check "its JPEG, its thumbnail, the screenshot deleted" "yes yes no" \
  "$([ -f "$watched/de_dust20000.jpg" ] && echo yes || echo no) $([ -f "$watched/Thumbs/th_de_dust20000.jpg" ] && echo yes || echo no) $([ -f "$watched/de_dust20000.bmp" ] && echo yes || echo no)"
# The game takes the first free number again: a new picture under the same name.
first=$(md5sum < "$watched/de_dust20000.jpg")
cp "$root/pieces/de_dust20002.bmp" "$watched/.next" && mv "$watched/.next" "$watched/de_dust20000.bmp"
sleep 2.5
check "a reused name keeps the older picture's JPEG" "$first" "$(md5sum < "$watched/de_dust20000.jpg")"
check "and the new picture gets JPEGs of its own" "yes yes" \
  "$([ -f "$watched/de_dust20000_1.jpg" ] && echo yes || echo no) $([ -f "$watched/Thumbs/th_de_dust20000_1.jpg" ] && echo yes || echo no)"
kill -TERM "$watcher"; rc=0; wait "$watcher" || rc=$?; watcher=""
check "SIGTERM stops the watch: exit 130" 130 "$rc"
check "no message while watching" "" "$(cat "$root/watch.err")"

echo "command line tests: $failures failed"
[ "$failures" -eq 0 ]
