# The settings dialog's file commands with the system's file dialogs (new,
# open, open under a new name, rename, import with and without the import
# limit, export), the display options dialog and the version box. Every
# step is checked in the files: the registration file's bytes, the text
# file's lines and LoadFileName in ZORANTE.ini (Shift_JIS).
# shellcheck shell=bash disable=SC2015

FC_SETTINGS="$(zor_settings_caption)"
FC_ZORTOOL="$ZOR_ROOT/build/native/zortool"

# The end-to-end helper's answer for the windows of the program in folder
# FC_FOLDER only (other programs share the prefix's window list); its status.
fc_ask() { E2E_PROGRAM="${FC_FOLDER:-}" wine "$HOST" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }


# "ENABLED VISIBLE CHECKED" of a control: WINDOW CLASS TEXT [N].
fc_state() { zor_control_state fc_ask "$@"; }

# Clicks a control at its centre with the real pointer; false when it is missing or not usable.
fc_click() { zor_click_control fc_ask "$@"; }

fc_text_is() { [ "$(fc_ask text "$1" "$2" "$3")" = "$4" ]; }
fc_checked() { [ "$(fc_state "$1" Button "$2")" = "1 1 $3" ]; }

# Starts /c in the folder; sets FC_PID and FC_FOLDER; waits for the dialog.
fc_start() {
  FC_FOLDER=$(basename "$1")
  (cd "$1" && exec wine zorante.scr /c) 2>/dev/null &
  FC_PID=$!
  fc_ask wait "$FC_SETTINGS" 30000
}

