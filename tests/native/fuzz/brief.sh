#!/bin/sh
# Runs a fuzz target for a few seconds over its seeds: the test command's run. It runs
# twice, as in a single-byte code page and as in code page 932, whose second bytes may
# look like separators.
#   brief.sh TARGET WORK_DIR SEED_DIR
# Its corpus is made afresh each time, so the run takes as long however much a longer
# run (scripts/fuzz.sh, corpus WORK_DIR/corpus) has found; the seeds are only read. The
# input of a finding is left in WORK_DIR.
set -eu
rm -rf "$2/brief-corpus"
mkdir -p "$2/brief-corpus"
for codePage in 1252 932; do
  TOLVEX_FUZZ_CODE_PAGE=$codePage "$1" -max_total_time=2 -timeout=5 -rss_limit_mb=1024 -print_final_stats=1 \
    -artifact_prefix="$2/" "$2/brief-corpus" "$3"
done
