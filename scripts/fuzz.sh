#!/usr/bin/env bash
# Builds the fuzz targets with clang (ASan + UBSan, in build-fuzz/) and runs each for SECONDS (default
# 60) on its checked-in seed corpus tests/fuzz/corpus/<target>/. New inputs go to build-fuzz/corpus/, a
# crash, a hang (an input running past 10 s) or a sanitizer report to build-fuzz/findings/. Prints a line
# per target: executions, crashes, hangs; the table is also left in build-fuzz/fuzz-summary.txt. Exit
# status 1 when any target found something.
# KIVO_FUZZ_ALL_CHECKS=1 also checks the properties of open findings (see IniFuzz.cpp, ClipboardFuzz.cpp).
# KIVO_FUZZ_RUNS=N ends each target after N executions (SECONDS stays the limit), for a count-based proof:
#   KIVO_FUZZ_RUNS=1000000 scripts/fuzz.sh 7200
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
build="${KIVO_FUZZ_BUILD_DIR:-build-fuzz}"
if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ is not installed (scripts/setup.sh installs it); no fuzzing"
  exit 0
fi
if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIVO_FUZZ=ON \
    -DKIVO_BUILD_EDITOR=OFF -DKIVO_BUILD_TESTS=OFF -DKIVO_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j2 --target kivo_fuzz_targets

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(TeamRecordFuzz TeamFileFuzz PoolFuzz IniFuzz FormulaFuzz PlayerDatabaseFuzz ClipboardFuzz
                                     GameFilesCheckFuzz RosterFuzz KteamFuzz)
declare -A max_len=([TeamRecordFuzz]=1400 [TeamFileFuzz]=8192 [PoolFuzz]=4096 [IniFuzz]=2048 [FormulaFuzz]=420
                    [PlayerDatabaseFuzz]=65536 [ClipboardFuzz]=65536 [GameFilesCheckFuzz]=8192
                    [RosterFuzz]=16384 [KteamFuzz]=1024)
summary="$build/fuzz-summary.txt"
# Targets run side by side on a machine with cores to spare (KIVO_FUZZ_JOBS, default half the cores).
jobs="${KIVO_FUZZ_JOBS:-$(( $(nproc) / 2 > 0 ? $(nproc) / 2 : 1 ))}"

run_target() {
  local t="$1" corpus="$build/corpus/$1" findings="$build/findings" log="$build/fuzz-$1.log" status=0
  local runs_limit=() started=$SECONDS
  [ -z "${KIVO_FUZZ_RUNS:-}" ] || runs_limit=(-runs="$KIVO_FUZZ_RUNS")
  mkdir -p "$corpus" "$findings"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/tests/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len="${max_len[$t]}" -print_final_stats=1 -artifact_prefix="$findings/$t-" "${runs_limit[@]}" \
    "$corpus" "tests/fuzz/corpus/$t" >"$log" 2>&1 || status=$?
  local runs crashes=0 hangs=0
  runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)"
  if [ "$status" -ne 0 ]; then
    if grep -qE 'ERROR: libFuzzer: timeout|FINDING: hang' "$log"; then hangs=1; else crashes=1; fi
    echo "fuzz: $t found something: see $log and $findings/" >&2
    grep -m5 -E 'ERROR|FINDING|runtime error' "$log" >&2 || true
  fi
  printf '%-20s %12s %8s %6s %10s\n' "$t" "${runs:-?}" "$crashes" "$hangs" "$((SECONDS - started))" >"$build/fuzz-$t.summary"
}

for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_target "$t" &
done
wait
printf '%-20s %12s %8s %6s %10s\n' target executions crashes hangs seconds > "$summary"
found=0
for t in "${targets[@]}"; do
  cat "$build/fuzz-$t.summary" >> "$summary"
  awk '{ if ($3 != 0 || $4 != 0) exit 1 }' "$build/fuzz-$t.summary" || found=1
done
cat "$summary"
exit "$found"
