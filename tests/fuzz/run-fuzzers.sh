#!/usr/bin/env bash
# Builds the fuzz programs (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer: the fuzz preset) and runs each for a bounded
# time. Any crash, sanitizer report, leak, per-input timeout or memory
# overrun fails the script; the input that caused it is left under
# build/fuzz/runs/<target>/ and the end of the target's log is printed.
#
#   tests/fuzz/run-fuzzers.sh                 every target, CI's budget
#   FUZZ_SECONDS=600 tests/fuzz/run-fuzzers.sh rw_chunks level_file
#
# With no target named and no FUZZ_SECONDS, the run is CI's and repeatable:
# each target starts from a fresh corpus with seed 1 and stops after the
# number of inputs tests/fuzz/ci-runs.txt gives it (or 25 s, whichever comes
# first), so CI replays exactly the inputs a developer's run of the same
# command already passed, never a new random draw. Otherwise FUZZ_SECONDS is
# the time of each target (default: 20 s, less when the targets would take
# more than FUZZ_TOTAL_SECONDS, default 330, in all), with a random seed
# unless FUZZ_SEED is set.
# FUZZ_JOBS runs that many targets at once (default 1). Inputs the fuzzer
# finds are kept in build/fuzz/runs/<target>/corpus for the next run; the
# seeds come from the targets themselves and the committed regression
# inputs from tests/data/fuzz/<target>/.
set -euo pipefail
cd "$(dirname "$0")/../.."

# The compiler and libFuzzer's runtime: the fuzz group of tools/packages.txt.
tools/install-packages.sh build fuzz

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

pinned=0
[ $# -eq 0 ] && [ -z "${FUZZ_SECONDS:-}" ] && pinned=1
targets=("$@")
if [ "$pinned" = 1 ]; then
  while read -r name _; do
    case "$name" in ''|'#'*) ;; *) targets+=("$name") ;; esac
  done < tests/fuzz/ci-runs.txt
elif [ ${#targets[@]} -eq 0 ]; then
  for program in build/fuzz/fuzz_*; do
    [ -x "$program" ] && targets+=("${program##*/fuzz_}")
  done
fi
total=${FUZZ_TOTAL_SECONDS:-330}
jobs=${FUZZ_JOBS:-1}
seconds=${FUZZ_SECONDS:-$(( total * jobs / ${#targets[@]} < 20 ? total * jobs / ${#targets[@]} : 20 ))}

run_one() {
  local name=$1
  local dir=build/fuzz/runs/$name
  mkdir -p "$dir/corpus" "$dir/seeds"
  local args=(-timeout=10 -rss_limit_mb=2048 -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$dir/")
  if [ "$pinned" = 1 ]; then
    local runs
    runs=$(awk -v t="$name" '$1 == t { print $2 }' tests/fuzz/ci-runs.txt)
    [ -n "$runs" ] || { echo "fuzz $name: no entry in tests/fuzz/ci-runs.txt"; return 1; }
    rm -rf "$dir/corpus" && mkdir -p "$dir/corpus"
    args+=(-seed=1 -runs="$runs" -max_total_time=25)
  else
    args+=(-max_total_time="$seconds")
    [ -n "${FUZZ_SEED:-}" ] && args+=(-seed="$FUZZ_SEED")
  fi
  [ -f "tests/fuzz/dict/$name.dict" ] && args+=(-dict="tests/fuzz/dict/$name.dict")
  local corpora=("$dir/corpus" "$dir/seeds")
  [ -d "tests/data/fuzz/$name" ] && corpora+=("tests/data/fuzz/$name")
  if ENGINE_FUZZ_SEEDS="$dir/seeds" "build/fuzz/fuzz_$name" "${args[@]}" "${corpora[@]}" >"$dir/log" 2>&1; then
    echo "fuzz $name: $(grep -E '^stat::number_of_executed_units' "$dir/log" | awk '{print $2}') runs," \
         "$(grep -oE 'cov: [0-9]+' "$dir/log" | tail -1)"
  else
    echo "fuzz $name: FAILED (log $dir/log)"
    tail -60 "$dir/log"
    return 1
  fi
}

failed=0
running=0
for name in "${targets[@]}"; do
  run_one "$name" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
exit $failed
