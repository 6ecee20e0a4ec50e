# The saver full screen: cover, first page, the ways it ends, one instance.
# shellcheck shell=bash

# Starts the saver in folder $1; sets SAVER_PID and SAVER_WIN.
start_saver() {
  (cd "$1" && exec wine zorante.scr "${2:-/s}") &
  SAVER_PID=$!
  SAVER_WIN=$(zor_wait_x_window '^ZORANTE$' 30)
  [ -n "$SAVER_WIN" ]
}

e2e_saver_covers_the_screen_and_shows_the_first_page_at_once() {
  local d geometry ok=0
  d=$(new_folder)
  prepare_messages "$d"
  start_saver "$d" || { echo "no saver window"; end_programs "$SAVER_PID"; return 1; }
  geometry=$(xdotool getwindowgeometry "$SAVER_WIN" | tr -d '\n')
  sleep 1.5
  import -window root "$SHOTS/saver-first-page.png"
  [[ "$geometry" == *"Position: 0,0"*"Geometry: 1024x768"* ]] || { echo "geometry: $geometry"; ok=1; }
  check_page_has_text "$SHOTS/saver-first-page.png" || ok=1
  [ "$("$CURSOR_PROBE")" = "hidden" ] || { echo "the cursor shows over the saver"; ok=1; }
  kill -0 "$SAVER_PID" 2>/dev/null || { echo "saver ended by itself"; ok=1; }
  end_programs "$SAVER_PID"
  rm -rf "$d"
  return $ok
}

# Each kind of input ends the process; activation of the saver is on afterwards.
e2e_saver_ends_on_key_click_and_move() {
  local d how ok=0 active
  d=$(new_folder)
  prepare_messages "$d"
  for how in key click move; do
    wine "$HOST" spi-set 1 >/dev/null 2>&1
    # Wine reports the first pointer event where the X server's pointer
    # started (the screen's centre); the pointer stands there.
    xdotool mousemove 512 384
    start_saver "$d" || { echo "$how: no window"; ok=1; end_programs "$SAVER_PID"; continue; }
    sleep 1
    active=$(wine "$HOST" spi-get | tr -d '\r')
    [ "$active" = "0" ] || { echo "$how: saver activation still on while running ($active)"; ok=1; }
    case $how in
      key) xdotool key a ;;
      click) xdotool click 1 ;;
      move)
        # An event at the recorded position keeps it; a change of position ends it.
        xdotool mousemove 512 384
        sleep 0.5
        kill -0 "$SAVER_PID" 2>/dev/null || { echo "move: ended without a change of position"; ok=1; }
        xdotool mousemove 513 384
        ;;
    esac
    if wait_gone "$SAVER_PID" 5; then
      active=$(wine "$HOST" spi-get | tr -d '\r')
      [ "$active" = "1" ] || { echo "$how: saver activation not restored ($active)"; ok=1; }
      [ "$("$CURSOR_PROBE")" = "visible" ] || { echo "$how: the cursor stays hidden"; ok=1; }
    else
      echo "$how: the saver did not end"
      ok=1
    fi
    end_programs "$SAVER_PID"
  done
  rm -rf "$d"
  return $ok
}

e2e_second_instance_ends_at_once() {
  local d sw pid2 ok=0
  d=$(new_folder)
  prepare_messages "$d"
  start_saver "$d" || { end_programs "$SAVER_PID"; return 1; }
  for sw in /s /p /c ""; do
    (cd "$d" && exec wine zorante.scr $sw) &
    pid2=$!
    wait_gone "$pid2" 10 || { echo "second instance with '$sw' still runs"; ok=1; kill "$pid2" 2>/dev/null; }
  done
  kill -0 "$SAVER_PID" 2>/dev/null || { echo "first instance ended"; ok=1; }
  end_programs "$SAVER_PID"
  rm -rf "$d"
  return $ok
}

e2e_unknown_switch_shows_nothing() {
  local d pid
  d=$(new_folder)
  (cd "$d" && exec wine zorante.scr /a) &
  pid=$!
  wait_gone "$pid" 10 || { end_programs "$pid"; return 1; }
  rm -rf "$d"
}
