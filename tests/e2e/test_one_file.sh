# One registration file, two programs: the saver reads it while the list
# editor (the settings dialog's editing code) and zortool replace it.
# shellcheck shell=bash

ONE_FILE_LIST_EDITS="$ZOR_ROOT/build/windows/e2e_list_edits.exe"

# A Windows path of a Unix one, on Wine's Z: drive.

# The text of zortool's edit $1 (tag $2); like the list editor's, the long
# ones carry their number in both halves of the record.
one_file_text() {
  if [ $(($1 % 3)) -eq 0 ]; then
    printf '%sの文章%04d番' "$2" "$1"
  else
    printf '%s%04d zortool wrote this one, edit number %04d of the run 終' "$2" "$1" "$1"
  fi
}

# Makes $3 edits of file $2 with zortool command $1 (a native path or "wine
# zortool.exe" with a Windows path $4), each text it stores appended to $5
# first; deletes only above $6 messages, adds only below $7; $10 seconds
# between two edits. A refusal (a row another writer just removed) is tried
# again. Prints "edits N refused N".
one_file_zortool_edits() {
  local -a cmd
  read -r -a cmd <<<"$1"
  local file="$2" edits="$3" target="$4" texts="$5" floor="$6" cap="$7" tag="$8"
  local done=0 refused=0 n=0 count op row text
  RANDOM=$9
  while [ "$done" -lt "$edits" ] && [ "$refused" -lt "$edits" ]; do
    count=$("$ZOR_ROOT/build/native/zortool" info "$file" | awk '$1 == "count" { print $2 }')
    [ -n "$count" ] || { refused=$((refused + 1)); continue; }
    row=$((RANDOM % (count > 0 ? count : 1) + 1))
    op=$((RANDOM % 4))
    case $op in
      0) [ "$count" -lt "$cap" ] || continue
         n=$((n + 1)); text=$(one_file_text "$n" "$tag"); printf '%s\n' "$text" >>"$texts"
         "${cmd[@]}" add "$target" "$text" ;;
      1) n=$((n + 1)); text=$(one_file_text "$n" "$tag"); printf '%s\n' "$text" >>"$texts"
         "${cmd[@]}" edit "$target" "$row" "$text" ;;
      2) [ "$count" -gt "$floor" ] || continue
         "${cmd[@]}" delete "$target" "$row" ;;
      3) [ "$count" -gt 1 ] || continue
         "${cmd[@]}" move "$target" "$row" "$(((row < count) ? 1 : -1))" ;;
    esac >/dev/null 2>&1 && done=$((done + 1)) || refused=$((refused + 1))
    sleep "${10}"
  done
  echo "edits $done refused $refused"
}

# Every few tenths of a second while $1 exists: the visible top-level
# windows of the programs in folder $2, appended to $3.
one_file_sample_windows() {
  while [ -e "$1" ]; do
    E2E_PROGRAM="$(basename "$2")" wine "$HOST" windows 2>/dev/null | tr -d '\r' >>"$3"
    echo "--" >>"$3"
    sleep 0.3
  done
}

