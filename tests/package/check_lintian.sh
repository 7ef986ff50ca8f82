#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the .deb and runs Debian's own checker on it: any error or warning fails, except that
# the placeholder maintainer's address (used until a packager sets TAMSIK_PACKAGE_MAINTAINER)
# is bogus, in the Maintainer field and in the changelog's trailer lines.
# Usage: check_lintian.sh CPACK_CONFIG DEFAULT_MAINTAINER
set -euo pipefail
config=$1 default=$2

if ! command -v lintian >/dev/null; then
  echo "SKIPPED: lintian is not installed (scripts/install-deps installs it)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$config" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(echo "$work"/out/*.deb)
[ -f "$deb" ] || { echo "FAIL: no .deb made"; exit 1; }

maintainer=$(dpkg-deb -f "$deb" Maintainer)
allowed='^$'
if [ "$maintainer" = "$default" ]; then
  allowed='^[EW]: tamsik(:| \(binary\):) (bogus-mail-host|bogus-mail-host-in-debian-changelog) '
fi

# Lintian's exit status is kept for failures to run; the tags are judged here.
status=0
report=$(lintian --fail-on none --show-overrides "$deb" 2>&1) || status=$?
echo "lintian $(lintian --print-version) on $(basename "$deb"), maintainer $maintainer:"
echo "${report:-(nothing reported)}"
[ "$status" -eq 0 ] || { echo "FAIL: lintian exited with $status"; exit 1; }
faults=$(grep -E '^[EW]: ' <<<"$report" | grep -Ev "$allowed" || true)
[ -z "$faults" ] || { echo "FAIL: lintian reports errors or warnings:"; echo "$faults"; exit 1; }
echo "ok: no error or warning beyond the placeholder maintainer's address"
