# The settings dialog (/c) driven with the mouse and keyboard: every edit is
# in the registration file at once; the line format dialog, the test
# display, one dialog at a time, and the dialogs at 144 DPI.
# shellcheck shell=bash

SETTINGS_CAPTION="$(zor_settings_caption)"
ZORTOOL="$ZOR_ROOT/build/native/zortool"

# The end-to-end helper's answer without carriage returns; its status. Only
# windows of the program in the test's folder count (other programs in the
# same Wine prefix share the window list, whatever display they use).
ask() { E2E_PROGRAM="${SETTINGS_FOLDER:-}" wine "$HOST" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }


# Starts /c (or the switch $2, "" for none) in folder $1; sets SETTINGS_PID;
# waits for the dialog.
start_settings() {
  local args=()
  SETTINGS_FOLDER=$(basename "$1")
  [ -z "${2-/c}" ] || args=("${2-/c}")
  (cd "$1" && exec wine zorante.scr "${args[@]}") &
  SETTINGS_PID=$!
  ask wait "$SETTINGS_CAPTION" 30000
}

# Clicks a control at its centre with the real pointer: WINDOW CLASS TEXT [N].
click_control() { zor_click_control ask "$@"; }

# True when the control's text is $4 (WINDOW CLASS TEXT EXPECTED).
control_text_is() { [ "$(ask text "$1" "$2" "$3")" = "$4" ]; }

# True when the control exists and shows (WINDOW CLASS TEXT [N]).
control_shown() { [ "$(control_state "$@" | cut -d' ' -f2)" = 1 ]; }

# "ENABLED VISIBLE CHECKED" of a control.
control_state() { zor_control_state ask "$@"; }

# The list box of the settings dialog: sets LIST_ROWS (array of row texts),
# LIST_SELECTED and the list's place (see zor_read_list).
read_list() { zor_read_list ask "$SETTINGS_CAPTION"; }

click_row() {
  read_list
  # shellcheck disable=SC2046
  xdotool mousemove $(zor_list_row_point "$1") click 1
  zor_poll 5 selected_row_is "$1"
}

selected_row_is() { read_list; [ "$LIST_SELECTED" = "$1" ]; }

# The messages of the file, one per line, as zortool lists them.
file_messages() { "$ZORTOOL" list "$1" 2>&1; }

# Checks that the file holds exactly the given messages in that order and
# that the list shows the same rows; $1 names the step.
expect_messages() {
  local step="$1" file="$2" want have
  shift 2
  want=$(printf '%s\n' "$@")
  have=$(file_messages "$file")
  [ "$have" = "$want" ] || { printf '%s: file holds\n%s\nexpected\n%s\n' "$step" "$have" "$want"; return 1; }
  read_list
  have=$(printf '%s\n' "${LIST_ROWS[@]}")
  [ "$have" = "$want" ] || { printf '%s: list shows\n%s\n' "$step" "$have"; return 1; }
}

# Waits until a file's checksum differs from $2 (an edit reached the disk).
file_changed() { [ "$(md5sum <"$1")" != "$2" ]; }

# The window the entry form opened with: types TEXT over whatever it holds, then OK.
enter_text() {
  local caption="$1" text="$2" shot="${3:-}"
  ask wait "$caption" 10000 || { echo "no window $caption"; return 1; }
  click_control "$caption" Edit '#0' || return 1
  # xdotool drops a character now and then on a busy machine: typed again.
  local try
  for try in 1 2 3; do
    xdotool key ctrl+a
    xdotool type --delay 20 "$text"
    zor_poll 5 control_text_is "$caption" Edit '#0' "$text" && break
    [ "$try" -lt 3 ] || { echo "typed: $(ask text "$caption" Edit '#0')"; return 1; }
  done
  [ -z "$shot" ] || import -window root "$SHOTS/$shot.png"
  click_control "$caption" Button OK || return 1
  ask gone "$caption" 10000 || { echo "$caption still open after OK"; return 1; }
}

