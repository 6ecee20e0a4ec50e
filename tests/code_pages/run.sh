#!/usr/bin/env bash
# The programs under Windows locales other than the machine's. For each
# locale a Wine prefix is made under it (LANG and LC_ALL: the prefix takes
# its code pages from them), and then:
#   code page  the system reports the locale's ANSI code page
#   zortool    the zortool suite under Wine passes
#   e2e        the settings, file command, saver and code-page end-to-end checks pass
#   files      what zortool writes (new, add, format, options, imports of
#              CP932, UTF-8 and UTF-16 text, exports, a face written into a
#              settings file) and what the settings dialog writes (the
#              registration file, the settings file) are byte-identical
#              to the first locale's
#   pictures   zortool's render and the saver's first page match the first
#              locale's, pixel by pixel within a small tolerance
# Prints a table of the locales and the checks; the last line is "N passed,
# N failed".
#   tests/code_pages/run.sh [all | LOCALE...]   (default: ja_JP en_US)
set -u
source "$(dirname "$0")/../../scripts/lib.sh"
cd "$ZOR_ROOT" || exit 1

declare -A ACP=([ja_JP]=932 [zh_CN]=936 [ko_KR]=949 [de_DE]=1252 [en_US]=1252)
LOCALES=(ja_JP en_US)
if [ "${1:-}" = all ]; then
  LOCALES=(ja_JP zh_CN ko_KR de_DE en_US)
