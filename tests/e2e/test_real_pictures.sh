# Pictures as cameras and tools make them: photos with each orientation tag
# drawn upright, see-through PNG, GIF and BMP pictures over both grounds,
# and a folder of PNG pictures as the background folder (zortool.exe render
# draws pages as the saver does; the saver and a thumbnail's test display
# show them on screen; the viewer is checked with the image options).
# shellcheck shell=bash

# A copy of a JPEG with an Exif block holding orientation tag 1, spliced
# after its JFIF block (ImageMagick writes the tag only into a block that
# is there already).
rp_with_exif() {  # IN OUT
  { head -c 20 "$1"
    printf '\xff\xe1\x00\x22Exif\x00\x00II*\x00\x08\x00\x00\x00\x01\x00\x12\x01\x03\x00\x01\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00'
    tail -c +21 "$1"; } >"$2"
}

# The upright test photo: 400 × 300 in quadrants red, green over blue, white.
rp_upright() {
  convert -size 400x300 xc:white -fill '#FF0000' -draw 'rectangle 0,0 199,149' -fill '#00FF00' \
    -draw 'rectangle 200,0 399,149' -fill '#0000FF' -draw 'rectangle 0,150 199,299' "$1"
}

# The photo as a camera stores it for orientation tag N (1..8): the pixels
# turned the other way, the tag set by ImageMagick's -orient.
rp_oriented() {  # UPRIGHT N OUT
  local names=(x TopLeft TopRight BottomRight BottomLeft LeftTop RightTop RightBottom LeftBottom)
  local undo=(x '' -flop '-rotate 180' -flip -transpose '-rotate 270' -transverse '-rotate 90')
  # shellcheck disable=SC2086 # the operation's words
  convert "$1" ${undo[$2]} "$3.plain.jpg" && rp_with_exif "$3.plain.jpg" "$3.exif.jpg" &&
    convert "$3.exif.jpg" -orient "${names[$2]}" "$3" && rm -f "$3.plain.jpg" "$3.exif.jpg"
  [ "$(identify -format '%[orientation]' "$3")" = "${names[$2]}" ]
}

# True when most of nine points around (X, Y), 30 pixels apart, are within
# 40 of R G B (type may cover a few).
rp_area_near() {  # IMAGE X Y R G B
  local dx dy hits=0
  for dx in -30 0 30; do
    for dy in -30 0 30; do
      colour_near "$1" $(($2 + dx)) $(($3 + dy)) "$4" "$5" "$6" && hits=$((hits + 1))
    done
  done
  [ "$hits" -ge 5 ]
}

# The four quadrants of a picture shown over the rectangle L T R B.
rp_upright_at() {  # IMAGE L T R B
  local w=$(($4 - $2)) h=$(($5 - $3))
  rp_area_near "$1" $(($2 + w / 4)) $(($3 + h / 4)) 255 0 0 &&
    rp_area_near "$1" $(($2 + 3 * w / 4)) $(($3 + h / 4)) 0 255 0 &&
    rp_area_near "$1" $(($2 + w / 4)) $(($3 + 3 * h / 4)) 0 0 255 &&
    rp_area_near "$1" $(($2 + 3 * w / 4)) $(($3 + 3 * h / 4)) 255 255 255
}

# Settings of the given keys (";"-separated) with the IPA Mincho face.
rp_settings() {  # FILE SETTINGS
  {
    printf '[ZORANTE]\r\nUseFont=IPA\x96\xbe\x92\xa9\r\n'
    printf '%s\n' "$2" | tr ';' '\n' | sed 's/$/\r/'
  } >"$1"
}

# Message 2 drawn in layout A (the text along the left and bottom edges).
rp_render() {  # FOLDER SETTINGS GROUND OUT
  rp_settings "$1/render.ini" "$2"
  (cd "$1" && wine "$ZOR_ROOT/build/windows/zortool.exe" render zorante.zrd 2 --layout A --ground "$3" \
    --size 960x540 --seed 3 --out "$(zor_wine_path "$SHOTS/$4")" --settings "$(zor_wine_path "$1/render.ini")") \
    >/dev/null 2>&1
}

