#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every man page renders, and groff has nothing to warn about in it.
# Usage: check_man_pages.sh PAGE...
set -euo pipefail
status=0
for page in "$@"; do
  warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1) || { echo "$page: groff failed"; status=1; }
  if [ -n "$warnings" ]; then
    echo "$page:"
    echo "$warnings"
    status=1
  fi
  rendered=$(groff -man -Tutf8 -P-cbou "$page" 2>/dev/null)
  grep -qx "NAME" <<<"$rendered" || { echo "$page: renders no NAME section"; status=1; }
done
exit $status
