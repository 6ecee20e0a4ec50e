# The soak's cycles mode (scripts/soak-cycles.sh): a short run on the real
# saver with two faults put in, a key that never comes and a program left
# running; its summary on made-up figures.
# shellcheck shell=bash disable=SC2015 # A && B || report wants the report when either fails

e2e_soak_cycles_pass_good_cycles_and_catch_a_saver_left_running_and_a_stray_program() {
  local ok=0 out
  out=$(mktemp -d /tmp/zor-e2e-soak.XXXXXX)
  (
    mkdir -p "$out/program" && cp "$SCR" "$out/program/soak-saver.scr" && prepare_messages "$out/program"
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
      wine "$HOST" host 100 100 "$(zor_wine_path "$out/stray.txt")" 0 >/dev/null 2>&1 &
      zor_poll 10 x_window '^E2E Host$'
    }
    run_cycles --program "$out/program" --saver soak-saver.scr --win-build "$ZOR_ROOT/build/windows" --out "$out" \
      --cycles 4 --about "3 messages" >"$out/run.log" 2>&1
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

# The summary's arithmetic on made-up figures: times by kind with the first
# and last tenth, growth over the lowest figure since settling, allowances,
# figures not read.
e2e_soak_cycles_summary_measures_growth_from_the_lowest_figure_and_within_allowances() {
  local ok=0 out s
  out=$(mktemp -d /tmp/zor-e2e-soak.XXXXXX)
  {
    echo "cycle,kind,ms,result"
    for k in $(seq 1 10); do
      echo "$k,s,$((k == 1 ? 100 : k == 10 ? 300 : 200)),ok"
      echo "$k,p,400,$([ "$k" = 5 ] && echo "no preview in the host" || echo ok)"
      echo "$k,c,50,ok"
    done
  } >"$out/cycles.csv"
  cat >"$out/figures.csv" <<'CSV'
label,cycle,elapsed_s,server_fds,server_rss_kb,x_windows,prefix_processes,processes,handles,windows,atoms
start,0,1,160,8000,9,8,6,90,6,42
baseline,3,5,221,8000,9,8,8,100,6,47
cycles,5,8,206,8000,9,8,8,100,6,47
end,10,14,210,8900,10,8,8,121,6,
CSV
  s=$( (
    source "$ZOR_ROOT/scripts/soak-cycles.sh"
    cycles_options --out "$out" --cycles 10 --about k
    summarise 10 0
    echo "status $?"
  ))
  local want
  while IFS= read -r want; do
    grep -qE "$want" <<<"$s" || { echo "missing: $want"; ok=1; }
  done <<'LINES'
^/s +10 +0 +200 +300 +100 +300$
^/p +10 +1 +400 +400 +400 +400$
^ +1 /p: no preview in the host$
^server_fds +160 +221 +206 +210 +4 +4$
^server_rss_kb +8000 +8000 +8000 +8900 +900 +1024$
^x_windows +9 +9 +9 +10 +1 +0  GROWN$
^handles +90 +100 +100 +121 +21 +20  GROWN$
^atoms +42 +47 .*UNREAD$
^status 1$
LINES
  [ "$ok" -eq 0 ] || echo "$s"
  rm -rf "$out"
  return $ok
}

# The cycles take every input as an option: one left out, misspelt or not a
# number stops the run before any program starts or any file is written
# (instead of a run in an empty folder writing to the root).
e2e_soak_cycles_refuse_to_run_without_their_inputs() {
  local ok=0 out
  out=$(mktemp -d /tmp/zor-e2e-soak.XXXXXX)
  # Runs the cycles with the options; true when they refuse (code 2) saying $1.
  refused_saying() {
    local want="$1" rc
    shift
    (source "$ZOR_ROOT/scripts/soak-cycles.sh" && run_cycles "$@") >/dev/null 2>"$out/err"
    rc=$?
    [ "$rc" -eq 2 ] && [ "$(cat "$out/err")" = "$want" ] || { echo "code $rc, said '$(cat "$out/err")', not '$want'"; return 1; }
  }
  local all=(--program "$out" --saver soak-saver.scr --win-build "$ZOR_ROOT/build/windows" --out "$out/run" --about k)
  refused_saying "soak cycles: missing --program --saver --win-build --about" --out "$out/run" --cycles 2 || ok=1
  refused_saying "soak cycles: --cycles 2x is no number" "${all[@]}" --cycles 2x || ok=1
  refused_saying "soak cycles: unknown option --cycle" "${all[@]}" --cycles 2 --cycle 3 || ok=1
  refused_saying "soak cycles: --about needs a value" --cycles 2 --about || ok=1
  refused_saying "soak cycles: missing $out/soak-saver.scr" "${all[@]}" --cycles 2 || ok=1
  [ ! -e "$out/run" ] || { echo "a refused run wrote $out/run"; ok=1; }
  rm -rf "$out"
  return $ok
}
