#!/usr/bin/env bash
# A kill never loses what already reached the page cache, so kills cannot show
# whether a screenshot is deleted only after its JPEGs are on the disk. This
# traces the flushes, renames and deletions of a real Convert (thumbnails and
# deletion on) with strace and checks their order for every screenshot; then
# times thumbnails with and without deletion on this machine's disk.
# Usage: tests/faults/flush_order.sh [build folder (default build)] [screenshots (default 600)]
set -euo pipefail
cd "$(dirname "$0")/../.."
. tests/support/outside_checks.sh
build="${1:-build}" count="${2:-600}"
built_programs "$build" convert=grelm-headless-convert check=grelm-fault-check
scripts/install-deps.sh strace
export QT_QPA_PLATFORM=offscreen
# On the disk, not in memory: flushes there cost what they cost a user.
scratch_root "$PWD/$build/flush-order"

"$check" make "$root/game" "$count" 160 120
strace -f -qq -y -o "$root/trace" -e trace=fsync,fdatasync,rename,renameat,renameat2,unlink,unlinkat \
  "$convert" "$root/game" --thumbs --delete >/dev/null
"$check" order "$root/trace" "$root/game"

# Deletion's cost beside thumbnails alone, alternating rounds.
timed() { local t0; t0=$(date +%s%N); "$convert" "$@" >/dev/null; echo $((($(date +%s%N) - t0) / 1000000)); }
plain=() deleting=()
for round in 1 2 3; do
  rm -rf "$root/a" "$root/b"
  "$check" make "$root/a" "$count" 160 120 && cp -r "$root/a" "$root/b"
  plain+=("$(timed "$root/a" --thumbs)")
  deleting+=("$(timed "$root/b" --thumbs --delete)")
done
median() { printf '%s\n' "$@" | sort -n | sed -n 2p; }
echo "flush order: $count screenshots on disk, median of 3: thumbnails $(median "${plain[@]}") ms," \
     "thumbnails + deletion $(median "${deleting[@]}") ms"
