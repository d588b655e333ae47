#!/usr/bin/env bash
# Kills a real Convert (thumbnails and source deletion on) with SIGKILL at many
# moments spread over its run, and after each kill checks that every
# screenshot is still there as its bitmap or as whole JPEGs, that no file with
# a final name is partial, and that a new Convert finishes the job.
# The moments: undisturbed runs measure when the command's three stretches
# (the screenshot pass, the thumbnail maker, the thumbnail pass that deletes)
# begin and end; the kills go to the stretches in the turn 0 1 2 2 (the
# deleting pass gets half), each at a random moment of its own slice of its
# stretch (the last reaches a little past the end), timed inside the process
# from the command's start.
# Usage: tests/faults/crash_consistency.sh [kills (default 60)] [build folder (default build)]
set -euo pipefail
cd "$(dirname "$0")/../.."
. tests/support/outside_checks.sh
kills="${1:-60}"
build="${2:-build}"
shots=32
# Large thumbnails make the thumbnail pass, where sources are deleted, last long enough to hit.
thumb_width=480
built_programs "$build" convert=grelm-headless-convert check=grelm-fault-check
export QT_QPA_PLATFORM=offscreen

scratch_root "$( [ -d /dev/shm ] && echo /dev/shm || echo /tmp )/grelm-crash"
own_runtime_folder
"$check" make "$root/originals" "$shots" 640 480

fresh() { rm -rf "$root/work"; cp -r "$root/originals" "$root/work"; }

# Step times of the undisturbed runs, summed: the start, the screenshot
# pass's last step, the thumbnail pass's first step, the end.
b1=0; b2=0; b3=0
for run in 1 2 3; do
  fresh
  "$convert" "$root/work" --thumbs --delete --width "$thumb_width" --captions >"$root/calibration"
  "$check" verify "$root/work" "$root/originals" --converted --thumbs --deleted >/dev/null
  mapfile -t at < <(awk '$1 == "caption:" {print $2}' "$root/calibration")
  b1=$((b1 + at[shots])); b2=$((b2 + at[shots + 1])); b3=$((b3 + at[${#at[@]} - 1]))
done
bounds=(0 $((b1 * 1000 / 3)) $((b2 * 1000 / 3)) $((b3 * 1100 / 3)))
echo "an undisturbed Convert of $shots screenshots: screenshot pass to $((bounds[1] / 1000)) ms," \
     "thumbnails to $((bounds[2] / 1000)) ms, thumbnail pass to $((b3 / 3)) ms; $kills kills"

turn=(0 1 2 2); per_stretch=(0 0 0)
for ((k = 0; k < kills; k++)); do per_stretch[turn[k % 4]]=$((per_stretch[turn[k % 4]] + 1)); done
failures=0; killed_running=0; states=""; done_in=(0 0 0); landed=(0 0 0 0 0)
for ((k = 0; k < kills; k++)); do
  fresh
  stretch=${turn[k % 4]}; slices=${per_stretch[stretch]}; slice=${done_in[stretch]}
  done_in[stretch]=$((slice + 1))
  from=${bounds[stretch]}; span=$(( bounds[stretch + 1] - from ))
  moment_us=$(( from + (slice * 1000 + RANDOM % 1000) * span / slices / 1000 ))
  # A shell of its own reports the death, so the log stays quiet.
  rc=$(bash -c '"$@" >/dev/null 2>&1; echo $?' _ "$convert" "$root/work" --thumbs --delete --width "$thumb_width" \
       --kill-after "$moment_us" 2>/dev/null)
  [ "$rc" -eq 137 ] && killed_running=$((killed_running + 1))
  jpgs=$(ls "$root/work" | grep -c '\.jpg$' || true)
  thumbs=$(ls "$root/work/Thumbs" 2>/dev/null | grep -c '^th_.*\.jpg$' || true)
  bmps=$(ls "$root/work" | grep -c '\.bmp$' || true)
  states+="$jpgs/$thumbs/$bmps "
  if ((jpgs == 0)); then phase=0; elif ((jpgs < shots)); then phase=1
  elif ((bmps == shots)); then phase=2; elif ((bmps > 0)); then phase=3; else phase=4; fi
  landed[phase]=$((landed[phase] + 1))
  if ! out=$("$check" verify "$root/work" "$root/originals"); then
    echo "kill $k at $moment_us us: $out"; failures=$((failures + 1)); continue
  fi
  # A new Convert, undisturbed, must finish the job without a message.
  if ! msgs=$("$convert" "$root/work" --thumbs --delete --width "$thumb_width" 2>/dev/null) \
     || ! out=$("$check" verify "$root/work" "$root/originals" --converted --thumbs --deleted); then
    echo "kill $k at $moment_us us: the next Convert did not finish: $msgs $out"
    failures=$((failures + 1))
  fi
done
echo "after each kill, JPEGs / thumbnail JPEGs / bitmaps left (of $shots): $states"
echo "kills that left: no JPEG yet ${landed[0]}, the screenshot pass part-done ${landed[1]}," \
     "all JPEGs but no source deleted ${landed[2]}, sources part-deleted ${landed[3]}, all done ${landed[4]}"
echo "crash consistency: $kills kills ($killed_running while the Convert ran), $shots screenshots checked after each kill and after each new Convert; $failures failures"
[ "$failures" -eq 0 ]
