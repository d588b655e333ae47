#!/usr/bin/env bash
# Drives the real program's command line with no display: the exit statuses
# and the lines that stand for message boxes of --convert, the arguments,
# output that cannot be written, then --watch on a folder where screenshots
# are written slowly in pieces, by a writer that sizes the file first (with
# leases, and without: a file of another user), where the game reuses a name
# once the screenshot is deleted, on a full file system that gets space back,
# and on a folder that goes away and comes back, stopped by SIGTERM; last the
# user service file (systemd-analyze verify).
# Usage: tests/cli/command_line.sh [build folder (default build)]
set -euo pipefail
cd "$(dirname "$0")/../.."
. tests/support/outside_checks.sh
enter_private_mount_namespace GRELM_CLI_NAMESPACE "$0" "$@"
build="${1:-build}"
built_programs "$build" program=grelm-converter make_shots=grelm-fault-check
scratch_root /tmp/grelm-cli
watcher=""
at_exit() { [ -n "$watcher" ] && kill "$watcher" 2>/dev/null; }
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config"
mkdir -p "$HOME" && own_runtime_folder

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

# The arguments: a width the window's box refuses, a mode anywhere on the line.
for width in 0 -1 "" wide; do
  run --convert "$root/game" --thumbs="$width"
  check "--thumbs=$width: exit 2 at once, with the usage lines" "2 yes" "$rc $(grep -q '^Usage: grelm-converter' <<<"$err" && echo yes || echo no)"
done
"$make_shots" make "$root/anywhere" 1 160 120
run --thumbs "$root/anywhere" --convert
check "the mode after the options: the console runs" "0 yes" "$rc $([ -f "$root/anywhere/Thumbs/th_shot0001.jpg" ] && echo yes || echo no)"
# Output that cannot be written: a full standard output, a reader that quits.
"$make_shots" make "$root/output" 2 160 120
rc=0; "$program" --convert "$root/output" >/dev/full 2>"$root/err" || rc=$?
check "standard output full: the run finishes, exit 1, said once" "1 2 1" \
  "$rc $(ls "$root/output"/*.jpg | wc -l) $(grep -c 'output could not be written' "$root/err")"
"$make_shots" make "$root/output" 2 160 120 piped
set +o pipefail
"$program" --convert "$root/output" 2>"$root/err" | (exit 0); rc=${PIPESTATUS[0]}
set -o pipefail
check "a reader that quits: no SIGPIPE death, exit 1, said once" "1 4 1" \
  "$rc $(ls "$root/output"/*.jpg | wc -l) $(grep -c 'output could not be written' "$root/err")"

# As a Steam launch option: the game (here a fake one that leaves a
# screenshot) runs first, then the Convert, without the variables Steam sets
# for the game.
launch="$root/launch"; mkdir -p "$launch"
fake_game="$make_shots make '$launch' 1 160 120 de_dust2"
steam() { # steam <command after the game>: the launch line as Steam runs it, with its variables set
  rc=0; LD_PRELOAD="$root/steam-overlay.so" LD_LIBRARY_PATH="$root/steam-runtime" \
    sh -c "$fake_game; env -u LD_PRELOAD -u LD_LIBRARY_PATH $1" >/dev/null 2>"$root/err" || rc=$?
  echo "$rc" >"$root/steam.rc" # run in $( ): the status goes by file
  grep -c '^ERROR: ld.so' "$root/err" || true
}
# Every process started before `env` complains of the missing overlay; the
# Convert after it must add no complaint of its own.
before=$(steam true)
after=$(steam "'$program' --convert '$launch' --thumbs"); rc=$(cat "$root/steam.rc")
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

# A writer that sizes the file first and fills it in pieces with pauses,
# holding it open: nothing is converted or deleted until it closes the file.
start_watch() { # start_watch <folder> <options...>: runs --watch in the background until it watches
  local folder="$1"; shift
  "${as_user[@]}" "$program" --watch "$folder" "$@" >"$root/watch.out" 2>"$root/watch.err" &
  watcher=$!
  for _ in $(seq 50); do grep -q '^watching' "$root/watch.out" 2>/dev/null && return; sleep 0.1; done
}
stop_watch() { kill -TERM "$watcher"; wait "$watcher" || true; watcher=""; }
presized_writer() { # presized_writer <source bmp> <target>: ftruncate first, then three pieces 1.5 s apart
  local size; size=$(stat -c %s "$1")
  exec 3<>"$2"
  truncate -s "$size" "$2"
  for part in 0 1 2; do
    dd if="$1" of="$2" bs=$((size / 3 + 1)) skip=$part seek=$part count=1 conv=notrunc status=none
    sleep 1.5
  done
  exec 3>&-
}
as_user=()
for deleting in "" --delete; do
  folder="$root/presized$deleting"; mkdir -p "$folder"
  rm -rf "$root/originals"; mkdir -p "$root/originals"; cp "$root/pieces/de_dust20001.bmp" "$root/originals/big.bmp"
  start_watch "$folder" --thumbs $deleting
  presized_writer "$root/originals/big.bmp" "$folder/big.bmp"
  sleep 1
  check "sized first${deleting:+, with --delete}: converted once, after the writer closed it" "1 none" \
    "$(grep -c 'converted 1 of 1' "$root/watch.out" || true) $(ls "$folder" | grep -c '_1' | sed 's/^0$/none/')"
  verdict=$("$make_shots" verify "$folder" "$root/originals" --converted --thumbs ${deleting:+--deleted} && echo whole || true)
  check "sized first${deleting:+, with --delete}: the whole picture survives" "whole" "$(tail -1 <<<"$verdict")"
  stop_watch
done

