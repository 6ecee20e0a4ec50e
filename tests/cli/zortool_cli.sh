#!/usr/bin/env bash
# zortool as a user runs it: the kanji date and time table, usage and
# refusals with their exit codes. Arguments: the command that runs zortool
# (build/native/zortool, or wine build/windows/zortool.exe).
set -u
TOOL=("$@")
# The program named absolutely: the file cases run in a folder of their own.
for i in "${!TOOL[@]}"; do
  [[ "${TOOL[$i]}" == */* && -e "${TOOL[$i]}" ]] && TOOL[$i]=$(cd "$(dirname "${TOOL[$i]}")" && pwd)/$(basename "${TOOL[$i]}")
done
# zortool.exe names files with the Windows separator.
SEP=/
[[ "${TOOL[-1]}" == *.exe ]] && SEP='\'
passed=0
failed=0

pass() { passed=$((passed + 1)); }
fail() { failed=$((failed + 1)); echo "FAIL $*"; }

# expect_out EXPECTED ARGS...: exit 0, stdout exactly EXPECTED, stderr empty.
expect_out() {
  local expected="$1"
  shift
  local out err rc
  err=$(mktemp)
  out=$("${TOOL[@]}" "$@" 2>"$err" | tr -d '\r')
  rc=${PIPESTATUS[0]}
  if [ "$rc" -eq 0 ] && [ "$out" = "$expected" ] && [ ! -s "$err" ]; then pass; else
    fail "zortool $* -> rc $rc, out '$out', err '$(cat "$err")' (expected '$expected')"
  fi
  rm -f "$err"
}

# expect_import OUT ARGS...: exit 0, stdout OUT, the import's report as one line on stderr.
expect_import() {
  local expected="$1"
  shift
  local out err rc
  err=$(mktemp)
  out=$("${TOOL[@]}" "$@" 2>"$err" | tr -d '\r')
  rc=${PIPESTATUS[0]}
  if [ "$rc" -eq 0 ] && [ "$out" = "$expected" ] && [ "$(wc -l <"$err")" -eq 1 ] &&
    grep -q '^zortool: import: read as ' "$err"; then pass; else
    fail "zortool $* -> rc $rc, out '$out', err '$(cat "$err")' (expected '$expected' and a report)"
  fi
  rm -f "$err"
}

# expect_rc CODE ARGS...: exit CODE, nothing on stdout, one line on stderr.
expect_rc() {
  local code="$1"
  shift
  local out err rc lines
  err=$(mktemp)
  out=$("${TOOL[@]}" "$@" 2>"$err")
  rc=$?
  lines=$(tr -d '\r' <"$err" | grep -c .)
  if [ "$rc" -eq "$code" ] && [ -z "$out" ] && [ "$lines" -eq 1 ]; then pass; else
    fail "zortool $* -> rc $rc (expected $code), out '$out', stderr lines $lines"
  fi
  rm -f "$err"
}

while IFS='|' read -r args expected; do
  [ -n "$args" ] || continue
  # shellcheck disable=SC2086
  expect_out "$expected" $args
done <<'TABLE'
date --unit-year 1997/12/25|西暦千九百九十七年十二月二十五日
date 1997/12/25|西暦一九九七年十二月二十五日
date --formal --unit-year 1997/12/25|西暦千九百九拾七年拾弐月弐拾伍日
date --formal 1997/12/25|西暦壱九九七年拾弐月弐拾伍日
date --unit-year 2000/01/01|西暦二千年一月一日
date 2000/01/01|西暦二○○○年一月一日
date --formal 2000/01/01|西暦弐○○○年壱月壱日
date --unit-year 2010/10/10|西暦二千十年十月十日
date --unit-year 2001/11/20|西暦二千一年十一月二十日
date --unit-year 1100/05/05|西暦千百年五月五日
date --unit-year 2026-12-07|西暦二千二十六年十二月七日
time 00:00:00|午前○時○分
time --formal 00:00:00|午前零時零分
time 12:00:00|午後○時○分
time 09:05:00|午前九時五分
time 10:10:00|午前十時十分
time 15:30:00|午後三時三十分
time --formal 15:30:00|午後参時参拾分
time 20:01:00|午後八時一分
time 23:59:00|午後十一時五十九分
TABLE

# The version is the project's, as CMakeLists.txt declares it.
version=$(sed -n 's/^project(zorante VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
if [ -n "$version" ]; then expect_out "zortool $version" --version; else fail "no version in CMakeLists.txt"; fi

# Today and now have the shape of a kanji date and time.
today=$("${TOOL[@]}" date | tr -d '\r')
if [[ "$today" == 西暦*年*月*日 ]]; then pass; else fail "date today: '$today'"; fi
now=$("${TOOL[@]}" time --formal | tr -d '\r')
if [[ "$now" == 午[前後]*時*分 ]]; then pass; else fail "time now: '$now'"; fi

expect_rc 2
expect_rc 2 bogus
expect_rc 2 date --bogus
expect_rc 2 date 1997/12/25 1998/01/01
expect_rc 1 date 1997/13/25
expect_rc 1 date 1997/12/2
expect_rc 1 date abcdefghij
expect_rc 1 date 2023/02/29
expect_rc 1 time 24:00:00
expect_rc 1 time 12:00
expect_rc 1 date "$(head -c 5000 /dev/zero | tr '\0' '9')"
expect_rc 2 font
expect_rc 2 font ZORANTE.ini
expect_rc 2 font ZORANTE.ini " IPAMincho"
expect_rc 2 font ZORANTE.ini IPAMincho --bogus

# expect_err CODE STDERR ARGS...: exit CODE, nothing on stdout, stderr exactly "zortool: STDERR".
expect_err() {
  local code="$1" expected="$2"
  shift 2
  local out err rc
  err=$(mktemp)
  out=$("${TOOL[@]}" "$@" 2>"$err")
  rc=$?
  if [ "$rc" -eq "$code" ] && [ -z "$out" ] && [ "$(tr -d '\r' <"$err")" = "zortool: $expected" ]; then pass; else
    fail "zortool $* -> rc $rc (expected $code), out '$out', err '$(cat "$err")' (expected 'zortool: $expected')"
  fi
  rm -f "$err"
}

# Files: what a failure says about the target, and paths in the platform's separators.
work=$(mktemp -d)
pushd "$work" >/dev/null || exit 1
mkdir sub
printf 'abc\r\n' >sub/memo.txt
expect_out "" new a.zrd
expect_out "" add a.zrd abc
expect_err 1 "nodir${SEP}x.zrd を作成できませんでした。" new nodir/x.zrd
expect_err 1 "nodir${SEP}out.txt を作成できませんでした。" export a.zrd nodir/out.txt
expect_err 1 "指定のファイルは存在しません" import nodir/memo.txt
expect_import "sub${SEP}memo.zrd
1" import sub/memo.txt
expect_out "sub${SEP}out.txt" export sub/memo.zrd sub/out.txt
expect_out "abc" list sub/memo.zrd
[ ! -e nodir ] && pass || fail "a folder was made for a file that could not be"
if [ "$SEP" = '\' ]; then
  # A bare settings name is the file in the current folder, not one in the Windows folder.
  "${TOOL[@]}" new r.zrd >/dev/null 2>&1
  "${TOOL[@]}" add r.zrd "継続は力なり" >/dev/null 2>&1
  for deco in 0 2; do
    printf '[ZORANTE]\r\nUseFont=IPAMincho\r\nDecoFont=%s\r\n' "$deco" >"deco$deco.ini"
    "${TOOL[@]}" render r.zrd 1 --layout A --ground black --size 160x120 --settings "deco$deco.ini" --out "deco$deco.png" >/dev/null 2>&1
  done
  if [ -s deco0.png ] && [ -s deco2.png ] && ! cmp -s deco0.png deco2.png; then pass; else
    fail "render --settings NAME did not read NAME in the current folder"
  fi
fi
# The same ten messages in every encoding the import reads give the same registration file.
cat >ten.utf8 <<'TEXT'
今日は良い天気です
ｶﾀｶﾅ と ascii
～の代わりに～
第一の文章
会議は１０時から
漢字かなカナ
ＡＢＣ全角
さようなら
℃と㈱と①
長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い長い
TEXT
sed 's/$/\r/' ten.utf8 >ten-crlf.utf8
iconv -f UTF-8 -t CP932 ten-crlf.utf8 >ten-cp932.txt
# Unicode files hold the wave dash where CP932 holds the full-width tilde.
sed 's/～/〜/g' ten-crlf.utf8 >ten-utf8.txt
{ printf '\xEF\xBB\xBF'; cat ten-utf8.txt; } >ten-utf8-bom.txt
{ printf '\xFF\xFE'; iconv -f UTF-8 -t UTF-16LE ten-utf8.txt; } >ten-utf16le.txt
{ printf '\xFE\xFF'; iconv -f UTF-8 -t UTF-16BE ten-utf8.txt; } >ten-utf16be.txt
for kind in cp932 utf8 utf8-bom utf16le utf16be; do
  expect_import "ten-$kind.zrd
10" import "ten-$kind.txt"
  if cmp -s "ten-cp932.zrd" "ten-$kind.zrd"; then pass; else fail "ten-$kind.txt imports to other bytes than ten-cp932.txt"; fi
done
expect_out "ten-back.txt" export ten-utf8.zrd ten-back.txt --utf8
# The export holds CP932's tilde, as stored.
if [ "$(printf '\xEF\xBB\xBF'; cat ten-crlf.utf8)" = "$(cat ten-back.txt)" ]; then pass; else
  fail "a UTF-8 export is not the messages with a byte-order mark and CR LF"
fi

# Japanese text as Debian packages ship it (a manual page of passwd in UTF-8,
# a menu file of vim-runtime in EUC-JP, where installed) converted with iconv
# into every encoding: each is read as the same messages, and the report
# names the encoding the guess chose.
real=()
if [ -r /usr/share/man/ja/man1/chage.1.gz ]; then zcat /usr/share/man/ja/man1/chage.1.gz >real-man.utf8 && real+=(real-man); fi
vimmenu=/usr/share/vim/vim90/lang/menu_ja_jp.euc-jp.vim
if [ -r "$vimmenu" ]; then iconv -f EUC-JP -t UTF-8 "$vimmenu" >real-vim.utf8 && real+=(real-vim); fi
if [ "${#real[@]}" -eq 0 ]; then
  echo "note: no Japanese text of Debian packages found here; the ten messages stand in"
  cp ten.utf8 real-ten.utf8
  real=(real-ten)
fi
for base in "${real[@]}"; do
  # What every encoding holds: the text through EUC-JP (JIS X 0208).
  iconv -f UTF-8 -t EUC-JP -c "$base.utf8" >"$base-euc.txt"
  iconv -f EUC-JP -t UTF-8 "$base-euc.txt" >"$base-utf8.txt"
  iconv -f EUC-JP-MS -t CP932 "$base-euc.txt" >"$base-sjis.txt"
  iconv -f UTF-8 -t ISO-2022-JP "$base-utf8.txt" >"$base-jis.txt"
  iconv -f UTF-8 -t UTF-16LE "$base-utf8.txt" >"$base-u16le.txt"
  iconv -f UTF-8 -t UTF-16BE "$base-utf8.txt" >"$base-u16be.txt"
  for kind in utf8:UTF-8 sjis:Shift_JIS euc:EUC-JP jis:ISO-2022-JP u16le:"UTF-16 LE" u16be:"UTF-16 BE"; do
    file=$base-${kind%%:*}
    rm -f "$file.zrd"
    if "${TOOL[@]}" import "$file.txt" --no-limit >"$file.out" 2>"$file.err" && [ -s "$file.zrd" ] &&
      grep -q "^zortool: import: read as ${kind#*:}, " "$file.err"; then pass; else
      fail "$file.txt: not imported as ${kind#*:}: $(tr -d '\r' <"$file.err")"
    fi
    if cmp -s "$base-utf8.zrd" "$file.zrd"; then pass; else fail "$file.txt imports to other messages than $base-utf8.txt"; fi
  done
  count=$(tail -n 1 "$base-utf8.out" | tr -d '\r')
  if [ "${count:-0}" -ge 8 ]; then pass; else fail "$base: only '${count}' messages registered"; fi
done
# No TAB, NUL or other control character is stored; a TAB becomes a blank.
printf 'a\tb\r\nc\000d\r\ne\033f\r\ng\r\nh\r\n' >controls.txt
expect_import "controls.zrd
3" import controls.txt
expect_out "a b
g
h" list controls.zrd
# A binary file and Latin-1 text are refused with a reason; nothing is made.
head -c 4000 "${TOOL[-1]}" >binary.txt
printf 'Le caf\351 \351tait tr\350s bon.\r\n\334ber die Br\374cke.\r\nGr\366\337ere \304pfel.\r\n' >latin1.txt
for f in binary latin1; do
  expect_rc 1 import "$f.txt"
  if [ ! -e "$f.zrd" ]; then pass; else fail "$f.txt: a registration file was made"; fi
done
# A forced encoding that does not fit says so, exits 1 and makes nothing.
untitled=$(ls 無題*.zrd 2>/dev/null | wc -l)
expect_rc 1 import ten-cp932.txt --encoding utf-8
if [ "$(ls 無題*.zrd 2>/dev/null | wc -l)" -eq "$untitled" ]; then pass; else fail "a forced encoding that does not fit made a file"; fi
# zortool add stores the wave dash as the entry form does.
expect_out "" new wave.zrd
expect_out "" add wave.zrd "十時〜十一時"
expect_out "十時～十一時" list wave.zrd
popd >/dev/null || exit 1
rm -rf "$work"

echo "${passed} passed, ${failed} failed"
[ "$failed" -eq 0 ]
