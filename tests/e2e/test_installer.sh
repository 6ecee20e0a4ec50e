# The setup program made from this build (installer/make-setup), in a fresh
# Wine prefix of its own: the pages in Japanese and English, each install's
# finish page opening the settings, and interactive uninstalls that remove
# the user's files only when asked; a silent
# install that sets the screen saver, the installed saver with its message,
# the Start-menu entry with the help window, an upgrade that keeps the
# user's files and a silent uninstall that keeps them; an upgrade from a
# real older release, signed, and a downgrade back, that keep the user's
# files byte for byte, and an uninstall that leaves only those.
# shellcheck shell=bash disable=SC2015

INST_PREFIX="$ZOR_ROOT/build/e2e/installer-prefix"
INST_OUT="$ZOR_ROOT/build/e2e/installer"
INST_UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZORANTE'
INST_DESKTOP_KEY='HKCU\Control Panel\Desktop'
INST_SETTINGS="$(zor_settings_caption)"
INST_SETUP=""
# The older release the upgrade is tested from: ZOR_OLDER_COMMIT, else the
# newest tag before HEAD, else the last commit before setups were made the same bytes
# from every build. Its setup is built once into build/e2e/older/<commit>/.
INST_OLDER_PINNED=e31759273815c0494027da9894a4d96c644f0f07
INST_SIGNED_OUT="$ZOR_ROOT/build/e2e/installer-signed"

# The setup program from the suite's builds and the prefix, made once per
# run; false when either fails. WINEPREFIX is the installer's.
inst_ready() {
  if [ -z "$INST_SETUP" ]; then
    INST_SETUP=$(bash "$ZOR_ROOT/installer/make-setup" "$(dirname "$HOST")" "$ZOR_ROOT/build/native" "$INST_OUT") ||
      { INST_SETUP=""; echo "no setup program"; return 1; }
    INST_VERSION=$(basename "$INST_SETUP" | sed 's/^ZORANTE-\(.*\)-setup\.exe$/\1/')
    rm -rf "$INST_PREFIX"
    mkdir -p "$INST_PREFIX"
    # The prefix's own server: nothing of the suite's prefix is touched.
    wineboot -i >/dev/null 2>&1 && wineserver -w && zor_wine_japanese_ui && zor_wine_unmanaged ||
      { INST_SETUP=""; echo "no Wine prefix"; return 1; }
    # The Japanese pages ask for ＭＳ Ｐゴシック, which Wine lacks: the IPA
    # face stands in, in every locale (as Windows would link a Japanese face).
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1
  fi
  [ -f "$INST_PREFIX/system.reg" ]
}