# Without leases (a watcher without CAP_LEASE, a file of another user): it
# settles the file as before, but keeps it until unchanged for a minute.
if [ "$(id -u)" -eq 0 ] && setpriv --bounding-set=-lease true 2>/dev/null; then
  folder="$root/noleases"; mkdir -p "$folder"
  as_user=(setpriv --bounding-set=-lease --inh-caps=-lease)
  start_watch "$folder" --thumbs --delete
  touch "$folder/big.bmp" && chown nobody "$folder/big.bmp"
  presized_writer "$root/originals/big.bmp" "$folder/big.bmp"
  sleep 2
  check "no leases, sized first, --delete: the screenshot is kept while it may still change" "yes" \
    "$(cmp -s "$folder/big.bmp" "$root/originals/big.bmp" && echo yes || echo no)"
  verdict=$("$make_shots" verify "$folder" "$root/originals" --converted --thumbs && echo whole || true)
  check "no leases: the whole picture is converted in the end" "whole" "$(tail -1 <<<"$verdict")"
  stop_watch
  as_user=()
else
  echo "SKIP  the settle fallback without leases: needs root and setpriv"
fi

# A full file system: the JPEG cannot be written; one message, then it is
# converted within seconds of space coming back.
if [ -n "${GRELM_CLI_NAMESPACE:-}" ]; then
  mkdir -p "$root/full" && mount -t tmpfs -o size=2m tmpfs "$root/full" && mkdir "$root/full/game"
  cp "$root/pieces/de_dust20001.bmp" "$root/full/game/.incoming"
  dd if=/dev/zero of="$root/full/filler" bs=64k status=none 2>/dev/null || true
  start_watch "$root/full/game"
  mv "$root/full/game/.incoming" "$root/full/game/de_dust20001.bmp"
  sleep 6.5 # the first retry, after 5 s, fails too
  check "full: one message for the file, not one per try" "1" "$(grep -c 'Failed to save' "$root/watch.err" || true)"
  rm "$root/full/filler"
  sleep 3
  check "space back: converted within seconds" "yes" "$([ -f "$root/full/game/de_dust20001.jpg" ] && echo yes || echo no)"
  stop_watch
  umount "$root/full"
else
  echo "SKIP  a full file system while watching: needs root and unshare -m"
fi

# The folder goes away (an SD card pulled, a rename) and comes back.
folder="$root/card"; mkdir -p "$folder"
start_watch "$folder"
mv "$folder" "$root/card.away"
sleep 1
"$make_shots" make "$root/card.away" 1 160 120 away
mv "$root/card.away" "$folder"
sleep 3
"$make_shots" make "$folder" 1 160 120 back
sleep 1.5
check "gone: said once; back: watched again" "1 1" "$(grep -c 'is gone' "$root/watch.err" || true) $(grep -c 'watching .* again' "$root/watch.out" || true)"
check "what came meanwhile and after: converted" "yes yes" \
  "$([ -f "$folder/away0001.jpg" ] && echo yes || echo no) $([ -f "$folder/back0001.jpg" ] && echo yes || echo no)"
stop_watch

# The user service: systemd-analyze verify needs the program at its
# ExecStart path, so the copy checked runs the built program.
command -v systemd-analyze >/dev/null || scripts/install-deps.sh systemd >/dev/null 2>&1 || true
if command -v systemd-analyze >/dev/null; then
  unit="$root/grelm-converter-watch.service"
  sed "s|^ExecStart=/usr/bin/grelm-converter |ExecStart=$program |" packaging/grelm-converter-watch.service >"$unit"
  rc=0; systemd-analyze verify --man=no "$unit" >"$root/verify.out" 2>&1 || rc=$?
  check "the user service file: systemd-analyze verify" "0 " "$rc $(grep -v '^$' "$root/verify.out" | head -3)"
  check "the service runs the watch with the options of GRELM_OPTIONS" "yes" \
    "$(grep -q '^ExecStart=/usr/bin/grelm-converter --watch \$GRELM_OPTIONS$' packaging/grelm-converter-watch.service && echo yes || echo no)"
  # The README's override, as systemd reads it: an unquoted value with a
  # space would lose every option after the first one, with only a warning.
  { cat "$unit"; printf '[Service]\n'; grep -m1 -o 'Environment=.*GRELM_OPTIONS=.*' README.md; } >"$root/override.service"
  rc=0; systemd-analyze verify --man=no "$root/override.service" >"$root/verify.out" 2>&1 || rc=$?
  check "the README's GRELM_OPTIONS line keeps all its options" "0 " "$rc $(grep -v '^$' "$root/verify.out" | head -3)"
else
  echo "SKIP  systemd-analyze verify: systemd-analyze is not installed and could not be"
fi

# A screenshot that does not load, there when the watch starts: that Convert
# ends with the wrong-path line, and the watch goes on with the next one.
broken="$root/broken-watch"; mkdir -p "$broken"
printf 'BM not a picture' > "$broken/bad.bmp"
start_watch "$broken" --thumbs
"$make_shots" make "$root/next" 1 160 120 later
cp "$(ls "$root/next"/*.bmp | head -n 1)" "$broken/.next" && mv "$broken/.next" "$broken/later.bmp"
for _ in $(seq 50); do [ -f "$broken/Thumbs/th_later.jpg" ] && break; sleep 0.1; done
check "a broken screenshot at the start: the watch goes on and converts the next one" "running yes yes" \
  "$(kill -0 "$watcher" 2>/dev/null && echo running || echo ended) $([ -f "$broken/later.jpg" ] && echo yes || echo no) $([ -f "$broken/Thumbs/th_later.jpg" ] && echo yes || echo no)"
check "and it said why the first Convert ended" "Wrong Path!" "$(grep -o -m1 '^Wrong Path!' "$root/watch.err")"
stop_watch

echo "command line tests: $failures failed"
[ "$failures" -eq 0 ]
