#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every tracked source file names its licence on its first line (the second after a shebang):
#   // SPDX-License-Identifier: MIT   in *.c *.cpp *.h *.rc *.rc.in
#   # SPDX-License-Identifier: MIT    in CMakeLists.txt *.cmake *.sh *.py and any file starting
#                                     with a shebang (the scripts without an extension)
# Other files (Markdown, man pages, JSON, the case table, images) are not checked.
# Usage: check_licence_lines.sh SOURCE_DIR
set -euo pipefail
cd "$1"

if ! command -v git >/dev/null; then
  echo "SKIPPED: no git to list the tracked files"
  exit 77
fi
if ! files=$(git ls-files -z 2>/dev/null | tr '\0' '\n'); then
  echo "SKIPPED: $1 is not a git checkout, so there is no list of tracked files"
  exit 77
fi

[ "$(head -n 1 LICENSE 2>/dev/null)" = "MIT License" ] || { echo "FAIL: LICENSE is not the MIT licence"; exit 1; }

checked=0 missing=0
while IFS= read -r file; do
  [ -f "$file" ] || continue  # deleted in the working tree, not yet committed
  first=$(head -n 1 "$file")
  case "${file##*/}" in
    *.c | *.cpp | *.h | *.rc | *.rc.in) wanted='// SPDX-License-Identifier: MIT' ;;
    CMakeLists.txt | *.cmake | *.sh | *.py) wanted='# SPDX-License-Identifier: MIT' ;;
    *)
      [[ $first == '#!'* ]] || continue
      wanted='# SPDX-License-Identifier: MIT'
      ;;
  esac
  line=$first
  [[ $first == '#!'* ]] && line=$(sed -n 2p "$file")
  checked=$((checked + 1))
  if [ "${line%$'\r'}" != "$wanted" ]; then
    echo "no licence line: $file (wanted '$wanted' first, after any shebang)"
    missing=$((missing + 1))
  fi
done <<<"$files"

[ "$checked" -gt 0 ] || { echo "FAIL: no source files found in $1"; exit 1; }
[ "$missing" -eq 0 ] || { echo "FAIL: $missing of $checked files name no licence"; exit 1; }
echo "ok: $checked files name their licence"
