#!/usr/bin/env bash
# Short fuzzing runs for the test command. Builds the targets into build/fuzz
# when their sources changed, fuzzes each from its seed corpus for a bounded
# time (ZOR_FUZZ_SECONDS, default 20) and ends with "N passed, N failed".
# A target passes when libFuzzer exits 0 and writes no crash input (those are
# kept in build/fuzz/artifacts/<target>/ to reproduce the finding).
# The seeds are only read; new inputs go to build/fuzz/corpus/<target>.
set -u
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
OUT=$ROOT/build/fuzz
SECONDS_EACH=${ZOR_FUZZ_SECONDS:-20}
TARGETS=()
for src in "$ROOT"/tests/fuzz/*_fuzz.cpp; do TARGETS+=("$(basename "$src" _fuzz.cpp)"); done
mkdir -p "$OUT"

stamp=$OUT/built.stamp
rebuild=0
[ -f "$stamp" ] || rebuild=1
for t in "${TARGETS[@]}"; do [ -x "$OUT/${t}_fuzz" ] || rebuild=1; done
if [ "$rebuild" -eq 0 ] &&
   [ -n "$(find "$ROOT/src/core/data" "$ROOT/src/core/text" "$ROOT/src/core/screen" "$ROOT/tests/fuzz" -maxdepth 1 -type f \
             \( -name '*.cpp' -o -name '*.h' -o -name build.sh -o -name coverage_ignore.txt \) -newer "$stamp" -print -quit)" ]; then
  rebuild=1
fi
if [ "$rebuild" -eq 1 ]; then
  # Stamped before building, so a source saved during the build counts as changed.
  touch "$stamp.new"
  if ! bash "$ROOT/tests/fuzz/build.sh" "$OUT"; then
    rm -f "$stamp" "$stamp.new"
    echo "FAIL fuzz build"
    echo "0 passed, ${#TARGETS[@]} failed"
    exit 1
  fi
  mv "$stamp.new" "$stamp"
fi

passed=0
failed=0
for t in "${TARGETS[@]}"; do
  artifacts=$OUT/artifacts/$t/
  work=$OUT/corpus/$t
  log=$OUT/$t.log
  mkdir -p "$artifacts" "$work"
  touch "$OUT/run.mark"
  ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} \
    "$OUT/${t}_fuzz" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts" "$work" "$ROOT/tests/fuzz/corpus/$t" >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log" | tail -n 1)
  found=$(find "$artifacts" -type f -newer "$OUT/run.mark" | head -n 1)
  if [ "$rc" -eq 0 ] && [ -z "$found" ]; then
    passed=$((passed + 1))
    echo "PASS $t: ${runs:-?} executions in ${SECONDS_EACH} s"
  else
    failed=$((failed + 1))
    echo "FAIL $t: libFuzzer exit $rc${found:+, input kept at $found} (log: $log)"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -n 5
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
