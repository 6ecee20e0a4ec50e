# The load step's failures: a message box titled "ZORANTE", then the end,
# with the screen saver's activation switched back on. And other monitors.
# shellcheck shell=bash

# Runs the saver in folder $1 expecting a message box; $2 names the shot.
expect_box_then_end() {
  local d="$1" shot="$2" pid box ok=0
  wine "$HOST" spi-set 1 >/dev/null 2>&1
  (cd "$d" && exec wine zorante.scr /s) &
  pid=$!
  box=$(wait_window '^ZORANTE$' 30)
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
