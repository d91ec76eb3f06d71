#!/bin/sh
# Runs a fuzz target for a few seconds over its seeds: the test command's run.
#   brief.sh TARGET WORK_DIR SEED_DIR
# Its corpus is made afresh each time, so the run takes as long however much a longer
# run (scripts/fuzz.sh, corpus WORK_DIR/corpus) has found; the seeds are only read. The
# input of a finding is left in WORK_DIR.
set -eu
rm -rf "$2/brief-corpus"
mkdir -p "$2/brief-corpus"
exec "$1" -max_total_time=3 -timeout=5 -rss_limit_mb=1024 -print_final_stats=1 \
  -artifact_prefix="$2/" "$2/brief-corpus" "$3"
