#!/usr/bin/env bash
# Checks the user's manual as the Windows build leaves it:
#   tests/help/check.sh BUILD_DIR
# Every page of docs/help is in BUILD_DIR/zorante.chm (as 7z lists it), in
# the contents and in the plain HTML copy BUILD_DIR/help; every link and
# picture of the pages, the contents and the index names a file that exists
# (and an anchor that exists); the project's title, default topic and
# language; the navigation bars the build adds; and the compiled project
# holds its Japanese text in CP932, the code page of a Japanese help project. The last line is "N passed, N failed".
# shellcheck disable=SC2317 # the checks run through check()
set -u
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${1:?usage: check.sh BUILD_DIR}"
case "$BUILD" in /*) ;; *) BUILD="$ROOT/$BUILD" ;; esac
SRC="$ROOT/docs/help"
CHM="$BUILD/zorante.chm"
PLAIN="$BUILD/help"

# shellcheck source=tests/help/tally.sh
source "$(dirname "${BASH_SOURCE[0]}")/tally.sh"
finish() {
  rm -rf "$TMP"
  echo "${passed} passed, ${failed} failed"
  [ "$failed" -eq 0 ]
  exit
}

TMP=$(mktemp -d)
PAGES=()
for f in "$SRC"/*.html; do PAGES+=("$(basename "$f")"); done

check "there are pages" [ "${#PAGES[@]}" -gt 1 ]
check "the CHM exists" [ -s "$CHM" ]
if ! 7z l -slt "$CHM" >"$TMP/list" 2>&1; then
  check "7z lists the CHM" false
  finish
fi
sed -n 's/^Path = //p' "$TMP/list" >"$TMP/names"
(cd "$TMP" && mkdir chm && cd chm && 7z x -y "$CHM" >/dev/null 2>&1)

in_chm() { grep -qxF "$1" "$TMP/names"; }

# The text of a sitemap's Local values and a page's href/src values, one a line.
locals() { grep -oE '<param name="Local" value="[^"]*"' "$1" | sed 's/.*value="//; s/"$//'; }
links() { grep -oE '(href|src)="[^"]*"' "$1" | sed 's/^[a-z]*="//; s/"$//'; }

# A link from FILE (in folder DIR) resolves: the file exists and, with
# #anchor, that page has an element with that id.
resolves() {
  local dir="$1" from="$2" link="$3" path anchor
  case "$link" in
    http:* | https:* | mailto:*) return 0 ;;
  esac
  path="${link%%#*}"
  anchor=""
  [ "$path" = "$link" ] || anchor="${link#*#}"
  [ -n "$path" ] || path="$from"
  [ -f "$dir/$path" ] || { echo "  $from: $link: no file $path"; return 1; }
  if [ -n "$anchor" ] && ! grep -qF "id=\"$anchor\"" "$dir/$path"; then
    echo "  $from: $link: no id $anchor in $path"
    return 1
  fi
}

all_resolve() {  # DIR FILE LISTER
  local dir="$1" file="$2" lister="$3" link ok=0
  while IFS= read -r link; do
    resolves "$dir" "$(basename "$file")" "$link" || ok=1
  done < <("$lister" "$dir/$file")
  return "$ok"
}

title_of() { sed -n 's:.*<title>\(.*\)</title>.*:\1:p' "$1" | head -n 1; }
toc_names() { grep -oE '<param name="Name" value="[^"]*"><param name="Local" value="[^"#]*"' "$1" | sed 's/.*Name" value="//; s/"><param name="Local" value="/\t/; s/"$//'; }

for p in "${PAGES[@]}"; do
  check "$p is in the CHM" in_chm "$p"
  check "$p is in the contents" grep -qF "value=\"$p\"" "$SRC/zorante.hhc"
  check "$p is in the project's files" grep -qxF "$p" "$SRC/zorante.hhp"
  # The build adds only the navigation bars, one line each.
  check "$p is in the plain HTML" bash -c "grep -v '^<div class=\"nav ' '$PLAIN/$p' | cmp -s '$SRC/$p' -"
  check "$p is UTF-8 and says so" bash -c "iconv -f UTF-8 -t UTF-8 '$SRC/$p' >/dev/null && [ \"\$(grep -cF '<meta charset=\"utf-8\">' '$SRC/$p')\" = 1 ]"
  check "$p: every link and picture resolves" all_resolve "$SRC" "$p" links
  # The contents entry carries the page's own title.
  check "$p: the contents name it by its title" grep -qxF "$(title_of "$SRC/$p")"$'\t'"$p" <(toc_names "$SRC/zorante.hhc")
  # The compiled page is the source in CP932 with a Shift_JIS meta tag.
  check "$p is CP932 in the CHM" bash -c "sed 's|<meta charset=\"utf-8\">|<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">|' '$PLAIN/$p' | iconv -f UTF-8 -t CP932 | cmp -s - '$TMP/chm/$p'"
done

# The navigation bars, at the top and the bottom of each built page: the
# contents (but on the contents page itself), then the previous and the
# next page in the order of the contents.
ORDER=()
while IFS= read -r p; do
  case " ${ORDER[*]} " in *" $p "*) ;; *) ORDER+=("$p") ;; esac
done < <(locals "$SRC/zorante.hhc" | sed 's/#.*//')
bar_links() { grep -oE '<a class="nav-[a-z]*" href="[^"]*"( rel="[a-z]*")?' | sed 's/<a class="nav-//; s/" href="/ /; s/".*//'; }
for i in "${!ORDER[@]}"; do
  p="${ORDER[i]}"
  want=""
  [ "$i" -eq 0 ] || want+="home index.html"$'\n'"prev ${ORDER[i - 1]}"$'\n'
  [ $((i + 1)) -ge "${#ORDER[@]}" ] || want+="next ${ORDER[i + 1]}"$'\n'
  for place in top bottom; do
    check "$p: the $place bar leads to the contents and its neighbours" \
      [ "$(grep -F "<div class=\"nav nav-$place\">" "$PLAIN/$p" | bar_links)"$'\n' = "$want" ]
  done
