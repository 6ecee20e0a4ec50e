#!/usr/bin/env bash
# Builds the fuzz targets natively with clang, libFuzzer, ASan and UBSan.
# Usage: tests/fuzz/build.sh [OUTDIR]   (default build/fuzz)
# The core is compiled once into OUTDIR/obj, then linked into each target.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
OUT=${1:-$ROOT/build/fuzz}
CXX=${ZOR_FUZZ_CXX:-clang++}
TARGETS=()
for src in "$ROOT"/tests/fuzz/*_fuzz.cpp; do TARGETS+=("$(basename "$src" _fuzz.cpp)"); done

if ! command -v "$CXX" >/dev/null 2>&1; then
  echo "fuzz build: $CXX not found; install clang and libclang-rt-14-dev (scripts/lib.sh installs both)" >&2
  exit 1
fi
mkdir -p "$OUT/obj"
OUT=$(cd "$OUT" && pwd)
FLAGS=(-std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=all
       "-fsanitize-coverage-ignorelist=$ROOT/tests/fuzz/coverage_ignore.txt" "-I$ROOT/src")

# Without the libFuzzer runtime the link fails obscurely: say so first.
probe=$OUT/obj/probe
printf '%s\n' '#include <cstddef>' '#include <cstdint>' \
  'extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }' >"$probe.cpp"
if ! "$CXX" "${FLAGS[@]}" -fsanitize=fuzzer -o "$probe" "$probe.cpp" 2>"$probe.log"; then
  echo "fuzz build: $CXX cannot link a libFuzzer program; is libclang-rt-14-dev installed?" >&2
  cat "$probe.log" >&2
  exit 1
fi

# Core objects, as many at once as there are cores.
jobs=$(nproc 2>/dev/null || echo 2)
objects=()
pids=()
failed=0
SCREEN=$ROOT/src/core/screen
for src in "$ROOT"/src/core/data/*.cpp "$ROOT"/src/core/text/*.cpp "$SCREEN"/picture_header.cpp \
  "$SCREEN"/{decoded_row,picture_orientation,row_shrinker,shrink_weights,shrink_policy}.cpp "$SCREEN"/shrink_kernel_*.cpp; do
  obj=$OUT/obj/$(basename "$(dirname "$src")")_$(basename "${src%.cpp}").o
  objects+=("$obj")
  # Each kernel file is built for its own instruction set, as in CMakeLists.txt.
  case $src in
    *_sse2.cpp) isa=(-msse2) ;;
    *_sse41.cpp) isa=(-msse4.1) ;;
    *_avx2.cpp) isa=(-mavx2) ;;
    *) isa=() ;;
  esac
  "$CXX" "${FLAGS[@]}" "${isa[@]}" -fsanitize=fuzzer-no-link -c -o "$obj" "$src" &
  pids+=($!)
  if [ "${#pids[@]}" -ge "$jobs" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
[ "$failed" -eq 0 ] || { echo "fuzz build: compiling the core failed" >&2; exit 1; }

for t in "${TARGETS[@]}"; do
  "$CXX" "${FLAGS[@]}" -fsanitize=fuzzer -o "$OUT/${t}_fuzz" "$ROOT/tests/fuzz/${t}_fuzz.cpp" "${objects[@]}"
done
