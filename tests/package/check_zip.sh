#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Windows zip and checks that it carries the programs, and the licence and README
# as they stand in the source tree.
# Usage: check_zip.sh CPACK_CONFIG SOURCE_DIR
set -euo pipefail
config=$1 source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$config" -G ZIP -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
zips=("$work"/out/*.zip)
[ ${#zips[@]} -eq 1 ] && [ -f "${zips[0]}" ] || fail "expected one .zip, got: ${zips[*]}"
mkdir "$work/root"
(cd "$work/root" && cmake -E tar xf "${zips[0]}")
top=("$work"/root/*)
[ ${#top[@]} -eq 1 ] && [ -d "${top[0]}" ] || fail "the zip holds more than one folder at the top"
for program in tamsik tamsik-full tamsik-info; do
  [ -f "${top[0]}/bin/$program.exe" ] || fail "bin/$program.exe missing"
done
for file in LICENSE README.md; do
  cmp -s "$source/$file" "${top[0]}/$file" || fail "$file missing or not the source tree's"
done
echo "ok: $(basename "${zips[0]}") carries the programs, LICENSE and README.md"
