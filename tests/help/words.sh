#!/usr/bin/env bash
# Finds the words the help and setup replaced with the program's own
# (docs/help/glossary.html) in the given files:
#   tests/help/words.sh FILE...
# A page may still quote the screen: button and field names
# (<span class="ui">), the messages' cells (<td class="message">) and the
# glossary's example and avoided-word cells are not searched. Prints each
# hit as FILE:LINE: WORD and fails when there is one.
set -u
[ "$#" -gt 0 ] || { echo "usage: words.sh FILE..." >&2; exit 2; }

# Japanese words, then English ones (whole words, any case).
JA=(メッセージファイル メッセージ集 メッセージ一覧 フォルダー ビュワー ｱﾝｲﾝｽﾄｰﾙ)
EN=('message files?' 'my messages')

# A file's lines without the quoted texts; the glossary's own name of the
# error-message page stays a word of its own.
own_text() {
  sed -E 's:<span class="ui">[^<]*</span>::g
          s:<td class="(message|screen|avoid)"[^>]*>([^<]|<br>)*</td>::g
          s:エラーメッセージ一覧::g' "$1"
}

found=0
for f in "$@"; do
  [ -f "$f" ] || { echo "$f: no such file" >&2; found=1; continue; }
  for w in "${JA[@]}"; do
    while IFS= read -r line; do echo "$f:${line%%:*}: $w"; found=1; done < <(own_text "$f" | grep -nF "$w")
  done
  for w in "${EN[@]}"; do
    while IFS= read -r line; do echo "$f:${line%%:*}: $w"; found=1; done < <(own_text "$f" | grep -niwE "$w")
  done
done
exit "$found"
