#!/usr/bin/env bash
# End-to-end tests of the real zorante.scr under Xvfb + Wine. Expects DISPLAY
# and the Wine environment of scripts/lib.sh. Each test is a function named
# e2e_*; arguments, when given, pick the tests whose names contain one of
# them. The last line is "N passed, N failed".
set -u
ONLY=("$@")
ONLY_COUNT=$#
source "$(dirname "$0")/../../scripts/lib.sh"
source "$ZOR_ROOT/scripts/x11.sh"
cd "$ZOR_ROOT" || exit 1
# The suite ends only programs of its own prefix: without one set, the project's.
[ -n "${WINEPREFIX:-}" ] || zor_wine_env

SCR="$ZOR_ROOT/build/windows/zorante.scr"
HOST="$ZOR_ROOT/build/windows/e2e_host.exe"
SHOTS="$ZOR_ROOT/build/test-logs/e2e"
mkdir -p "$SHOTS"
# Tells whether the X pointer shows a cursor.
CURSOR_PROBE="$ZOR_ROOT/build/e2e/cursor_probe"
mkdir -p "$(dirname "$CURSOR_PROBE")"
gcc -O2 -o "$CURSOR_PROBE" "$ZOR_ROOT/tests/e2e/cursor_probe.c" -lX11 -lXfixes || echo "cannot build the cursor probe"

# Wine's LogPixels (the DPI of the prefix). keep_log_pixels, called in a
# test's subshell, puts the value back as it was when the subshell ends.
LOG_PIXELS_KEY='HKCU\Control Panel\Desktop'
set_log_pixels() { wine reg add "$LOG_PIXELS_KEY" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
restore_log_pixels() {
  if [ -n "$1" ]; then
    set_log_pixels "$(($1))"
  else
    wine reg delete "$LOG_PIXELS_KEY" /v LogPixels /f >/dev/null 2>&1
  fi
}
keep_log_pixels() {
  local before
  before=$(wine reg query "$LOG_PIXELS_KEY" /v LogPixels 2>/dev/null | tr -d '\r' | awk '$1 == "LogPixels" { print $3 }')
  # shellcheck disable=SC2064 # the value now, not at exit
  trap "restore_log_pixels '$before'" EXIT
  trap 'exit 1' INT TERM
}

# A program folder of the test's own with a copy of the saver.
new_folder() {
  local d
  d=$(mktemp -d /tmp/zor-e2e.XXXXXX)
  cp "$SCR" "$d/zorante.scr"
  echo "$d"
}

# Waits until the process has ended; false after the timeout (seconds).
wait_gone() {
  zor_poll_every 50 "${2:-5}" zor_process_gone "$1" || return 1
  wait "$1" 2>/dev/null
  return 0
}

# Waits until a file exists and holds a line matching the pattern.
wait_file_line() {  # FILE PATTERN [TIMEOUT]
  zor_poll_every 50 "${3:-10}" grep -q -E "$2" "$1"
}

# A settings file and a message file in the folder: the IPA Mincho face
# (the default face is not installed under Wine) and a few messages.
prepare_messages() {
  local d="$1"
  printf '[ZORANTE]\r\nUseFont=IPA\x96\xbe\x92\xa9\r\n' >"$d/ZORANTE.ini"
  if "$ZOR_ROOT/build/native/zortool" new "$d/zorante.zrd" >/dev/null 2>&1; then
    "$ZOR_ROOT/build/native/zortool" add "$d/zorante.zrd" "夜明けの前が一番暗い" >/dev/null
    "$ZOR_ROOT/build/native/zortool" add "$d/zorante.zrd" "Rome was not built in a day." >/dev/null
    "$ZOR_ROOT/build/native/zortool" add "$d/zorante.zrd" "「ありがとう」を言おう" >/dev/null
  fi
}

# The page shows ink: a share of the screen's pixels outside the credit
# label differs from the ground.
check_page_has_text() {
  local shot="$1" spread
  spread=$(convert "$shot" -colorspace gray -format '%[fx:standard_deviation]' info: 2>/dev/null)
  awk -v s="${spread:-0}" 'BEGIN { exit !(s > 0.04) }' || { echo "no text on the page (spread ${spread:-none})"; return 1; }
}

# The suite's programs still running in its prefix (a saver or a dialog
# started by a test, or by one such).
suite_pids() { zor_prefix_pids 'zorante\.scr|e2e_host\.exe'; }
no_suite_pids() { [ -z "$(suite_pids)" ]; }

# Ends the programs the test started (by process id) and waits until none of
# the suite's is left in its prefix; when one would not go, the prefix's own
# server is restarted. Programs of other prefixes are never touched.
end_programs() {
  local pid left
  for pid in "$@"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  zor_poll_every 50 5 no_suite_pids && return 0
  left=$(suite_pids)
  # shellcheck disable=SC2086 # one id a word
  [ -z "$left" ] || kill $left 2>/dev/null
  wineserver -k >/dev/null 2>&1
  wineserver -p >/dev/null 2>&1
  return 0
}

for f in "$ZOR_ROOT"/tests/e2e/test_*.sh; do
  [ -e "$f" ] && source "$f"
done

passed=0
failed=0
picked() {
  local want
  [ "$ONLY_COUNT" -eq 0 ] && return 0
  for want in "${ONLY[@]}"; do [[ "$1" == *"$want"* ]] && return 0; done
  return 1
}
for t in $(declare -F | awk '{print $3}' | grep '^e2e_' || true); do
  picked "$t" || continue
  if "$t"; then passed=$((passed + 1)); echo "ok   $t"; else failed=$((failed + 1)); echo "FAIL $t"; fi
done
echo "${passed} passed, ${failed} failed"
[ "$failed" -eq 0 ]
