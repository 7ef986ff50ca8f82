#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs one fuzz target for a bounded number of inputs from its seeds, so a broken target fails
# the suite. New inputs go to a scratch folder; the seeds stay as generated.
# usage: run_briefly.sh TARGET SEEDS SCRATCH RUNS
set -eu
target=$1 seeds=$2 scratch=$3 runs=$4
rm -rf "$scratch"
mkdir -p "$scratch/corpus" "$scratch/artifacts"
exec "$target" -runs="$runs" -seed=1 -max_len=8192 -print_final_stats=1 \
  -artifact_prefix="$scratch/artifacts/" "$scratch/corpus" "$seeds"
