#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What one tamsik-info run over many files costs: wall time and peak memory for growing file
# counts, so a reader can see time grow with the count and memory stay put.
# Usage: bench/info_many_files.sh [BUILD_DIR] [COUNT...]   (defaults: build/release 100 1000 10000)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
shift || true
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(100 1000 10000)

program=$(realpath "$build/tamsik-info/tamsik-info")
fixtures=$(realpath "$build/tests/info/tamsik_info_fixtures")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Every kind of file, the missing one included, hard-linked over and over: the reader sees
# distinct names, the disk holds a few small files.
mkdir seeds
mapfile -t kinds < <("$fixtures" seeds | cut -d' ' -f1)
largest=0
for count in "${counts[@]}"; do [ "$count" -gt "$largest" ] && largest=$count; done
names=()
for ((i = 0; i < largest; ++i)); do
  kind=${kinds[i % ${#kinds[@]}]}
  name="f$i-$kind"
  [ -e "seeds/$kind" ] && ln "seeds/$kind" "$name"
  names+=("$name")
done

printf '%-8s %-6s %10s %14s %12s\n' files form seconds peak_rss_kib bytes_out
for count in "${counts[@]}"; do
  for form in text json; do
    option=()
    [ "$form" = json ] && option=(--json)
    /usr/bin/time -v -o time.log "$program" "${option[@]}" -- "${names[@]:0:count}" >out || true
    seconds=$(awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, t, ":"); s = 0;
                for (i = 1; i <= n; ++i) s = s * 60 + t[i]; print s}' time.log)
    rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' time.log)
    printf '%-8s %-6s %10s %14s %12s\n' "$count" "$form" "$seconds" "$rss" "$(stat -c %s out)"
  done
done
