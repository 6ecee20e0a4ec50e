# Background and interval pictures: the saver shows interval runs between
# messages and ends on a key during one; zortool.exe renders placements.
# shellcheck shell=bash

# The red, green and blue values of one pixel of an image, as "R,G,B".
pixel_at() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info: 2>/dev/null
}

# True when the pixel is within 40 of R G B in each channel (JPEG is lossy).
colour_near() {
  local have
  have=$(pixel_at "$1" "$2" "$3")
  awk -v h="$have" -v r="$4" -v g="$5" -v b="$6" 'BEGIN {
    n = split(h, c, ","); if (n != 3) exit 1
    d1 = c[1] - r; d2 = c[2] - g; d3 = c[3] - b
    exit !(d1 * d1 <= 1600 && d2 * d2 <= 1600 && d3 * d3 <= 1600) }'
}

# Wine's name of a Linux path.

# Three solid pictures in three formats: magenta, cyan, yellow.
make_interval_pictures() {
  mkdir -p "$1"
  convert -size 320x240 xc:'#FF00FF' "$1/m.jpg"
  convert -size 320x240 xc:'#00FFFF' "$1/c.gif"
  convert -size 320x240 xc:'#FFFF00' -compress RLE BMP3:"$1/y.bmp"
}

e2e_interval_run_shows_pictures_between_messages_and_a_key_ends_it() {
  local d ok i shot colour saw_page=1
  d=$(new_folder)
  prepare_messages "$d"
  "$ZOR_ROOT/build/native/zortool" options "$d/zorante.zrd" --interval 2500 >/dev/null
  make_interval_pictures "$d/pics"
  printf 'ItBMP=2\r\nItBMPStr=3\r\nItBMPDir=%s\r\n' "$(zor_wine_path "$d/pics")" >>"$d/ZORANTE.ini"
  xdotool mousemove 512 384
  (cd "$d" && exec wine zorante.scr /s) &
  local pid=$!
  zor_wait_x_window '^ZORANTE$' 20 >/dev/null || { echo "no saver window"; end_programs "$pid"; rm -rf "$d"; return 1; }
  # Poll until both a message page and an interval picture were seen; the
  # key goes in while a picture shows.
  local saw_picture=1 ended=1
  for i in $(seq 1 150); do
    shot="$SHOTS/interval-poll.png"
    import -window root "$shot" 2>/dev/null
    colour=$(pixel_at "$shot" 512 384)
    case "$colour" in
      255,0,255 | 0,255,255 | 255,255,0)
        [ "$saw_picture" -eq 0 ] || cp "$shot" "$SHOTS/interval-run.png"
        saw_picture=0
        if [ "$saw_page" -eq 0 ]; then
          xdotool key a
          wait_gone "$pid" 5 && ended=0
          break
        fi
        ;;
      *)
        if [ "$saw_page" -ne 0 ] && check_page_has_text "$shot" >/dev/null; then
          cp "$shot" "$SHOTS/interval-message.png"
          saw_page=0
        fi
        ;;
    esac
    sleep 0.2
  done
  ok=0
  [ "$saw_picture" -eq 0 ] || { echo "no interval picture seen"; ok=1; }
  [ "$saw_page" -eq 0 ] || { echo "no message page seen"; ok=1; }
  [ "$ended" -eq 0 ] || { echo "a key during the run did not end the saver"; ok=1; }
  end_programs "$pid"
  rm -rf "$d"
  return $ok
}

e2e_render_places_backgrounds() {
  local d ok=0 tool="$ZOR_ROOT/build/windows/zortool.exe" out
  d=$(new_folder)
  prepare_messages "$d"
  mkdir -p "$d/pics"
  # A picture the program has never seen: 400 × 300, blue with a green square.
  convert -size 400x300 xc:'#0000FF' -fill '#00FF00' -draw 'rectangle 150,100 250,200' "$d/pics/photo.jpg"
  echo "not a picture" >"$d/pics/broken.jpg"
  render() {  # settings lines separated by ";", layout, message, output name
    {
      printf '[ZORANTE]\r\nUseFont=IPA\x96\xbe\x92\xa9\r\n'
      printf '%s\n' "$1" | tr ';' '\n' | sed 's/$/\r/'
    } >"$d/render.ini"
    (cd "$d" && wine "$tool" render zorante.zrd "$3" --layout "$2" --ground black --size 960x540 --seed 3 \
      --out "$(zor_wine_path "$SHOTS/$4")" --settings "$(zor_wine_path "$d/render.ini")") >/dev/null 2>&1
  }
  local photo broken
  photo=$(zor_wine_path "$d/pics/photo.jpg")
  broken=$(zor_wine_path "$d/pics/broken.jpg")

  # Corner beside an L-shaped card turning at the bottom-left: the picture fits top-right.
  render "BgBMP=2;BgBMPStr=1;BgBMPDorB=-1;BgBMPBMP=$photo" B 1 render-corner.png ||
    { echo "render corner failed"; ok=1; }
  out="$SHOTS/render-corner.png"
  colour_near "$out" 955 5 0 0 255 || { echo "corner: no picture at the top-right"; ok=1; }
  colour_near "$out" 5 535 0 0 0 || { echo "corner: picture at the bottom-left"; ok=1; }
  check_page_has_text "$out" || ok=1

  # Centre, scaling 2 (fill and crop): blue to every edge, the green square in the middle.
  render "BgBMP=1;BgBMPStr=2;BgBMPDorB=-1;BgBMPBMP=$photo" C 2 render-centre-fill.png ||
    { echo "render centre failed"; ok=1; }
  out="$SHOTS/render-centre-fill.png"
  colour_near "$out" 2 2 0 0 255 && colour_near "$out" 957 537 0 0 255 ||
    { echo "fill: the picture does not reach the corners"; ok=1; }
  colour_near "$out" 480 200 0 255 0 ||
    { echo "fill: no green square in the middle ($(pixel_at "$out" 480 200))"; ok=1; }

  # Centre, scaling 0: own size, black around it.
  render "BgBMP=1;BgBMPStr=0;BgBMPDorB=-1;BgBMPBMP=$photo" C 2 render-centre-own.png
  out="$SHOTS/render-centre-own.png"
  colour_near "$out" 285 125 0 0 255 && colour_near "$out" 275 115 0 0 0 ||
    { echo "own size: picture not at (280, 120)"; ok=1; }

  # Tile: the second tile starts 400 pixels in.
  render "BgBMP=3;BgBMPDorB=-1;BgBMPBMP=$photo" C 2 render-tile.png
  out="$SHOTS/render-tile.png"
  colour_near "$out" 405 5 0 0 255 && colour_near "$out" 600 150 0 255 0 ||
    { echo "tile: no second tile"; ok=1; }

  # A broken picture: the plain ground with the text.
  render "BgBMP=1;BgBMPStr=3;BgBMPDorB=-1;BgBMPBMP=$broken" B 1 render-broken.png ||
    { echo "render with a broken picture failed"; ok=1; }
  out="$SHOTS/render-broken.png"
  colour_near "$out" 955 5 0 0 0 || { echo "broken: something painted"; ok=1; }
  check_page_has_text "$out" || ok=1
  rm -rf "$d"
  return $ok
}
