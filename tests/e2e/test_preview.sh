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

# --- The preview's pages, written where the host's screen cannot show them ---
# (ZOR_PREVIEW_PAGES: Wine does not paint a child window of another process.)

# A message file of three messages in registration order: an L-shaped one
# (layout A), a 40-byte half-width one (B; one line as wide as a line gets)
# and one of 32 full-width characters (C),
# the full-width ones with marked characters (the random choice of a mark
# would differ from the render's). Scheme 0 draws them on black, 1 on white.
PAGE_MESSAGES=("夜明けの前が一番暗い" "Rome was not built in a day, nor in two." "千里の道も一歩から始まるが一歩目がいちばん遠いと祖母はよく笑った")
PAGE_LAYOUTS=(A B C)
prepare_pages_file() {  # FOLDER SCHEME INTERVAL_MS
  local z="$ZOR_ROOT/build/native/zortool" m
  printf '[ZORANTE]\r\nUseFont=IPA\x96\xbe\x92\xa9\r\n' >"$1/ZORANTE.ini"
  cp "$1/ZORANTE.ini" "$1/plain.ini"
  $z new "$1/zorante.zrd" >/dev/null || return 1
  for m in "${PAGE_MESSAGES[@]}"; do $z add "$1/zorante.zrd" "$m" >/dev/null || return 1; done
  $z format "$1/zorante.zrd" 1 --layout A --marks 1,3 --emphasis marked >/dev/null &&
    $z format "$1/zorante.zrd" 2 --layout B >/dev/null &&
    $z format "$1/zorante.zrd" 3 --layout C --marks 4,31 --emphasis marked >/dev/null &&
    $z options "$1/zorante.zrd" --scheme "$2" --interval "$3" --order registration --emphasis on >/dev/null
}

# Runs the preview in a host of W×H until it has written N pages into
# $1/pages; PAGES_SHOWN is the time (s since the epoch) its window was
# seen in the host.
run_preview_pages() {  # FOLDER W H N
  local d="$1" pid ok=0
  mkdir -p "$d/pages"
  start_host "$d" "$2" "$3" 0 || { echo "no host"; end_programs "$HOST_PID"; return 1; }
  (cd "$d" && ZOR_PREVIEW_PAGES=$(zor_wine_path "$d/pages") exec wine zorante.scr /p "$HOST_HWND") &
  pid=$!
  if wait_file_line "$d/host.txt.children" "^0 0 $2 $3 1 Preview\$" 15; then
    PAGES_SHOWN=$(date +%s.%N)
    zor_poll_every 50 30 test -s "$d/pages/page-$4.png" || { echo "$2x$3: pages: $(ls "$d/pages")"; ok=1; }
  else
    echo "$2x$3: preview child: $(cat "$d/host.txt.children" 2>/dev/null)"
    ok=1
  fi
  end_programs "$pid" "$HOST_PID"
  return $ok
}

# The ink of a page keeps 2 pixels from its left and right edges (the
# layouts' margins are 2 % of the width, and anti-aliasing may reach a pixel
# further): no line is cut at an edge (type of a few pixels is wider than
# its size says).
ink_inside() {  # PNG W
  local g
  g=$(convert "$1" -fuzz 20% -trim -format '%w %X' info: 2>/dev/null) || return 1
  # shellcheck disable=SC2086 # two numbers
  set -- "$1" "$2" $g
  [ "$4" -ge 2 ] && [ $(($4 + $3)) -le $(($2 - 2)) ]
}

