#!/usr/bin/env bash
# Runs the real Convert command (thumbnails and source deletion on) under real
# faults and checks, for each, that it reports through its messages, loses no
# screenshot, leaves no partial file, and that a later Convert completes once
# the fault is gone:
#   read-only game folder, read-only Thumbs, full file system (small tmpfs
#   mounts in a private mount namespace: root ignores permission bits, so only
#   a read-only or full mount makes the failure real); Thumbs on a file system
#   that keeps whole seconds (an ext2 image); a screenshot deleted or
#   replaced by another program between listing and loading, or between its
#   thumbnail and its deletion; spaces, non-ASCII
#   letters and 255-byte names; 5,000 screenshots in one folder.
# Needs root for the mounts (CI runs as root); without it, the mount cases are skipped.
# Usage: tests/faults/faults.sh [build folder (default build)]
set -euo pipefail
cd "$(dirname "$0")/../.."
. tests/support/outside_checks.sh
build="${1:-build}"
built_programs "$build" convert=grelm-headless-convert check=grelm-fault-check
enter_private_mount_namespace GRELM_FAULTS_NAMESPACE "$0" "$@"
can_mount=no; [ -n "${GRELM_FAULTS_NAMESPACE:-}" ] && can_mount=yes

export QT_QPA_PLATFORM=offscreen
scratch_root /tmp/grelm-faults
own_runtime_folder

# convert <folder> [options]: runs a Convert with thumbnails and deletion on; sets $out and $rc.
convert() {
  local folder="$1"; shift
  rc=0; out=$("$convert" "$folder" --thumbs --delete "$@" 2>/dev/null) || rc=$?
}
messages() { grep -c '^message:' <<<"$out" || true; }
first_message() { grep -m1 '^message:' <<<"$out" | cut -c10- || true; }
# verify <folder> <originals> [flags]: sets $report; true when nothing is wrong.
verify() { report=$("$check" verify "$@" | tail -n 1); }

# A faulty Convert, then the fault removed by `$mend`, then a Convert that completes.
fault_then_mend() {
  local name="$1" folder="$2" originals="$3" mend="$4"
  convert "$folder"
  local first_rc=$rc first_msgs; first_msgs="$(messages) message(s), first: $(first_message)"
  if [ "$first_rc" -ne 3 ]; then fail "$name" "no message under the fault (exit $first_rc)"; return; fi
  if ! verify "$folder" "$originals"; then fail "$name" "under the fault: $report"; return; fi
  local under="$report"
  eval "$mend"
  convert "$folder"
  if [ "$rc" -ne 0 ] || ! verify "$folder" "$originals" --converted --thumbs --deleted; then
    fail "$name" "the later Convert did not complete (exit $rc, $(first_message)): $report"; return
  fi
  pass "$name" "$first_msgs; nothing lost ($under); later Convert completed ($report)"
}

read_only_game_folder() {
  local mnt="$root/ro-game"; mkdir -p "$mnt"
  mount -t tmpfs -o size=32m tmpfs "$mnt"
  "$check" make "$mnt" 6 320 240 && cp -r "$mnt" "$root/ro-game.orig"
  mount -o remount,ro "$mnt"
  fault_then_mend "read-only game folder" "$mnt" "$root/ro-game.orig" 'mount -o remount,rw "$mnt"'
}

read_only_thumbs() {
  local game="$root/ro-thumbs"; mkdir -p "$game/Thumbs"
  "$check" make "$game" 6 320 240 && cp -r "$game" "$root/ro-thumbs.orig"
  mount -t tmpfs -o size=8m tmpfs "$game/Thumbs"
  mount -o remount,ro "$game/Thumbs"
  fault_then_mend "read-only Thumbs" "$game" "$root/ro-thumbs.orig" 'mount -o remount,rw "$game/Thumbs"'
}

# A file system with room for the screenshots and a few of their JPEGs only.
full_file_system() {
  local mnt="$root/full"; mkdir -p "$mnt"
  mount -t tmpfs -o size=4m tmpfs "$mnt"
  "$check" make "$mnt" 12 320 240 && cp -r "$mnt" "$root/full.orig"
  dd if=/dev/zero of="$mnt/.filler" bs=4k 2>/dev/null || true
  truncate -s -40K "$mnt/.filler"
  fault_then_mend "full file system" "$mnt" "$root/full.orig" 'rm -f "$mnt/.filler"'
  # No half-written or temporary file may stay behind from the failed writes.
  if find "$mnt" -name '.*.tmp' | grep -q .; then fail "full file system" "temporary files left behind"; fi
}

