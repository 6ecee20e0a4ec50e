# The saver never waits on a picture: with a picture whose read never ends
# (a FUSE folder: fuse3 and python3-fusepy), with 24-megapixel JPEGs and with
# a picture folder removed while it runs, pages still come and a real key
# ends it at once. (scripts/key-to-gone measures the same 20 times over.)
# shellcheck shell=bash

KEY_TO_GONE="$ZOR_ROOT/build/e2e/key_to_gone"
gcc -O2 -o "$KEY_TO_GONE" "$ZOR_ROOT/tests/e2e/key_to_gone.c" -lX11 || echo "cannot build the key-to-gone probe"

# A machine without FUSE (a container without /dev/fuse) cannot hold a read
# that never ends: those tests say so and are skipped there.
fuse_usable() {
  [ -e /dev/fuse ] && command -v fusermount3 >/dev/null && /usr/bin/python3 -c 'import fusepy' 2>/dev/null
}

# Mounts at $1/share a FUSE view of $1/share-source whose reads of hang.jpg
# never answer and of slow.jpg take 3 s each; sets BLOCKING_PID.
mount_blocking_folder() {
  mkdir -p "$1/share"
  /usr/bin/python3 "$ZOR_ROOT/tests/e2e/blocking_folder.py" "$1/share-source" "$1/share" --hang hang.jpg \
    --slow slow.jpg=3 >"$1/fuse.log" 2>&1 &
  BLOCKING_PID=$!
  zor_poll 10 test -e "$1/share/ok.jpg"
}
# A read the daemon took waits, even through SIGKILL, until the daemon ends.
unmount_blocking_folder() {
  kill -9 "$BLOCKING_PID" 2>/dev/null
  wait "$BLOCKING_PID" 2>/dev/null
  fusermount3 -uz "$1/share" 2>/dev/null
}

# True when a text page shows within $2 seconds (the screenshot kept as $3).
saver_shows_text() {  # FOLDER SECONDS SHOT
  local shot="$SHOTS/$3.png"
  zor_poll_every 200 "$2" sh -c "import -window root '$shot' 2>/dev/null && convert '$shot' -colorspace gray \
    -format '%[fx:standard_deviation > 0.04 ? 1 : 0]' info: 2>/dev/null | grep -q 1"
}

# A key at a moment of the page; prints the milliseconds to the window gone.
key_ends_saver() {  # WINDOW
  local ms
  ms=$("$KEY_TO_GONE" "$1" 3000 a)
  echo "key to gone: $ms ms" >&2
  [ "$ms" != never ] && [ "$ms" != not-shown ]
}

e2e_a_picture_whose_read_never_ends_neither_stops_the_pages_nor_the_key() {
  local d pid w ok=0
  fuse_usable || { echo "skipped: no FUSE on this machine (/dev/fuse, fusermount3, python3-fusepy)"; return 0; }
  d=$(new_folder)
  prepare_messages "$d"
  "$ZOR_ROOT/build/native/zortool" options "$d/zorante.zrd" --interval 1000 >/dev/null
  mkdir -p "$d/share-source"
  convert -size 1200x900 gradient:navy-orange "$d/share-source/hang.jpg"
  cp "$d/share-source/hang.jpg" "$d/share-source/slow.jpg"
  convert -size 640x480 xc:'#30a040' "$d/share-source/ok.jpg"
  mount_blocking_folder "$d" || { echo "the FUSE folder did not mount"; rm -rf "$d"; return 1; }
  # Every page's corner picture never reads; the interval runs meet all three.
  printf 'BgBMP=2\r\nBgBMPStr=1\r\nBgBMPDorB=-1\r\nBgBMPBMP=%s\r\nItBMP=2\r\nItBMPStr=1\r\nItBMPDir=%s\r\n' \
    "$(zor_wine_path "$d/share/hang.jpg")" "$(zor_wine_path "$d/share")" >>"$d/ZORANTE.ini"
  xdotool mousemove 300 300
  start_saver "$d" >/dev/null 2>&1
  pid=$SAVER_PID
  w=$SAVER_WIN
  if [ -z "$w" ]; then
    echo "no saver window"
    ok=1
  else
    saver_shows_text "$d" 15 never-ending-read || { echo "no text page while a read hangs"; ok=1; }
    sleep 2.5  # into the later pages, when the hung read was given up once
    key_ends_saver "$w" || { echo "the key did not end the saver while a read hangs"; ok=1; }
  fi
  unmount_blocking_folder "$d"
  wait_gone "$pid" 10 || { echo "the saver's process did not end once the read was released"; ok=1; }
  end_programs "$pid"
  rm -rf "$d"
  return $ok
}

