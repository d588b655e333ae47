#!/usr/bin/env bash
# Measures --watch from outside: its idle cost (CPU time of the watcher over a
# quiet minute, with COUNT screenshots present and kept), the time from the
# close of a 1024x768 screenshot to its JPEG, and how long a burst of 3,000
# screenshots moved in at once takes to be converted. CPU time, not wall
# time, says the idle cost, so a busy machine does not distort it; the load
# average is printed beside the figures.
# Usage: bench/watch_measure.sh [program (default build/bin/grelm-converter)] [COUNT...]
# (no COUNT: only the latency and the burst)
set -euo pipefail
cd "$(dirname "$0")/.."
. tests/support/outside_checks.sh
program="$(realpath "${1:-build/bin/grelm-converter}")"
shift || true
counts=("$@")
built_programs build make_shots=grelm-fault-check
scratch_root /tmp/grelm-watch-measure
watcher=""
at_exit() { [ -n "$watcher" ] && kill "$watcher" 2>/dev/null; }
export HOME="$root/home"; mkdir -p "$HOME"
ticks=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
start_watch() {
  "$program" --watch "$1" >"$root/watch.out" 2>"$root/watch.err" &
  watcher=$!
  until grep -q '^watching' "$root/watch.out" 2>/dev/null; do sleep 0.2; done
}
stop_watch() { kill -TERM "$watcher"; wait "$watcher" || true; watcher=""; }
wait_for() { while [ ! -e "$1" ]; do sleep 0.005; done; }

echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
"$make_shots" make "$root/source" 4 16 12 tiny >/dev/null
for count in "${counts[@]+"${counts[@]}"}"; do
  folder="$root/idle$count"; mkdir -p "$folder"
  # Links to a few small bitmaps (a file takes at most 65,000 links): the
  # watch sees COUNT files, made in seconds.
  python3 -c 'import os, sys
for i in range(int(sys.argv[3])): os.link("%s/tiny%04d.bmp" % (sys.argv[1], 1 + i // 60000), "%s/shot%d.bmp" % (sys.argv[2], i))' \
    "$root/source" "$folder" "$count"
  start_watch "$folder"
  sleep 2
  before=$(cpu_ticks "$watcher"); sleep 60; after=$(cpu_ticks "$watcher")
  echo "idle, $count screenshots present: $(awk -v t=$((after - before)) -v hz="$ticks" 'BEGIN{printf "%.2f", 100 * t / hz / 60}') % of one core (CPU time over 60 s)"
  stop_watch
  rm -rf "$folder"
done

# Close to JPEG: the game writes the file and closes it.
folder="$root/latency"; mkdir -p "$folder"
"$make_shots" make "$root/big" 1 1024 768 big >/dev/null
start_watch "$folder"
: >"$root/latencies"
for i in $(seq 20); do
  cp "$root/big/big0001.bmp" "$folder/shot$i.bmp"
  t0=$(date +%s%N); wait_for "$folder/shot$i.jpg"; t1=$(date +%s%N)
  echo $(((t1 - t0) / 1000000)) >>"$root/latencies"
  sleep 0.5
done
stop_watch
sort -n "$root/latencies" | awk '{a[NR]=$1} END{printf "close to JPEG, 1024x768, %d tries: median %d ms, longest %d ms\n", NR, (a[int((NR+1)/2)]+a[int(NR/2)+1])/2, a[NR]}'

# A burst: 3,000 screenshots moved in at once.
folder="$root/burst"; mkdir -p "$folder" "$root/staged"
"$make_shots" make "$root/staged" 3000 160 120 burst >/dev/null
start_watch "$folder"
t0=$(date +%s%N)
mv "$root/staged"/*.bmp "$folder/"
wait_for "$folder/burst3000.jpg"
until [ "$(ls "$folder" | grep -c '\.jpg$')" -ge 3000 ]; do sleep 0.05; done
t1=$(date +%s%N)
stop_watch
echo "burst of 3000 (160x120) moved in: all converted in $(((t1 - t0) / 1000000)) ms"
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