# Opens a menu of the settings dialog with the keyboard: KEY for the menu
# bar, then the keys for the item once the menu shows (none for an item of
# the bar itself; a key sent before the menu is up would choose an item of
# the bar).
fc_menu() {
  local bar="$1" key
  shift
  [ $# -gt 0 ] || { zor_open_settings_menu fc_ask "$FC_SETTINGS" "$bar" bar; return; }
  zor_open_settings_menu fc_ask "$FC_SETTINGS" "$bar" || { echo "no menu after $bar"; return 1; }
  sleep 0.2
  for key in "$@"; do
    xdotool key "$key"
    sleep 0.2
  done
}

# The common file dialog CAPTION: a screenshot, then PATH typed over the
# file name and Return. False when the dialog did not come or the name
# did not take.
fc_file_dialog() {
  local caption="$1" path="$2" shot="$3"
  if ! fc_ask wait "$caption" 10000; then
    import -window root "$SHOTS/$shot-missing.png"
    echo "no file dialog $caption; windows: $(fc_ask windows | tr '\n' '|')"
    return 1
  fi
  sleep 0.5
  import -window root "$SHOTS/$shot.png"
  xdotool key ctrl+a
  xdotool type --delay 10 "$path"
  zor_poll 5 fc_text_is "$caption" Edit '#0' "$path" || { echo "$caption: the name box holds $(fc_ask text "$caption" Edit '#0')"; return 1; }
  xdotool key Return
}

# Waits until the file dialog is gone and the settings dialog is alone again.
fc_back() {
  fc_ask gone "$1" 10000 || { echo "$1 still open"; return 1; }
  zor_poll 5 fc_alone
}
fc_alone() { [ "$(fc_ask windows | grep -vc tooltips_class32)" = 1 ]; }

# LoadFileName of the folder's ZORANTE.ini, as UTF-8.
fc_load_name() { iconv -f CP932 -t UTF-8 "$1/ZORANTE.ini" | tr -d '\r' | sed -n 's/^LoadFileName=//p'; }

# Checks the file in use after a step: LoadFileName, the label and the count.
fc_in_use() {
  local step="$1" folder="$2" name="$3" count="$4" win have
  win="$(winepath -w "$folder")\\$name"
  have=$(fc_load_name "$folder")
  [ "$have" = "$win" ] || { echo "$step: LoadFileName is '$have', not '$win'"; return 1; }
  zor_poll 5 fc_text_is "$FC_SETTINGS" Static '#0' "$name" || { echo "$step: the label shows '$(fc_ask text "$FC_SETTINGS" Static '#0')'"; return 1; }
  zor_poll 5 fc_text_is "$FC_SETTINGS" Static '>登録数' "$count" || { echo "$step: the count shows '$(fc_ask text "$FC_SETTINGS" Static '>登録数')'"; return 1; }
}

# zortool info's values on one line.
fc_info() { "$FC_ZORTOOL" info "$1" 2>&1 | tr '\n' ' '; }

# The header of an empty registration file as zortool reads it.
FC_EMPTY='version 98 count 0 interval 6000 scheme 3 emphasis -1 order 0 colour 12 layout 0 '

e2e_file_commands_new_open_and_rename() {
  local d w ok=0 sum
  d=$(new_folder)
  w=$(winepath -w "$d")
  prepare_messages "$d"
  "$FC_ZORTOOL" new "$d/other.zrd" >/dev/null && "$FC_ZORTOOL" add "$d/other.zrd" 'one' >/dev/null &&
    "$FC_ZORTOOL" add "$d/other.zrd" 'two' >/dev/null || { echo "cannot make other.zrd"; rm -rf "$d"; return 1; }
  fc_start "$d" || { echo "no settings dialog"; end_programs "$FC_PID"; rm -rf "$d"; return 1; }

  # New: 無題1.zrd suggested in the program folder, accepted as it stands.
  if fc_menu alt+f n && fc_ask wait 新規登録ファイル 10000; then
    sleep 0.5
    import -window root "$SHOTS/file-new.png"
    zor_poll 5 fc_text_is 新規登録ファイル Edit '#0' 無題1.zrd || { echo "new: suggested '$(fc_ask text 新規登録ファイル Edit '#0')'"; ok=1; }
    xdotool key Return
    fc_back 新規登録ファイル || ok=1
    [ "$(stat -c %s "$d/無題1.zrd" 2>/dev/null)" = 32 ] || { echo "new: 無題1.zrd not made with 32 bytes"; ok=1; }
    [ "$(fc_info "$d/無題1.zrd")" = "$FC_EMPTY" ] || { echo "new: $(fc_info "$d/無題1.zrd")"; ok=1; }
    fc_in_use new "$d" 無題1.zrd 0 || ok=1
  else
    echo "the menu did not open the new file dialog"
    ok=1
  fi

  # Open an existing file: its messages are listed.
  sum=$(md5sum <"$d/other.zrd")
  if fc_menu alt+f o && fc_file_dialog 登録ファイルを開く "$w\\other.zrd" file-open && fc_back 登録ファイルを開く; then
    fc_in_use open "$d" other.zrd 2 || ok=1
    [ "$(md5sum <"$d/other.zrd")" = "$sum" ] || { echo "open: the file was written"; ok=1; }
  else
    echo "open failed"
    ok=1
  fi

  # Open under a new name: the dialog asks to create it; an empty file (count 0).
  if fc_menu alt+f o && fc_file_dialog 登録ファイルを開く "$w\\fresh.zrd" file-open-new &&
    zor_poll 5 fc_create_asked; then
    import -window root "$SHOTS/file-open-create.png"
    xdotool key Return
    fc_back 登録ファイルを開く || ok=1
    [ "$(fc_info "$d/fresh.zrd")" = "$FC_EMPTY" ] && [ "$(stat -c %s "$d/fresh.zrd")" = 32 ] ||
      { echo "open new: $(fc_info "$d/fresh.zrd")"; ok=1; }
    fc_in_use "open new" "$d" fresh.zrd 0 || ok=1
  else
    echo "open under a new name failed: $(fc_ask windows | tr '\n' '|')"
    ok=1
  fi

  # Rename the file in use (the last item of the menu, with no access key).
  sum=$(md5sum <"$d/fresh.zrd")
  if fc_menu alt+f Up Return && fc_ask wait 登録ファイル名の変更 10000 &&
    zor_poll 5 fc_text_is 登録ファイル名の変更 Edit '#0' fresh.zrd &&
    fc_file_dialog 登録ファイル名の変更 "$w\\renamed.zrd" file-rename && fc_back 登録ファイル名の変更; then
    [ ! -e "$d/fresh.zrd" ] || { echo "rename: fresh.zrd still there"; ok=1; }
    [ "$(md5sum <"$d/renamed.zrd" 2>/dev/null)" = "$sum" ] || { echo "rename: renamed.zrd missing or changed"; ok=1; }
    fc_in_use rename "$d" renamed.zrd 0 || ok=1
  else
    echo "rename failed"
    ok=1
  fi
  [ "$("$FC_ZORTOOL" list "$d/zorante.zrd" | wc -l)" = 3 ] || { echo "the first file changed"; ok=1; }

  fc_click "$FC_SETTINGS" Button OK
  wait_gone "$FC_PID" 10 || { echo "OK did not end the program"; ok=1; }
  end_programs "$FC_PID"
  rm -rf "$d"
  return $ok
}

# The open dialog's question whether to create the file (a second window of its caption, with Yes).
fc_create_asked() { [ "$(fc_ask windows | grep -c $'\t登録ファイルを開く$')" = 2 ] && fc_ask control 登録ファイルを開く Button '=6' >/dev/null; }

# The import option dialog: ticks or clears the limit box, closes with OK.
fc_import_limit() {
  local want="$1" shot="$2"
  fc_menu alt+c Down Down Return && fc_ask wait インポート 10000 || { echo "no import option dialog"; return 1; }
  fc_ask control インポート Button 登録行数を100に制限 >/dev/null || { echo "the import option dialog lacks its box"; return 1; }
  if ! fc_checked インポート 登録行数を100に制限 "$want"; then
    fc_click インポート Button 登録行数を100に制限 && zor_poll 5 fc_checked インポート 登録行数を100に制限 "$want" ||
      { echo "the box did not turn to $want"; return 1; }
  fi
  sleep 0.3
  import -window root "$SHOTS/$shot.png"
  fc_click インポート Button OK && fc_ask gone インポート 10000 || { echo "OK did not close the import option"; return 1; }
}

fc_ini_has() { tr -d '\r' <"$1/ZORANTE.ini" | grep -qx "$2"; }

# Imports the text file and checks the new registration file's messages: its
# first $3 lines. With $5, the import's report box reads $5 and is closed.
fc_import() {
  local d="$1" target="$2" count="$3" shot="$4" report="${5:-}" want have
  fc_menu alt+f i && fc_file_dialog インポート "$(winepath -w "$d")\\lines.txt" "$shot" ||
    { echo "import of $target failed"; return 1; }
  if [ -n "$report" ]; then
    fc_ask wait ZORANTE 20000 || { echo "import of $target: no report"; return 1; }
    have=$(fc_ask text ZORANTE Static '#1')
    [ "$have" = "$report" ] || { echo "import of $target: the report reads '$have'"; return 1; }
    xdotool key Return
    fc_ask gone ZORANTE 10000 || { echo "import of $target: the report stayed"; return 1; }
  fi
  fc_back インポート || { echo "import of $target failed"; return 1; }
  want=$(iconv -f CP932 -t UTF-8 "$d/lines.txt" | tr -d '\r' | sed 's/^ *//; s/ *$//' | head -n "$count")
  have=$("$FC_ZORTOOL" list "$d/$target" 2>&1)
  [ "$have" = "$want" ] || { echo "$target holds $(printf '%s\n' "$have" | wc -l) messages, not the first $count lines"; return 1; }
  "$FC_ZORTOOL" info "$d/$target" | grep -qx "count $count" || { echo "$target: $(fc_info "$d/$target")"; return 1; }
  fc_in_use "import $target" "$d" "$target" "$count"
}

e2e_file_commands_import_with_the_limit_on_and_off_and_export() {
  local d w ok=0 i have want
  d=$(new_folder)
  w=$(winepath -w "$d")
  prepare_messages "$d"
  # 150 lines, Shift_JIS, CR LF; blanks around the text are trimmed on import.
  for i in $(seq 1 150); do printf '  行 %d line\r\n' "$i"; done | iconv -f UTF-8 -t CP932 >"$d/lines.txt"
  fc_start "$d" || { echo "no settings dialog"; end_programs "$FC_PID"; rm -rf "$d"; return 1; }

  # Limit on (the default): 100 messages in lines.zrd beside the text file.
  fc_import_limit 1 import-option-on || ok=1
  fc_ini_has "$d" 'ImportLimit=-1' || { echo "ImportLimit not -1: $(tr -d '\r' <"$d/ZORANTE.ini" | tr '\n' ' ')"; ok=1; }
  fc_import "$d" lines.zrd 100 file-import "100 件の文章を登録しました。
文字コード: Shift_JIS

登録しなかった行:
　上限（100 件）を超えた行: 50" || ok=1

  # Limit off: lines.zrd exists, so the import makes 無題1.zrd with 150.
  fc_import_limit 0 import-option-off || ok=1
  fc_ini_has "$d" 'ImportLimit=0' || { echo "ImportLimit not 0: $(tr -d '\r' <"$d/ZORANTE.ini" | tr '\n' ' ')"; ok=1; }
  fc_import "$d" 無題1.zrd 150 file-import-again || ok=1
  [ "$("$FC_ZORTOOL" info "$d/lines.zrd" | sed -n 's/^count //p')" = 100 ] || { echo "the second import touched lines.zrd"; ok=1; }

  # Export: the suggested name is the file's with .txt; the finished box; one line a message.
  if fc_menu alt+f e && fc_ask wait エクスポート 10000 &&
    { zor_poll 5 fc_text_is エクスポート Edit '#0' 無題1.txt || { echo "export: suggested '$(fc_ask text エクスポート Edit '#0')'"; ok=1; }; } &&
    fc_file_dialog エクスポート "$w\\out.txt" file-export && fc_ask gone エクスポート 10000 && fc_ask wait ZORANTE 10000; then
    sleep 0.3
    import -window root "$SHOTS/file-export-done.png"
    fc_ask control ZORANTE Static "$w\\out.txt にエクスポート完了しました" >/dev/null ||
      { echo "export: the finished box reads '$(fc_ask text ZORANTE Static '#1')'"; ok=1; }
    xdotool key Return
    fc_ask gone ZORANTE 10000 && zor_poll 5 fc_alone || { echo "Return did not close the finished box"; ok=1; }
    want=$("$FC_ZORTOOL" list "$d/無題1.zrd")
    have=$(iconv -f CP932 -t UTF-8 "$d/out.txt" | tr -d '\r')
    [ "$have" = "$want" ] || { echo "export: out.txt does not hold the messages"; ok=1; }
    [ "$(grep -c $'\r$' "$d/out.txt")" = 150 ] && [ "$(wc -l <"$d/out.txt")" = 150 ] ||
      { echo "export: not 150 lines ending CR LF"; ok=1; }
  else
    echo "export failed: $(fc_ask windows | tr '\n' '|')"
    ok=1
  fi

  fc_click "$FC_SETTINGS" Button OK
  wait_gone "$FC_PID" 10 || { echo "OK did not end the program"; ok=1; }
  end_programs "$FC_PID"
  rm -rf "$d"
  return $ok
}

# Ten messages as a phone or web page hands them out: UTF-8 without a mark,
# LF line ends, a wave dash where CP932 holds the full-width tilde.
fc_ten_messages() {
  printf '%s\n' 今日は良い天気です 'ｶﾀｶﾅ と ascii' '〜の代わりに〜' 第一の文章 会議は１０時から 漢字かなカナ ＡＢＣ全角 \
    さようなら ℃と㈱と① 長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い
}

e2e_file_commands_import_reads_utf8_and_reports_and_export_writes_utf8() {
  local d w ok=0 box
  d=$(new_folder)
  w=$(winepath -w "$d")
  prepare_messages "$d"
  fc_ten_messages >"$d/lines.txt"
  mkdir "$d/ref"
  fc_ten_messages | sed 's/〜/～/g; s/$/\r/' | iconv -f UTF-8 -t CP932 >"$d/ref/ten.txt"
  "$FC_ZORTOOL" import "$d/ref/ten.txt" >/dev/null 2>&1 || { echo "zortool could not import the CP932 copy"; ok=1; }
  fc_start "$d" || { echo "no settings dialog"; end_programs "$FC_PID"; rm -rf "$d"; return 1; }

  # The import reads UTF-8, registers the ten and tells what it read.
  # The report comes once the file dialog has gone (Wine may keep its window a moment longer under load).
  if fc_menu alt+f i && fc_file_dialog インポート "$w\\lines.txt" file-import-utf8 && fc_ask wait ZORANTE 20000; then
    sleep 0.3
    import -window root "$SHOTS/file-import-utf8-report.png"
    box=$(fc_ask text ZORANTE Static '#1')
    [ "$box" = "10 件の文章を登録しました。
文字コード: UTF-8" ] || { echo "import report reads '$box'"; ok=1; }
    xdotool key Return
    fc_ask gone ZORANTE 10000 && zor_poll 5 fc_alone || { echo "Return did not close the report"; ok=1; }
  else
    echo "no import report: $(fc_ask windows | tr '\n' '|')"
    ok=1
  fi
  cmp -s "$d/lines.zrd" "$d/ref/ten.zrd" || { echo "the UTF-8 import differs from the CP932 one: $(fc_changed_bytes "$d/lines.zrd" "$d/ref/ten.zrd")"; ok=1; }
  fc_in_use "import lines.zrd" "$d" lines.zrd 10 || ok=1

  # An EUC-JP copy, as Unix systems write it, reads as the same ten, and the report names EUC-JP.
  iconv -f CP932 -t EUC-JP-MS "$d/ref/ten.txt" >"$d/euc.txt"
  if fc_menu alt+f i && fc_file_dialog インポート "$w\\euc.txt" file-import-eucjp && fc_ask wait ZORANTE 20000; then
    sleep 0.3
    import -window root "$SHOTS/file-import-eucjp-report.png"
    box=$(fc_ask text ZORANTE Static '#1')
    [ "$box" = "10 件の文章を登録しました。
文字コード: EUC-JP" ] || { echo "EUC-JP import report reads '$box'"; ok=1; }
    xdotool key Return
    fc_ask gone ZORANTE 10000 && zor_poll 5 fc_alone || { echo "Return did not close the EUC-JP report"; ok=1; }
  else
    echo "no EUC-JP import report: $(fc_ask windows | tr '\n' '|')"
    ok=1
  fi
  cmp -s "$d/euc.zrd" "$d/ref/ten.zrd" || { echo "the EUC-JP import differs from the CP932 one: $(fc_changed_bytes "$d/euc.zrd" "$d/ref/ten.zrd")"; ok=1; }
  fc_in_use "import euc.zrd" "$d" euc.zrd 10 || ok=1

  # Export as the second file type: UTF-8 with a mark, CR LF.
  if fc_menu alt+f e && fc_ask wait エクスポート 10000; then
    sleep 0.5
    xdotool key alt+t Down
    sleep 0.3
    xdotool key alt+n
    sleep 0.3
    if fc_file_dialog エクスポート "$w\\out.txt" file-export-utf8 && fc_ask gone エクスポート 10000 && fc_ask wait ZORANTE 10000; then
      xdotool key Return
      fc_ask gone ZORANTE 10000 || ok=1
      [ "$(head -c 3 "$d/out.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] || { echo "export: no UTF-8 mark: $(head -c 8 "$d/out.txt" | od -An -tx1)"; ok=1; }
      [ "$(tail -c +4 "$d/out.txt" | tr -d '\r')" = "$(fc_ten_messages | sed 's/〜/～/g')" ] || { echo "export: out.txt is not the ten in UTF-8"; ok=1; }
    else
      echo "export failed: $(fc_ask windows | tr '\n' '|')"
      ok=1
    fi
  else
    echo "no export dialog"
    ok=1
  fi

  fc_click "$FC_SETTINGS" Button OK
  wait_gone "$FC_PID" 10 || { echo "OK did not end the program"; ok=1; }
  end_programs "$FC_PID"
  rm -rf "$d"
  return $ok
}

# The bytes (1-based) where two files differ, on one line.
fc_changed_bytes() { cmp -l "$1" "$2" | awk '{ printf "%s ", $1 }'; }

# Clicks the right arrow of the options' interval bar once.
fc_interval_step() {
  local t r b
  read -r _ t r b _ < <(fc_ask control "$1" ScrollBar '#0') || true
  [ -n "${b:-}" ] || { echo "no interval bar"; return 1; }
  xdotool mousemove $((r - (b - t) / 2)) $(((t + b) / 2)) click 1
  sleep 0.2
}

# The fourteen colour swatches show (1) or are hidden (0).
# The emphasis swatches 1 to 14, found by the colour they are named for.
FC_SWATCHES=(紺 緑 青緑 暗い赤 紫 オリーブ 銀 灰 青 明るい緑 水色 赤 赤紫 黄)
fc_swatches_shown() {
  local name
  for name in "${FC_SWATCHES[@]}"; do
    [ "$(fc_state "$1" Static "$name" | cut -d' ' -f2)" = "$2" ] || return 1
  done
}

e2e_file_commands_display_options_write_the_six_fields() {
  local d f ok=0 opt='zorante.zrd のオプション' have
  d=$(new_folder)
  prepare_messages "$d"
  f="$d/zorante.zrd"
  fc_start "$d" || { echo "no settings dialog"; end_programs "$FC_PID"; rm -rf "$d"; return 1; }
  cp "$f" "$d/before.zrd"

  if fc_menu alt+o && fc_ask wait "$opt" 10000; then
    sleep 0.3
    import -window root "$SHOTS/options-open.png"
    fc_checked "$opt" 黒地と白地をランダム表示（やや黒地多め） 1 && fc_checked "$opt" L字レイアウト 1 &&
      fc_checked "$opt" ランダム 1 && fc_checked "$opt" 使用する 1 && fc_swatches_shown "$opt" 1 ||
      { echo "options: the stored values are not shown"; ok=1; }
    # Every field: the bar two steps right (6000 to 8000), black type on
    # white, centred, registration order, emphasis off and on, swatch 3.
    fc_interval_step "$opt" && fc_interval_step "$opt" || ok=1
    fc_click "$opt" Button 白地に黒文字 && fc_click "$opt" Button 中央 && fc_click "$opt" Button 登録順 || ok=1
    fc_click "$opt" Button 使用する && zor_poll 5 fc_checked "$opt" 使用する 0 || ok=1
    zor_poll 5 fc_swatches_shown "$opt" 0 || { echo "options: swatches shown with emphasis off"; ok=1; }
    import -window root "$SHOTS/options-emphasis-off.png"
    fc_click "$opt" Button 使用する && zor_poll 5 fc_checked "$opt" 使用する 1 || ok=1
    zor_poll 5 fc_swatches_shown "$opt" 1 || { echo "options: swatches hidden with emphasis on"; ok=1; }
    fc_click "$opt" Static "${FC_SWATCHES[2]}" || ok=1
    sleep 0.3
    import -window root "$SHOTS/options-changed.png"
    fc_click "$opt" Button OK && fc_ask gone "$opt" 10000 || { echo "options: OK did not close"; ok=1; }
    have=$(fc_info "$f")
    [ "$have" = 'version 98 count 3 interval 8000 scheme 1 emphasis -1 order 1 colour 3 layout 1 ' ] ||
      { echo "options: $have"; ok=1; }
    have=$(fc_changed_bytes "$d/before.zrd" "$f")
    [ "$have" = '5 6 7 17 19 21 ' ] || { echo "options: bytes changed: $have"; ok=1; }
  else
    echo "the menu did not open the options"
    ok=1
  fi

  # Opened again: the stored values; emphasis off is written as 0, the rest kept.
  if fc_menu alt+o && fc_ask wait "$opt" 10000; then
    fc_checked "$opt" 白地に黒文字 1 && fc_checked "$opt" 中央 1 && fc_checked "$opt" 登録順 1 &&
      fc_checked "$opt" 使用する 1 || { echo "options reopened: the stored values are not shown"; ok=1; }
    fc_click "$opt" Button 使用する && zor_poll 5 fc_checked "$opt" 使用する 0 || ok=1
    fc_click "$opt" Button OK && fc_ask gone "$opt" 10000 || ok=1
    have=$(fc_info "$f")
    [ "$have" = 'version 98 count 3 interval 8000 scheme 1 emphasis 0 order 1 colour 3 layout 1 ' ] ||
      { echo "options, emphasis off: $have"; ok=1; }
  else
    echo "the options did not open again"
    ok=1
  fi

  # Cancel writes nothing.
  cp "$f" "$d/before.zrd"
  if fc_menu alt+o && fc_ask wait "$opt" 10000; then
    fc_click "$opt" Button 黒字に白文字 && fc_interval_step "$opt" && fc_click "$opt" Button Cancel && fc_ask gone "$opt" 10000 || ok=1
    cmp -s "$d/before.zrd" "$f" || { echo "options: Cancel wrote the file"; ok=1; }
  else
    ok=1
  fi
  [ "$("$FC_ZORTOOL" list "$f" | wc -l)" = 3 ] || { echo "options: messages lost"; ok=1; }

  fc_click "$FC_SETTINGS" Button OK
  wait_gone "$FC_PID" 10 || { echo "OK did not end the program"; ok=1; }
  end_programs "$FC_PID"
  rm -rf "$d"
  return $ok
}

e2e_file_commands_version_box() {
  local d ok=0 have
  d=$(new_folder)
  prepare_messages "$d"
  fc_start "$d" || { echo "no settings dialog"; end_programs "$FC_PID"; rm -rf "$d"; return 1; }
  if fc_menu alt+h a && fc_ask wait バージョン情報 10000; then
    sleep 0.3
    import -window root "$SHOTS/version-box.png"
    have=$(fc_ask text バージョン情報 Static '#1')
    [ "$have" = "ZORANTE ScreenSaver 32  v$(zor_version)" ] || { echo "version box title: '$have'"; ok=1; }
    have=$(fc_ask text バージョン情報 Static '#3')
    [ "${have#E-mail: }" != "$have" ] || { echo "version box mail line: '$have'"; ok=1; }
    fc_click バージョン情報 Button OK && fc_ask gone バージョン情報 10000 || { echo "OK did not close the version box"; ok=1; }
    zor_poll 5 fc_alone || { echo "windows left: $(fc_ask windows | tr '\n' '|')"; ok=1; }
  else
    echo "the menu did not open the version box"
    ok=1
  fi
  fc_click "$FC_SETTINGS" Button OK
  wait_gone "$FC_PID" 10 || { echo "OK did not end the program"; ok=1; }
  end_programs "$FC_PID"
  rm -rf "$d"
  return $ok
}
