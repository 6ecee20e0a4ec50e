#!/bin/sh
# Builds the fuzz targets natively with clang, libFuzzer, ASan and UBSan.
# Usage: tests/fuzz/build.sh [OUTDIR]   (default build/fuzz)
set -e
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
OUT=${1:-$ROOT/build/fuzz}
mkdir -p "$OUT"
FLAGS="-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I$ROOT/src"
CORE="$ROOT/src/core/data/*.cpp $ROOT/src/core/text/*.cpp"
for t in registration_reader text_import settings_value; do
  clang++ $FLAGS -o "$OUT/${t}_fuzz" "$ROOT/tests/fuzz/${t}_fuzz.cpp" $CORE
done