M1='夜明けの前が一番暗い'
M2='Rome was not built in a day.'
M3='「ありがとう」を言おう'

e2e_settings_edits_reach_the_file_at_once() {
  local d f ok=0 sum
  d=$(new_folder)
  prepare_messages "$d"
  f="$d/zorante.zrd"
  start_settings "$d" || { echo "no settings dialog"; end_programs "$SETTINGS_PID"; rm -rf "$d"; return 1; }
  sleep 0.5
  import -window root "$SHOTS/settings-list.png"
  {
    expect_messages open "$f" "$M1" "$M2" "$M3" &&
      control_text_is "$SETTINGS_CAPTION" Static '>登録数' 3 &&
      [ "$(control_state "$SETTINGS_CAPTION" Static zorante.zrd)" = "1 1 -1" ] &&
      [ "$(control_state "$SETTINGS_CAPTION" Button 削除)" = "0 1 0" ] &&
      [ "$(control_state "$SETTINGS_CAPTION" Button 追加)" = "1 1 0" ]
  } || { echo "open: count, file name or buttons wrong"; ok=1; }

  # Add: typed in the entry form (Japanese goes through xdotool type).
  if click_control "$SETTINGS_CAPTION" Button 追加 &&
    ask wait '文章の追加登録' 10000 &&
    [ "$(control_state '文章の追加登録' Button OK)" = "0 1 0" ] &&
    enter_text '文章の追加登録' '新しい一歩 step 1' settings-entry; then
    expect_messages add "$f" "$M1" "$M2" "$M3" '新しい一歩 step 1' || ok=1
    zor_poll 5 control_text_is "$SETTINGS_CAPTION" Static '>登録数' 4 || { echo "add: count label $(ask text "$SETTINGS_CAPTION" Static '>登録数')"; ok=1; }
    selected_row_is 3 || { echo "add: selected row $LIST_SELECTED"; ok=1; }
  else
    echo "add failed"
    ok=1
  fi

  # Correct the new row: the form opens with its text; typed over.
  if click_control "$SETTINGS_CAPTION" Button 訂正 &&
    ask wait '文章の訂正' 10000 &&
    zor_poll 5 control_text_is '文章の訂正' Edit '#0' '新しい一歩 step 1' &&
    import -window root "$SHOTS/settings-correct.png" &&
    enter_text '文章の訂正' 'Corrected text'; then
    expect_messages correct "$f" "$M1" "$M2" "$M3" 'Corrected text' || ok=1
    selected_row_is 3 || { echo "correct: selected row $LIST_SELECTED"; ok=1; }
  else
    echo "correct failed"
    ok=1
  fi
  local M4='Corrected text'

  # Moves by one: DOWN then UP give the first bytes back; UP on row 0 writes nothing.
  click_row 0 || { echo "cannot select row 0"; ok=1; }
  sum=$(md5sum <"$f")
  click_control "$SETTINGS_CAPTION" Button DOWN && zor_poll 5 file_changed "$f" "$sum" &&
    zor_poll 5 selected_row_is 1 && expect_messages down "$f" "$M2" "$M1" "$M3" "$M4" || { echo "DOWN failed"; ok=1; }
  click_control "$SETTINGS_CAPTION" Button UP && zor_poll 5 selected_row_is 0 &&
    [ "$(md5sum <"$f")" = "$sum" ] && expect_messages up "$f" "$M1" "$M2" "$M3" "$M4" || { echo "UP failed"; ok=1; }
  click_control "$SETTINGS_CAPTION" Button UP
  sleep 0.5
  [ "$(md5sum <"$f")" = "$sum" ] || { echo "UP on the first row changed the file"; ok=1; }

  # Ten rows: the blank buttons, down-ten (second) from row 0 goes to the
  # last row, up-ten (first) from there back to row 0.
  click_row 0
  click_control "$SETTINGS_CAPTION" Button '' 1 && zor_poll 5 selected_row_is 3 &&
    expect_messages down-ten "$f" "$M2" "$M3" "$M4" "$M1" || { echo "down ten failed"; ok=1; }
  click_control "$SETTINGS_CAPTION" Button '' 0 && zor_poll 5 selected_row_is 0 &&
    [ "$(md5sum <"$f")" = "$sum" ] || { echo "up ten failed: $(file_messages "$f" | tr '\n' '|')"; ok=1; }

  # Drag row 0 onto row 2 with the button held: rows 1 and 2 move up.
  read_list
  local from to
  from=$(zor_list_row_point 0)
  to=$(zor_list_row_point 2)
  # shellcheck disable=SC2086
  xdotool mousemove $from mousedown 1
  sleep 0.2
  # shellcheck disable=SC2086
  set -- $from $to
  local step
  for step in 1 2 3 4 5 6; do
    xdotool mousemove "$1" $(($2 + ($4 - $2) * step / 6))
    sleep 0.05
  done
  xdotool mouseup 1
  zor_poll 5 file_changed "$f" "$sum" && expect_messages drag "$f" "$M2" "$M3" "$M1" "$M4" &&
    zor_poll 5 selected_row_is 2 || { echo "drag failed (selected ${LIST_SELECTED:-})"; ok=1; }
  import -window root "$SHOTS/settings-after-drag.png"

  # Delete row 1: nothing selected afterwards, the row buttons off, the text box empty.
  click_row 1
  local undeleted
  undeleted=$(md5sum <"$f")
  click_control "$SETTINGS_CAPTION" Button 削除 && zor_poll 5 control_text_is "$SETTINGS_CAPTION" Static '>登録数' 3 &&
    expect_messages delete "$f" "$M2" "$M1" "$M4" || { echo "delete failed"; ok=1; }
  selected_row_is -1 || { echo "delete: row $LIST_SELECTED still selected"; ok=1; }
  [ "$(control_state "$SETTINGS_CAPTION" Button 訂正)" = "0 1 0" ] || { echo "delete: row buttons still on"; ok=1; }
  [ "$(ask text "$SETTINGS_CAPTION" Edit '#0')" = "" ] || { echo "delete: the text box is not empty"; ok=1; }
  [ "$(control_state "$SETTINGS_CAPTION" Static 右上にL字レイアウト（背景黒）)" = "1 0 -1" ] || { echo "delete: thumbnails still shown"; ok=1; }

  # Ctrl+Z in the list gives the file's bytes back and selects the row; the
  # Delete key deletes it again; Esc in the list leaves the dialog open.
  sum=$(md5sum <"$f")
  xdotool key ctrl+z
  zor_poll 5 file_changed "$f" "$sum" && [ "$(md5sum <"$f")" = "$undeleted" ] && zor_poll 5 selected_row_is 1 ||
    { echo "undo failed (selected ${LIST_SELECTED:-})"; ok=1; }
  xdotool key Delete
  zor_poll 5 file_changed "$f" "$undeleted" && [ "$(md5sum <"$f")" = "$sum" ] || { echo "the Delete key failed"; ok=1; }
  xdotool key Escape
  sleep 0.5
  kill -0 "$SETTINGS_PID" 2>/dev/null || { echo "Esc in the list ended the program"; ok=1; }

  # OK closes the dialog and ends the program; nothing more is written.
  sum=$(md5sum <"$f")
  click_control "$SETTINGS_CAPTION" Button OK
  wait_gone "$SETTINGS_PID" 10 || { echo "OK did not end the program"; ok=1; }
  [ "$(md5sum <"$f")" = "$sum" ] || { echo "closing wrote the file"; ok=1; }
  end_programs "$SETTINGS_PID"
  rm -rf "$d"
  return $ok
}

