# The suite ends only what it started: a saver run outside it (in a Wine
# prefix and on a display of its own, as a user's or another checkout's
# would be) keeps running through every clean-up the suite does.
# shellcheck shell=bash disable=SC2015

OUTSIDE_PREFIX="$ZOR_ROOT/build/e2e/outside-prefix"

# A free X display number above the ones the scripts take for themselves.
outside_display() {
  local n
  for n in $(seq 141 199); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { echo "$n"; return 0; }
  done
  return 1
}

outside_window() { DISPLAY="$1" xdotool search --onlyvisible --name '^ZORANTE$' >/dev/null 2>&1; }

e2e_clean_up_spares_a_saver_started_outside_the_suite() {
  local d outside n xvfb="" pid="" ok=0
  d=$(new_folder)
  prepare_messages "$d"
  outside=$(new_folder)
  prepare_messages "$outside"
  # A copy of the suite's prefix is a prefix of its own: its own server, its
  # own single-instance mutex.
  rm -rf "$OUTSIDE_PREFIX"
  mkdir -p "$(dirname "$OUTSIDE_PREFIX")"
  cp -a "$WINEPREFIX" "$OUTSIDE_PREFIX" || { echo "cannot copy the prefix"; rm -rf "$d" "$outside"; return 1; }
  n=$(outside_display) || { echo "no free display"; rm -rf "$d" "$outside" "$OUTSIDE_PREFIX"; return 1; }
  Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  if zor_poll 10 env DISPLAY=":$n" xdpyinfo; then
    (cd "$outside" && DISPLAY=":$n" WINEPREFIX="$OUTSIDE_PREFIX" exec wine zorante.scr /s) >/dev/null 2>&1 &
    pid=$!
    zor_poll 60 outside_window ":$n" || { echo "the outside saver shows no window"; ok=1; }
  else
    echo "the outside display did not start"
    ok=1
  fi

  if [ "$ok" -eq 0 ]; then
    # The ways the suite ends its programs: by process id, then (for one that
    # would not go) by its own prefix's server, then the test command's stop.
    start_saver "$d" || { echo "no saver of the suite beside the outside one"; ok=1; }
    end_programs "$SAVER_PID"
    [ -z "$(suite_pids)" ] || { echo "a saver of the suite is left"; ok=1; }
    (cd "$d" && exec wine zorante.scr /s) >/dev/null 2>&1 &
    SAVER_PID=$!
    zor_wait_x_window '^ZORANTE$' 30 >/dev/null || { echo "no second saver of the suite"; ok=1; }
    zor_wine_stop
    wait_gone "$SAVER_PID" 10 || { echo "the suite's server stopped, its saver runs on"; ok=1; }
    wineserver -p >/dev/null 2>&1

    kill -0 "$pid" 2>/dev/null || { echo "the outside saver was ended"; ok=1; }
    [ -n "$(zor_prefix_pids 'zorante\.scr' "$OUTSIDE_PREFIX")" ] || { echo "no saver left in the outside prefix"; ok=1; }
    outside_window ":$n" || { echo "the outside saver's window is gone"; ok=1; }
  fi

  # The outside saver ends by its id and with its prefix's server.
  [ -z "$pid" ] || { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; }
  WINEPREFIX="$OUTSIDE_PREFIX" wineserver -k >/dev/null 2>&1
  [ -z "$xvfb" ] || { kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; }
  end_programs
  rm -rf "$d" "$outside" "$OUTSIDE_PREFIX"
  return $ok
}
