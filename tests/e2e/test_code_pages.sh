# Names and values beyond ASCII under whatever code page the system has: a
# settings file and a registration file whose names, face and picture paths
# hold kanji, the long-vowel mark (whose second byte is not a second byte in
# every double-byte code page) and half-width kana, read by the settings
# dialog, rewritten by the image options, drawn by zortool's render and by
# the saver. With ZOR_CODE_PAGE_OUT set, the files and the pictures are left
# there for tests/code_pages/run.sh to compare across locales.
# shellcheck shell=bash disable=SC2015

CP_SUB='背景ー画像ｶﾅ'
CP_ZRD='ことばー覧ｶﾅ.zrd'
CP_MESSAGES=('夜明けの前が一番暗い' 'ﾃﾞｰﾀｰ～①∥' 'Rome ー 一歩')

# The settings file as CP932 with CR LF: KEY=VALUE lines given as UTF-8.
cp_write_ini() {
  local file="$1" line
  shift
  { printf '[ZORANTE]\n'; for line in "$@"; do printf '%s\n' "$line"; done; } |
    sed 's/$/\r/' | iconv -f UTF-8 -t CP932 >"$file"
}

# The value of KEY in the settings file, as UTF-8.
cp_ini_value() { iconv -f CP932 -t UTF-8 "$1" | tr -d '\r' | sed -n "s/^$2=//p"; }

e2e_code_page_keeps_names_and_draws_alike() {
  local d zrd ok=0 w out="${ZOR_CODE_PAGE_OUT:-}" m tool="$ZOR_ROOT/build/windows/zortool.exe"
  d=$(new_folder)
  w=$(winepath -w "$d")
  mkdir -p "$d/$CP_SUB"
  convert -size 640x360 gradient:'#203060-#806020' "BMP3:$d/$CP_SUB/空ー.bmp"
  zrd="$d/$CP_ZRD"
  "$ZORTOOL" new "$zrd" >/dev/null
  for m in "${CP_MESSAGES[@]}"; do "$ZORTOOL" add "$zrd" "$m" >/dev/null; done
  "$ZORTOOL" options "$zrd" --order registration --scheme 0 --emphasis off --interval 11000 >/dev/null
  "$ZORTOOL" format "$zrd" 1 --layout C >/dev/null
  cp_write_ini "$d/ZORANTE.ini" 'UseFont=IPA明朝' "LoadFileName=$w\\$CP_ZRD" 'BgBMP=1' 'BgBMPStr=1' 'BgBMPDorB=-1' \
    "BgBMPDir=$w\\$CP_SUB" "BgBMPBMP=$w\\$CP_SUB\\空ー.bmp" 'BWbyFN=0'

  # zortool draws message 1 as the test display does, with the face and the picture the settings name.
  (cd "$d" && wine "$tool" render "$CP_ZRD" 1 --layout C --ground black --size 960x540 --seed 3 \
    --out "$(winepath -w "$SHOTS/code-page-render.png")" --settings "$w\\ZORANTE.ini") >/dev/null 2>&1 ||
    { echo "render failed"; ok=1; }

  # The settings dialog finds the file by its name, lists it, adds a message.
  if start_settings "$d"; then
    expect_messages open "$zrd" "${CP_MESSAGES[@]}" || ok=1
    [ "$(control_state "$SETTINGS_CAPTION" Static "$CP_ZRD")" = "1 1 -1" ] || { echo "the file's name is not shown"; ok=1; }
    if click_control "$SETTINGS_CAPTION" Button 追加 && enter_text '文章の追加登録' '新しい一歩 step 1'; then
      expect_messages add "$zrd" "${CP_MESSAGES[@]}" '新しい一歩 step 1' || ok=1
    else
      echo "add failed"
      ok=1
    fi
    # The image options rewrite the settings file (a changed box makes the profile write it anew).
    if IMG_FOLDER=$(basename "$d") img_open_options &&
      IMG_FOLDER=$(basename "$d") img_click "$IMG_OPTIONS" Button 'ﾌｧｲﾙ名の先頭文字で文字色を決定' &&
      IMG_FOLDER=$(basename "$d") img_click "$IMG_OPTIONS" Button OK && ask gone "$IMG_OPTIONS" 10000; then
      [ "$(cp_ini_value "$d/ZORANTE.ini" BWbyFN)" = -1 ] || { echo "BWbyFN not written"; ok=1; }
    else
      echo "the image options did not open or close"
      ok=1
    fi
    click_control "$SETTINGS_CAPTION" Button OK
    wait_gone "$SETTINGS_PID" 10 || { echo "OK did not end the program"; ok=1; }
  else
    echo "no settings dialog"
    ok=1
  fi
  end_programs "$SETTINGS_PID"
  [ "$(cp_ini_value "$d/ZORANTE.ini" UseFont)" = 'IPA明朝' ] &&
    [ "$(cp_ini_value "$d/ZORANTE.ini" LoadFileName)" = "$w\\$CP_ZRD" ] &&
    [ "$(cp_ini_value "$d/ZORANTE.ini" BgBMPBMP)" = "$w\\$CP_SUB\\空ー.bmp" ] &&
    [ "$(cp_ini_value "$d/ZORANTE.ini" BgBMPDir)" = "$w\\$CP_SUB" ] ||
    { echo "the settings file lost a name: $(iconv -f CP932 -t UTF-8 "$d/ZORANTE.ini" 2>&1 | tr -d '\r' | tr '\n' '|')"; ok=1; }

  [ -z "$out" ] || { mkdir -p "$out" && cp "$zrd" "$out/registration.zrd"; }

  # The saver's first page: the one message left, in the named face on the named picture.
  for m in 4 3 2; do "$ZORTOOL" delete "$zrd" "$m" >/dev/null; done
  if start_saver "$d"; then
    sleep 1.5
    import -window root "$SHOTS/code-page-first-page.png"
    check_page_has_text "$SHOTS/code-page-first-page.png" || ok=1
  else
    echo "no saver window"
    ok=1
  fi
  end_programs "$SAVER_PID"

  if [ -n "$out" ]; then
    mkdir -p "$out"
    # The folder's name (made afresh for each run) as a fixed word.
    LC_ALL=C sed "s/${w//\\/\\\\}/FOLDER/g" "$d/ZORANTE.ini" >"$out/ZORANTE.ini"
    cp "$SHOTS/code-page-render.png" "$out/render.png" 2>/dev/null
    cp "$SHOTS/code-page-first-page.png" "$out/first-page.png" 2>/dev/null
  fi
  rm -rf "$d"
  return $ok
}
