#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for
# <seconds> (default 60), after replaying the saved findings in regressions/.
# Usage: tests/fuzz/run.sh [seconds] [target...]   (targets: bmp_loader setting_file)
# Exits non-zero when a target crashes, leaks, times out or trips a sanitizer.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds="${1:-60}"
shift || true
here=tests/fuzz
out=build-fuzz

scripts/install-deps.sh clang libclang-rt-14-dev

cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++ -DGRELM_FUZZ=ON \
      -DGRELM_BUILD_TESTS=OFF -DGRELM_BUILD_BENCH=OFF >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for src in "$here"/fuzz_*.cpp; do
    [ -e "$src" ] || continue
    name="$(basename "$src" .cpp)"; targets+=("${name#fuzz_}")
  done
fi
build_targets=(make_seed_corpus)
for t in "${targets[@]}"; do build_targets+=("fuzz_$t"); done
cmake --build "$out" --parallel "$(nproc)" --target "${build_targets[@]}"
"$out/fuzz/make_seed_corpus" "$out/seeds"

export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
status=0
for t in "${targets[@]}"; do
  case "$t" in
    bmp_loader)   seeds="$out/seeds/bmp";     extra=(-dict="$here/bmp.dict" -max_len=4096) ;;
    setting_file) seeds="$out/seeds/setting"; extra=(-max_len=70000) ;;
    *)            seeds="";                   extra=() ;;
  esac
  corpus="$out/corpus/$t"; artifacts="$out/artifacts/$t"
  mkdir -p "$corpus" "$artifacts"
  bin="$out/fuzz/fuzz_$t"
  common=(-rss_limit_mb=3072 -timeout=20 -artifact_prefix="$artifacts/")
  if [ -d "$here/regressions/$t" ] && [ -n "$(ls -A "$here/regressions/$t")" ]; then
    echo "== $t: replaying saved findings"
    "$bin" "${common[@]}" "$here/regressions/$t"/* || status=1
  fi
  echo "== $t: fuzzing for $seconds s"
  rc=0
  "$bin" "${common[@]}" "${extra[@]}" -max_total_time="$seconds" -print_final_stats=1 \
         "$corpus" $seeds >"$out/$t.log" 2>&1 || rc=$?
  grep -E '^(#[0-9]+[[:space:]]+(INITED|DONE)|stat::|==[0-9]+==|SUMMARY)' "$out/$t.log" || true
  if [ $rc -ne 0 ]; then
    tail -n 60 "$out/$t.log"
    echo "fuzz_$t FAILED (exit $rc): see $out/$t.log and $artifacts"
    status=1
  fi
done
exit $status
