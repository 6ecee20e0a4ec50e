# The saver's registration file changes under it: shrinks from 6 messages to
# 2, grows again, turns to garbage and goes; the saver goes on showing
# messages, never a blank page, never one message twice in a row, no box.
# shellcheck shell=bash

# A registration file of the texts given, in registration order, 1 s apart,
# made beside the file and moved over it as the settings dialog replaces it.
changing_write() {  # ZRD TEXT...
  local zrd="$1" tool="$ZOR_ROOT/build/native/zortool" t
  shift
  rm -f "$zrd.new"
  "$tool" new "$zrd.new" >/dev/null && "$tool" options "$zrd.new" --order registration --interval 1000 >/dev/null ||
    return 1
  for t in "$@"; do "$tool" add "$zrd.new" "$t" >/dev/null || return 1; done
  mv -f "$zrd.new" "$zrd"
}

# Pages shown so far (lines of the log).
changing_pages() { [ -s "$1" ] && wc -l <"$1" || echo 0; }
changing_pages_past() { [ "$(changing_pages "$1")" -ge "$2" ]; }
# Waits until N more pages than now are shown.
changing_wait_pages() {  # LOG N
  local target=$(($(changing_pages "$1") + $2))
  zor_poll_every 100 $(($2 * 4 + 10)) changing_pages_past "$1" "$target"
}

e2e_saver_follows_a_file_that_shrinks_grows_and_goes() (
  local d zrd shown ok=0 from others
  d=$(new_folder)
  zrd="$d/zorante.zrd"
  shown="$d/shown.txt"
  changing_write "$zrd" 一番目の文章 二番目の文章 三番目の文章 四番目の文章 五番目の文章 六番目の文章 ||
    { rm -rf "$d"; return 1; }
  printf '[ZORANTE]\r\nUseFont=IPA\x96\xbe\x92\xa9\r\n' >"$d/ZORANTE.ini"
  wine "$HOST" spi-set 1 >/dev/null 2>&1
  xdotool mousemove 512 384
  export ZOR_SHOWN_LOG
  ZOR_SHOWN_LOG=$(zor_wine_path "$shown")
  start_saver "$d" || { echo "no saver window"; end_programs "$SAVER_PID"; rm -rf "$d"; return 1; }
  changing_wait_pages "$shown" 4 || { echo "the saver shows no pages"; ok=1; }

  # Cut to 2: from the page after the next on, only those two.
  changing_write "$zrd" 一番目の文章 二番目の文章 || ok=1
  from=$(($(changing_pages "$shown") + 2))
  changing_wait_pages "$shown" 5 || { echo "no pages after the file shrank"; ok=1; }
  import -window root "$SHOTS/changing-file-shrunk.png"
  check_page_has_text "$SHOTS/changing-file-shrunk.png" || ok=1
  if tail -n +"$from" "$shown" | grep -v -x -e 一番目の文章 -e 二番目の文章 | grep -q .; then
    echo "after the file shrank, pages not in it:"; tail -n +"$from" "$shown"; ok=1
  fi

  # Grown by two new messages: they are shown.
  changing_write "$zrd" 一番目の文章 二番目の文章 新しい文章その一 新しい文章その二 || ok=1
  zor_poll_every 100 20 grep -q -x 新しい文章その二 "$shown" || { echo "the new messages are not shown"; ok=1; }

  # Garbage, then no file at all: the messages held are shown on.
  head -c 3000 /dev/urandom >"$zrd"
  changing_wait_pages "$shown" 2 || { echo "no pages after the file turned to garbage"; ok=1; }
  rm -f "$zrd"
  from=$(($(changing_pages "$shown") + 1))
  changing_wait_pages "$shown" 3 || { echo "no pages after the file went"; ok=1; }
  import -window root "$SHOTS/changing-file-gone.png"
  check_page_has_text "$SHOTS/changing-file-gone.png" || ok=1
  if tail -n +"$from" "$shown" | grep -v -e 番目の文章 -e 新しい文章 | grep -q .; then
    echo "after the file went, pages not held:"; tail -n +"$from" "$shown"; ok=1
  fi
  others=$(E2E_PROGRAM="$(basename "$d")" wine "$HOST" windows 2>/dev/null | tr -d '\r' | grep -v -P '\tZORANTE$')
  [ -z "$others" ] || { echo "windows beside the saver's page:"; echo "$others"; ok=1; }
  kill -0 "$SAVER_PID" 2>/dev/null || { echo "the saver ended"; ok=1; }

  # Over the whole run: no blank page, no message twice in a row.
  grep -q -x '' "$shown" && { echo "blank pages: $(grep -c -x '' "$shown")"; ok=1; }
  uniq -d "$shown" | grep -q . && { echo "shown twice in a row: $(uniq -d "$shown" | head -n 3 | tr '\n' ' ')"; ok=1; }
  echo "pages shown: $(changing_pages "$shown")"
  xdotool key a
  wait_gone "$SAVER_PID" 10 || { echo "the saver did not end on a key"; ok=1; }
  end_programs "$SAVER_PID"
  [ "$ok" -ne 0 ] || rm -rf "$d"
  return $ok
)