# Opens the line format dialog on row $1 of the settings dialog.
open_format() {
  click_row "$1" && click_control "$SETTINGS_CAPTION" Button 書式 && ask wait '書式設定' 10000
}

e2e_settings_format_dialog_writes_the_format_bytes() {
  local d f ok=0 sum have
  d=$(new_folder)
  prepare_messages "$d"
  f="$d/zorante.zrd"
  start_settings "$d" || { echo "no settings dialog"; end_programs "$SETTINGS_PID"; rm -rf "$d"; return 1; }
  if open_format 0; then
    # Fixed marks need random emphasis off; a fold marker needs automatic fold off.
    [ "$(control_state '書式設定' Button 色強調ランダム)" = "1 1 1" ] || { echo "random emphasis not ticked at first"; ok=1; }
    [ "$(control_state '書式設定' Button 折れ位置自動決定)" = "1 1 1" ] || { echo "automatic fold not ticked at first"; ok=1; }
    control_shown '書式設定' Static 暗 || { echo "the cell of the last character is not shown"; ok=1; }
    click_control '書式設定' Button 色強調ランダム
    click_control '書式設定' Static 明
    click_control '書式設定' Button 折れ位置自動決定
    sleep 0.3
    # The marker comes under the first character; moved under the third
    # and clicked again it becomes kind A.
    click_control '書式設定' Static '' 2
    sleep 0.2
    click_control '書式設定' Static '' 2
    click_control '書式設定' Static Ｌ字（左下）
    sleep 0.3
    [ "$(control_state '書式設定' Button Ｌ字（左下）)" = "1 1 1" ] || { echo "the layout picture did not choose its option"; ok=1; }
    import -window root "$SHOTS/settings-format.png"
    sum=$(md5sum <"$f")
    click_control '書式設定' Button OK && ask gone '書式設定' 10000 || { echo "format: OK failed"; ok=1; }
    have=$("$ZORTOOL" show "$f" 1 | tr '\n' '|')
    [ "$have" = "text $M1|marks 2|emphasis marked|fold 3|kind A|layout B|" ] || { echo "format: $have"; ok=1; }
  else
    echo "no format dialog"
    ok=1
  fi

  # Cancel keeps the file; ticking the boxes again gives random emphasis
  # (the marks stay) and an automatic fold.
  if open_format 0; then
    sum=$(md5sum <"$f")
    click_control '書式設定' Static 夜
    click_control '書式設定' Button Cancel && ask gone '書式設定' 10000 || ok=1
    [ "$(md5sum <"$f")" = "$sum" ] || { echo "Cancel wrote the file"; ok=1; }
  else
    ok=1
  fi
  if open_format 0; then
    [ "$(control_state '書式設定' Button 折れ位置自動決定)" = "1 1 0" ] || { echo "reopened: automatic fold ticked"; ok=1; }
    click_control '書式設定' Button 色強調ランダム
    click_control '書式設定' Button 折れ位置自動決定
    click_control '書式設定' Button しない
    click_control '書式設定' Button OK && ask gone '書式設定' 10000 || ok=1
    have=$("$ZORTOOL" show "$f" 1 | tr '\n' '|')
    [ "$have" = "text $M1|marks 2|emphasis random|fold auto|kind none|layout none|" ] || { echo "format again: $have"; ok=1; }
  else
    ok=1
  fi

  # A message with half-width characters: no cells, both boxes disabled.
  if open_format 1; then
    [ "$(control_state '書式設定' Button 色強調ランダム | cut -c1)" = "0" ] &&
      [ "$(control_state '書式設定' Button 折れ位置自動決定 | cut -c1)" = "0" ] &&
      ! control_shown '書式設定' Static R && ! control_shown '書式設定' Static '#0' ||
      { echo "half-width message: boxes or cells offered"; ok=1; }
    click_control '書式設定' Button Cancel
    ask gone '書式設定' 10000 || ok=1
  else
    ok=1
  fi
  end_programs "$SETTINGS_PID"
  rm -rf "$d"
  return $ok
}

