#!/usr/bin/env bash
# A short run of every fuzz target (clang libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer) over its corpus: a smoke test, not the long run.
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-$PWD/build}
SECONDS_EACH=${FUZZ_SECONDS:-5}
passed=0 failed=0
for target in "$BUILD_DIR"/host/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target"); name=${name#fuzz_}
  work="$BUILD_DIR/fuzz/$name"; mkdir -p "$work"
  if "$target" -max_total_time="$SECONDS_EACH" -artifact_prefix="$work/" "$work" \
       tests/fuzz/corpus/"$name" >"$work.log" 2>&1; then
    echo "$name: $(grep -oE 'Done [0-9]+ runs' "$work.log")"
    passed=$((passed + 1))
  else
    echo "$name: CRASH"; grep -E 'ERROR|SUMMARY' "$work.log" | head -5
    failed=$((failed + 1))
  fi
done
if [ $((passed + failed)) = 0 ]; then
  echo "no fuzz targets in $BUILD_DIR/host: build the host tree with clang"
  failed=1
fi
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