# Answers of the end-to-end helper (in the installer's prefix), without CRs.
inst_ask() { wine "$HOST" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# The caption of the first window whose caption starts with $1.
inst_caption() { inst_ask windows | cut -f2- | grep -m 1 "^$1"; }
inst_has_window() { [ -n "$(inst_caption "$1")" ]; }
inst_no_window() { ! inst_has_window "$1"; }
# A message box over the wizard carries the wizard's caption.
inst_two_windows() { [ "$(inst_ask windows | cut -f2- | grep -c "^$1")" -ge 2 ]; }
inst_help_shown() { inst_ask windows | grep -q $'^[-0-9 ]*HH Parent\t'; }
# True when the wizard $1 shows a button $2 that can be pressed.
inst_button_usable() {
  [ "$(zor_control_state inst_ask "$(inst_caption "$1")" Button "$2" | cut -d' ' -f1-2)" = "1 1" ]
}
inst_gone() { [ ! -e "$1" ]; }

# True when the wizard $1 (caption start) shows a control of class $2.
inst_page_has() {
  local caption
  caption=$(inst_caption "$1") && [ -n "$caption" ] &&
    [ "$(zor_control_state inst_ask "$caption" "$2" '#0' | cut -d' ' -f2)" = 1 ]
}

# A value of the registry, "" when missing: KEY NAME.
inst_reg() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *${2//./\\.} *REG_[A-Z_]* *//p"
}

# Processes of the installer's prefix whose command line matches $1 (other
# prefixes on the machine run programs of the same names).
inst_pids() { zor_prefix_pids "$1" "$INST_PREFIX"; }

# Ends the programs of the installer's prefix that a test left (the
# uninstaller runs as a copy of itself, Un.exe or Au_.exe by NSIS version).
inst_end_programs() {
  local p
  for p in $(inst_pids 'zorante\.scr|setup\.exe|Un\.exe|Au_\.exe|uninstall\.exe'); do kill "$p" 2>/dev/null; done
  return 0
}

# The Unix path of the installed program folder, from the uninstall entry.
inst_folder() {
  local location
  location=$(inst_reg "$INST_UNINSTALL_KEY" InstallLocation)
  [ -n "$location" ] && readlink -m "$(winepath -u "$location" 2>/dev/null)"
}

# The folder setup uses in a fresh profile.
inst_default_folder() { find "$INST_PREFIX/drive_c/users" -maxdepth 1 -mindepth 1 ! -name Public | head -n 1 | sed 's:$:/AppData/Local/Programs/ZORANTE:'; }

inst_saver_ended() { [ -z "$(inst_pids 'zorante\.scr /s')" ]; }

inst_shortcut() { find "$INST_PREFIX/drive_c/users" -path '*/Start Menu/Programs/ZORANTE の設定.lnk' | head -n 1; }

# The uninstaller copies itself away and returns at once: waits until the
# uninstall entry and the program are gone.
inst_uninstalled() { [ -z "$(inst_reg "$INST_UNINSTALL_KEY" DisplayName)" ] && [ ! -e "$1/zorante.scr" ] && [ ! -e "$1/uninstall.exe" ]; }

# Runs the QuietUninstallString of the entry and waits for the result.
inst_quiet_uninstall() {
  local folder="$1" quiet exe
  quiet=$(inst_reg "$INST_UNINSTALL_KEY" QuietUninstallString)
  exe=$(sed -n 's/^"\([^"]*\)" \/S$/\1/p' <<<"$quiet")
  [ -n "$exe" ] || { echo "QuietUninstallString: '$quiet'"; return 1; }
  wine "$exe" /S || { echo "the uninstaller failed"; return 1; }
  zor_poll 30 inst_uninstalled "$folder" || { echo "the program is still installed after the silent uninstall"; return 1; }
}

# Presses KEY in the wizard (caption start $1) and waits until it shows a
# control of class $3; a screenshot named $4 of it then.
inst_next_page() {
  local caption="$1" key="$2" class="$3" shot="$4"
  xdotool key "$key"
  zor_poll 10 inst_page_has "$caption" "$class" || { echo "$caption: no page with $class after $key"; import -window root "$SHOTS/$shot-missing.png"; return 1; }
  sleep 0.3
  import -window root "$SHOTS/$shot.png"
}

# Starts setup in a locale and takes the language it offers (the system's):
# LOCALE LANGUAGE-NAME SHOT.
inst_start_setup() {
  local locale="$1" name="$2" shot="$3" offered
  # Wine rewrites the font links when the locale changes.
  zor_wine_japanese_ui
  (env LC_ALL="$locale" wine "$INST_SETUP" &)
  inst_ask wait '言語 / Language' 30000 || { echo "no language question"; return 1; }
  offered=$(inst_ask text '言語 / Language' ComboBox '#0')
  [ "$offered" = "$name" ] || { echo "$locale: setup offers '$offered', not '$name'"; return 1; }
  sleep 0.3
  import -window root "$SHOTS/$shot.png"
  xdotool key Return
}

# The texts of the first twenty labels of the wizard (caption start $1), one
# a line (the page's own come after the frame's).
inst_page_texts() {
  local caption i
  caption=$(inst_caption "$1")
  for i in $(seq 0 19); do inst_ask text "$caption" Static "#$i"; echo; done
}

# The setup's first three pages in one language, then Cancel and Yes. The
# welcome page speaks of the per-user install ($5, a word of it), not of
# closing programs or system files as the stock one does.
inst_pages_then_cancel() {
  local locale="$1" caption="$2" lang="$3" name="$4" word="$5" expected texts
  inst_start_setup "$locale" "$name" "setup-$lang-language" || return 1
  zor_poll 30 inst_has_window "$caption" || { echo "no setup window '$caption'"; return 1; }
  sleep 0.5
  import -window root "$SHOTS/setup-$lang-welcome.png"
  texts=$(inst_page_texts "$caption")
  grep -qF "$word" <<<"$texts" || { echo "$lang: the welcome page does not say '$word'"; return 1; }
  ! grep -qiE 'system files|システム ファイル|アプリケーションを終了' <<<"$texts" || { echo "$lang: the stock welcome text"; return 1; }
  inst_next_page "$caption" Return SysTreeView32 "setup-$lang-components" || return 1
  inst_next_page "$caption" Return Edit "setup-$lang-folder" || return 1
  expected="$(winepath -w "$(inst_default_folder)")"
  expected="${expected%\\}"
  [ "$(inst_ask text "$(inst_caption "$caption")" Edit '#0')" = "$expected" ] ||
    { echo "$lang: the folder page offers '$(inst_ask text "$(inst_caption "$caption")" Edit '#0')', not '$expected'"; return 1; }
  xdotool key Escape
  # The question whether to quit has the wizard's caption; Yes is its default.
  zor_poll 10 inst_two_windows "$caption" || { echo "$lang: no question after Cancel"; return 1; }
  sleep 0.3
  xdotool key Return
  zor_poll 10 inst_no_window "$caption" || { echo "$lang: setup did not end after Cancel"; return 1; }
  [ ! -e "$(inst_default_folder)" ] || { echo "$lang: Cancel left a program folder"; return 1; }
}

# From the folder page on: installs, checks that the finish page's box
# that opens the settings is ticked and that Finish opens them, then ends
# them: CAPTION LANG BOX.
inst_install_and_finish() {
  local caption="$1" lang="$2" box="$3"
  xdotool key Return
  zor_poll 30 inst_button_usable "$caption" "$box" || { echo "$lang: no finish page"; return 1; }
  sleep 0.3
  import -window root "$SHOTS/setup-$lang-finish.png"
  [ "$(zor_control_state inst_ask "$(inst_caption "$caption")" Button "$box" | cut -d' ' -f3)" = 1 ] ||
    { echo "$lang: the box '$box' is not ticked"; return 1; }
  xdotool key Return
  inst_ask wait "$INST_SETTINGS" 30000 || { echo "$lang: Finish did not open the settings"; return 1; }
  zor_poll 10 inst_no_window "$caption" || { echo "$lang: setup did not end on the finish page"; return 1; }
  inst_end_programs
}

# The uninstaller's first two pages (caption start $1, language $2): the
# confirm page, then the components page with the button $3 (full-width in
# Japanese) and no space line ($4, the stock text of it).
inst_uninstall_pages() {
  local caption="$1" lang="$2" button="$3" space="$4" state
  zor_poll 30 inst_has_window "$caption" || { echo "$lang: no uninstaller window"; return 1; }
  sleep 0.5
  import -window root "$SHOTS/uninstall-$lang-confirm.png"
  inst_next_page "$caption" Return SysTreeView32 "uninstall-$lang-components" || return 1
  inst_button_usable "$caption" "$button" || { echo "$lang: no button '$button' on the components page"; return 1; }
  state=$(zor_control_state inst_ask "$(inst_caption "$caption")" Static "$space")
  [ "$state" = missing ] || [ "$(cut -d' ' -f2 <<<"$state")" = 0 ] || { echo "$lang: the page shows '$space'"; return 1; }
}

e2e_installer_pages_in_japanese_and_english_and_a_removal_of_everything() {
  local -x WINEPREFIX="$INST_PREFIX"
  inst_ready || return 1
  local ok=0 folder caption left top
  inst_pages_then_cancel en_US.UTF-8 'ZORANTE Setup' en English 'for you alone' || ok=1
  inst_end_programs

  # Japanese, to the end.
  inst_pages_then_cancel ja_JP.UTF-8 'ZORANTE セットアップ' ja 日本語 'このユーザーだけ' || ok=1
  inst_end_programs
  if inst_start_setup ja_JP.UTF-8 日本語 setup-ja-language && zor_poll 30 inst_has_window 'ZORANTE セットアップ' && sleep 0.5 &&
    inst_next_page 'ZORANTE セットアップ' Return SysTreeView32 setup-ja-components &&
    inst_next_page 'ZORANTE セットアップ' Return Edit setup-ja-folder; then
    inst_install_and_finish 'ZORANTE セットアップ' ja 'ZORANTE の設定を開く' || ok=1
  else
    ok=1
  fi
  folder=$(inst_folder)
  [ -n "$folder" ] && [ -f "$folder/zorante.scr" ] || { echo "the interactive install put nothing in place"; inst_end_programs; return 1; }

  [ "$(inst_reg "$INST_UNINSTALL_KEY" "Installer Language")" = 1041 ] || { echo "the language chosen is not kept"; ok=1; }

  # The uninstaller (in the language chosen, asking nothing), with the box
  # that removes the user's files ticked.
  "$ZOR_ROOT/build/native/zortool" add "$folder/zorante.zrd" "私のメッセージ" >/dev/null
  zor_wine_japanese_ui
  (env LC_ALL=en_US.UTF-8 wine "$folder/uninstall.exe" &)
  inst_uninstall_pages 'ZORANTE アンインストール' ja アンインストール '必要容量: 0.0 KB' || { inst_end_programs; return 1; }
  caption=$(inst_caption 'ZORANTE アンインストール')
  # The one item's check box: the left end of the tree's first row.
  read -r left top _ < <(inst_ask control "$caption" SysTreeView32 '#0')
  xdotool mousemove $((left + 10)) $((top + 9)) click 1
  sleep 0.5
  import -window root "$SHOTS/uninstall-ja-remove-everything.png"
  xdotool key Return
  # The last page has only Close ("閉じる") enabled.
  zor_poll 30 inst_button_usable 'ZORANTE アンインストール' '閉じる(&C)' ||
    { echo "the uninstaller did not finish"; import -window root "$SHOTS/uninstall-ja-stuck.png"; ok=1; }
  xdotool key Return
  zor_poll 10 inst_no_window 'ZORANTE アンインストール' || { echo "the uninstaller stays open"; ok=1; }
  zor_poll 10 inst_gone "$folder" || { echo "the ticked box left: $(find "$folder" -mindepth 1 -printf '%f ')"; ok=1; }
  [ -z "$(inst_reg "$INST_UNINSTALL_KEY" DisplayName)" ] || { echo "the uninstall entry stays"; ok=1; }
  inst_end_programs

  # English, to the end, and an uninstall that keeps the user's files.
  if inst_start_setup en_US.UTF-8 English setup-en-language && zor_poll 30 inst_has_window 'ZORANTE Setup' && sleep 0.5 &&
    import -window root "$SHOTS/setup-en-welcome.png" &&
    inst_next_page 'ZORANTE Setup' Return SysTreeView32 setup-en-components &&
    inst_next_page 'ZORANTE Setup' Return Edit setup-en-folder; then
    inst_install_and_finish 'ZORANTE Setup' en 'Open the ZORANTE settings' || ok=1
  else
    ok=1
  fi
  inst_end_programs
  folder=$(inst_folder)
  [ -n "$folder" ] && [ -f "$folder/uninstall.exe" ] || { echo "the English install put nothing in place"; return 1; }
  zor_wine_japanese_ui
  (env LC_ALL=ja_JP.UTF-8 wine "$folder/uninstall.exe" &)
  if inst_uninstall_pages 'ZORANTE Uninstall' en '&Uninstall' 'Space required: 0.0 KB'; then
    xdotool key Return
    zor_poll 30 inst_button_usable 'ZORANTE Uninstall' '&Close' || { echo "the English uninstaller did not finish"; ok=1; }
    xdotool key Return
    zor_poll 10 inst_no_window 'ZORANTE Uninstall' || { echo "the English uninstaller stays open"; ok=1; }
    zor_poll 10 inst_uninstalled "$folder" || { echo "the English uninstall left the program"; ok=1; }
    [ -f "$folder/zorante.zrd" ] && [ -f "$folder/ZORANTE.ini" ] || { echo "the unticked box removed the user's files"; ok=1; }
  else
    ok=1
  fi
  rm -rf "$folder"
  inst_end_programs
  return $ok
}

e2e_installer_silent_install_saver_help_upgrade_and_uninstall() {
  local -x WINEPREFIX="$INST_PREFIX"
  inst_ready || return 1
  local ok=0 start ms folder f scr value face shortcut title kept
  start=$(date +%s%N)
  wine "$INST_SETUP" /S || { echo "setup /S failed"; return 1; }
  ms=$((($(date +%s%N) - start) / 1000000))
  echo "setup /S: ${ms} ms; setup $(stat -c %s "$INST_SETUP") bytes"
  folder=$(inst_folder)
  [ "$folder" = "$(inst_default_folder)" ] || { echo "installed in '$folder', not the user's programs folder"; return 1; }
  for f in zorante.scr zortool.exe zorante.chm zorante.zrd uninstall.exe ZORANTE.ini; do
    [ -f "$folder/$f" ] || { echo "missing after install: $f"; ok=1; }
  done
  cmp -s "$folder/zorante.chm" "$(dirname "$HOST")/zorante.chm" || { echo "zorante.chm is not the build's"; ok=1; }
  for f in date time; do
    "$ZOR_ROOT/build/native/zortool" list "$folder/zorante.zrd" | grep -qx "\\\\$f" || { echo "the sample has no keyword $f"; ok=1; }
  done
  # The default face is not installed here: setup named another one.
  face=$(iconv -f CP932 -t UTF-8 "$folder/ZORANTE.ini" | tr -d '\r' | sed -n 's/^UseFont=//p')
  [ -n "$face" ] || { echo "ZORANTE.ini names no face"; ok=1; }
  echo "UseFont written by setup: $face"
  shortcut=$(inst_shortcut)
  [ -n "$shortcut" ] || { echo "no Start-menu entry"; ok=1; }
  value=$(inst_reg "$INST_DESKTOP_KEY" SCRNSAVE.EXE)
  scr=$(readlink -m "$(winepath -u "$value" 2>/dev/null)")
  [ "$scr" = "$folder/zorante.scr" ] || { echo "SCRNSAVE.EXE is '$value'"; ok=1; }
  [ "$(inst_reg "$INST_DESKTOP_KEY" ScreenSaveActive)" = 1 ] || { echo "the screen saver is not active"; ok=1; }
  [ "$(inst_reg "$INST_UNINSTALL_KEY" DisplayVersion)" = "$INST_VERSION" ] || { echo "DisplayVersion is not $INST_VERSION"; ok=1; }
  [ "$(inst_reg "$INST_UNINSTALL_KEY" Publisher)" = ZORANTE ] || { echo "no Publisher"; ok=1; }

  # The saver as the system starts it: the registered path with /s.
  xdotool mousemove 512 384
  (wine "$value" /s &)
  if [ -n "$(zor_wait_x_window '^ZORANTE$' 30)" ]; then
    sleep 1.5
    import -window root "$SHOTS/installed-saver.png"
    check_page_has_text "$SHOTS/installed-saver.png" || ok=1
    xdotool key a
    zor_poll 10 inst_saver_ended || { echo "the installed saver did not end on a key"; ok=1; }
  else
    echo "the installed saver shows no window"
    import -window root "$SHOTS/installed-saver-missing.png"
    ok=1
  fi
  inst_end_programs

  # The Start-menu entry opens the settings; their help item the help window.
  (wine start /unix "$shortcut" >/dev/null 2>&1 &)
  if inst_ask wait "$INST_SETTINGS" 30000; then
    zor_open_settings_menu inst_ask "$INST_SETTINGS" alt+h && sleep 0.2 && xdotool key c
    # Wine's viewer shows the CHM's CP932 title read as Windows-1252.
    local wine_title
    wine_title=$(printf 'ZORANTE ヘルプ' | iconv -t CP932 | iconv -f CP1252 -t UTF-8)
    if zor_poll 15 inst_help_shown; then
      sleep 1
      import -window root "$SHOTS/installed-help.png"
      title=$(inst_ask windows | sed -n 's/^[-0-9 ]*HH Parent\t//p' | head -n 1)
      echo "help window: '$title'"
      [ "$title" = "ZORANTE ヘルプ" ] || [ "$title" = "$wine_title" ] || { echo "the help window is titled '$title'"; ok=1; }
    else
      echo "no help window; windows: $(inst_ask windows | tr '\n' '|')"
      import -window root "$SHOTS/installed-help-missing.png"
      ok=1
    fi
  else
    echo "the Start-menu entry opened no settings dialog"
    ok=1
  fi
  inst_end_programs

  # An upgrade keeps the user's messages and settings.
  "$ZOR_ROOT/build/native/zortool" add "$folder/zorante.zrd" "私のメッセージ" >/dev/null
  printf 'DecoFont=2\r\n' >>"$folder/ZORANTE.ini"
  kept=$(mktemp -d)
  cp "$folder/zorante.zrd" "$folder/ZORANTE.ini" "$kept/"
  wine "$INST_SETUP" /S || { echo "the second setup /S failed"; ok=1; }
  cmp -s "$kept/zorante.zrd" "$folder/zorante.zrd" || { echo "the upgrade replaced zorante.zrd"; ok=1; }
  cmp -s "$kept/ZORANTE.ini" "$folder/ZORANTE.ini" || { echo "the upgrade changed ZORANTE.ini"; ok=1; }

  # The silent uninstall removes the program and the setting, not the user's files.
  inst_quiet_uninstall "$folder" || ok=1
  for f in zortool.exe zorante.chm; do [ ! -e "$folder/$f" ] || { echo "left after uninstall: $f"; ok=1; }; done
  [ ! -e "$shortcut" ] || { echo "the Start-menu entry stays"; ok=1; }
  [ -z "$(inst_reg "$INST_DESKTOP_KEY" SCRNSAVE.EXE)" ] || { echo "SCRNSAVE.EXE stays"; ok=1; }
  cmp -s "$kept/zorante.zrd" "$folder/zorante.zrd" || { echo "the uninstall removed or changed zorante.zrd"; ok=1; }
  cmp -s "$kept/ZORANTE.ini" "$folder/ZORANTE.ini" || { echo "the uninstall removed or changed ZORANTE.ini"; ok=1; }

  # A screen saver chosen since is left alone.
  wine "$INST_SETUP" /S || { echo "the third setup /S failed"; ok=1; }
  wine reg add 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE /t REG_SZ /d 'C:\windows\system32\other.scr' /f >/dev/null 2>&1
  inst_quiet_uninstall "$folder" || ok=1
  [ "$(inst_reg "$INST_DESKTOP_KEY" SCRNSAVE.EXE)" = 'C:\windows\system32\other.scr' ] ||
    { echo "the uninstall removed another screen saver's setting"; ok=1; }
  wine reg delete 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE /f >/dev/null 2>&1
  rm -rf "$kept" "$folder"
  inst_end_programs
  return $ok
}

# The older release's setup (see INST_OLDER_PINNED), built from its own
# sources into build/e2e/older/<commit>/ once and kept for later runs.
inst_older_setup() {
  local commit dir setup
  commit="${ZOR_OLDER_COMMIT:-$(git -C "$ZOR_ROOT" describe --tags --abbrev=0 HEAD^ 2>/dev/null || echo "$INST_OLDER_PINNED")}"
  # A shallow clone lacks the older commit: deepen it where the remote answers.
  if ! git -C "$ZOR_ROOT" cat-file -e "$commit^{commit}" 2>/dev/null &&
    [ "$(git -C "$ZOR_ROOT" rev-parse --is-shallow-repository 2>/dev/null)" = true ]; then
    timeout 120 git -C "$ZOR_ROOT" fetch -q --unshallow >/dev/null 2>&1
  fi
  git -C "$ZOR_ROOT" cat-file -e "$commit^{commit}" 2>/dev/null ||
    { echo "the older commit $commit is not in this clone (a shallow clone? git fetch --unshallow)" >&2; return 1; }
  commit=$(git -C "$ZOR_ROOT" rev-parse "$commit^{commit}")
  dir="$ZOR_ROOT/build/e2e/older/$commit"
  setup=$(find "$dir/out" -maxdepth 1 -name 'ZORANTE-*-setup.exe' 2>/dev/null | head -n 1)
  if [ -n "$setup" ]; then echo "$setup"; return 0; fi
  echo "building the older setup from $commit (kept in $dir)" >&2
  rm -rf "$dir"
  mkdir -p "$dir/src"
  git -C "$ZOR_ROOT" archive "$commit" | tar -x -C "$dir/src" || return 1
  (cd "$dir/src" && cmake --preset native && cmake --build build/native -j 2 --target zortool &&
    cmake --preset windows && cmake --build build/windows -j 2 --target zorante zortool zorante_help) \
    >"$dir/build.log" 2>&1 || { echo "the older build failed: $dir/build.log" >&2; return 1; }
  setup=$(bash "$dir/src/installer/make-setup" "$dir/src/build/windows" "$dir/src/build/native" "$dir/out") || return 1
  # Only setup and its staged files are kept.
  rm -rf "$dir/src"
  echo "$setup"
}

# This build's setup signed with a throw-away certificate (and the
# certificate, for checking the installed programs' signatures).
inst_signed_setup() {
  rm -rf "$INST_SIGNED_OUT"
  mkdir -p "$INST_SIGNED_OUT/cert"
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$INST_SIGNED_OUT/cert/key.pem" -out "$INST_SIGNED_OUT/cert/cert.pem" \
    -days 2 -subj "/CN=ZORANTE test signing" -addext "extendedKeyUsage=codeSigning" >/dev/null 2>&1 &&
    openssl pkcs12 -export -inkey "$INST_SIGNED_OUT/cert/key.pem" -in "$INST_SIGNED_OUT/cert/cert.pem" \
      -out "$INST_SIGNED_OUT/cert/cert.pfx" -passout pass:test >/dev/null 2>&1 || return 1
  ZOR_SIGN_PFX="$INST_SIGNED_OUT/cert/cert.pfx" ZOR_SIGN_PASSWORD=test \
    bash "$ZOR_ROOT/installer/make-setup" "$(dirname "$HOST")" "$ZOR_ROOT/build/native" "$INST_SIGNED_OUT" 2>/dev/null
}

# The names of the files in a folder, one a line, sorted.
inst_listing() { find "$1" -mindepth 1 -printf '%P\n' | LC_ALL=C sort; }

# True when the programs in FOLDER are byte for byte those of the stage STAGE.
inst_programs_are() {
  local folder="$1" stage="$2" f
  for f in zorante.scr zortool.exe zorante.chm; do cmp -s "$folder/$f" "$stage/$f" || return 1; done
}

e2e_installer_upgrade_from_an_older_release_downgrade_and_uninstall() {
  local -x WINEPREFIX="$INST_PREFIX"
  inst_ready || return 1
  local ok=0 older newer folder kept f start
  start=$(date +%s)
  older=$(inst_older_setup) || return 1
  newer=$(inst_signed_setup) || { echo "no signed setup"; return 1; }
  echo "older setup: $older (ready after $(( $(date +%s) - start )) s); signed setup: $newer"

  wine "$older" /S || { echo "the older setup /S failed"; return 1; }
  folder=$(inst_folder)
  [ -n "$folder" ] && [ -f "$folder/zorante.scr" ] || { echo "the older setup installed nothing"; inst_end_programs; return 1; }
  inst_programs_are "$folder" "${older%-setup.exe}" || { echo "the older setup did not install its own programs"; ok=1; }
  # The user's files: the sample file edited, one more file, settings changed.
  "$ZOR_ROOT/build/native/zortool" add "$folder/zorante.zrd" "私のメッセージ" >/dev/null
  "$ZOR_ROOT/build/native/zortool" new "$folder/mine.zrd" >/dev/null
  "$ZOR_ROOT/build/native/zortool" add "$folder/mine.zrd" "もう一つのファイル" >/dev/null
  printf 'DecoFont=2\r\nLoadFileName=%s\r\n' "$(winepath -w "$folder/mine.zrd" 2>/dev/null)" >>"$folder/ZORANTE.ini"
  kept=$(mktemp -d)
  cp "$folder/zorante.zrd" "$folder/mine.zrd" "$folder/ZORANTE.ini" "$kept/"

  # Upgrade: the programs replaced, the user's files byte for byte.
  wine "$newer" /S || { echo "setup /S over the older release failed"; ok=1; }
  inst_programs_are "$folder" "${newer%-setup.exe}" || { echo "the upgrade did not replace the programs"; ok=1; }
  for f in zorante.zrd mine.zrd ZORANTE.ini; do
    cmp -s "$kept/$f" "$folder/$f" || { echo "the upgrade changed $f"; ok=1; }
  done
  # The signed setup's programs and uninstaller are signed as installed.
  for f in zorante.scr zortool.exe uninstall.exe; do
    osslsigncode verify -CAfile "$INST_SIGNED_OUT/cert/cert.pem" -in "$folder/$f" >/dev/null 2>&1 ||
      { echo "the installed $f carries no valid signature"; ok=1; }
  done

  # Downgrade: the older release over this one keeps the user's files too.
  wine "$older" /S || { echo "the older setup /S over this release failed"; ok=1; }
  inst_programs_are "$folder" "${older%-setup.exe}" || { echo "the downgrade did not put the older programs back"; ok=1; }
  for f in zorante.zrd mine.zrd ZORANTE.ini; do
    cmp -s "$kept/$f" "$folder/$f" || { echo "the downgrade changed $f"; ok=1; }
  done

  # Up again, then this release's uninstaller: nothing left but the user's files.
  wine "$newer" /S || { echo "setup /S after the downgrade failed"; ok=1; }
  inst_quiet_uninstall "$folder" || ok=1
  [ "$(inst_listing "$folder" | tr '\n' ' ')" = "ZORANTE.ini mine.zrd zorante.zrd " ] ||
    { echo "after the uninstall the folder holds: $(inst_listing "$folder" | tr '\n' ' ')"; ok=1; }
  for f in zorante.zrd mine.zrd ZORANTE.ini; do
    cmp -s "$kept/$f" "$folder/$f" || { echo "the uninstall removed or changed $f"; ok=1; }
  done
  [ -z "$(inst_shortcut)" ] || { echo "the Start-menu entry stays"; ok=1; }
  echo "upgrade test: $(( $(date +%s) - start )) s"
  rm -rf "$kept" "$folder"
  inst_end_programs
  return $ok
}
