# The cycles mode of scripts/soak: run_cycles starts and ends /s, /p and /c
# a number of times each and compares the figures of the session before and
# after. Source it after lib.sh and x11.sh, with Xvfb and the prefix's kept
# server ready; the caller ends the display and the server.
#
#   run_cycles --program DIR --saver NAME --win-build DIR --out DIR --cycles N --about TEXT
#     --program    the program folder the saver starts in
#     --saver      the saver's file name in that folder
#     --win-build  the Windows build with e2e_host.exe and win_soak_probe_bench.exe
#     --out        where cycles.csv, figures.csv, wine-KIND.log, summary.txt
#                  and failures/ are written
#     --cycles     how many times each form runs
#     --about      what the program folder holds, for the summary
#
# summarise reads the files of --out; cycles_options sets the inputs
# without a run (each function checks those it needs).
# shellcheck shell=bash

declare -gA cycles_input=()
cycles_program="" cycles_saver="" cycles_win_build="" cycles_out="" cycles_count="" cycles_about=""
caption="$(zor_settings_caption)"
sample_every=50
wait_s=30  # for a window to come
end_s=10   # for a process to end
settle_s=10  # for the run's programs to go at the end
# The figures settle by the third cycle: Wine makes its lasting objects the
# first time each program runs, and its server holds the files of the last
# few programs for a while.
settle_cycles=3
# What may have grown from the lowest settled figures to the end: a file or two
# the server opens lazily, a few handles of Wine's own services, the
# server's memory by pages and heap blocks.
declare -A allowed=([server_fds]=4 [server_rss_kb]=1024 [x_windows]=0 [prefix_processes]=0 [processes]=0
  [handles]=20 [windows]=0 [atoms]=0)