e2e_settings_thumbnail_shows_the_test_display_and_a_key_returns() {
  local d ok=0
  d=$(new_folder)
  prepare_messages "$d"
  start_settings "$d" || { echo "no settings dialog"; end_programs "$SETTINGS_PID"; rm -rf "$d"; return 1; }
  [ "$(control_state "$SETTINGS_CAPTION" Static 中央にレイアウト（背景黒）)" = "1 0 -1" ] ||
    { echo "thumbnails shown with no row selected"; ok=1; }
  click_row 0 || ok=1
  sleep 0.5  # the thumbnails are drawn once the selection settles
  import -window root "$SHOTS/settings-row-selected.png"
  # Only the left and right buttons start the test display.
  local x y
  read -r _ _ _ _ x y _ < <(ask control "$SETTINGS_CAPTION" Static 中央にレイアウト（背景黒）) || true
  xdotool mousemove "${x:-0}" "${y:-0}" click 2
  ! ask wait ZORANTE 2000 || { echo "a middle click started the test display"; ok=1; xdotool key a; ask gone ZORANTE 10000; }
  if click_control "$SETTINGS_CAPTION" Static 中央にレイアウト（背景黒） && ask wait ZORANTE 15000; then
    sleep 1
    import -window root "$SHOTS/settings-test-display.png"
    check_page_has_text "$SHOTS/settings-test-display.png" || ok=1
    [ "$(ask window ZORANTE | cut -d' ' -f1-4)" = "0 0 1024 768" ] || { echo "test display: $(ask window ZORANTE)"; ok=1; }
    xdotool key a
    ask gone ZORANTE 10000 || { echo "a key did not end the test display"; ok=1; }
    kill -0 "$SETTINGS_PID" 2>/dev/null || { echo "the program ended with the test display"; ok=1; }
    ask wait "$SETTINGS_CAPTION" 1000 || { echo "the settings dialog is gone"; ok=1; }
    selected_row_is 0 || { echo "the selection was lost"; ok=1; }
  else
    echo "no test display"
    ok=1
  fi
  click_control "$SETTINGS_CAPTION" Button OK
  wait_gone "$SETTINGS_PID" 10 || { echo "OK did not end the program"; ok=1; }
  end_programs "$SETTINGS_PID"
  rm -rf "$d"
  return $ok
}

