#!/usr/bin/env bash
# Shows that tests/help/browser_check.py fails on each fault it is meant to
# catch: it checks a small manual of good pages and of pages with one fault
# each, and must flag every faulty page for its fault and no good page.
# The last line is "N passed, N failed".
set -u
HERE="$(cd "$(dirname "$0")" && pwd)"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
HELP="$TMP/build/help"
mkdir -p "$HELP/images"

# shellcheck source=tests/help/tally.sh
source "$(dirname "${BASH_SOURCE[0]}")/tally.sh"

# page NAME TITLE BODY [no-viewport]
page() {
  local viewport='<meta name="viewport" content="width=device-width, initial-scale=1">'
  [ "${4:-}" != no-viewport ] || viewport=""
  printf '<!DOCTYPE html>\n<html lang="ja">\n<head>\n<meta charset="utf-8">\n%s\n<title>%s</title>\n</head>\n<body>\n%s\n</body>\n</html>\n' \
    "$viewport" "$2" "$3" >"$HELP/$1"
}

convert -size 40x20 xc:'#2b4f81' "$HELP/images/ok.png"
page good.html '良いページ' '<p><img src="images/ok.png" alt="見本"> <a href="other.html#there">ほか</a> <a href="#here">ここ</a> <a href="mailto:a@example.org">メール</a></p><p id="here">本文</p>'
page other.html 'ほかのページ' '<p id="there">ここです。</p>'
page nopic.html '画像がない' '<p><img src="images/missing.png" alt="ない画像"></p>'
page nofile.html 'リンク先がない' '<p><a href="gone.html">なくなったページ</a></p>'
page noanchor.html 'アンカーがない' '<p><a href="other.html#nowhere">ない場所</a></p>'
page wide.html '幅が広い' '<div style="width: 700px">幅 700 px の段落</div>'
page script.html 'スクリプトの誤り' '<script>noSuchFunction();</script>'
page console.html 'コンソールの誤り' '<script>console.error("壊れています");</script>'
page notitle.html '' '<p>題のないページ</p>'
page noviewport.html 'ビューポートがない' '<p>携帯電話では 980 px の幅で組まれるページ</p>' no-viewport

python3 "$HERE/browser_check.py" "$TMP/build" "$TMP/shots" >"$TMP/log" 2>&1
rc=$?
sed 's/^/  | /' "$TMP/log"

flagged() { grep -qxF "FAIL $1" "$TMP/log"; }
says() { grep -qF "$1" "$TMP/log"; }
check "the check fails" [ "$rc" -ne 0 ]
check "the good pages pass" bash -c "! grep -qE '^FAIL (good|other)\.html' '$TMP/log'"
check "a missing picture" flagged "nopic.html at 1280x800: every picture loaded"
check "a missing picture, on a phone" flagged "nopic.html at 390x844: every picture loaded"
check "a missing picture is a failed load" says "ERR_FILE_NOT_FOUND file://$HELP/images/missing.png"
check "a link to a missing page" flagged "nofile.html at 1280x800: every local link and anchor exists"
check "a link to a missing page, named" says "gone.html: no file gone.html"
check "a link to a missing anchor" flagged "noanchor.html at 1280x800: every local link and anchor exists"
check "a link to a missing anchor, named" says "other.html#nowhere: no id nowhere in other.html"
check "text wider than a phone" flagged "wide.html at 390x844: fits the window"
check "but not than a wide window" bash -c "! grep -qxF 'FAIL wide.html at 1280x800: fits the window' '$TMP/log'"
check "a script error" flagged "script.html at 1280x800: no script or console error"
check "a console error" flagged "console.html at 390x844: no script or console error"
check "a page without a title" flagged "notitle.html at 1280x800: has a title"
check "a page without a viewport" flagged "noviewport.html at 390x844: fits the window"
check "a screenshot of each page at each size" [ "$(find "$TMP/shots" -name '*.png' | wc -l)" -eq 20 ]
check "nothing else fails" [ "$(grep -c '^FAIL' "$TMP/log")" -eq 14 ]

echo "${passed} passed, ${failed} failed"
[ "$failed" -eq 0 ]
