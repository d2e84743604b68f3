#!/bin/sh
# run_fuzzer.sh FUZZER SEED_DIR WORK_DIR SECONDS
# Fuzzes for SECONDS from a copy of the seed corpus, so the repository is
# never written. A crashing input is left in WORK_DIR/artifacts; add it to
# the seed corpus so that it replays in every test run from then on.
set -eu
fuzzer=$1 seeds=$2 work=$3 seconds=$4
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
cp "$seeds"/* "$work/corpus/"
exec "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$work/artifacts/" "$work/corpus"
