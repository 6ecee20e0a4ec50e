# A user without a mouse: a message added, formatted, moved, shown in a test
# display, deleted, the delete undone and redone, all with keys alone.
# shellcheck shell=bash

# Presses KEY (Tab unless given) until the control ID has the focus.
ko_key_to() { zor_key_until_focus ask "$1" "${2:-Tab}" 40; }
ko_keys() {
  local key
  for key in "$@"; do
    xdotool key "$key"
    sleep 0.3
  done
}
ko_md5() { md5sum <"$1" | cut -d' ' -f1; }

e2e_keyboard_alone_adds_formats_moves_shows_deletes_and_undoes() {
  local d f ok=0 have before after
  d=$(new_folder)
  prepare_messages "$d"
  f="$d/zorante.zrd"
  start_settings "$d" || { echo "no settings dialog"; end_programs "$SETTINGS_PID"; rm -rf "$d"; return 1; }

  # Add: Insert in the list, the text typed, Enter.
  if ko_key_to 1001 && ko_keys Insert && ask wait '文章の追加登録' 10000; then
    xdotool type --delay 30 'あいうえおかき'
    ko_keys Return
    ask gone '文章の追加登録' 10000 || { echo "Enter did not add"; ok=1; }
  else
    echo "Insert opened no entry form"
    ok=1
  fi
  [ "$("$ZORTOOL" list "$f" | tail -n 1)" = あいうえおかき ] || { echo "not added: $("$ZORTOOL" list "$f" | tr '\n' '|')"; ok=1; }

  # Format: random emphasis and automatic fold off by their access keys; on
  # the cells, the third character marked and its fold marker placed and
  # stepped to kind C (placed, A, C).
  if ko_keys alt+t && ask wait '書式設定' 10000; then
    ko_keys alt+r alt+a
    ko_key_to 1400 && ko_key_to 1402 Right || ok=1
    ko_keys space shift+space shift+space shift+space
    sleep 0.3
    import -window root "$SHOTS/keyboard-only-format.png"
    ko_keys Return
    ask gone '書式設定' 10000 || { echo "Enter did not close the format dialog"; ok=1; }
  else
    echo "Alt+T opened no format dialog"
    ok=1
  fi
  have=$("$ZORTOOL" show "$f" 4 | tr '\n' '|')
  [ "$have" = "text あいうえおかき|marks 3|emphasis marked|fold 3|kind C|layout none|" ] || { echo "format: $have"; ok=1; }

  # Up one row with Ctrl+Up in the list.
  ko_key_to 1001 && ko_keys ctrl+Up
  [ "$("$ZORTOOL" list "$f" | sed -n 3p)" = あいうえおかき ] || { echo "Ctrl+Up did not move it: $("$ZORTOOL" list "$f" | tr '\n' '|')"; ok=1; }

  # The test display from the first thumbnail with Space, ended by a key.
  if ko_key_to 1020 && ko_keys space && ask wait ZORANTE 10000; then
    sleep 0.5
    import -window root "$SHOTS/keyboard-only-test-display.png"
    [ "$(ask window ZORANTE | cut -d' ' -f1-4)" = "0 0 1024 768" ] || { echo "test display: $(ask window ZORANTE)"; ok=1; }
    xdotool key Escape
    ask gone ZORANTE 10000 || { echo "a key did not end the test display"; ok=1; }
  else
    echo "Space on a thumbnail showed no test display: $(ask windows | tr '\n' '|')"
    ok=1
  fi

  # Delete with the key, undo and redo: the file's bytes before and after.
  before=$(ko_md5 "$f")
  ko_key_to 1001 && ko_keys Delete
  after=$(ko_md5 "$f")
  [ "$after" != "$before" ] && [ "$("$ZORTOOL" info "$f" | sed -n 's/^count //p')" = 3 ] || { echo "Delete did not delete"; ok=1; }
  ko_keys ctrl+z
  [ "$(ko_md5 "$f")" = "$before" ] || { echo "Ctrl+Z did not bring back the file's bytes"; ok=1; }
  ko_keys ctrl+y
  [ "$(ko_md5 "$f")" = "$after" ] || { echo "Ctrl+Y did not delete again"; ok=1; }

  ko_key_to 1001 && ko_keys Escape
  kill -0 "$SETTINGS_PID" 2>/dev/null || { echo "Esc in the list ended the program"; ok=1; }
  click_control "$SETTINGS_CAPTION" Button OK
  wait_gone "$SETTINGS_PID" 10 || { echo "OK did not end the program"; ok=1; }
  end_programs "$SETTINGS_PID"
  rm -rf "$d"
  return $ok
}
