#!/usr/bin/env bash
# Shows that tests/help/words.sh flags each replaced word in a page's own
# sentences and in setup's texts, and passes the screen's quoted texts.
# The last line is "N passed, N failed".
set -u
WORDS="$(cd "$(dirname "$0")" && pwd)/words.sh"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# shellcheck source=tests/help/tally.sh
source "$(dirname "${BASH_SOURCE[0]}")/tally.sh"
# flags TEXT: words.sh fails on a file holding TEXT.
flags() { printf '%s\n' "$1" >"$TMP/page.html"; ! bash "$WORDS" "$TMP/page.html" >/dev/null; }
passes() { printf '%s\n' "$1" >"$TMP/page.html"; bash "$WORDS" "$TMP/page.html"; }

check "a sentence with メッセージファイル" flags '<p>メッセージファイルを開きます。</p>'
check "a sentence with メッセージ集" flags '<p>メッセージ集を選びます。</p>'
check "a link named メッセージ一覧" flags '<a href="messages.html">メッセージ一覧</a>'
check "a sentence with フォルダー" flags '<p>プログラム フォルダーに置きます。</p>'
check "ビュワー outside a button's name" flags '<p>ビュワーで開きます。</p>'
check "half-width ｱﾝｲﾝｽﾄｰﾙ" flags 'LangString X 0 "ｱﾝｲﾝｽﾄｰﾙ"'
check "English message files" flags 'LangString X 0 "Your Message files are kept."'
check "English my messages" flags 'LangString X 0 "Also remove my messages"'
check "the word after a quoted one" flags '<p><span class="ui">［ビュワー］</span>のフォルダー</p>'

check "the button ［ビュワー］ as it reads" passes '<p><span class="ui">［ビュワー］</span>をクリックします。</p>'
check "a message cell as the program shows it" passes '<tr><td class="message">（フォルダー名） に<br>作れません。</td><td>説明</td></tr>'
check "the glossary's avoided words" passes '<tr><td>登録ファイル</td><td>説明</td><td class="screen">［ビュワー］</td><td class="avoid">メッセージファイル、メッセージ集、フォルダー</td></tr>'
check "the page エラーメッセージ一覧" passes '<a href="messages.html">エラーメッセージ一覧</a>'
check "the program's words" passes '<p>登録ファイルの文章を、フォルダの画像とビューワーで確かめます。</p>'
check "message alone, and messages elsewhere in English" passes 'LangString X 0 "the messages of a registration file"'
check "no file is an error" bash -c "! bash '$WORDS' '$TMP/none.html' 2>/dev/null"

echo "${passed} passed, ${failed} failed"
[ "$failed" -eq 0 ]
