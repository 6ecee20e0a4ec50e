# The preview inside a host window, its marker files, and its end with the host.
# shellcheck shell=bash

# Starts the host (W H LIFE_MS) in folder $1; sets HOST_PID and HOST_HWND.
start_host() {
  local d="$1"
  rm -f "$d/host.txt" "$d/host.txt.children"
  wine "$HOST" host "$2" "$3" "$(winepath -w "$d/host.txt" 2>/dev/null)" "$4" &
  HOST_PID=$!
  wait_file_line "$d/host.txt" '^-?[0-9]+' 20 || return 1
  HOST_HWND=$(tr -d '\r\n' <"$d/host.txt")
  zor_wait_x_window '^E2E Host$' 20 >/dev/null
}

e2e_preview_fills_the_host_and_ends_with_it() {
  local d pid ok=0
  d=$(new_folder)
  prepare_messages "$d"
  start_host "$d" 320 240 6000 || { echo "no host"; end_programs "$HOST_PID"; return 1; }
  (cd "$d" && exec wine zorante.scr /p "$HOST_HWND") &
  pid=$!
  if wait_file_line "$d/host.txt.children" '^0 0 320 240 1 Preview$' 15; then
    sleep 1
    import -window root "$SHOTS/preview-in-host.png"
  else
    echo "preview child: $(cat "$d/host.txt.children" 2>/dev/null)"
    ok=1
  fi
  wait_gone "$HOST_PID" 15 || { echo "host did not close"; ok=1; }
  wait_gone "$pid" 2 || { echo "preview outlived its host by 2 s"; ok=1; }
  end_programs "$pid" "$HOST_PID"
  rm -rf "$d"
  return $ok
}

e2e_preview_with_no_preview_marker_shows_nothing() {
  local d pid ok=0
  d=$(new_folder)
  : >"$d/zor_nprv.txt"
  start_host "$d" 200 150 0 || { end_programs "$HOST_PID"; return 1; }
  (cd "$d" && exec wine zorante.scr /p "$HOST_HWND") &
  pid=$!
  wait_gone "$pid" 10 || { echo "still running"; ok=1; }
  sleep 0.3
  [ ! -s "$d/host.txt.children" ] || { echo "children: $(cat "$d/host.txt.children")"; ok=1; }
  end_programs "$pid" "$HOST_PID"
  rm -rf "$d"
  return $ok
}

e2e_preview_with_debug_marker_shows_the_diagnostic_box() {
  local d pid box ok=0
  d=$(new_folder)
  : >"$d/zor_dbg.txt"
  start_host "$d" 200 150 0 || { end_programs "$HOST_PID"; return 1; }
  (cd "$d" && exec wine zorante.scr /p "$HOST_HWND") &
  pid=$!
  box=$(zor_wait_x_window '^ZORANTE$' 20)
  if [ -n "$box" ]; then
    sleep 0.5
    import -window root "$SHOTS/preview-diagnostic-box.png"
    kill -0 "$pid" 2>/dev/null || { echo "ended before OK"; ok=1; }
    # A real click on OK: a key sent to the box would leave Wine holding a
    # key-down whose release went to a window already gone.
    SETTINGS_FOLDER=$(basename "$d") click_control ZORANTE Button =1 || { echo "no OK button on the box"; ok=1; }
    wait_gone "$pid" 5 || { echo "did not end after OK"; ok=1; }
  else
    echo "no diagnostic box"
    ok=1
  fi
  end_programs "$pid" "$HOST_PID"
  rm -rf "$d"
  return $ok
}
