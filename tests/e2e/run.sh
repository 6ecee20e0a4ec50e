#!/usr/bin/env bash
# End-to-end tests of the real zorante.scr under Xvfb + Wine. Expects DISPLAY
# and the Wine environment of scripts/lib.sh. Each test is a function named
# e2e_*; the last line is "N passed, N failed".
set -u
source "$(dirname "$0")/../../scripts/lib.sh"
cd "$ZOR_ROOT" || exit 1

for f in "$ZOR_ROOT"/tests/e2e/test_*.sh; do
  [ -e "$f" ] && source "$f"
done

passed=0
failed=0
for t in $(declare -F | awk '{print $3}' | grep '^e2e_' || true); do
  if "$t"; then passed=$((passed + 1)); echo "ok   $t"; else failed=$((failed + 1)); echo "FAIL $t"; fi
done
echo "${passed} passed, ${failed} failed"
[ "$failed" -eq 0 ]
