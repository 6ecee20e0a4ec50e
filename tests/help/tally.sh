# The help checks' tally: check NAME COMMAND... counts and prints one line.
# shellcheck shell=bash
passed=0
failed=0
check() {  # NAME COMMAND...
  local name="$1"
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok   $name"
  else
    failed=$((failed + 1))
    echo "FAIL $name"
  fi
}
