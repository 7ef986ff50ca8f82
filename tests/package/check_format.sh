#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every tracked C and C++ file is formatted as the committed .clang-format says. Other releases
# of clang-format break lines differently, so only the one the tree was formatted with judges.
# Usage: check_format.sh SOURCE_DIR
set -euo pipefail
cd "$1"

wanted=14
if ! command -v clang-format >/dev/null; then
  echo "SKIPPED: no clang-format (the tree is formatted with clang-format $wanted)"
  exit 77
fi
version=$(clang-format --version | sed -nE 's/.*version ([0-9]+)\..*/\1/p')
if [ "$version" != "$wanted" ]; then
  echo "SKIPPED: clang-format $version formats differently from clang-format $wanted, which the tree follows"
  exit 77
fi
if ! files=$(git ls-files -- '*.c' '*.cpp' '*.h' 2>/dev/null); then
  echo "SKIPPED: $1 is not a git checkout, so there is no list of tracked files"
  exit 77
fi

unformatted=0 checked=0
while IFS= read -r file; do
  [ -f "$file" ] || continue
  checked=$((checked + 1))
  if ! clang-format --dry-run -Werror "$file" 2>/dev/null; then
    echo "not formatted: $file (clang-format -i $file)"
    unformatted=$((unformatted + 1))
  fi
done <<< "$files"
if [ "$unformatted" -gt 0 ]; then
  echo "FAIL: $unformatted of $checked files are not formatted by .clang-format"
  exit 1
fi
echo "ok: $checked files formatted by .clang-format"
