#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the .deb from the build tree, unpacks it without installing, and runs the programs and
# reads the man pages, the licence and the changelog from the unpacked tree.
# Usage: check_deb.sh CPACK_CONFIG FIXTURE_WRITER VERSION LICENSE
set -euo pipefail
config=$1 fixtures=$2 version=$3 licence=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$config" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, got: ${debs[*]}"
deb=${debs[0]}

dpkg-deb -f "$deb" Package | grep -qx tamsik || fail "package name"
dpkg-deb -f "$deb" Version | grep -qx "$version" || fail "package version"
root=$work/root
dpkg-deb -x "$deb" "$root"
# Statically linked programs need no shared library; dynamically linked ones need the C library.
depends=$(dpkg-deb -f "$deb" Depends)
if ! readelf -l "$root/usr/bin/tamsik" | grep -q INTERP; then
  [ -z "$depends" ] || fail "static programs, yet the package depends on: $depends"
else
  grep -q libc6 <<<"$depends" || fail "no dependency on the C library"
fi
for program in tamsik tamsik-full tamsik-info; do
  [ -x "$root/usr/bin/$program" ] || fail "usr/bin/$program missing"
  page=$root/usr/share/man/man1/$program.1.gz
  [ -f "$page" ] || fail "man page of $program missing"
  warnings=$(zcat "$page" | groff -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "man page of $program: $warnings"
  rendered=$(zcat "$page" | groff -man -Tutf8 -P-cbou 2>/dev/null)
  grep -qx "NAME" <<<"$rendered" || fail "man page of $program renders no NAME"
done

# The copyright file is machine-readable and carries LICENSE's terms word for word.
doc=$root/usr/share/doc/tamsik
copyright=$doc/copyright
[ -f "$copyright" ] || fail "usr/share/doc/tamsik/copyright missing"
head -n 1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "copyright file is not in the machine-readable format"
grep -qx "Copyright: $(sed -n 's/^Copyright (c) //p' "$licence")" "$copyright" || fail "copyright holder"
grep -qx 'License: Expat' "$copyright" || fail "copyright file names no Expat (MIT) licence"
terms=$(sed -n '/^License: Expat$/,$p' "$copyright" | tail -n +2 | sed 's/^ //; s/^\.$//')
[ "$terms" = "$(sed -n '/^Permission/,$p' "$licence")" ] || fail "copyright file's licence text differs from LICENSE"

# The changelog is in Debian's form, and its newest entry is this version.
[ -f "$doc/changelog.gz" ] || fail "usr/share/doc/tamsik/changelog.gz missing"
zcat "$doc/changelog.gz" >"$work/changelog"
parsed=$(dpkg-parsechangelog -l "$work/changelog" -S Version 2>&1) || fail "changelog: $parsed"
[ "$parsed" = "$version" ] || fail "changelog's newest version is '$parsed', the package's $version"
awk 'length > 80 { exit 1 }' "$work/changelog" || fail "changelog has lines longer than 80 columns"

# Statically linked programs come with the reason, for lintian.
overrides=$root/usr/share/lintian/overrides/tamsik
if [ -z "$depends" ]; then
  for program in tamsik tamsik-full tamsik-info; do
    grep -qx "tamsik: statically-linked-binary \[usr/bin/$program\]" "$overrides" ||
      fail "no lintian override for the statically linked $program"
  done
  grep -q '^# .*[0-9] ms linked dynamically' "$overrides" || fail "the override gives no measured cost"
else
  [ ! -e "$overrides" ] || fail "lintian overrides for dynamically linked programs"
fi

mkdir "$work/files"
"$fixtures" "$work/files" >/dev/null
cd "$work/files"
bin=$root/usr/bin

expect() {  # expect WANTED_OUTPUT WANTED_STATUS COMMAND...
  local wanted=$1 wantedStatus=$2 output status=0
  shift 2
  output=$("$@") || status=$?
  [ "$output" = "$wanted" ] && [ "$status" -eq "$wantedStatus" ] ||
    fail "$* gave '$output' (status $status), expected '$wanted' (status $wantedStatus)"
}

expect "=" 0 "$bin/tamsik" program.exe program.exe
expect "0" 0 "$bin/tamsik" program.exe elsewhere.exe
expect "=" 0 "$bin/tamsik" library.dll notes.txt
expect "0" 0 "$bin/tamsik" program.exe missing.exe
expect "=" 0 "$bin/tamsik-full" program.exe program.exe
expect "0" 0 "$bin/tamsik-full" program.exe plain.exe
expect "tamsik-info $version" 0 "$bin/tamsik-info" --version
line=$("$bin/tamsik-info" --json program.exe)
grep -q '"Stop":"Complete".*"ProductVersion":"1.2"' <<<"$line" || fail "tamsik-info read: $line"
echo "ok: $(basename "$deb")"
