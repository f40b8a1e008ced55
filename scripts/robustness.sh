#!/usr/bin/env bash
# Reruns the proof and writes docs/robustness.md: each fuzz target's executions, crashes and hangs; each
# fault case with what the user saw and the byte comparison; every kivo-cli command on damaged inputs; and
# the concurrency runs (two kivo-cli processes at once on one players file or clipboard) with row counts.
#   scripts/robustness.sh [FUZZ_SECONDS]   (default 60 per target; builds into build/ and build-fuzz/)
set -uo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds="${1:-60}"
build="${KIVO_BUILD_DIR:-build}"
out="docs/robustness.md"
mkdir -p docs
cmake --build "$build" -j2 --target kivo-cli kivo_fault_tests kivo-fault-writer >/dev/null || exit 1
cli="$(realpath "$build/src/cli/kivo-cli")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Fuzzing (0 seconds: take the figures of the last scripts/fuzz.sh run).
fuzz_status=0
if [ "$fuzz_seconds" != 0 ]; then
  scripts/fuzz.sh "$fuzz_seconds" >"$work/fuzz.txt" 2>&1
  fuzz_status=$?
fi

# The fault suite and the damaged inputs, with a line per run.
KIVO_FAULT_REPORT="$work/faults.txt" "$build/tests/faults/kivo_fault_tests" \
  --gtest_filter='Faults/*:DamagedInputs.*' >"$work/fault-tests.txt" 2>&1
fault_status=$?

# Concurrency: two kivo-cli processes at once, twenty times each.
ws="$work/concurrent"
mkdir -p "$ws" && cd "$ws"
"$cli" sample-data data --seed 7 >/dev/null && "$cli" players build data >/dev/null
rows() { sqlite3 "$1" "SELECT count(*) FROM $2" 2>/dev/null || echo "?"; }
table="$(sqlite3 JUGADORES "SELECT name FROM sqlite_master WHERE type='table' LIMIT 1")"
start_rows="$(rows JUGADORES "$table")"
pair() { # NAME, then two commands separated by ::
  local name="$1"; shift
  local a=() b=() side=a
  for w in "$@"; do if [ "$w" = "::" ]; then side=b; elif [ $side = a ]; then a+=("$w"); else b+=("$w"); fi; done
  local fails=0 damaged=0 first=""
  for i in $(seq 20); do
    "$cli" "${a[@]}" >/dev/null 2>"$work/a.err" & pa=$!
    "$cli" "${b[@]}" >/dev/null 2>"$work/b.err" & pb=$!
    wait $pa || fails=$((fails + 1))
    wait $pb || fails=$((fails + 1))
    if grep -qi damaged "$work/a.err" "$work/b.err"; then damaged=$((damaged + 1)); fi
    [ -n "$first" ] || first="$(cat "$work/a.err" "$work/b.err" | head -1)"
  done
  local aside; aside="$(ls | grep -v -E '^(data|JUGADORES|portapap\.tps)$' | tr '\n' ' ')"
  echo "| $name | 40 | $fails | $damaged | $(rows JUGADORES "$table") | ${aside:-none} | ${first:-none} |"
}
{
  pair "players mark + players update" players mark 5 --position A :: players update data/TEAM.003 3
  pair "players clear + players update" players clear 0 :: players update data/TEAM.004 4
  pair "players build + players update" players build data :: players update data/TEAM.005 5
  pair "players build + players list" players build data :: players list --limit 3
} >"$work/concurrency.txt"
"$cli" clipboard add data/TEAM.001 0 1 >/dev/null
clip_before="$(rows portapap.tps "$(sqlite3 portapap.tps "SELECT name FROM sqlite_master WHERE type='table' LIMIT 1")")"
adds=0
for i in $(seq 25); do
  "$cli" clipboard add data/TEAM.001 0 2 >/dev/null 2>>"$work/clip.err" && adds=$((adds + 1)) &
  "$cli" clipboard add data/TEAM.002 1 3 >/dev/null 2>>"$work/clip.err" &
  wait
done
clip_table="$(sqlite3 portapap.tps "SELECT name FROM sqlite_master WHERE type='table' LIMIT 1")"
clip_after="$(rows portapap.tps "$clip_table")"
clip_errors="$(grep -c . "$work/clip.err" 2>/dev/null || true)"
cd - >/dev/null