e2e_large_jpegs_and_a_folder_removed_while_running_leave_pages_and_the_key_working() {
  local d pid w ok=0 i
  d=$(new_folder)
  prepare_messages "$d"
  "$ZOR_ROOT/build/native/zortool" options "$d/zorante.zrd" --interval 1000 >/dev/null
  mkdir -p "$d/big"
  for i in 1 2; do convert -size 6000x4000 "gradient:#20$((i * 4))040-#ffe0$((i * 3))0" -quality 90 "$d/big/p$i.jpg"; done
  printf 'BgBMP=4\r\nBgBMPStr=2\r\nBgBMPDorB=0\r\nBgBMPDir=%s\r\nItBMP=2\r\nItBMPStr=1\r\nItBMPDir=%s\r\n' \
    "$(zor_wine_path "$d/big")" "$(zor_wine_path "$d/big")" >>"$d/ZORANTE.ini"
  xdotool mousemove 300 300
  start_saver "$d" >/dev/null 2>&1
  pid=$SAVER_PID
  w=$SAVER_WIN
  if [ -z "$w" ]; then
    echo "no saver window"
    ok=1
  else
    # A key while the 24-megapixel pictures come and go.
    sleep "$(awk -v s="$RANDOM" 'BEGIN { srand(s); printf "%.2f", 1 + 2 * rand() }')"
    key_ends_saver "$w" || { echo "the key did not end the saver among large pictures"; ok=1; }
    wait_gone "$pid" 10 || { echo "the saver did not end"; ok=1; }
    # Again, and this time the folder goes while the saver runs.
    (cd "$d" && exec wine zorante.scr /s) >/dev/null 2>&1 &
    pid=$!
    w=$(zor_wait_x_window '^ZORANTE$' 30)
    sleep 2
    rm -rf "$d/big"
    sleep 3
    kill -0 "$pid" 2>/dev/null || { echo "the saver ended when its picture folder went"; ok=1; }
    saver_shows_text "$d" 10 folder-removed || { echo "no text page after the folder went"; ok=1; }
    [ -z "$w" ] || key_ends_saver "$w" || { echo "the key did not end the saver after the folder went"; ok=1; }
  fi
  end_programs "$pid"
  rm -rf "$d"
  return $ok
}

# The settings program's picture dialogs answer while a picture never reads:
# the chooser's preview and the viewer read it off the dialog's thread.
e2e_the_picture_dialogs_answer_while_a_picture_never_reads() {
  local d ok=0 pid i
  fuse_usable || { echo "skipped: no FUSE on this machine (/dev/fuse, fusermount3, python3-fusepy)"; return 0; }
  d=$(new_folder)
  IMG_FOLDER=$(basename "$d")
  prepare_messages "$d"
  mkdir -p "$d/share-source"
  convert -size 1200x900 gradient:navy-orange "$d/share-source/hang.jpg"
  convert -size 640x480 xc:'#30a040' "$d/share-source/ok.jpg"
  mount_blocking_folder "$d" || { echo "the FUSE folder did not mount"; rm -rf "$d"; return 1; }
  (cd "$d" && exec wine zorante.scr /c) 2>/dev/null &
  pid=$!
  if ! img_ask wait "$IMG_SETTINGS" 30000; then
    echo "no settings dialog"
    ok=1
  elif ! img_open_options; then
    echo "the menu did not open the image options"
    ok=1
  else
    img_click "$IMG_OPTIONS" Button 変更 0 && img_ask wait "$IMG_BG_FOLDER" 10000 ||
      { echo "the background chooser did not open"; ok=1; }
    img_enter_folder "$IMG_BG_FOLDER" share && zor_poll 10 img_in_leaf "$IMG_BG_FOLDER" ||
      { echo "the folder share was not entered"; ok=1; }
    img_click "$IMG_BG_FOLDER" Button ﾌｧｲﾙで指定 && img_ask wait "$IMG_BG_FILE" 5000 ||
      { echo "ticking the file box did not retitle the chooser"; ok=1; }
    # hang.jpg is the first file: its preview never reads.
    img_click_first_file "$IMG_BG_FILE" && zor_poll 5 img_viewer_usable "$IMG_BG_FILE" ||
      { echo "a click on the file left the viewer button disabled"; ok=1; }
    for i in 1 2 3 4 5; do
      img_ask answering "$IMG_BG_FILE" 100 || { echo "the chooser did not answer within 100 ms ($i)"; ok=1; }
      sleep 0.2
    done
    import -window root "$SHOTS/chooser-never-reads.png"
    # The viewer opens empty once the wait runs out, answers, and a key closes it.
    if img_click "$IMG_BG_FILE" Button ビュワー && img_ask wait "$IMG_VIEWER" 10000; then
      img_ask answering "$IMG_VIEWER" 100 || { echo "the viewer did not answer within 100 ms"; ok=1; }
      xdotool key a
      img_ask gone "$IMG_VIEWER" 5000 || { echo "a key did not close the viewer"; ok=1; }
    else
      echo "the viewer did not open"
      ok=1
    fi
    img_ask answering "$IMG_BG_FILE" 100 || { echo "the chooser did not answer after the viewer"; ok=1; }
    img_click "$IMG_BG_FILE" Button Cancel && img_ask gone "$IMG_BG_FILE" 10000 ||
      { echo "cancel did not close the chooser"; ok=1; }
  fi
  unmount_blocking_folder "$d"
  end_programs "$pid"
  rm -rf "$d"
  return $ok
}
