#!/usr/bin/env bash
# Runs every fuzz target of the text logic for a while, one after the other on one core.
#
#   bash scripts/fuzz.sh [SECONDS] [--update-corpus] [TARGET...]
#
# SECONDS per target (default 60). Each target grows its work corpus in
# build-native/fuzz/<target>/corpus from the seeds in tests/native/corpus/<target>, which
# stay as they are unless --update-corpus merges into them what adds coverage. Prints the
# executions per target and in all; exits non-zero when a target finds something, and
# says where the input that shows it was left.
set -eu
cd "$(dirname "$0")/.."
seconds=60
update=0
targets=()
for arg in "$@"; do
  case "$arg" in
    --update-corpus) update=1 ;;
    [0-9]*) seconds=$arg ;;
    *) targets+=("$arg") ;;
  esac
done
bash scripts/deps.sh
bash scripts/build-native.sh
if [ ${#targets[@]} -eq 0 ]; then
  for dir in tests/native/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

total=0
status=0
for t in "${targets[@]}"; do
  exe=build-native/bin/tolvex_fuzz_$t
  seeds=tests/native/corpus/$t
  work=build-native/fuzz/$t
  [ -x "$exe" ] || { echo "$t: no such target ($exe)"; status=1; continue; }
  mkdir -p "$work/corpus"
  rc=0
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/" "$work/corpus" "$seeds" >"$work/fuzz.log" 2>&1 || rc=$?
  runs=$(awk '/stat::number_of_executed_units/ {n = $2} END {print n + 0}' "$work/fuzz.log")
  total=$((total + runs))
  if [ $rc -eq 0 ]; then
    printf '%-12s %12d executions\n' "$t" "$runs"
  else
    status=1
    found=$(sed -n 's/.*Test unit written to //p' "$work/fuzz.log" | tail -1)
    printf '%-12s %12d executions  FINDING (exit %d): input %s, log %s\n' "$t" "$runs" "$rc" "${found:-none}" "$work/fuzz.log"
  fi
  if [ $update -eq 1 ] && [ $rc -eq 0 ]; then
    "$exe" -merge=1 "$seeds" "$work/corpus" >"$work/merge.log" 2>&1
  fi
done
printf '%-12s %12d executions\n' total "$total"
exit $status
