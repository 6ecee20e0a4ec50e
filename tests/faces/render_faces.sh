#!/usr/bin/env bash
# Renders six messages (small kana, brackets, ー, \date, 32 characters) in the
# layouts A, B and C in each installed Japanese face (and two copies of IPA
# Mincho with extreme line metrics) at several screen sizes with zortool.exe,
# then checks every picture with ink_check: no ink near the screen's edge, and
# in the L layouts no two neighbouring characters' ink touching (the
# characters alternate between white and the red emphasis colour).
# Usage: tests/faces/render_faces.sh OUTDIR [--quick]
#   --quick  Noto Serif, VL Gothic and the extreme copies, layouts A and B, at
#            1366×768 only (the test command's share)
# ZOR_TOOL names another zortool.exe (e.g. one built from an earlier commit);
# ZOR_FACES and ZOR_SIZES replace the lists (commas between); with ZOR_KEEP_WINE
# set the prefix's server is left running. Last line: "N passed, N failed".
set -u
source "$(dirname "$0")/../../scripts/lib.sh"
cd "$ZOR_ROOT" || exit 1
OUT=${1:?usage: render_faces.sh OUTDIR [--quick]}
QUICK=${2:-}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
TOOL=${ZOR_TOOL:-build/windows/zortool.exe}
Z=build/native/zortool
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT

faces=("IPAMincho" "IPAGothic" "IPAPMincho" "TakaoMincho" "Noto Serif CJK JP" "Noto Sans CJK JP" "VL Gothic"
  "VL PGothic" "Zor Tall Gap" "Zor Tight Gap")
sizes=(1280x1024 1366x768 1920x1080 3840x2160)
layouts=(A B C)
if [ "$QUICK" = "--quick" ]; then
  faces=("Noto Serif CJK JP" "VL Gothic" "Zor Tall Gap" "Zor Tight Gap")
  sizes=(1366x768)
  layouts=(A B)
fi
[ -n "${ZOR_FACES:-}" ] && IFS=',' read -r -a faces <<<"$ZOR_FACES"
[ -n "${ZOR_SIZES:-}" ] && IFS=',' read -r -a sizes <<<"$ZOR_SIZES"

# The copies with extreme metrics go into the prefix's font folder.
zor_wine_prefix || { echo "0 passed, 1 failed"; exit 1; }
/usr/bin/python3 tests/faces/make_fonts.py /usr/share/fonts/opentype/ipafont-mincho/ipam.ttf "$T/fonts" ||
  { echo "FAIL making the fonts"; echo "0 passed, 1 failed"; exit 1; }
FONTS="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$FONTS"
copied=0
for f in "$T"/fonts/*.ttf; do
  cmp -s "$f" "$FONTS/$(basename "$f")" || { cp "$f" "$FONTS/" && copied=1; }
done
# The prefix's server lists the fonts it found when it started.
if [ "$copied" -eq 1 ]; then
  zor_wine_stop
  zor_wine_prefix || { echo "0 passed, 1 failed"; exit 1; }
fi

CHECK=build/native/ink_check
if [ ! -x "$CHECK" ] || [ tests/faces/ink_check.cpp -nt "$CHECK" ]; then
  mkdir -p build/native
  g++ -std=c++20 -O2 -o "$CHECK" tests/faces/ink_check.cpp || { echo "0 passed, 1 failed"; exit 1; }
fi

messages=("「ちゃんと」やってみよう。" "ヒーローはキャッチャーだ" "きょうは、ゆっくり休もう。" '\date'
  "千里の道も一歩から、急がば回れ。石の上にも三年、七転び八起きだ。" "（ぁっ）『ョー』…")
$Z new "$T/m.zrd" >/dev/null
n=0
for m in "${messages[@]}"; do
  n=$((n + 1))
  $Z add "$T/m.zrd" "$m" >/dev/null
  # Every other character marked (\date is expanded only when drawn: it stays white).
  length=$(/usr/bin/python3 -c 'import sys; print(len(sys.argv[1]))' "$m")
  marks=$(seq -s, 1 2 "$length")
  [ "$m" = '\date' ] || $Z format "$T/m.zrd" "$n" --marks "$marks" --emphasis marked >/dev/null
done
$Z options "$T/m.zrd" --emphasis on --colour 12 >/dev/null
M=$(winepath -w "$T/m.zrd")

passed=0
failed=0
for face in "${faces[@]}"; do
  slug=$(tr ' ' '-' <<<"$face" | tr 'A-Z' 'a-z')
  printf '[ZORANTE]\r\nUseFont=%s\r\nDecoFont=0\r\n' "$face" >"$T/$slug.ini"
  S=$(winepath -w "$T/$slug.ini")
  for size in "${sizes[@]}"; do
    for k in $(seq 1 ${#messages[@]}); do
      for layout in "${layouts[@]}"; do
        name="$slug-$size-m$k-$layout"
        if ! wine "$TOOL" render "$M" "$k" --layout "$layout" --ground black --size "$size" --seed 5 \
          --settings "$S" --out "$(winepath -w "$OUT/$name.png")" >"$T/render.log" 2>&1; then
          echo "FAIL $name: render failed: $(tr -d '\r' <"$T/render.log" | tail -n 1)"
          failed=$((failed + 1))
          continue
        fi
        convert "$OUT/$name.png" "$T/p.ppm"
        # The centred row is drawn as it always was: its edges are checked, not its neighbours.
        checks=all
        [ "$layout" = C ] && checks=edges
        if "$CHECK" "$checks" 3 "$T/p.ppm" >"$T/check.log"; then
          passed=$((passed + 1))
        else
          sed "s|$T/p.ppm|$name|" "$T/check.log"
          failed=$((failed + 1))
        fi
      done
    done
  done
done
[ -n "${ZOR_KEEP_WINE:-}" ] || zor_wine_stop
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