# Sets the inputs of the run (see the top); an unknown option or a missing
# value is an error.
cycles_options() {
  while [ $# -gt 0 ]; do
    [[ " --program --saver --win-build --out --cycles --about " == *" $1 "* ]] ||
      { echo "soak cycles: unknown option $1" >&2; return 2; }
    [ $# -ge 2 ] || { echo "soak cycles: $1 needs a value" >&2; return 2; }
    cycles_input[$1]="$2"
    shift 2
  done
  cycles_program="${cycles_input[--program]:-}" cycles_saver="${cycles_input[--saver]:-}"
  cycles_win_build="${cycles_input[--win-build]:-}" cycles_out="${cycles_input[--out]:-}"
  cycles_count="${cycles_input[--cycles]:-}" cycles_about="${cycles_input[--about]:-}"
  cycles_csv="${cycles_out:+$cycles_out/cycles.csv}"
  figures_csv="${cycles_out:+$cycles_out/figures.csv}"
  host_file="${cycles_out:+$cycles_out/host.txt}"
  host="${cycles_win_build:+$cycles_win_build/e2e_host.exe}"
  probe="${cycles_win_build:+$cycles_win_build/win_soak_probe_bench.exe}"
}

# False, saying which, when an input the caller needs is not set: OPTION... .
cycles_inputs_set() {
  local option missing=()
  for option in "$@"; do
    [ -n "${cycles_input[$option]:-}" ] || missing+=("$option")
  done
  [ ${#missing[@]} -eq 0 ] || { echo "soak cycles: missing ${missing[*]}" >&2; return 2; }
  if [[ " $* " == *" --cycles "* ]] && ! [[ "$cycles_count" =~ ^[0-9]+$ ]]; then
    echo "soak cycles: --cycles $cycles_count is no number" >&2
    return 2
  fi
}

now_ms() { date +%s%3N; }

# The cycles' times are measured: their waits look every 20 ms and give up
# when the time is out, however long each look took.
poll() { zor_poll_every --by-clock 20 "$@"; }  # TIMEOUT COMMAND...

gone() { zor_process_gone "$1"; }
# Sets X_WIN to the first visible X window whose name matches; false when none.
x_window() { X_WIN=$(zor_x_window "$1"); }
no_x_window() { ! x_window "$1"; }
shown_or_gone() { x_window "$1" || gone "$2"; }  # PATTERN PID
focused() { zor_x_focus_is "$1"; }
# Waits for the process to end; sets RC to its exit code.
ended() { poll "$end_s" gone "$1" || return 1; wait "$1" 2>/dev/null; RC=$?; }
# The first thing that went wrong in the cycle, with what showed then.
fail() {
  [ -z "$REASON" ] || return 0
  REASON="$1"
  snapshot "$cycles_out/failures/cycle-$k-$kind"
}
# The screen, the windows Wine and X know and the prefix's processes, for a
# failed cycle; taken while its programs still run.
snapshot() {  # PATH_WITHOUT_EXTENSION
  mkdir -p "$(dirname "$1")"
  import -window root "$1.png" 2>/dev/null
  {
    echo "== $REASON"
    echo "== Wine's visible windows"
    timeout 10 wine "$host" windows 2>&1 | tr -d '\r'
    echo "== X windows"
    xwininfo -root -tree 2>&1
    echo "== the prefix's processes"
    ps -o pid,stat,etime,args -p "$(zor_prefix_pids '.' | paste -sd, -)" 2>&1
  } >"$1.txt"
}
# Ends programs of the cycle that are still running, by id.
stop() {
  local p
  for p in "$@"; do kill "$p" 2>/dev/null; done
  for p in "$@"; do
    poll 5 gone "$p" || kill -9 "$p" 2>/dev/null
    wait "$p" 2>/dev/null
  done
}
spi_get() { wine "$host" spi-get 2>/dev/null | tr -d '\r'; }
# The run's own programs left in the prefix.
program_pids() { zor_prefix_pids 'soak-saver\.scr|e2e_host\.exe'; }
no_programs() { [ -z "$(program_pids)" ]; }
x_window_count() { xwininfo -root -tree 2>/dev/null | grep -cE '^ +0x'; }
x_windows_at_most() { [ "$(x_window_count)" -le "$1" ]; }

# Ends a process with code 0 within the time, or says why not.
expect_end() {  # PID WHAT
  if ! ended "$1"; then
    fail "$2 did not end"
  elif [ "$RC" -ne 0 ]; then
    fail "$2 ended with code $RC"
  fi
}

# Waits for the window to show and to take the keyboard focus (keys go where
# the X focus is); the process must still be running then.
expect_window() {  # PATTERN WHAT PID
  if ! poll "$wait_s" shown_or_gone "$1" "$3"; then
    fail "no $2 window"
  elif [ -z "$X_WIN" ]; then
    wait "$3" 2>/dev/null
    fail "the $2 program ended without a window (code $?)"
  elif ! poll 5 focused "$X_WIN"; then
    fail "the $2 window did not take the focus"
  elif gone "$3"; then
    fail "the $2 program ended by itself"
  else
    return 0
  fi
  return 1
}

cycle_saver() {
  local pid
  # The window of the cycle before goes with its process, a moment later in X.
  poll 5 no_x_window '^ZORANTE$' || fail "a saver window of the cycle before is still shown"
  (cd "$cycles_program" && exec wine "$cycles_saver" /s) >>"$cycles_out/wine-s.log" 2>&1 &
  pid=$!
  expect_window '^ZORANTE$' saver "$pid" && xdotool key a && expect_end "$pid" "the saver"
  gone "$pid" || stop "$pid"
  if [ "$(spi_get)" != 1 ]; then
    fail "the screen-saver activation was left off"
    wine "$host" spi-set 1 >/dev/null 2>&1
  fi
}

cycle_preview() {
  local host_pid pid="" hwnd
  poll 5 no_x_window '^E2E Host$' || fail "a host window of the cycle before is still shown"
  rm -f "$host_file" "$host_file.children"
  wine "$host" host 320 240 "$(zor_wine_path "$host_file")" 0 >>"$cycles_out/wine-p.log" 2>&1 &
  host_pid=$!
  if poll "$wait_s" grep -qE '^-?[0-9]+' "$host_file"; then
    hwnd=$(tr -d '\r\n' <"$host_file")
    (cd "$cycles_program" && exec wine "$cycles_saver" /p "$hwnd") >>"$cycles_out/wine-p.log" 2>&1 &
    pid=$!
    # The host lists its children every 100 ms: the preview fills it and shows.
    if ! poll "$wait_s" grep -qx '0 0 320 240 1 Preview' "$host_file.children"; then
      fail "no preview in the host"
    elif gone "$pid"; then
      fail "the preview ended before its host closed"
    elif expect_window '^E2E Host$' host "$host_pid"; then
      xdotool key alt+F4
      ended "$host_pid" || fail "the host did not close"
      [ -n "$REASON" ] || expect_end "$pid" "the preview"
    fi
  else
    fail "no host window"
  fi
  if ! gone "$host_pid" || { [ -n "$pid" ] && ! gone "$pid"; }; then
    # shellcheck disable=SC2086 # no id is no word
    stop "$host_pid" $pid
  fi
}

cycle_settings() {
  local pid
  poll 5 no_x_window "^$caption\$" || fail "a settings dialog of the cycle before is still shown"
  (cd "$cycles_program" && exec wine "$cycles_saver" /c) >>"$cycles_out/wine-c.log" 2>&1 &
  pid=$!
  expect_window "^$caption\$" settings "$pid" && xdotool key alt+F4 && expect_end "$pid" "the settings dialog"
  gone "$pid" || stop "$pid"
}

# One line of figures: LABEL CYCLE.
sample() {
  local fds rss system
  fds=$(find "/proc/$server_pid/fd" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)
  rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$server_pid/status" 2>/dev/null)
  system=$(wine "$probe" system 2>/dev/null | tr -d '\r' | tail -n 1)
  echo "$1,$2,$((($(now_ms) - run_start) / 1000)),$fds,$rss,$(x_window_count)," \
    "$(zor_prefix_pids '\.exe|\.scr|wineserver' | wc -l),${system:-,,,}" | tr -d ' ' >>"$figures_csv"
}

summarise() {  # CYCLES_DONE LEFT
  local done="$1" left="$2"
  cycles_inputs_set --out --cycles --about || return 2
  echo "soak cycles: $done of $cycles_count cycles of /s (ended by a key), /p (host closed by Alt+F4) and /c (closed by Alt+F4)"
  echo "program folder: $cycles_about"
  # A program that slows down from run to run shows in the means of the
  # first and the last tenth of the cycles.
  awk -F, -v done="$done" '
    NR == 1 { tenth = int(done / 10); if (tenth < 1) tenth = 1; next }
    { n[$2]++; t[$2] += $3; if ($3 > m[$2]) m[$2] = $3; if ($4 != "ok") f[$2]++
      if ($1 <= tenth) { a[$2] += $3; an[$2]++ }
      if ($1 > done - tenth) { z[$2] += $3; zn[$2]++ }
      N++; T += $3; if ($4 != "ok") F++ }
    END {
      printf "%-6s %7s %8s %8s %8s %13s %12s\n", "kind", "cycles", "failed", "mean ms", "max ms", "first 10% ms", "last 10% ms"
      split("s p c", k, " ")
      for (i = 1; i <= 3; i++) {
        c = k[i]
        if (n[c]) printf "/%-5s %7d %8d %8.0f %8d %13.0f %12.0f\n", c, n[c], f[c], t[c] / n[c], m[c], a[c] / an[c], z[c] / zn[c]
      }
      printf "%-6s %7d %8d %8.0f\n", "total", N, F, N ? T / N : 0
    }' "$cycles_csv"
  if awk -F, 'NR > 1 && $4 != "ok"' "$cycles_csv" | grep -q .; then
    echo "failures by reason:"
    awk -F, 'NR > 1 && $4 != "ok" { print "/" $2 ": " $4 }' "$cycles_csv" | sort | uniq -c | sort -rn
  fi
  echo "programs left running at the end: $left"
  lines() { if [ -f "$1" ]; then wc -l <"$1"; else echo 0; fi; }
  echo "lines Wine wrote (wine-KIND.log): /s $(lines "$cycles_out/wine-s.log"), /p $(lines "$cycles_out/wine-p.log")," \
    "/c $(lines "$cycles_out/wine-c.log")"
  # The figures at the start, once settled, their lowest since and at the
  # end. The growth is the end's over the lowest: the server lets go of some
  # files a few seconds after the first programs, whatever the cycle.
  awk -F, -v allowances="$(for k in "${!allowed[@]}"; do printf '%s=%s ' "$k" "${allowed[$k]}"; done)" '
    BEGIN { n = split(allowances, a, " "); for (i = 1; i <= n; i++) { split(a[i], kv, "="); allow[kv[1]] = kv[2] } }
    NR == 1 { for (i = 4; i <= NF; i++) name[i] = $i; cols = NF; next }
    $1 == "start" { for (i = 4; i <= cols; i++) s[i] = $i; next }
    $1 == "baseline" { for (i = 4; i <= cols; i++) { b[i] = $i; lo[i] = $i } settled = 1; next }
    settled { for (i = 4; i <= cols; i++) if ($i + 0 < lo[i] + 0) lo[i] = $i }
    $1 == "end" { for (i = 4; i <= cols; i++) e[i] = $i; ended = 1 }
    END {
      printf "%-18s %7s %9s %7s %7s %7s %8s\n", "figure", "start", "settled", "lowest", "end", "growth", "allowed"
      for (i = 4; i <= cols; i++) {
        g = ended ? e[i] - lo[i] : 0
        # A figure that could not be read would show no growth at all.
        unread = s[i] !~ /^[0-9]+$/ || b[i] !~ /^[0-9]+$/ || (ended && e[i] !~ /^[0-9]+$/)
        printf "%-18s %7s %9s %7s %7s %7s %8s%s\n", name[i], s[i], b[i], lo[i], e[i], g, allow[name[i]],
          unread ? "  UNREAD" : (ended && g > allow[name[i]]) ? "  GROWN" : ""
        if (unread || (ended && g > allow[name[i]])) grown = 1
      }
      exit grown
    }' "$figures_csv"
}

run_cycles() {
  local k kind t0 streak=0 done=0 left grown status=0 server_pid run_start stopping=0 settled_at f
  cycles_options "$@" || return 2
  cycles_inputs_set --program --saver --win-build --out --cycles --about || return 2
  for f in "$cycles_program/$cycles_saver" "$host" "$probe"; do
    [ -f "$f" ] || { echo "soak cycles: missing $f" >&2; return 2; }
  done
  mkdir -p "$cycles_out" || return 2
  settled_at=$((cycles_count < settle_cycles ? cycles_count : settle_cycles))
  server_pid=$(zor_prefix_pids 'wineserver' | head -n 1)
  run_start=$(now_ms)
  wine "$host" spi-set 1 >/dev/null 2>&1
  echo "cycle,kind,ms,result" >"$cycles_csv"
  echo "label,cycle,elapsed_s,server_fds,server_rss_kb,x_windows,prefix_processes,processes,handles,windows,atoms" \
    >"$figures_csv"
  trap 'stopping=1' INT TERM
  echo "soak: $cycles_count cycles of /s, /p and /c, output in $cycles_out"
  sample start 0
  for k in $(seq 1 "$cycles_count"); do
    for kind in s p c; do
      REASON=""
      t0=$(now_ms)
      case $kind in
        s) cycle_saver ;;
        p) cycle_preview ;;
        c) cycle_settings ;;
      esac
      echo "$k,$kind,$(($(now_ms) - t0)),${REASON:-ok}" >>"$cycles_csv"
      if [ -n "$REASON" ]; then
        echo "soak: cycle $k /$kind: $REASON" >&2
        streak=$((streak + 1))
      else
        streak=0
      fi
    done
    done=$k
    [ "$k" -eq "$settled_at" ] && sample baseline "$k"
    if [ $((k % sample_every)) -eq 0 ]; then
      sample cycles "$k"
      echo "soak: $k cycles, $(awk -F, 'NR > 1 && $4 != "ok"' "$cycles_csv" | wc -l) failed;" \
        "$(awk -F, 'NR == 1 { split($0, name, ",") } END { for (i = 3; i <= NF; i++) printf "%s%s %s", (i > 3 ? ", " : ""), name[i], $i }' \
          "$figures_csv")"
    fi
    [ "$streak" -lt 10 ] || { echo "soak: ten failed cycles in a row; the run ends" >&2; status=1; break; }
    [ "$stopping" -eq 0 ] || { echo "soak: interrupted" >&2; status=1; break; }
  done
  trap - INT TERM
  # What the run leaves: its programs gone, their X windows with them.
  poll "$settle_s" no_programs
  left=$(program_pids | wc -l)
  poll 5 x_windows_at_most "$(awk -F, '$1 == "baseline" { print $6 }' "$figures_csv")"
  sample end "$done"
  # shellcheck disable=SC2046 # one id a word
  [ "$left" -eq 0 ] || kill $(program_pids) 2>/dev/null
  summarise "$done" "$left" | tee "$cycles_out/summary.txt"
  grown=${PIPESTATUS[0]}
  awk -F, 'NR > 1 && $4 != "ok" { bad = 1 } END { exit bad }' "$cycles_csv" || status=1
  [ "$left" -eq 0 ] && [ "$grown" -eq 0 ] || status=1
  echo "result: $([ "$status" -eq 0 ] && echo pass || echo FAIL)" | tee -a "$cycles_out/summary.txt"
  return $status
}