elif [ $# -gt 0 ]; then
  LOCALES=("$@")
fi
for l in "${LOCALES[@]}"; do
  [ -n "${ACP[$l]:-}" ] || { echo "unknown locale $l (one of: ${!ACP[*]})"; echo "0 passed, 1 failed"; exit 1; }
done
for f in build/windows/zortool.exe build/windows/zorante.scr build/windows/e2e_host.exe build/native/zortool; do
  [ -e "$f" ] || { echo "missing $f (build both presets first)"; echo "0 passed, 1 failed"; exit 1; }
done

OUT="$ZOR_ROOT/build/code-pages"
LOGS="$OUT/logs"
rm -rf "$OUT"
mkdir -p "$LOGS"
export ZOR_LOCPATH="$ZOR_ROOT/build/locales"

declare -A RESULT
passed=0
failed=0
# result LOCALE CHECK ok|TEXT: a cell of the table and a tally.
result() {
  RESULT["$1,$2"]="$3"
  if [ "$3" = ok ] || [ "$3" = same ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL $1 $2: $3"; fi
}

# zortool's writes, in a folder and under names beyond ASCII, moved into $1
# afterwards: the folder's path (written into the files) is the same in every locale.
zortool_writes() {
  local out="$1" tool dir w rc
  tool="$ZOR_ROOT/build/windows/zortool.exe"
  dir="$OUT/work/作業ー場ｶﾅ"
  rm -rf "$OUT/work"
  mkdir -p "$dir" "$out"
  w=$(winepath -w "$dir")
  printf '夜明けの前が一番暗い\nﾃﾞｰﾀｰ～①∥\nRome ー 一歩\n' >"$dir/utf8.txt"
  iconv -f UTF-8 -t CP932 "$dir/utf8.txt" | sed 's/$/\r/' >"$dir/sjis.txt"
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$dir/utf8.txt"; } >"$dir/utf16.txt"
  printf '[ZORANTE]\r\nLoadFileName=%s\r\nBgBMPDir=%s\r\n' "$w\\言葉ー.zrd" "$w\\ｶﾅ画像" |
    iconv -f UTF-8 -t CP932 >"$dir/ZORANTE.ini"
  (
    cd "$dir" || exit 1
    wine "$tool" new 言葉ー.zrd &&
      wine "$tool" add 言葉ー.zrd '夜明けの前が一番暗い' &&
      wine "$tool" add 言葉ー.zrd 'ﾃﾞｰﾀｰ～①∥ \date' &&
      wine "$tool" add 言葉ー.zrd 'Rome ー 一歩' &&
      wine "$tool" format 言葉ー.zrd 1 --marks 1,3 --emphasis marked --fold 4 --layout A &&
      wine "$tool" move 言葉ー.zrd 3 -1 &&
      wine "$tool" options 言葉ー.zrd --interval 4000 --scheme 2 --colour 5 &&
      wine "$tool" import sjis.txt --encoding cp932 &&
      wine "$tool" import utf8.txt &&
      wine "$tool" import utf16.txt &&
      wine "$tool" export 言葉ー.zrd 書き出しｶﾅ.txt &&
      wine "$tool" export 言葉ー.zrd 書き出し8.txt --utf8 &&
      wine "$tool" font "$w\\ZORANTE.ini" IPA明朝 IPAMincho
  ) >"$out/zortool-writes.log" 2>&1
  rc=$?
  mv "$dir" "$out/"
  return $rc
}

# The number of pixels of $1 and $2 more than 8 % apart, or "size" when the sizes differ.
pixels_apart() {
  [ "$(identify -format '%wx%h' "$1")" = "$(identify -format '%wx%h' "$2")" ] || { echo size; return; }
  compare -metric AE -fuzz 8% "$1" "$2" null: 2>&1 | sed 's/[^0-9].*//'
}

ZOR_FORCE_XVFB=1 zor_start_xvfb 1024x768x24 || { echo "no X server"; echo "0 passed, 1 failed"; exit 1; }
for l in "${LOCALES[@]}"; do
  zor_log "locale $l"
  zor_locale_data "$l.UTF-8" || { result "$l" "code page" "no locale data"; continue; }
  dir="$OUT/$l"
  mkdir -p "$dir"
  (
    export LOCPATH="$ZOR_LOCPATH"
    # (The shell itself does not see LOCPATH: its own complaint is left unsaid.)
    { export LANG="$l.UTF-8" LC_ALL="$l.UTF-8"; } 2>/dev/null
    export ZOR_WINEPREFIX="$ZOR_ROOT/build/wine/code-page-$l"
    zor_wine_prefix fresh || exit 1
    wine build/windows/e2e_host.exe codepage | tr -d '\r' >"$dir/codepage"
    bash tests/cli/zortool_cli.sh wine build/windows/zortool.exe >"$LOGS/$l-zortool.log" 2>&1
    zortool_writes "$dir/zortool" || echo "zortool's writes failed: see $dir/zortool/zortool-writes.log"
    ZOR_CODE_PAGE_OUT="$dir/e2e" bash tests/e2e/run.sh settings_edits file_commands saver_covers code_page \
      preview_with_debug >"$LOGS/$l-e2e.log" 2>&1
    zor_wine_stop
  )
  rm -rf "$ZOR_ROOT/build/wine/code-page-$l"
  read -r acp _ name <"$dir/codepage" 2>/dev/null || acp=""
  [ "${acp:-}" = "${ACP[$l]}" ] && result "$l" "code page" ok || result "$l" "code page" "ACP ${acp:-none} (${name:-?})"
  for suite in zortool e2e; do
    last=$(tail -n 1 "$LOGS/$l-$suite.log")
    [[ "$last" =~ ^[1-9][0-9]*\ passed,\ 0\ failed$ ]] && result "$l" "$suite" ok || result "$l" "$suite" "$last"
  done
done
zor_stop_xvfb

# Every locale against the first.
first="${LOCALES[0]}"
( cd "$OUT/$first" && find zortool e2e -type f ! -name '*.png' ! -name '*.log' | sort ) >"$OUT/files"
for l in "${LOCALES[@]}"; do
  [ "$l" = "$first" ] && { result "$l" files same; continue; }
  differ=""
  while read -r f; do
    cmp -s "$OUT/$first/$f" "$OUT/$l/$f" || differ="$differ ${f##*/}"
  done <"$OUT/files"
  [ -s "$OUT/files" ] || differ=" nothing written"
  [ -z "$differ" ] && result "$l" files same || result "$l" files "differ:$differ"
done
for l in "${LOCALES[@]}"; do
  [ "$l" = "$first" ] && { result "$l" pictures same; continue; }
  bad=""
  for p in render first-page; do
    a="$OUT/$first/e2e/$p.png" b="$OUT/$l/e2e/$p.png"
    if [ ! -f "$a" ] || [ ! -f "$b" ]; then bad="$bad $p:missing"; continue; fi
    n=$(pixels_apart "$a" "$b")
    # A tenth of a percent of the pixels: anti-aliasing, never a changed word or face.
    total=$(identify -format '%[fx:w*h]' "$a")
    [ "$n" != size ] && [ $((n * 1000)) -le "$total" ] || bad="$bad $p:$n"
  done
  [ -z "$bad" ] && result "$l" pictures same || result "$l" pictures "differ:$bad"
done

printf '\n| Locale | ANSI code page |'
checks=("code page" zortool e2e files pictures)
for c in "${checks[@]}"; do printf ' %s |' "$c"; done
printf '\n|---|---|'
for _ in "${checks[@]}"; do printf -- '---|'; done
printf '\n'
for l in "${LOCALES[@]}"; do
  printf '| %s | %s |' "$l" "${ACP[$l]}"
  for c in "${checks[@]}"; do printf ' %s |' "${RESULT["$l,$c"]:-not run}"; done
  printf '\n'
done
echo "${passed} passed, ${failed} failed"
[ "$failed" -eq 0 ]
