# The soak's cycles mode (scripts/soak-cycles.sh) on the real saver, with two
# faults put in: a key that never comes and a program left running.
# shellcheck shell=bash

e2e_soak_cycles_pass_good_cycles_and_catch_a_saver_left_running_and_a_stray_program() {
  local ok=0 out
  out=$(mktemp -d /tmp/zor-e2e-soak.XXXXXX)
  (
    d="$out/program" scr=soak-saver.scr win_build="$ZOR_ROOT/build/windows"
    probe="$win_build/win_soak_probe_bench.exe" cycles=4 kinds="3 messages" deco=0 interval=1000 text_only=1
    mkdir -p "$d" && cp "$SCR" "$d/$scr" && prepare_messages "$d"
    wpath() { printf 'Z:%s' "${1//\//\\}"; }
    source "$ZOR_ROOT/scripts/soak-cycles.sh"
    end_s=3 settle_s=2
    # The key that ends the saver is lost in the second cycle.
    xdotool() {
      [ "$1 ${2:-} $k" = "key a 2" ] && return 0
      command xdotool "$@"
    }
    # A window of the last cycle outlives it.
    eval "original_$(declare -f cycle_settings)"
    cycle_settings() {
      original_cycle_settings
      [ "$k" = 4 ] || return 0
      # shellcheck disable=SC2153 # the suite's helper program
      wine "$HOST" host 100 100 "$(wpath "$out/stray.txt")" 0 >/dev/null 2>&1 &
      poll 10 x_window '^E2E Host$'
    }
    run_cycles >"$out/run.log" 2>&1
    [ $? -eq 1 ] || { echo "the run passed"; exit 1; }
  ) || ok=1
  local s="$out/summary.txt"
  [ "$(grep -c ',ok$' "$out/cycles.csv")" = 11 ] || { echo "good cycles: $(grep -c ',ok$' "$out/cycles.csv")"; ok=1; }
  grep -qE '^2,s,[0-9]+,the saver did not end$' "$out/cycles.csv" || { echo "the lost key went unseen"; ok=1; }
  { grep -q 'soak-saver\.scr /s' "$out/failures/cycle-2-s.txt" && [ -s "$out/failures/cycle-2-s.png" ]; } ||
    { echo "no snapshot of the saver that stayed"; ok=1; }
  grep -q '^programs left running at the end: 1$' "$s" || { echo "the stray program went unseen"; ok=1; }
  grep -qE '^windows +.* GROWN$' "$s" || { echo "the stray window went uncounted"; ok=1; }
  grep -qE '^prefix_processes +.* GROWN$' "$s" || { echo "the stray process went uncounted"; ok=1; }
  grep -q '^result: FAIL$' "$s" || { echo "no failing result"; ok=1; }
  ! grep -q 'UNREAD$' "$s" || { echo "figures not read"; ok=1; }
  [ "$(wine "$HOST" spi-get | tr -d '\r')" = 1 ] || { echo "the activation was left off"; ok=1; }
  [ "$ok" -eq 0 ] || cat "$out/run.log" "$out/cycles.csv"
  end_programs
  rm -rf "$out"
  return $ok
}
