# The shared X11 helpers (scripts/x11.sh) on made-up answers of the
# end-to-end helper, with xdotool replaced by a recorder: where a click on a
# list row or a control lands, and how a wait polls.
# shellcheck shell=bash disable=SC2015,SC2317 # A && B || report; the stand-ins run indirectly

# An asker's answers: a list scrolled down by two rows, controls usable,
# disabled and hidden, and the focus on control 2072.
x11_fake_ask() {
  case "$1 ${4:-}" in
    "list "*) printf 'count 6\nselected -1\nitemheight 16\ntop 2\nclient 100 200 300 296\n'
      printf '%s\t%s\n' 0 a 1 b 2 c 3 d 4 c 5 f ;;
    "control OK") echo "10 20 50 40 30 30 1 1 0" ;;
    "control Off") echo "10 20 50 40 30 30 0 1 0" ;;
    "control Hidden") echo "10 20 50 40 30 30 1 0 0" ;;
    "focus "*) printf '2072\tButton\n' ;;
    *) return 1 ;;
  esac
}

# Clicks land on the row asked for as the list is scrolled (its text or
# "#N", the last row when two read alike), with the inset and clicks asked
# for; on a control only when it is usable; nowhere when there is no such row.
# Keys go until the focus is on a control whose whole id matches one of a
# pattern's alternatives.
e2e_x11_clicks_land_on_the_row_or_control_asked_for() {
  local ok=0 clicks
  clicks=$(
    xdotool() { echo "$*"; }
    zor_click_list_row x11_fake_ask W d
    zor_click_list_row x11_fake_ask W c
    zor_click_list_row x11_fake_ask W '#2' 30 2
    zor_click_list_row x11_fake_ask W g || echo "no row g"
    zor_click_control x11_fake_ask W Button OK
    zor_click_control x11_fake_ask W Button Off
    zor_click_control x11_fake_ask W Button Hidden
    zor_click_control x11_fake_ask W Button Gone || true
    zor_key_until_focus x11_fake_ask '206[1-9]|207[0-4]' Tab 3 && echo "focus found"
    zor_key_until_focus x11_fake_ask '20|72' Tab 2 || true
  )
  local want
  want=$(printf '%s\n' 'mousemove 140 224 click --repeat 1 --delay 80 1' \
    'mousemove 140 240 click --repeat 1 --delay 80 1' 'mousemove 130 208 click --repeat 2 --delay 80 1' \
    'no row g' 'mousemove 30 30 click 1' 'control not usable (enabled 0, visible 1): W Button Off' \
    'control not usable (enabled 1, visible 0): W Button Hidden' 'no control: W Button Gone' 'focus found' \
    'key Tab' 'key Tab' 'no focus on 20|72 (it is on 2072)')
  [ "$clicks" = "$want" ] || { printf 'clicks:\n%s\nnot:\n%s\n' "$clicks" "$want"; ok=1; }
  [ "$(zor_control_state x11_fake_ask W Button Off)" = "0 1 0" ] || { echo "state of a disabled button"; ok=1; }
  [ "$(zor_control_state x11_fake_ask W Button Gone)" = missing ] || { echo "state of no control"; ok=1; }
  return $ok
}

# A wait tries the command in this shell (what it sets stays set) until it
# succeeds, and gives up after the timeout's number of tries, or by the
# clock once the time is out however slow each try.
e2e_x11_waits_poll_in_this_shell_until_the_timeout() {
  local ok=0 tries=0 start
  third_try() { tries=$((tries + 1)); [ "$tries" -ge 3 ]; }
  never() { tries=$((tries + 1)); return 1; }
  zor_poll_every 20 1 third_try && [ "$tries" = 3 ] || { echo "a wait that succeeds: $tries tries"; ok=1; }
  tries=0
  start=$(date +%s%3N)
  ! zor_poll_every 20 1 never && [ "$tries" = 50 ] || { echo "a wait that fails: $tries tries"; ok=1; }
  [ $(($(date +%s%3N) - start)) -ge 1000 ] || { echo "a 1 s wait gave up after $(($(date +%s%3N) - start)) ms"; ok=1; }
  tries=0
  ! zor_poll 1 never && [ "$tries" = 10 ] || { echo "a wait every 0.1 s: $tries tries in 1 s"; ok=1; }
  slow_never() { tries=$((tries + 1)); sleep 0.2; return 1; }
  tries=0
  start=$(date +%s%3N)
  ! zor_poll_every --by-clock 20 1 slow_never && [ "$tries" -le 6 ] &&
    [ $(($(date +%s%3N) - start)) -lt 2500 ] ||
    { echo "a 1 s wait by the clock: $tries tries in $(($(date +%s%3N) - start)) ms"; ok=1; }
  tries=0
  zor_poll_every --by-clock 20 1 third_try && [ "$tries" = 3 ] || { echo "a wait by the clock that succeeds: $tries tries"; ok=1; }
  return $ok
}