# Thumbs on a file system that keeps whole seconds (ext2 with small inodes;
# FAT keeps 2 s, some network shares whole seconds): the thumbnail bitmaps
# lose their screenshots' nanoseconds and are still known by their bytes.
thumbs_keeping_whole_seconds() {
  if ! command -v mkfs.ext2 >/dev/null; then echo "SKIP  Thumbs keeping whole seconds: no mkfs.ext2"; return; fi
  local game="$root/seconds"; mkdir -p "$game/Thumbs"
  "$check" make "$game" 6 320 240 && cp -r "$game" "$root/seconds.orig"
  truncate -s 16M "$root/seconds.img" && mkfs.ext2 -q -I 128 "$root/seconds.img" >/dev/null 2>&1
  mount -o loop "$root/seconds.img" "$game/Thumbs"
  mkdir "$root/seconds.again" && cp -p "$game"/*.bmp "$root/seconds.again/"
  convert "$game"
  if [ "$rc" -ne 0 ] || ! verify "$game" "$root/seconds.orig" --converted --thumbs --deleted; then
    fail "Thumbs keeping whole seconds" "exit $rc, $(first_message): $report"; return
  fi
  # The same screenshots, with their times, converted three times more
  # without deletion: their own thumbnail JPEGs, whose times lost the
  # nanoseconds, are replaced each time, never taken for older pictures'.
  cp -p "$root/seconds.again"/*.bmp "$game/"
  local n
  for n in 1 2 3; do
    rc=0; out=$("$convert" "$game" --thumbs 2>/dev/null) || rc=$?
    if [ "$rc" -ne 0 ]; then fail "Thumbs keeping whole seconds" "Convert $n again: exit $rc, $(first_message)"; return; fi
  done
  if ls "$game" "$game/Thumbs" | grep -q '_[0-9]*\.jpg$'; then
    fail "Thumbs keeping whole seconds" "converted again, screenshots took _n names: $(ls "$game" "$game/Thumbs" | tr '\n' ' ')"; return
  fi
  pass "Thumbs keeping whole seconds" "every thumbnail converted and every screenshot deleted ($report); three Converts more of the same screenshots replaced their own JPEGs, no _n name"
}

# Another program deletes one screenshot, replaces one with a different
# picture and one with a file it is still writing, while the pass runs; later
# it finishes writing that file.
changed_while_converting() {
  local game="$root/changing" spare="$root/changing.spare"
  "$check" make "$game" 40 320 240 && cp -r "$game" "$root/changing.orig"
  "$check" make "$spare" 1 200 150 other
  local orig="$root/changing.orig"
  cp "$orig/shot0032.bmp" "$root/shot0032.full"
  local act="rm '$game/shot0030.bmp'; cp '$spare/other0001.bmp' '$game/shot0031.bmp';"
  act+=" head -c 5000 '$orig/shot0032.bmp' > '$game/.part' && mv '$game/.part' '$game/shot0032.bmp'"
  convert "$game" --at-yield 1 "$act"
  local first_rc=$rc first="$(messages) message(s), first: $(first_message)"
  # What the user has now: the deleted one is gone by their own hand.
  rm "$orig/shot0030.bmp"; cp "$spare/other0001.bmp" "$orig/shot0031.bmp"
  cp "$game/shot0032.bmp" "$orig/shot0032.bmp"
  if [ "$first_rc" -ne 3 ]; then fail "changed while converting" "no message (exit $first_rc)"; return; fi
  if ! verify "$game" "$orig"; then fail "changed while converting" "$report"; return; fi
  local under="$report"
  # The other program finishes writing.
  cp "$root/shot0032.full" "$game/shot0032.bmp"; cp "$root/shot0032.full" "$orig/shot0032.bmp"
  convert "$game"
  if [ "$rc" -ne 0 ] || ! verify "$game" "$orig" --converted --thumbs --deleted; then
    fail "changed while converting" "the later Convert did not complete (exit $rc, $(first_message)): $report"
    return
  fi
  pass "changed while converting" "$first; nothing lost ($under); later Convert completed ($report)"
}

# A screenshot saved over after its thumbnail was made and before its deletion
# (an image editor, a sync tool) stays, with its new picture; the next Convert
# gives it JPEGs of their own beside those of the older picture.
changed_between_passes() {
  local game="$root/between" spare="$root/between.spare" orig="$root/between.orig"
  "$check" make "$game" 12 320 240 && cp -r "$game" "$orig"
  "$check" make "$spare" 1 200 150 other
  convert "$game" --at-thumbnail-pass "cp '$spare/other0001.bmp' '$game/shot0010.bmp'"
  cp "$spare/other0001.bmp" "$orig/shot0010.bmp"
  if [ "$rc" -ne 0 ]; then fail "changed between passes" "exit $rc, $(first_message)"; return; fi
  if ! verify "$game" "$orig"; then fail "changed between passes" "$report"; return; fi
  if [ ! -f "$game/shot0010.bmp" ] || [ -f "$game/shot0009.bmp" ]; then
    fail "changed between passes" "the changed screenshot was deleted, or an unchanged one kept"; return
  fi
  local under="$report"
  convert "$game"
  if [ "$rc" -ne 0 ] || [ ! -f "$game/shot0010_1.jpg" ] || ! verify "$game" "$orig" --converted --thumbs --deleted; then
    fail "changed between passes" "the later Convert did not complete (exit $rc, $(first_message)): $report"; return
  fi
  pass "changed between passes" "the changed screenshot kept ($under); later Convert gave it shot0010_1.jpg ($report)"
}

# Spaces and non-ASCII letters in the folder and the names, and names of 255
# bytes, the most a Linux file name holds. A 255-byte screenshot name leaves no
# room for the "th_" of its thumbnail JPEG: its JPEG is written, its thumbnail
# is skipped with one message before any bitmap of it is made, and the source
# stays, on every Convert.
odd_names() {
  local game="$root/Jeux vidéo/Half-Life ñ 日本 (copie)"
  local long_ascii long_utf8
  long_ascii="$(printf 'a%.0s' $(seq 251)).bmp"
  long_utf8="$(printf 'é%.0s' $(seq 125))x.bmp"
  "$check" make "$game" 3 160 120 "capture d'écran "
  cp "$game/capture d'écran 0001.bmp" "$game/Ünïcødé ☃ shot.bmp"
  cp "$game/capture d'écran 0002.bmp" "$game/$long_ascii"
  cp "$game/capture d'écran 0003.bmp" "$game/$long_utf8"
  cp -r "$game" "$root/odd.orig"
  # Without thumbnails every name, the longest included, gets its JPEG.
  rc=0; out=$("$convert" "$game" 2>/dev/null) || rc=$?
  if [ "$rc" -ne 0 ] || ! verify "$game" "$root/odd.orig" --converted; then
    fail "odd names" "JPEGs without thumbnails (exit $rc, $(first_message)): $report"; return
  fi
  local plain="$report"
  convert "$game"
  local first="$(messages) message(s), first: $(first_message)"
  if ! verify "$game" "$root/odd.orig"; then fail "odd names" "$report"; return; fi
  local with_thumbs="$report"
  local left; left=$(ls "$game" | grep -c '\.bmp$' || true)
  if [ "$left" -ne 2 ]; then fail "odd names" "$left bitmaps left, expected the two 255-byte ones"; return; fi
  if [ "$(messages)" -ne 2 ] || ls "$game/Thumbs" | grep -q '\.bmp$' \
     || [ ! -f "$game/${long_ascii%.bmp}.jpg" ] || [ ! -f "$game/${long_utf8%.bmp}.jpg" ]; then
    fail "odd names" "the 255-byte names: $(messages) messages, a bitmap left in Thumbs or a JPEG missing"; return
  fi
  convert "$game"
  if [ "$rc" -ne 3 ] || [ "$(messages)" -ne 2 ] || ls "$game/Thumbs" | grep -q '\.bmp$' \
     || ! verify "$game" "$root/odd.orig"; then
    fail "odd names" "later Convert (exit $rc, $(messages) messages): $report"; return
  fi
  pass "odd names" "no thumbnails: all converted ($plain); with thumbnails and deletion: $first; nothing lost ($with_thumbs); the two 255-byte names got their JPEGs and no thumbnail bitmap; a later Convert ran to its end with the same 2 messages"
}

# In memory where possible: on a disk the time goes to the flushes before each
# deletion, which says nothing about the count, the pass or the memory.
five_thousand() {
  local game="$root/many"
  if [ "$can_mount" = yes ]; then mkdir -p "$game" && mount -t tmpfs -o size=256m tmpfs "$game"; fi
  "$check" make "$game" 5000 32 24 && cp -r "$game" "$root/many.orig"
  local start=$SECONDS
  convert "$game" --stats
  local took=$((SECONDS - start)) stats; stats=$(grep '^stats:' <<<"$out" | cut -c8- || true)
  if [ "$rc" -ne 0 ] || ! grep -q 'counted 5000, messages 0' <<<"$stats" \
     || ! verify "$game" "$root/many.orig" --converted --thumbs --deleted; then
    fail "5,000 screenshots" "exit $rc, $stats, $(first_message): $report"; return
  fi
  pass "5,000 screenshots" "$stats, ${took} s; $report"
}

if [ "$can_mount" = yes ]; then
  read_only_game_folder
  read_only_thumbs
  full_file_system
  thumbs_keeping_whole_seconds
else
  echo "SKIP  read-only game folder, read-only Thumbs, full file system, Thumbs keeping whole seconds: need root and unshare -m"
fi
changed_while_converting
changed_between_passes
odd_names
five_thousand
echo "fault tests: $failures failed"
[ "$failures" -eq 0 ]