e2e_saver_reads_its_file_while_1000_edits_replace_it() (
  local tool="$ZOR_ROOT/build/native/zortool" d zrd held shown i ok=0 start seconds active
  local dialog_out native_out wine_out dialog_pid native_pid wine_pid sampler running
  d=$(new_folder)
  zrd="$d/zorante.zrd"
  held="$d/held.txt"
  shown="$d/shown.txt"
  # The saver reads the file again between pages whenever it changed; the
  # writers keep 30 messages or more.
  if ! "$tool" new "$zrd" >/dev/null || ! "$tool" options "$zrd" --order random >/dev/null; then
    rm -rf "$d"
    return 1
  fi
  # 100 ms between pages, below what the options dialog and zortool offer:
  # the header's interval (bytes 5-6, little-endian) written directly.
  printf '\x64\x00' | dd of="$zrd" bs=1 seek=4 conv=notrunc status=none
  [ "$("$tool" info "$zrd" | awk '$1 == "interval" { print $2 }')" = 100 ] || { echo "interval not set"; rm -rf "$d"; return 1; }
  for i in $(seq 1 20); do
    printf '初めの文章%02d\n' "$i" >>"$held"
    "$tool" add "$zrd" "$(printf '初めの文章%02d' "$i")" >/dev/null || { rm -rf "$d"; return 1; }
  done
  {
    printf '[ZORANTE]\r\nUseFont=IPA\x96\xbe\x92\xa9\r\n'
    printf 'LoadFileName=%s\r\n' "$(zor_wine_path "$zrd")"
  } >"$d/ZORANTE.ini"
  wine "$HOST" spi-set 1 >/dev/null 2>&1
  xdotool mousemove 512 384
  export ZOR_SHOWN_LOG
  ZOR_SHOWN_LOG=$(zor_wine_path "$shown")
  start_saver "$d" || { echo "no saver window"; end_programs "$SAVER_PID"; rm -rf "$d"; return 1; }
  wait_file_line "$shown" '.' 30 || { echo "the saver shows no page"; ok=1; }
  for i in $(seq 21 32); do
    printf '後の文章%02d\n' "$i" >>"$held"
    "$tool" add "$zrd" "$(printf '後の文章%02d' "$i")" >/dev/null || ok=1
  done

  start=$(date +%s)
  running="$d/running"
  touch "$running"
  one_file_sample_windows "$running" "$d" "$d/windows.txt" &
  sampler=$!
  # The three writers at once, each spread over some 40 s, so that the saver
  # reads the file for many pages between their edits.
  dialog_out="$d/dialog.out" native_out="$d/native.out" wine_out="$d/wine.out"
  wine "$ONE_FILE_LIST_EDITS" "$(zor_wine_path "$zrd")" 500 7 "$(zor_wine_path "$d/held-dialog.txt")" 30 60 \
    80 >"$dialog_out" 2>&1 &
  dialog_pid=$!
  one_file_zortool_edits "$tool" "$zrd" 400 "$zrd" "$d/held-native.txt" 34 60 ネイティブ 11 0.1 >"$native_out" 2>&1 &
  native_pid=$!
  one_file_zortool_edits "wine $ZOR_ROOT/build/windows/zortool.exe" "$zrd" 100 "$(zor_wine_path "$zrd")" \
    "$d/held-wine.txt" 34 60 ワイン 13 0.1 >"$wine_out" 2>&1 &
  wine_pid=$!
  wait "$native_pid"
  import -window root "$SHOTS/one-file-during-edits.png"
  wait "$dialog_pid" || { echo "list editor: $(tr -d '\r' <"$dialog_out")"; ok=1; }
  wait "$wine_pid"
  rm -f "$running"
  wait "$sampler"
  seconds=$(($(date +%s) - start))

  # Edits made by each writer: 1000 in all.
  local dialog_edits native_edits wine_edits
  dialog_edits=$(tr -d '\r' <"$dialog_out" | awk '$1 == "edits" { print $2 }')
  native_edits=$(awk '$1 == "edits" { print $2 }' "$native_out")
  wine_edits=$(awk '$1 == "edits" { print $2 }' "$wine_out")
  echo "list editor: $(tr -d '\r' <"$dialog_out" | tail -n 1)"
  echo "zortool: $(cat "$native_out"); zortool.exe: $(cat "$wine_out"); ${seconds} s"
  [ "$((${dialog_edits:-0} + ${native_edits:-0} + ${wine_edits:-0}))" -eq 1000 ] ||
    { echo "edits made: ${dialog_edits:-0} + ${native_edits:-0} + ${wine_edits:-0}"; ok=1; }

  # No window of the saver's but its own page: no error box at any time.
  local others samples
  samples=$(grep -c '^--$' "$d/windows.txt")
  others=$(grep -v '^--$' "$d/windows.txt" | grep -v -P '\tZORANTE$' | sort -u)
  [ -z "$others" ] || { echo "windows beside the saver's page:"; echo "$others"; ok=1; }
  [ "$samples" -ge 5 ] || { echo "only $samples samples of the windows"; ok=1; }
  kill -0 "$SAVER_PID" 2>/dev/null || { echo "the saver ended during the edits"; ok=1; }

  # Every page showed a text some version of the file held.
  local all_held="$d/all-held.txt" shown_count wrong blank new_shown
  cat "$held" "$d"/held-*.txt 2>/dev/null | tr -d '\r' | sort -u >"$all_held"
  shown_count=$(wc -l <"$shown")
  wrong=$(sort -u "$shown" | comm -23 - "$all_held")
  [ -z "$wrong" ] || { echo "pages with a text the file never held:"; echo "$wrong" | head -n 10; ok=1; }
  blank=$(grep -c '^$' "$shown")
  [ "$blank" -eq 0 ] || { echo "$blank blank pages (a message that could not be read)"; ok=1; }
  new_shown=$(sort -u "$shown" | grep -c -v '^初めの文章')
  echo "pages shown $shown_count ($(sort -u "$shown" | wc -l) texts, $new_shown written during the run)"
  [ "$new_shown" -gt 0 ] || { echo "no page showed a text written after the saver started"; ok=1; }
  import -window root "$SHOTS/one-file-after-edits.png"
  check_page_has_text "$SHOTS/one-file-after-edits.png" || ok=1

  # A key ends it; the screen-saver activation is back on.
  xdotool key a
  if wait_gone "$SAVER_PID" 10; then
    active=$(wine "$HOST" spi-get | tr -d '\r')
    [ "$active" = "1" ] || { echo "saver activation not restored ($active)"; ok=1; }
  else
    echo "the saver did not end on a key"
    ok=1
  fi
  end_programs "$SAVER_PID"
  [ "$ok" -ne 0 ] || rm -rf "$d"
  return $ok
)
