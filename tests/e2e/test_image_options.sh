# The image options reached through the settings dialog's menu: the folder
# chooser stores a background folder, then a single background file, then an
# interval folder, each in the settings file when its OK closes it; the
# viewer opens on a JPEG and a key closes it; the saver then shows the
# chosen picture.
# shellcheck shell=bash disable=SC2015

IMG_SETTINGS="$(zor_settings_caption)"
IMG_OPTIONS='背景・インターバルＢＭＰ'
IMG_BG_FOLDER='背景画像参照フォルダ'
IMG_BG_FILE='背景画像'
IMG_IT_FOLDER='インターバル画像参照フォルダ'
IMG_VIEWER='ビューワー'

# The end-to-end helper's answer for the windows of the program in folder
# IMG_FOLDER only (other programs share the prefix's window list); its status.
img_ask() { E2E_PROGRAM="${IMG_FOLDER:-}" wine "$HOST" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

img_state() { zor_control_state img_ask "$@"; }
img_click() { zor_click_control img_ask "$@"; }

# Wine's name of a Linux path (the Unix root is drive Z:).

# The settings file (Shift_JIS, CR LF) holds the line KEY=VALUE.
img_ini_has() { tr -d '\r' <"$1/ZORANTE.ini" | grep -qxF "$2"; }
img_ini_line() { tr -d '\r' <"$1/ZORANTE.ini" | grep "^$2=" || echo "$2 missing"; }

# Opens the first item of the menu "環境設定(&C)" ("画像") after focusing the
# settings dialog with a click on its count label. Wine highlights the first
# item as the menu opens, so Return alone chooses it; a key sent before the
# menu is up would be lost, and a menu that did not show is asked for again.
img_open_options() {
  zor_open_settings_menu img_ask "$IMG_SETTINGS" alt+c || return 1
  sleep 0.2
  xdotool key Return
  img_ask wait "$IMG_OPTIONS" 10000
}

# Double-clicks the chooser's folder row that reads $2 (window $1).
img_enter_folder() {
  zor_click_list_row img_ask "$1" "$2" 30 2 || { echo "no folder row $2 in the chooser"; return 1; }
}

# The chooser's folder list shows only the parent row: a folder without subfolders was entered.
img_in_leaf() { img_ask list "$1" | grep -qx 'count 1'; }

# Clicks the first row of the chooser's file list (the second list box).
img_click_first_file() {
  local item_h l t
  item_h=$(img_ask list "$1" | sed -n 's/^itemheight //p')
  read -r l t _ < <(img_ask control "$1" ListBox '#1') || true
  [ -n "${item_h:-}" ] && [ -n "${t:-}" ] || { echo "no file list in $1"; return 1; }
  xdotool mousemove $((l + 20)) $((t + 2 + item_h / 2)) click 1
}

img_viewer_usable() { [ "$(img_state "$1" Button ビュワー)" = "1 1 0" ]; }
img_options_show() { [ "$(img_state "$IMG_OPTIONS" Static "$1")" = "1 1 -1" ]; }

# Three pictures: two colourful JPEGs for the background, one for the interval folder.
# a.jpg is a photo stored on its side (orientation tag 6) that stands 640 ×
# 480 upright, with a green block in its upright top-left corner.
img_make_pictures() {
  mkdir -p "$1/bg" "$1/it"
  convert -seed 7 -size 640x480 plasma:red-blue -fill '#00FF00' -draw 'rectangle 0,0 199,149' "$1/upright.png" &&
    rp_oriented "$1/upright.png" 6 "$1/bg/a.jpg" &&
    convert -size 640x480 gradient:yellow-green "$1/bg/b.jpg" &&
    convert -seed 9 -size 320x240 plasma: "$1/it/i.jpg"
}

e2e_image_options_store_folders_and_file_and_the_saver_shows_the_picture() {
  local d ok=0 pid win bg it shot spread colours vl vt vr vb
  d=$(new_folder)
  IMG_FOLDER=$(basename "$d")
  prepare_messages "$d"
  img_make_pictures "$d" || { echo "cannot make the pictures"; rm -rf "$d"; return 1; }
  win=$(zor_wine_path "$d")
  bg="$win\\bg"
  it="$win\\it"

  (cd "$d" && exec wine zorante.scr /c) 2>/dev/null &
  pid=$!
  if ! img_ask wait "$IMG_SETTINGS" 30000; then
    echo "no settings dialog (one instance per Wine prefix: is another zorante.scr running?)"
    end_programs "$pid"
    rm -rf "$d"
    return 1
  fi
  img_open_options || { echo "the menu did not open the image options"; ok=1; }
  if [ $ok -eq 0 ]; then
    sleep 0.3
    import -window root "$SHOTS/image-options.png"
    img_click "$IMG_OPTIONS" Button 中央 || ok=1

    # A background folder: the chooser starts in the program folder.
    img_click "$IMG_OPTIONS" Button 変更 0 && img_ask wait "$IMG_BG_FOLDER" 10000 ||
      { echo "the background chooser did not open"; ok=1; }
    [ "$(img_state "$IMG_BG_FOLDER" Button ﾌｧｲﾙで指定)" = "1 1 0" ] || { echo "file box not shown cleared"; ok=1; }
    img_enter_folder "$IMG_BG_FOLDER" bg && zor_poll 10 img_in_leaf "$IMG_BG_FOLDER" ||
      { echo "the folder bg was not entered"; ok=1; }
    [ "$(img_ask text "$IMG_BG_FOLDER" Static '#0')" = "$bg" ] ||
      { echo "the chooser's path reads $(img_ask text "$IMG_BG_FOLDER" Static '#0')"; ok=1; }
    import -window root "$SHOTS/image-chooser-folder.png"
    img_click "$IMG_BG_FOLDER" Button OK && img_ask gone "$IMG_BG_FOLDER" 10000 ||
      { echo "OK did not close the background chooser"; ok=1; }
    img_ini_has "$d" "BgBMPDir=$bg" && img_ini_has "$d" 'BgBMPDorB=0' ||
      { echo "background folder not stored: $(img_ini_line "$d" BgBMPDir) $(img_ini_line "$d" BgBMPDorB)"; ok=1; }
    zor_poll 5 img_options_show "${bg,,}" && img_options_show 参照フォルダ： ||
      { echo "the options do not show the background folder"; ok=1; }

    # A single file: the chooser starts in the stored folder; the viewer shows the JPEG.
    img_click "$IMG_OPTIONS" Button 変更 0 && img_ask wait "$IMG_BG_FOLDER" 10000 ||
      { echo "the background chooser did not open again"; ok=1; }
    img_in_leaf "$IMG_BG_FOLDER" || { echo "the chooser did not start in the stored folder"; ok=1; }
    img_click "$IMG_BG_FOLDER" Button ﾌｧｲﾙで指定 && img_ask wait "$IMG_BG_FILE" 5000 ||
      { echo "ticking the file box did not retitle the chooser"; ok=1; }
    img_click_first_file "$IMG_BG_FILE" && zor_poll 5 img_viewer_usable "$IMG_BG_FILE" ||
      { echo "a click on a file left the viewer button disabled"; ok=1; }
    import -window root "$SHOTS/image-chooser-file.png"
    if img_click "$IMG_BG_FILE" Button ビュワー && img_ask wait "$IMG_VIEWER" 10000; then
      sleep 0.5
      import -window root "$SHOTS/image-viewer.png"
      read -r vl vt vr vb < <(img_ask window "$IMG_VIEWER") || true
      [ $((${vr:-0} - ${vl:-0})) -ge 640 ] && [ $((${vb:-0} - ${vt:-0})) -ge 480 ] ||
        { echo "the viewer is smaller than the picture: $vl $vt $vr $vb"; ok=1; }
      # Upright: the green block at the top-left of the picture (below the caption).
      rp_area_near "$SHOTS/image-viewer.png" $((${vl:-0} + 80)) $((${vb:-0} - 480 + 70)) 0 255 0 ||
        { echo "the viewer's photo is not upright: $(pixel_at "$SHOTS/image-viewer.png" $((${vl:-0} + 80)) $((${vb:-0} - 480 + 70)))"; ok=1; }
      xdotool key a
      img_ask gone "$IMG_VIEWER" 5000 || { echo "a key did not close the viewer"; ok=1; }
      img_ask window "$IMG_BG_FILE" >/dev/null || { echo "the chooser closed with the viewer"; ok=1; }
    else
      echo "the viewer did not open"
      ok=1
    fi
    img_click "$IMG_BG_FILE" Button OK && img_ask gone "$IMG_BG_FILE" 10000 ||
      { echo "OK did not close the file chooser"; ok=1; }
    img_ini_has "$d" "BgBMPBMP=$bg\\a.jpg" && img_ini_has "$d" "BgBMPDir=$bg" && img_ini_has "$d" 'BgBMPDorB=-1' ||
      { echo "background file not stored: $(img_ini_line "$d" BgBMPBMP) $(img_ini_line "$d" BgBMPDorB)"; ok=1; }
    zor_poll 5 img_options_show "${bg,,}\\a.jpg" && img_options_show 参照画像ファイル： ||
      { echo "the options do not show the background file"; ok=1; }

    # An interval folder: the chooser starts in the program folder again.
    img_click "$IMG_OPTIONS" Button ノーマル表示 || ok=1
    img_click "$IMG_OPTIONS" Button 変更 1 && img_ask wait "$IMG_IT_FOLDER" 10000 ||
      { echo "the interval chooser did not open"; ok=1; }
    case "$(img_state "$IMG_IT_FOLDER" Button ﾌｧｲﾙで指定)" in
      ?" 0 "* | missing) ;;
      *) echo "file box shown for intervals: $(img_state "$IMG_IT_FOLDER" Button ﾌｧｲﾙで指定)"; ok=1 ;;
    esac
    img_enter_folder "$IMG_IT_FOLDER" it && zor_poll 10 img_in_leaf "$IMG_IT_FOLDER" ||
      { echo "the folder it was not entered"; ok=1; }
    import -window root "$SHOTS/image-chooser-interval.png"
    img_click "$IMG_IT_FOLDER" Button OK && img_ask gone "$IMG_IT_FOLDER" 10000 ||
      { echo "OK did not close the interval chooser"; ok=1; }
    img_ini_has "$d" "ItBMPDir=$it" || { echo "interval folder not stored: $(img_ini_line "$d" ItBMPDir)"; ok=1; }
    # Choosing the interval folder leaves the background file alone.
    img_ini_has "$d" "BgBMPBMP=$bg\\a.jpg" && img_ini_has "$d" 'BgBMPDorB=-1' ||
      { echo "the interval choice changed the background"; ok=1; }
    zor_poll 5 img_options_show "${it,,}" || { echo "the options do not show the interval folder"; ok=1; }
    import -window root "$SHOTS/image-options-chosen.png"

    img_click "$IMG_OPTIONS" Button OK && img_ask gone "$IMG_OPTIONS" 10000 || { echo "OK did not close the options"; ok=1; }
    img_ini_has "$d" 'BgBMP=1' && img_ini_has "$d" 'ItBMP=1' ||
      { echo "modes not stored: $(img_ini_line "$d" BgBMP) $(img_ini_line "$d" ItBMP)"; ok=1; }
  fi
  img_click "$IMG_SETTINGS" Button OK
  wait_gone "$pid" 10 || { echo "the settings dialog did not end"; ok=1; }
  end_programs "$pid"

  # The saver shows a chosen picture (the background or an interval run):
  # a plasma has thousands of colours and some saturation, unlike white
  # text on black.
  xdotool mousemove 512 384
  (cd "$d" && exec wine zorante.scr /s) 2>/dev/null &
  pid=$!
  if [ -n "$(zor_wait_x_window '^ZORANTE$' 30)" ]; then
    sleep 1.5
    shot="$SHOTS/image-saver.png"
    import -window root "$shot"
    spread=$(convert "$shot" -colorspace HSL -channel G -separate -format '%[fx:mean]' info: 2>/dev/null)
    colours=$(convert "$shot" -format '%k' info: 2>/dev/null)
    awk -v s="${spread:-0}" -v c="${colours:-0}" 'BEGIN { exit !(s > 0.02 && c > 5000) }' ||
      { echo "no picture on the saver's screen (mean saturation ${spread:-none}, ${colours:-no} colours)"; ok=1; }
    xdotool key a
    wait_gone "$pid" 5 || { echo "a key did not end the saver"; ok=1; }
  else
    echo "no saver window"
    ok=1
  fi
  end_programs "$pid"
  rm -rf "$d"
  return $ok
}
