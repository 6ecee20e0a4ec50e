# The font and date options reached through the settings dialog's menu: a
# face picked in the chooser is in the settings file before the options
# dialog closes, and the saver then draws with it.
# shellcheck shell=bash disable=SC2015

FONT_SETTINGS_CAPTION="$(zor_settings_caption)"
FONT_OPTIONS_CAPTION='使用フォント／日付・時刻'
FONT_CHOOSER_CAPTION='フォント選択'

# The end-to-end helper's answer for the windows of the program in folder
# FONT_FOLDER only (other programs share the prefix's window list).
font_ask() { E2E_PROGRAM="${FONT_FOLDER:-}" wine "$HOST" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# "ENABLED VISIBLE CHECKED" of a control: WINDOW CLASS TEXT [N].
font_control_state() { zor_control_state font_ask "$@"; }

# Clicks a control at its centre with the real pointer; false when it is missing or not usable.
font_click() { zor_click_control font_ask "$@"; }

# Clicks the chooser's row that reads $1.
font_click_row() {
  zor_click_list_row font_ask "$FONT_CHOOSER_CAPTION" "$1" 30 || { echo "no row $1 in the chooser"; return 1; }
}


font_chooser_ok_usable() { [ "$(font_control_state "$FONT_CHOOSER_CAPTION" Button OK)" = "1 1 0" ]; }
font_options_show() { [ "$(font_control_state "$FONT_OPTIONS_CAPTION" Static "$1")" = "1 1 -1" ]; }

font_ini_has() { tr -d '\r' <"$1" | grep -qx "$2"; }

# Message 1 drawn by zortool.exe as the test display draws it, with the
# settings file $2: the page the saver shows first for this file.
font_reference() {
  wine "$(dirname "$SCR")/zortool.exe" render "$(winepath -w "$1")" 1 --layout C --ground black --size 1024x768 \
    --settings "$(winepath -w "$2")" --out "$(winepath -w "$3")" >/dev/null 2>&1
}

# Normalised root-mean-square difference of two pictures (0 same, 1 opposite).
font_difference() { compare -metric RMSE "$1" "$2" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p'; }

e2e_font_picked_in_the_options_is_stored_at_once_and_drawn_by_the_saver() {
  local d ok=0 pid zrd shot near far
  d=$(new_folder)
  FONT_FOLDER=$(basename "$d")
  zrd="$d/zorante.zrd"
  # One message, centred, white on black: the saver's first page is known.
  "$ZOR_ROOT/build/native/zortool" new "$zrd" >/dev/null &&
    "$ZOR_ROOT/build/native/zortool" add "$zrd" "夜明けの前が一番暗い" >/dev/null &&
    "$ZOR_ROOT/build/native/zortool" options "$zrd" --scheme 0 --order registration --layout 1 --emphasis off \
      --interval 11000 >/dev/null || { echo "cannot make the registration file"; rm -rf "$d"; return 1; }
  printf '[ZORANTE]\r\nUseFont=IPAMincho\r\nDecoFont=0\r\nKanS=0\r\n' >"$d/ZORANTE.ini"

  (cd "$d" && exec wine zorante.scr /c) &
  pid=$!
  if ! font_ask wait "$FONT_SETTINGS_CAPTION" 30000; then
    echo "no settings dialog (one instance per Wine prefix: is another zorante.scr running?)"
    end_programs "$pid"
    rm -rf "$d"
    return 1
  fi
  # The menu "環境設定(&C)", its second item "フォント／日付・時刻".
  zor_open_settings_menu font_ask "$FONT_SETTINGS_CAPTION" alt+c && sleep 0.3 && xdotool key Down Return &&
    font_ask wait "$FONT_OPTIONS_CAPTION" 10000 ||
    { echo "the menu did not open the font options"; ok=1; }
  if [ $ok -eq 0 ]; then
    sleep 0.3
    import -window root "$SHOTS/font-options.png"
    [ "$(font_control_state "$FONT_OPTIONS_CAPTION" Static IPAMincho)" = "1 1 -1" ] ||
      { echo "the options do not show the face in use"; ok=1; }
    [ "$(font_control_state "$FONT_OPTIONS_CAPTION" Button 装飾なし)" = "1 1 1" ] || { echo "decoration not shown"; ok=1; }

    font_click "$FONT_OPTIONS_CAPTION" Button 変更 && font_ask wait "$FONT_CHOOSER_CAPTION" 10000 ||
      { echo "the chooser did not open"; ok=1; }
    [ "$(font_control_state "$FONT_CHOOSER_CAPTION" Button OK)" = "0 1 0" ] || { echo "OK usable before a click"; ok=1; }
    font_click_row IPAGothic && zor_poll 5 font_chooser_ok_usable || { echo "a click on a row left OK disabled"; ok=1; }
    import -window root "$SHOTS/font-chooser.png"
    font_click "$FONT_CHOOSER_CAPTION" Button OK && font_ask gone "$FONT_CHOOSER_CAPTION" 10000 ||
      { echo "the chooser's OK did not close it"; ok=1; }
    # Written by the chooser while the options dialog is still open.
    font_ask window "$FONT_OPTIONS_CAPTION" >/dev/null || { echo "the options closed with the chooser"; ok=1; }
    font_ini_has "$d/ZORANTE.ini" 'UseFont=IPAGothic' ||
      { echo "UseFont not written at once: $(tr -d '\r' <"$d/ZORANTE.ini" | tr '\n' ' ')"; ok=1; }
    zor_poll 5 font_options_show IPAGothic ||
      { echo "the options do not show the new face"; ok=1; }

    # Shadow, then the close box's Esc: saved all the same.
    font_click "$FONT_OPTIONS_CAPTION" Button 影付き
    xdotool key Escape
    font_ask gone "$FONT_OPTIONS_CAPTION" 10000 || { echo "Esc did not close the options"; ok=1; }
    font_ini_has "$d/ZORANTE.ini" 'DecoFont=3' && font_ini_has "$d/ZORANTE.ini" 'UseFontBold=-1' ||
      { echo "closing did not save: $(tr -d '\r' <"$d/ZORANTE.ini" | tr '\n' ' ')"; ok=1; }
  fi
  font_click "$FONT_SETTINGS_CAPTION" Button OK
  wait_gone "$pid" 10 || { echo "the settings dialog did not end"; ok=1; }
  end_programs "$pid"

  # The saver draws the page in the chosen face: nearer the page drawn in it
  # than the page drawn in the face it replaced.
  (cd "$d" && exec wine zorante.scr /s) &
  pid=$!
  if [ -n "$(zor_wait_x_window '^ZORANTE$' 30)" ]; then
    sleep 1.5
    shot="$SHOTS/saver-chosen-face.png"
    import -window root "$shot"
    xdotool key a
    wait_gone "$pid" 5 || { echo "the saver did not end"; ok=1; }
    sed 's/^UseFont=.*/UseFont=IPAMincho\r/' "$d/ZORANTE.ini" >"$d/before.ini"
    if font_reference "$zrd" "$d/ZORANTE.ini" "$d/chosen.png" && font_reference "$zrd" "$d/before.ini" "$d/before.png"; then
      near=$(font_difference "$shot" "$d/chosen.png")
      far=$(font_difference "$shot" "$d/before.png")
      awk -v n="${near:-1}" -v f="${far:-0}" 'BEGIN { exit !(n < 0.02 && n < f / 2) }' ||
        { echo "the saver's page is not drawn in the chosen face (difference $near, from the old face $far)"; ok=1; }
    else
      echo "zortool.exe could not draw the reference pages"
      ok=1
    fi
  else
    echo "no saver window"
    ok=1
  fi
  end_programs "$pid"
  rm -rf "$d"
  return $ok
}
