#!/usr/bin/env bash
# Measures what a large Thumbs journal costs a one-screenshot Convert with
# thumbnails: a journal of about MB megabytes (under its 64 MiB cap) whose
# records name bitmaps that are no longer there, as many interrupted runs or a
# planted file leave it. Prints the wall time and peak memory of the command.
# Usage: tests/faults/large_journal.sh [build folder (default build)] [MB (default 56)] [journal version (default 2)]
set -euo pipefail
cd "$(dirname "$0")/../.."
. tests/support/outside_checks.sh
build="${1:-build}" megabytes="${2:-56}" version="${3:-2}"
built_programs "$build" program=grelm-converter check=grelm-fault-check
export QT_QPA_PLATFORM=offscreen
scratch_root /tmp/grelm-journal

"$check" make "$root/game" 1 320 240
mkdir "$root/game/Thumbs"
# One field a line, then the lines' ends turned into the NUL bytes that end each field.
awk -v bytes=$((megabytes * 1000000)) -v version="$version" 'BEGIN {
  print "grelm thumbnails " version; size = 19
  hash = "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff"
  for (i = 0; size < bytes; ++i) {
    record = sprintf("gone%07d.bmp\ngone%07d\n1700000000\n123456789\n", i, i)
    if (version >= 2) record = record sprintf("%d\n%s\n", 14454, hash)
    printf "%s", record; size += length(record)
  }
}' | tr '\n' '\0' >"$root/game/Thumbs/.grelm-thumbnails"
journal=$(stat -c %s "$root/game/Thumbs/.grelm-thumbnails")
/usr/bin/time -f "%e %M %U %S" -o "$root/time" "$program" --convert "$root/game" --thumbs >/dev/null 2>&1 || true
read -r seconds kilobytes user system <"$root/time"
echo "journal of $journal bytes (version $version): one-screenshot Convert with thumbnails took $seconds s ($user s user, $system s system CPU), peak $((kilobytes / 1024)) MiB"
[ -f "$root/game/Thumbs/th_shot0001.jpg" ] || { echo "no thumbnail JPEG was made"; exit 1; }