e2e_real_pictures_render_turned_see_through_and_png_folders() {
  local d ok=0 n out file ground g
  d=$(new_folder)
  prepare_messages "$d"
  mkdir -p "$d/pics" "$d/pngs"
  rp_upright "$d/upright.png"

  # Each orientation, fitted into 960 × 540: 720 × 540 from x = 120.
  for n in 1 2 3 4 5 6 7 8; do
    rp_oriented "$d/upright.png" "$n" "$d/pics/photo$n.jpg" || { echo "cannot make photo $n"; ok=1; continue; }
    file=$(zor_wine_path "$d/pics/photo$n.jpg")
    rp_render "$d" "BgBMP=1;BgBMPStr=1;BgBMPDorB=-1;BgBMPBMP=$file" white "real-orientation-$n.png" ||
      { echo "render of orientation $n failed"; ok=1; continue; }
    rp_upright_at "$SHOTS/real-orientation-$n.png" 120 0 840 540 || { echo "orientation $n not upright"; ok=1; }
  done

  # See-through pictures 400 × 300, own size at (280, 120): the left half
  # clear, the right half half-transparent red, an opaque blue bar below.
  convert -size 400x300 xc:none -fill 'rgba(255,0,0,0.5)' -draw 'rectangle 200,0 399,199' \
    -fill '#0000FF' -draw 'rectangle 0,200 399,299' "$d/pics/logo.png"
  convert -size 400x300 xc:'#00FF00' -fill '#FF0000' -draw 'rectangle 200,0 399,199' \
    -fill '#0000FF' -draw 'rectangle 0,200 399,299' -transparent '#00FF00' "$d/pics/clear.gif"
  convert "$d/pics/logo.png" -define bmp:format=bmp4 BMP:"$d/pics/alpha.bmp"
  for file in logo.png clear.gif alpha.bmp; do
    for ground in white black; do
      out="real-$ground-${file%.*}.png"
      rp_render "$d" "BgBMP=1;BgBMPStr=0;BgBMPDorB=-1;BgBMPBMP=$(zor_wine_path "$d/pics/$file")" "$ground" "$out" ||
        { echo "render of $file on $ground failed"; ok=1; continue; }
      g=0
      [ "$ground" = black ] || g=255
      rp_area_near "$SHOTS/$out" 380 200 $g $g $g || { echo "$file on $ground: clear part not the ground"; ok=1; }
      rp_area_near "$SHOTS/$out" 380 370 0 0 255 || { echo "$file on $ground: opaque blue bar missing"; ok=1; }
      case "$file:$ground" in
        clear.gif:*) rp_area_near "$SHOTS/$out" 580 200 255 0 0 ;;
        *:white) rp_area_near "$SHOTS/$out" 580 200 255 127 127 ;;
        *:black) rp_area_near "$SHOTS/$out" 580 200 127 0 0 ;;
      esac || { echo "$file on $ground: $(pixel_at "$SHOTS/$out" 580 200) where the red shows"; ok=1; }
    done
  done

  # A folder of nothing but PNG pictures as the background folder.
  convert -size 320x240 xc:'#FF00FF' "$d/pngs/a.png"
  convert -size 320x240 xc:'#FF00FF' PNG24:"$d/pngs/b.PNG"
  rp_render "$d" "BgBMP=1;BgBMPStr=3;BgBMPDorB=0;BgBMPDir=$(zor_wine_path "$d/pngs")" black real-png-folder.png ||
    { echo "render with a PNG folder failed"; ok=1; }
  if ! rp_area_near "$SHOTS/real-png-folder.png" 300 100 255 0 255 ||
    ! rp_area_near "$SHOTS/real-png-folder.png" 860 300 255 0 255; then
    echo "the PNG folder's picture is not the background"
    ok=1
  fi
  rm -rf "$d"
  return $ok
}

# The screen, saved to IMAGE, shows the upright photo over all of it.
rp_screen_upright() { import -window root "$1" 2>/dev/null && rp_upright_at "$1" 0 0 1024 768; }

# The saver: a folder of PNG pictures as the background, then a photo
# stored on its side (tag 8) as the single background, stretched over the
# whole 1024 × 768 screen.
e2e_real_pictures_saver_shows_png_folder_and_turned_photo() {
  local d ok=0 pid pass
  d=$(new_folder)
  prepare_messages "$d"
  mkdir -p "$d/pngs"
  rp_upright "$d/pngs/quadrants.png"
  for pass in folder photo; do
    if [ "$pass" = photo ]; then
      rp_oriented "$d/pngs/quadrants.png" 8 "$d/photo.jpg" || { echo "cannot make the photo"; ok=1; break; }
      rp_settings "$d/ZORANTE.ini" "BgBMP=1;BgBMPStr=3;BgBMPDorB=-1;BgBMPBMP=$(zor_wine_path "$d/photo.jpg")"
    else
      rp_settings "$d/ZORANTE.ini" "BgBMP=1;BgBMPStr=3;BgBMPDorB=0;BgBMPDir=$(zor_wine_path "$d/pngs")"
    fi
    xdotool mousemove 512 384
    (cd "$d" && exec wine zorante.scr /s) 2>/dev/null &
    pid=$!
    if [ -n "$(zor_wait_x_window '^ZORANTE$' 30)" ]; then
      zor_poll 15 rp_screen_upright "$SHOTS/real-saver-$pass.png" ||
        { echo "the saver does not show the $pass upright"; ok=1; }
      xdotool key a
      wait_gone "$pid" 5 || { echo "a key did not end the saver"; ok=1; }
    else
      echo "no saver window"
      ok=1
    fi
    end_programs "$pid"
  done
  rm -rf "$d"
  return $ok
}

# A thumbnail's test display (the settings dialog) shows a photo stored
# mirrored along its diagonal (tag 5) upright.
e2e_real_pictures_thumbnail_shows_a_turned_photo_upright() {
  local d ok=0
  d=$(new_folder)
  prepare_messages "$d"
  rp_upright "$d/upright.png"
  rp_oriented "$d/upright.png" 5 "$d/photo.jpg" || { echo "cannot make the photo"; rm -rf "$d"; return 1; }
  rp_settings "$d/ZORANTE.ini" "BgBMP=1;BgBMPStr=3;BgBMPDorB=-1;BgBMPBMP=$(zor_wine_path "$d/photo.jpg")"
  start_settings "$d" || { echo "no settings dialog"; end_programs "$SETTINGS_PID"; rm -rf "$d"; return 1; }
  click_row 0 || ok=1
  sleep 0.5  # the thumbnails are drawn once the selection settles
  if click_control "$SETTINGS_CAPTION" Static 中央にレイアウト（背景黒） && ask wait ZORANTE 15000; then
    zor_poll 15 rp_screen_upright "$SHOTS/real-thumbnail-display.png" ||
      { echo "the test display does not show the photo upright"; ok=1; }
    xdotool key a
    ask gone ZORANTE 10000 || { echo "a key did not end the test display"; ok=1; }
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