done
check "the bars' order holds every page" [ "${#ORDER[@]}" -eq "${#PAGES[@]}" ]

# The pages F1 opens in the dialogs.
f1_pages() { grep -oE 'L"[a-z_-]+\.html(#[a-z_-]+)?"' "$ROOT/src/win/settings_dialog/help_pages.cpp" | sed 's/^L"//; s/"$//'; }
check "every dialog's F1 page resolves" all_resolve "$SRC" help_pages f1_pages
check "the dialogs' F1 pages are listed" [ "$(f1_pages | wc -l)" -ge 11 ]
check "the contents' links resolve" all_resolve "$SRC" zorante.hhc locals
check "the index's links resolve" all_resolve "$SRC" zorante.hhk locals
check "the index has entries" [ "$(locals "$SRC/zorante.hhk" | wc -l)" -gt 20 ]
# The help's and setup's own sentences use the program's words (glossary.html).
check "the help and setup use the program's words" bash "$ROOT/tests/help/words.sh" "$SRC"/*.html \
  "$SRC/zorante.hhc" "$SRC/zorante.hhk" "$ROOT/installer/zorante.nsi" "$ROOT/installer/readme.txt"

# Pictures: each one is shown somewhere, reaches the CHM and the plain HTML.
for img in "$SRC"/images/*.png; do
  name="images/$(basename "$img")"
  check "$name is shown on a page" grep -qF "src=\"$name\"" "${PAGES[@]/#/$SRC/}"
  check "$name is in the CHM" in_chm "$name"
  check "$name is in the plain HTML" cmp -s "$img" "$PLAIN/$name"
done
check "the pictures stay under 2 MB" [ "$(cat "$SRC"/images/*.png | wc -c)" -lt 2000000 ]
check "style.css is in the CHM and the plain HTML" bash -c "grep -qxF style.css '$TMP/names' && cmp -s '$SRC/style.css' '$PLAIN/style.css'"
check "style.css is ASCII" bash -c "! LC_ALL=C grep -q '[^ -~]' '$SRC/style.css'"

# The project.
hhp_value() { tr -d '\r' <"$SRC/zorante.hhp" | sed -n "s/^$1=//p"; }
check "the title is ZORANTE ヘルプ" [ "$(hhp_value Title)" = "ZORANTE ヘルプ" ]
check "the default topic is index.html" [ "$(hhp_value 'Default topic')" = index.html ]
# The viewer's window: the default one, captioned with the title, with the contents and the index.
check "the default window shows the title, contents and index" \
  [ "$(hhp_value "$(hhp_value 'Default Window')" | cut -d, -f1-3)" = '"ZORANTE ヘルプ","zorante.hhc","zorante.hhk"' ]
check "the language is Japanese (0x411)" bash -c "[ \"\$(tr -d '\r' <'$SRC/zorante.hhp' | sed -n 's/^Language=\(0x[0-9a-fA-F]*\).*/\1/p' | tr A-F a-f)\" = 0x411 ]"
check "the index page is the first of the contents" [ "$(locals "$SRC/zorante.hhc" | head -n 1)" = index.html ]

# The compiled project in CP932: the contents and the index as compiled are
# the sources in CP932, and the title reaches the CHM's system file in CP932.
for f in zorante.hhc zorante.hhk; do
  check "$f is in the CHM in CP932" bash -c "iconv -f UTF-8 -t CP932 '$SRC/$f' | cmp -s - '$TMP/chm/$f'"
  check "$f in the CHM reads back as its source" bash -c "iconv -f CP932 -t UTF-8 '$TMP/chm/$f' | cmp -s - '$SRC/$f'"
done
sjis_title=$(printf 'ZORANTE ヘルプ' | iconv -f UTF-8 -t CP932 | od -An -tx1 | tr -d ' \n')
check "the CHM's title is CP932" bash -c "od -An -tx1 '$TMP/chm/#SYSTEM' | tr -d ' \n' | grep -q '$sjis_title'"
check "the CHM holds the window definition" in_chm '#WINDOWS'
# The system file's entry 4 (36 bytes) begins with the language id.
check "the CHM's language is 0x411" bash -c "od -An -tx1 '$TMP/chm/#SYSTEM' | tr -d ' \n' | grep -q '040024001104'"
for p in "${PAGES[@]}"; do
  check "$p's title is in the compiled contents" bash -c "iconv -f CP932 -t UTF-8 '$TMP/chm/zorante.hhc' | grep -qF 'value=\"$(title_of "$SRC/$p")\"'"
done

finish