# The editor beside kivo-cli: its browser searching while kivo-cli updates and marks in another process.
beside="the editor is not built here"
if cmake --build "$build" -j2 --target tst_PlayerSearchRoad >/dev/null 2>&1; then
  beside="$(QT_QPA_PLATFORM=offscreen "$build/tests/editor/tst_PlayerSearchRoad" editorBesideKivoCli 2>&1 |
    grep -E 'beside kivo-cli:|^(PASS|FAIL)' | grep -v Case\(\) |
    sed -E 's/^QINFO *: [^ ]* //; s/^PASS *: .*/(the test passed)/; s/^FAIL.*/(THE TEST FAILED)/' | paste -sd ' ')"
fi

{
  echo "# Robustness figures"
  echo
  echo "Written by \`scripts/robustness.sh $fuzz_seconds\` on $(date -u +%Y-%m-%d) ($(uname -m), $(nproc) cores)."
  echo "Rerun it to regenerate every figure below."
  echo
  echo "## Fuzzing (libFuzzer, ASan + UBSan; \`scripts/fuzz.sh SECONDS\`)"
  echo
  echo "| target | executions | crashes | hangs | seconds |"
  echo "| --- | ---: | ---: | ---: | ---: |"
  cat "${KIVO_FUZZ_BUILD_DIR:-build-fuzz}"/fuzz-*.summary 2>/dev/null |
    awk 'NF == 5 {printf "| %s | %s | %s | %s | %s |\n", $1, $2, $3, $4, $5}'
  if [ $fuzz_status -ne 0 ]; then echo; echo "fuzz.sh exit status: $fuzz_status"; fi
  echo
  echo "## Faults injected into every write"
  echo
  echo "Each write run under the fault; \"as it was\" / \"finished\" compare the target's bytes (the database's"
  echo "rows) with the workspace before the run and with a run without the fault. Cases that did not end as"
  echo "they must:"
  echo
  grep -E '^\[  FAILED  \] [A-Za-z]' "$work/fault-tests.txt" | sed -E 's/^\[  FAILED  \] /- /; s/, where GetParam.*//; s/ \([0-9]+ ms\)//' | sort -u
  grep -qE '^\[  FAILED  \] [A-Za-z]' "$work/fault-tests.txt" || echo "- none"
  echo
  echo "| command | fault | what the user saw | byte comparison |"
  echo "| --- | --- | --- | --- |"
  grep -v '^damaged' "$work/faults.txt" | awk -F' \\| ' '{gsub(/\|/, "\\|", $4); printf "| %s | %s | %s | %s |\n", $1, $2, $3, $4}'
  echo
  echo "## Every kivo-cli command on damaged inputs (10 s limit per run)"
  echo
  echo "| command | runs | exit 1 | slowest |"
  echo "| --- | ---: | ---: | ---: |"
  # The rows of the second run (1 GiB sparse files and FIFOs) follow those of the seeded sample.
  grep '^damaged total' "$work/faults.txt" | awk -F' \\| ' '
    seen[$2]++ == 1 && !marked { print "| *huge sparse files and FIFOs:* | | | |"; marked = 1 }
    {print "| " $2 " | " $3+0 " | " $4+0 " | " $5 " |"}'
  echo
  echo "Runs that hung (killed at 10 s) or ended by a signal:"
  echo
  grep '^damaged |' "$work/faults.txt" | grep -E 'hung|exit -1' | awk -F' \\| ' '{print "- kivo-cli " $2 ", input " $3 ": " $4 " after " $5}'
  grep '^damaged |' "$work/faults.txt" | grep -qE 'hung|exit -1' || echo "- none"
  echo
  echo "## Two kivo-cli processes at once"
  echo
  echo "Twenty rounds of each pair on one players file of $start_rows rows (sample data, seed 7)."
  echo
  echo "| pair | runs | failed runs | rounds with \"damaged\" | rows after | other files in the start folder | first message |"
  echo "| --- | ---: | ---: | ---: | ---: | --- | --- |"
  cat "$work/concurrency.txt"
  echo
  echo "Clipboard adds from two processes, 25 rounds: $clip_before entries before, $clip_after after (50 adds;"
  echo "$clip_errors messages)."
  echo
  echo "The editor beside kivo-cli (\`tst_PlayerSearchRoad editorBesideKivoCli\`: the player browser searching"
  echo "with mark 4 while kivo-cli replaces a team file's rows or marks players, eight rounds on one players"
  echo "file): $beside"
} >"$out"
echo "wrote $out"