e2e_settings_switches_and_one_dialog_at_a_time() {
  local d ok=0 pid2 sw
  d=$(new_folder)
  prepare_messages "$d"
  for sw in /c:1234 "" /C; do
    start_settings "$d" "$sw" || { echo "'$sw' opened no dialog"; ok=1; end_programs "$SETTINGS_PID"; continue; }
    if [ "$sw" = /c:1234 ]; then
      (cd "$d" && exec wine zorante.scr /c) &
      pid2=$!
      # Not end_programs: it would end the first dialog too.
      wait_gone "$pid2" 10 || { echo "a second /c still runs"; ok=1; kill "$pid2" 2>/dev/null; }
      [ "$(ask windows | grep -c "$SETTINGS_CAPTION")" = 1 ] || { echo "settings dialogs: $(ask windows)"; ok=1; }
    fi
    click_control "$SETTINGS_CAPTION" Button OK
    wait_gone "$SETTINGS_PID" 10 || { echo "'$sw': OK did not end the program"; ok=1; }
    end_programs "$SETTINGS_PID"
  done
  rm -rf "$d"
  return $ok
}

# The dialogs at 144 DPI (Wine's LogPixels): larger by half than at 96, and
# screenshots of both. The value is put back whatever happens.
e2e_settings_dialogs_scale_with_the_dpi() {
  (
    local d ok=0 w96 w144 dpi l r got
    keep_log_pixels
    d=$(new_folder)
    prepare_messages "$d"
    for dpi in 96 144; do
      set_log_pixels "$dpi" || { echo "cannot set LogPixels"; exit 1; }
      start_settings "$d" || { echo "$dpi: no settings dialog"; end_programs "$SETTINGS_PID"; ok=1; continue; }
      click_row 0
      sleep 0.5
      import -window root "$SHOTS/settings-dpi$dpi.png"
      got=$(ask dpi)
      [ "$got" = "$dpi" ] || { echo "$dpi: Windows programs see $got DPI"; ok=1; }
      read -r l _ r _ < <(ask window "$SETTINGS_CAPTION")
      if [ "$dpi" = 96 ]; then w96=$((r - l)); else w144=$((r - l)); fi
      if click_control "$SETTINGS_CAPTION" Button 書式 && ask wait '書式設定' 10000; then
        sleep 0.3
        import -window root "$SHOTS/settings-format-dpi$dpi.png"
        click_control '書式設定' Button Cancel
        ask gone '書式設定' 10000
      else
        echo "$dpi: no format dialog"
        ok=1
      fi
      # The entry form with its count line under the text.
      if click_control "$SETTINGS_CAPTION" Button 訂正 && ask wait '文章の訂正' 10000; then
        sleep 0.3
        import -window root "$SHOTS/settings-entry-dpi$dpi.png"
        got=$(ask text '文章の訂正' Static '#2')
        [ "$got" = '10 / 32 文字（全角）' ] || { echo "$dpi: the entry form's count line reads '$got'"; ok=1; }
        click_control '文章の訂正' Button Cancel
        ask gone '文章の訂正' 10000
      else
        echo "$dpi: no entry form"
        ok=1
      fi
      click_control "$SETTINGS_CAPTION" Button OK
      wait_gone "$SETTINGS_PID" 10 || ok=1
      end_programs "$SETTINGS_PID"
    done
    # 1.5 times as wide, give or take the frame.
    [ -n "${w96:-}" ] && [ -n "${w144:-}" ] && [ $((w144 * 100 / w96)) -ge 140 ] && [ $((w144 * 100 / w96)) -le 160 ] ||
      { echo "width at 96 DPI ${w96:-?}, at 144 DPI ${w144:-?}"; ok=1; }
    rm -rf "$d"
    exit $ok
  )
}

