#!/usr/bin/env bash
# Checks that every include of the sources points down the layers:
#   tests/layering/check.sh [SRC_DIR]
# core is portable (nothing of win/ or tool/, no <windows.h>); inside win/
# the order is res, common, screen, options, settings_dialog, startup and a
# folder includes only its own and lower ones; tool/ includes no dialog
# (options, settings_dialog, startup). Every quoted include of the project
# names a file that exists. The last line is "N passed, N failed".
set -u
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
SRC="${1:-$ROOT/src}"

passed=0
failed=0
check() {  # NAME COMMAND...
  local name="$1"
  shift
  local out
  if out=$("$@"); then
    passed=$((passed + 1))
    echo "ok   $name"
  else
    failed=$((failed + 1))
    echo "FAIL $name"
    [ -z "$out" ] || echo "$out"
  fi
}

# "file:line:target" for every quoted include of the files under the folders.
includes() {
  local dir
  for dir in "$@"; do
    [ -d "$dir" ] || continue
    grep -rnE --include='*.h' --include='*.cpp' --include='*.rc' --include='*.in' \
      '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"' "$dir" |
      sed -E 's/^([^:]*:[0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1:\2/'
  done
}

# No include of folder (under base) names a target matching the pattern;
# the offending lines are shown.
none_to() {  # BASE FOLDER PATTERN
  local base="$1" folder="$2" pattern="$3" bad
  bad=$(includes "$base/$folder" | awk -F: -v p="$pattern" '$3 ~ p')
  [ -z "$bad" ] && return 0
  sed "s#^$base/#    src/#" <<<"$bad"
  return 1
}

no_windows_header() {  # BASE
  local bad
  bad=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(windows|windef|winuser|wingdi|commctrl)\.h>' "$1/core")
  [ -z "$bad" ] && return 0
  echo "    $bad"
  return 1
}

# Quoted includes of the project's folders name files of src/ (or, for
# core/version.h, its template).
targets_exist() {  # BASE
  local base="$1" file line target bad=0
  while IFS=: read -r file line target; do
    case "$target" in core/* | win/* | tool/*) ;; *) continue ;; esac
    [ -f "$base/$target" ] || [ -f "$base/$target.in" ] || [ -f "$base/${target%.h}.h.in" ] || {
      echo "    $file:$line: $target"
      bad=1
    }
  done < <(includes "$base")
  return "$bad"
}

layers() {  # BASE
  local base="$1"
  check "core includes nothing of win/ or tool/" none_to "$base" core '^(win|tool)/'
  check "core includes no Windows header" no_windows_header "$base"
  check "win/res includes no other folder of win/" none_to "$base" win/res '^win/(common|screen|options|settings_dialog|startup)/'
  check "win/common includes only win/common and win/res" none_to "$base" win/common '^win/(screen|options|settings_dialog|startup)/'
  check "win/screen includes no dialog and not startup" none_to "$base" win/screen '^win/(options|settings_dialog|startup)/'
  check "win/options includes neither settings_dialog nor startup" none_to "$base" win/options '^win/(settings_dialog|startup)/'
  check "win/settings_dialog does not include startup" none_to "$base" win/settings_dialog '^win/startup/'
  check "tool includes no dialog file" none_to "$base" tool '^win/(options|settings_dialog|startup)/'
  check "every include names a file of the project" targets_exist "$base"
}

layers "$SRC"

# The checks themselves see an include that runs up and one that names no file.
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
mkdir -p "$TMP/src/win/common" "$TMP/src/win/settings_dialog" "$TMP/src/tool"
printf '#include "win/settings_dialog/a.h"\n' >"$TMP/src/win/common/b.cpp"
printf '// a\n' >"$TMP/src/win/settings_dialog/a.h"
printf '  #  include "win/common/gone.h"\n' >"$TMP/src/tool/c.cpp"
found_upward() { ! none_to "$TMP/src" win/common '^win/settings_dialog/' >/dev/null; }
found_missing() { ! targets_exist "$TMP/src" >/dev/null; }
check "an upward include is found" found_upward
check "a missing file is found" found_missing

echo "${passed} passed, ${failed} failed"
[ "$failed" -eq 0 ]