# Page by page at the three sizes of the settings' small screen (100 %, 200 %
# and a 320×240 host) on both grounds: each page matches zortool's render of
# its message in its layout at that size within the render tolerance, with
# no credit line (the third page is one where the saver shows it), and no
# line runs off the page. With a picture background set, the preview paints
# no picture (the saver's rule for the preview): its pages are the renders
# without one.
e2e_preview_pages_match_the_renders() {
  local tool d run w h scheme ground n out ok=0
  tool="$(dirname "$SCR")/zortool.exe"
  out="$SHOTS/preview-pages"
  rm -rf "$out"
  mkdir -p "$out/preview" "$out/render"
  for run in 152x112-black 152x112-white 304x224-black 304x224-white 320x240-black 320x240-white 152x112-picture; do
    w=${run%%x*}
    h=${run#*x}
    h=${h%-*}
    ground=${run##*-}
    scheme=0
    [ "$ground" = white ] && scheme=1
    d=$(new_folder)
    prepare_pages_file "$d" "$scheme" 1000 || { echo "no message file"; ok=1; }
    if [ "$ground" = picture ]; then
      ground=black
      convert -size 400x300 gradient:orange-navy "$d/photo.bmp"
      printf 'BgBMP=1\r\nBgBMPStr=2\r\nBgBMPDorB=-1\r\nBgBMPBMP=%s\r\n' "$(zor_wine_path "$d/photo.bmp")" >>"$d/ZORANTE.ini"
    fi
    run_preview_pages "$d" "$w" "$h" 3 || ok=1
    for n in 1 2 3; do
      cp "$d/pages/page-$n.png" "$out/preview/all-$run-$n.png" 2>/dev/null
      (cd "$d" && wine "$tool" render zorante.zrd "$n" --layout "${PAGE_LAYOUTS[$((n - 1))]}" --ground "$ground" \
        --size "${w}x$h" --seed 1 --settings plain.ini --out "$(zor_wine_path "$out/render/all-$run-$n.png")" \
        >/dev/null 2>&1) || { echo "render $run $n failed"; ok=1; }
      ink_inside "$d/pages/page-$n.png" "$w" || { echo "$run page $n: ink at the edge"; ok=1; }
    done
    rm -rf "$d"
  done
  bash "$ZOR_ROOT/tests/win/render_compare.sh" "$out/render" "$out/preview" >"$out/compare.txt" 2>&1 ||
    { grep -v '^within' "$out/compare.txt"; ok=1; }
  grep -q '^renders: 21 compared' "$out/compare.txt" || { tail -1 "$out/compare.txt"; ok=1; }
  return $ok
}

# The first page comes at the preview's 300 ms (with the half second the
# ground shows alone), the next ones at the file's interval; measured loosely
# from the times the pages were written.
e2e_preview_pages_come_at_300_ms_then_at_the_interval() {
  local d first second third ok=0
  d=$(new_folder)
  prepare_pages_file "$d" 0 3000 || { echo "no message file"; ok=1; }
  run_preview_pages "$d" 152 112 3 || ok=1
  first=$(stat -c %.3Y "$d/pages/page-1.png" 2>/dev/null)
  second=$(stat -c %.3Y "$d/pages/page-2.png" 2>/dev/null)
  third=$(stat -c %.3Y "$d/pages/page-3.png" 2>/dev/null)
  if [ -n "$first" ] && [ -n "$second" ] && [ -n "$third" ]; then
    echo "page 1 at +$(awk -v a="$PAGES_SHOWN" -v b="$first" 'BEGIN { printf "%.2f", b - a }') s after the window showed," \
      "page 2 +$(awk -v a="$first" -v b="$second" 'BEGIN { printf "%.2f", b - a }') s later," \
      "page 3 +$(awk -v a="$second" -v b="$third" 'BEGIN { printf "%.2f", b - a }') s later"
    # The window is seen up to 0.15 s late; the page has half a second of ground and its drawing.
    awk -v s="$PAGES_SHOWN" -v t="$first" 'BEGIN { exit !(t - s >= 0.3 && t - s <= 2.0) }' ||
      { echo "the first page was not about 0.3 s after the window showed"; ok=1; }
    # The timer starts again after the first page, at the file's 3 s.
    awk -v a="$first" -v b="$second" 'BEGIN { exit !(b - a >= 2.9 && b - a <= 4.8) }' ||
      { echo "the second page was not at the interval"; ok=1; }
    awk -v a="$second" -v b="$third" 'BEGIN { exit !(b - a >= 2.5 && b - a <= 3.5) }' ||
      { echo "the third page was not at the interval"; ok=1; }
  else
    echo "pages missing: $(ls "$d/pages" 2>/dev/null)"
    ok=1
  fi
  rm -rf "$d"
  return $ok
}
