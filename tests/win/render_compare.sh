#!/usr/bin/env bash
# Compares two folders of title-card renders (scripts/make-renders OUTDIR --all
# before and after a change to the drawing), picture by picture, with
# ImageMagick. The tolerance is fixed here: a pixel counts as changed when a
# channel moved by more than 3 % (8 levels: anti-aliasing of one way of
# drawing against another), and at most 0.1 % of a picture's pixels may
# change, none of them by more than a quarter of the range (a glyph or an
# outline moved or missing would).
# Usage: tests/win/render_compare.sh BEFORE_DIR AFTER_DIR   (exit 1 on any picture beyond the tolerance)
set -u
BEFORE=$1
AFTER=$2
pictures=0
identical=0
within=0
beyond=0
for b in "$BEFORE"/*.png; do
  name=$(basename "$b")
  a="$AFTER/$name"
  case "$name" in vertical-*|marked-*|fold-*|centred-*|plain-*|outline-*|all-*) ;; *) continue ;; esac
  if [ ! -f "$a" ]; then
    echo "missing: $name"
    beyond=$((beyond + 1))
    continue
  fi
  pictures=$((pictures + 1))
  exact=$(compare -metric AE "$b" "$a" null: 2>&1 | cut -d' ' -f1)
  if [ "$exact" = "0" ]; then
    identical=$((identical + 1))
    continue
  fi
  total=$(identify -format '%[fx:w*h]' "$b")
  soft=$(compare -metric AE -fuzz 3% "$b" "$a" null: 2>&1 | cut -d' ' -f1)
  hard=$(compare -metric AE -fuzz 25% "$b" "$a" null: 2>&1 | cut -d' ' -f1)
  if [ "$hard" = "0" ] && [ $((soft * 1000)) -le "$total" ]; then
    within=$((within + 1))
    echo "within the tolerance: $name ($exact pixels differ, $soft beyond 3 %)"
  else
    beyond=$((beyond + 1))
    echo "BEYOND the tolerance: $name ($exact pixels differ, $soft beyond 3 %, $hard beyond 25 %)"
  fi
done
echo "renders: $pictures compared, $identical identical, $within within the tolerance, $beyond beyond it"
[ "$beyond" -eq 0 ] && [ "$pictures" -gt 0 ]
