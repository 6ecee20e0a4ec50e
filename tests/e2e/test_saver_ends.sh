# The load step's failures: a message box titled "ZORANTE", then the end,
# with the screen saver's activation switched back on. And other monitors.
# shellcheck shell=bash

# Runs the saver in folder $1 expecting a message box; $2 names the shot.
expect_box_then_end() {
  local d="$1" shot="$2" pid box ok=0
  wine "$HOST" spi-set 1 >/dev/null 2>&1
  (cd "$d" && exec wine zorante.scr /s) &
  pid=$!
  box=$(zor_wait_x_window '^ZORANTE$' 30)
  if [ -n "$box" ]; then
    sleep 0.5
    import -window root "$SHOTS/$shot.png"
    kill -0 "$pid" 2>/dev/null || { echo "$shot: ended before OK"; ok=1; }
    xdotool windowactivate --sync "$box" 2>/dev/null
    xdotool key Return
    wait_gone "$pid" 10 || { echo "$shot: did not end after OK"; ok=1; }
    [ "$(wine "$HOST" spi-get | tr -d '\r')" = "1" ] || { echo "$shot: saver activation left off"; ok=1; }
  else
    echo "$shot: no message box"
    ok=1
  fi
  end_programs "$pid"
  return $ok
}

e2e_missing_registration_file_is_reported_and_ends() {
  local d ok
  d=$(new_folder)
  printf '[ZORANTE]\r\nUseFont=IPAMincho\r\n' >"$d/ZORANTE.ini"
  expect_box_then_end "$d" saver-missing-file
  ok=$?
  rm -rf "$d"
  return $ok
}

e2e_foreign_registration_file_is_reported_and_ends() {
  local d ok
  d=$(new_folder)
  printf '[ZORANTE]\r\nUseFont=IPAMincho\r\n' >"$d/ZORANTE.ini"
  head -c 300 /dev/urandom >"$d/zorante.zrd"
  expect_box_then_end "$d" saver-foreign-file
  ok=$?
  rm -rf "$d"
  return $ok
}

e2e_face_not_installed_is_reported_and_ends() {
  local d ok
  d=$(new_folder)
  prepare_messages "$d"
  rm -f "$d/ZORANTE.ini"  # the default face is not installed here
  expect_box_then_end "$d" saver-missing-face
  ok=$?
  rm -rf "$d"
  return $ok
}

# A saver that crashes in its display timer (a window procedure) switches the
# activation back on and leaves one line in the crash log beside the settings.
e2e_saver_that_crashes_switches_activation_back_on_and_logs_it() {
  local d pid ok=0
  d=$(new_folder)
  prepare_messages "$d"
  "$ZOR_ROOT/build/native/zortool" options "$d/zorante.zrd" --interval 1000 >/dev/null
  wine "$HOST" spi-set 1 >/dev/null 2>&1
  (cd "$d" && ZOR_CRASH_TEST=timer exec wine zorante.scr /s) &
  pid=$!
  wait_gone "$pid" 40 || { echo "the saver did not end"; ok=1; }
  [ "$(wine "$HOST" spi-get | tr -d '\r')" = "1" ] || { echo "saver activation left off"; ok=1; }
  if [ "$(grep -c -E '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:]{8} exception 0xC0000005 at 0x[0-9A-F]{16}'$'\r''?$' \
          "$d/zorante-crash.log" 2>/dev/null)" != "1" ]; then
    echo "no single crash line: $(cat "$d/zorante-crash.log" 2>/dev/null)"
    ok=1
  fi
  end_programs "$pid"
  rm -rf "$d"
  return $ok
}

# A second saver started while the first runs on waits about 2 s for the
# instance mutex, then ends silently; the first is not disturbed.
e2e_second_saver_ends_silently_after_waiting_for_the_first() {
  local d first second start ms ok=0
  d=$(new_folder)
  prepare_messages "$d"
  (cd "$d" && exec wine zorante.scr /s) 2>/dev/null &
  first=$!
  if [ -n "$(zor_wait_x_window '^ZORANTE$' 30)" ]; then
    start=$(date +%s%N)
    (cd "$d" && exec wine zorante.scr /s) 2>/dev/null &
    second=$!
    wait_gone "$second" 30 || { echo "the second saver did not end"; ok=1; }
    ms=$((($(date +%s%N) - start) / 1000000))
    if [ "$ms" -lt 1500 ] || [ "$ms" -gt 10000 ]; then
      echo "the second saver ended after ${ms} ms"
      ok=1
    fi
    kill -0 "$first" 2>/dev/null || { echo "the first saver ended"; ok=1; }
    [ "$(xdotool search --onlyvisible --name '^ZORANTE$' 2>/dev/null | wc -l)" -eq 1 ] ||
      { echo "not exactly one saver window"; ok=1; }
  else
    echo "the first saver shows no window"
    ok=1
  fi
  end_programs "$first" "${second:-}"
  rm -rf "$d"
  return $ok
}
