# The picture choices of the dialogs reached with the keyboard alone in the
# real saver, at 96 and 144 DPI, with a screenshot of each focused picture.
# shellcheck shell=bash

# The focused control's id in the foreground window.
kb_focus_id() { ask focus | cut -f1; }

# Presses KEY (Tab unless given) until a control whose id matches the
# pattern ID has the focus.
kb_key_to() { zor_key_until_focus ask "$1" "${2:-Tab}" 30; }

# Brings the settings dialog forward (a click on its count label), then KEYS.
kb_settings_keys() {
  click_control "$SETTINGS_CAPTION" Static 登録数 >/dev/null || return 1
  sleep 0.3
  local key
  for key in "$@"; do
    xdotool key "$key"
    sleep 0.3
  done
}

# Keeps a screenshot NAME at the current DPI.
kb_shot() { sleep 0.3; import -window root "$SHOTS/keyboard-$1-dpi$KB_DPI.png"; }

e2e_picture_choices_take_the_keyboard_focus_at_both_dpi() {
  (
    local d ok=0
    keep_log_pixels
    d=$(new_folder)
    prepare_messages "$d"
    for KB_DPI in 96 144; do
      set_log_pixels "$KB_DPI" || { echo "cannot set LogPixels"; exit 1; }
      start_settings "$d" || { echo "$KB_DPI: no settings dialog"; end_programs "$SETTINGS_PID"; ok=1; continue; }
      click_row 0
      kb_key_to 1020 && kb_key_to 1022 Right && kb_shot thumbnail || ok=1
      if click_control "$SETTINGS_CAPTION" Button 書式 && ask wait '書式設定' 10000; then
        # The cursor starts on the first character and moves to the third.
        kb_key_to 1400 && kb_key_to 1402 Right && kb_shot format-cell || ok=1
        kb_key_to '132[0-2]' && kb_shot format-layout || ok=1
        xdotool key Escape
        ask gone '書式設定' 10000 || ok=1
      else
        echo "$KB_DPI: no format dialog"
        ok=1
      fi
      if kb_settings_keys alt+o && ask wait 'zorante.zrd のオプション' 10000; then
        kb_key_to '204[0-6]' && kb_key_to 2042 Right && kb_shot options-scheme || ok=1
        kb_key_to '206[1-9]|207[0-4]' && kb_key_to 2072 Right && kb_shot options-swatch || ok=1
        xdotool key Escape
        ask gone 'zorante.zrd のオプション' 10000 || ok=1
      else
        echo "$KB_DPI: no display options"
        ok=1
      fi
      if kb_settings_keys alt+c Return && ask wait '背景・インターバルＢＭＰ' 10000; then
        kb_key_to '343[0-3]' && kb_key_to 3431 Right && kb_shot image-stretch || ok=1
        xdotool key Escape
        ask gone '背景・インターバルＢＭＰ' 10000 || ok=1
      else
        echo "$KB_DPI: no image options"
        ok=1
      fi
      if kb_settings_keys alt+h Up Return && ask wait 'バージョン情報' 10000; then
        kb_key_to 1 >/dev/null
        xdotool key Tab
        sleep 0.2
        kb_shot version-link
        [ "$(kb_focus_id)" != 1 ] || { echo "$KB_DPI: the mail link takes no focus"; ok=1; }
        xdotool key Escape
        ask gone 'バージョン情報' 10000 || ok=1
      else
        echo "$KB_DPI: no version box"
        ok=1
      fi
      click_control "$SETTINGS_CAPTION" Button OK
      wait_gone "$SETTINGS_PID" 10 || ok=1
      end_programs "$SETTINGS_PID"
    done
    rm -rf "$d"
    exit $ok
  )
}
