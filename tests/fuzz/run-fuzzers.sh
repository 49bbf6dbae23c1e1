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
# FUZZ_SECONDS is the time of each target (default: 20 s, less when the
# targets would take more than FUZZ_TOTAL_SECONDS, default 330, in all).
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

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
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
  local args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -close_fd_mask=1
              -print_final_stats=1 -artifact_prefix="$dir/")
  [ -f "tests/fuzz/dict/$name.dict" ] && args+=(-dict="tests/fuzz/dict/$name.dict")
  local corpora=("$dir/corpus" "$dir/seeds")
  [ -d "tests/data/fuzz/$name" ] && corpora+=("tests/data/fuzz/$name")
  if LSAN_OPTIONS="suppressions=$PWD/tests/fuzz/lsan.supp" ENGINE_FUZZ_SEEDS="$dir/seeds" "build/fuzz/fuzz_$name" "${args[@]}" "${corpora[@]}" >"$dir/log" 2>&1; then
    echo "fuzz $name: $(grep -E '^stat::number_of_executed_units' "$dir/log" | awk '{print $2}') runs," \
         "$(grep -oE 'cov: [0-9]+' "$dir/log" | tail -1) in ${seconds} s"
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