# F1 in a dialog: its own help page, or the menu's warning when the help file is missing.
help_window_shown() { ask windows | grep -q $'^[-0-9 ]*HH Parent\t'; }
help_window_gone() { ! help_window_shown; }
e2e_settings_f1_opens_the_help_or_warns_as_the_menu_does() {
  local d ok=0 text
  d=$(new_folder)
  prepare_messages "$d"
  start_settings "$d" || { echo "no settings dialog"; end_programs "$SETTINGS_PID"; rm -rf "$d"; return 1; }
  click_row 0
  xdotool key F1
  if ask wait ZORANTE 10000; then
    sleep 0.3
    import -window root "$SHOTS/settings-f1-no-help-file.png"
    text=$(ask text ZORANTE Static '#1')
    [ "$text" = "ヘルプファイル $(winepath -w "$d")\\zorante.chm が見つかりません。" ] || { echo "F1 without a help file says '$text'"; ok=1; }
    xdotool key Return
    ask gone ZORANTE 10000 || ok=1
  else
    echo "F1 gave no warning without a help file"
    ok=1
  fi
  cp "$(dirname "$SCR")/zorante.chm" "$d/"
  # In the entry form (a dialog of its own) F1 opens the viewer.
  if click_control "$SETTINGS_CAPTION" Button 追加 && ask wait '文章の追加登録' 10000; then
    xdotool key F1
    zor_poll 15 help_window_shown || { echo "F1 in the entry form opened no help window: $(ask windows | tr '\n' '|')"; ok=1; }
    sleep 1
    import -window root "$SHOTS/settings-f1-entry-help.png"
    # The viewer covers the form: closed first (it has the focus).
    xdotool key alt+F4
    zor_poll 10 help_window_gone || { echo "the help window stayed"; ok=1; }
    click_control '文章の追加登録' Button Cancel
    ask gone '文章の追加登録' 10000 || { echo "the entry form stayed"; ok=1; }
  else
    echo "no entry form"
    ok=1
  fi
  click_control "$SETTINGS_CAPTION" Button OK
  wait_gone "$SETTINGS_PID" 10 || { echo "OK did not end the program"; ok=1; }
  end_programs "$SETTINGS_PID"
  rm -rf "$d"
  return $ok
}
