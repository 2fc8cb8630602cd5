#!/usr/bin/env bash
# Benchmarks: builds, then prints one table. Every timed figure is a ratio of
# two things measured in this same run, repetitions interleaved, medians
# taken, so a busy machine slows both sides alike.
#
#   BENCH_REPS        repetitions of each timed figure (default 5)
#   BENCH_FUZZ_RUNS   executions per fuzz target (default 10000000)
#   BENCH_PARTS       what to run (default "engine listing startup size cpu fuzz")
#   BENCH_BUILD=0     use the trees already built under BUILD_DIR
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
REPS=${BENCH_REPS:-5}
FUZZ_RUNS=${BENCH_FUZZ_RUNS:-10000000}
PARTS=${BENCH_PARTS:-engine listing startup size cpu fuzz}
# Entries per location (eight keys and two folders): 100, 1,000 and 10,000 in all.
SIZES=(10 100 1000)

want() { [[ " $PARTS " == *" $1 "* ]]; }

if [ "${BENCH_BUILD:-1}" != 0 ]; then
  scripts/setup.sh || exit 1
  scripts/build.sh || exit 1
fi

# A prefix of its own: the benchmark seeds 20,000 entries and must not meet
# the tests' prefix or leave anything in it.
export WINEPREFIX=$BUILD_DIR/bench-prefix
source scripts/wine-env.sh
XVFB_PID=""
trap 'display_down; wine_server_down' EXIT
# The display comes first: Wine's desktop process, started with the
# session, keeps the display it found then.
if want listing || want startup || want cpu; then display_up; fi
wine_server_up 2>/dev/null
wine_version winxp

# Windows paths for Wine: the whole Linux tree is drive Z:.
winpath() { echo "Z:${1//\//\\}"; }

rows=()
fails=0
# row <figure> <measured> <goal> <met: 1 or 0>
row() {
  local verdict=met
  if [ "$4" != 1 ]; then verdict="NOT MET"; fails=$((fails + 1)); fi
  rows+=("$1|$2|$3|$verdict")
}
# get <output> <op> <per location> <field>: a field of a RESULT line.
get() { awk -v op="$2" -v n="$3" -v f="$4" '$1 == "RESULT" && $2 == op && $3 == n { print $f }' <<<"$1"; }
# growth_row <output> <name> <op> <small> <big> <what the bare side is>
growth_row() {
  local e1 e2 r1 r2 g gr
  e1=$(get "$1" "$3" "$4" 4) e2=$(get "$1" "$3" "$5" 4)
  r1=$(get "$1" "$3" "$4" 5) r2=$(get "$1" "$3" "$5" 5)
  g=$(ratio "$e2" "$e1") gr=$(ratio "$r2" "$r1")
  row "Growth of $2, $(($4 * 10)) -> $(($5 * 10)) entries: time x" "$g ($6 x$gr)" "<= 12" \
      "$(atmost "$g" 12)"
}
declare -A engine_ms=()
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
atmost() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= b) }' && echo 1 || echo 0; }
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }' && echo 1 || echo 0; }

if want engine; then
  out=$(wine "$BUILD_DIR/tests/bench_engine.exe" "$REPS" "${SIZES[@]}" 2>&1)
  if grep -q '^FAILED' <<<"$out" || ! grep -q '^RESULT' <<<"$out"; then
    echo "$out" | grep -E 'FAILED' || echo "$out" | tail -5
    row "Engine benchmark" "did not run to its end" "-" 0
  else
    scale=${SIZES[2]}
    for op in find remove restore; do
      goal=2.0; [ $op = find ] && goal=1.5
      e=$(get "$out" $op "$scale" 4) r=$(get "$out" $op "$scale" 5)
      engine_ms[$op]=$e
      x=$(ratio "$e" "$r")
      row "${op^} at scale (8 keys x $scale values, 2 folders x $scale files; other places seeded once): engine / bare calls" \
          "$e ms / $r ms = $x" "<= $goal" "$(atmost "$x" "$goal")"
    done
    read_ms=$(get "$out" readkeys "$scale" 4)
    rows+=("  (Remove reads every value of the 8 keys once, for its record: $read_ms ms)| | |")
    for op in find remove restore; do
      for step in 0 1; do
        small=${SIZES[$step]} big=${SIZES[$((step + 1))]}
        growth_row "$out" "${op^}" $op "$small" "$big" "bare calls"
      done
    done
  fi
fi

# Find and Restore as the user waits for them: through startlull.exe's own
# window, from the command to the listing complete and painted, against the
# bare work plus a bare list filled with redrawing off.
if want listing; then
  out=$(wine "$BUILD_DIR/tests/bench_ui.exe" listing "$REPS" \
          "$(winpath "$BUILD_DIR/program64/startlull.exe")" "${SIZES[@]}" 2>&1)
  if grep -q '^FAILED' <<<"$out" || ! grep -q '^RESULT' <<<"$out"; then
    echo "$out" | grep -E 'FAILED' || echo "$out" | tail -5
    row "Listing through the window" "did not run to its end" "-" 0
  else
    scale=${SIZES[2]}
    for op in find restore; do
      w=$(get "$out" win$op "$scale" 4) b=$(get "$out" win$op "$scale" 5)
      x=$(ratio "$w" "$b")
      alone=""
      [ -n "${engine_ms[$op]:-}" ] && alone=" (engine alone ${engine_ms[$op]} ms)"
      row "${op^} through the window at scale: command to listing painted / bare work + bare list fill" \
          "$w ms / $b ms = $x$alone" "<= 1.5" "$(atmost "$x" 1.5)"
    done
    for op in find restore; do
      for step in 0 1; do
        growth_row "$out" "${op^} through the window" win$op "${SIZES[$step]}" \
          "${SIZES[$((step + 1))]}" "bare work"
      done
    done
  fi
fi

if want startup; then
  out=$(wine "$BUILD_DIR/tests/bench_ui.exe" startup "$REPS" \
          "$(winpath "$BUILD_DIR/program64/startlull.exe")" MainClass \
          "$(winpath "$BUILD_DIR/program64/minimal_window.exe")" MinimalClass 2>&1)
  read -r _ _ ours floor <<<"$(grep '^RESULT startup' <<<"$out")"
  if [ -n "${floor:-}" ]; then
    x=$(ratio "$ours" "$floor")
    row "Start-up to main window shown and idle: startlull.exe / one-window program" \
        "$ours ms / $floor ms = $x" "<= 1.3" "$(atmost "$x" 1.3)"
  else
    echo "$out" | tail -3
    row "Start-up" "did not run" "<= 1.3" 0
  fi
fi

if want cpu; then
  out=$(wine "$BUILD_DIR/tests/bench_ui.exe" msgwindow 2 2>&1)
  read -r _ _ cpu wall <<<"$(grep '^RESULT msgwindow' <<<"$out")"
  if [ -n "${wall:-}" ]; then
    pct=$(awk -v c="$cpu" -v w="$wall" 'BEGIN { printf "%.2f", 100 * c / w }')
    row "Open message window, CPU while it waits" "$cpu ms in $wall ms = $pct% of a core" "< 1%" \
        "$(below "$pct" 1)"
  else
    echo "$out" | tail -3
    row "Open message window, CPU" "did not run" "< 1%" 0
  fi
fi

if want size; then
  exe=$BUILD_DIR/program/startlull.exe
  size=$(stat -c %s "$exe")
  row "Size of startlull.exe (i686, the file that ships)" \
      "$size bytes ($(awk -v s="$size" 'BEGIN { printf "%.1f", s / 1024 }') KiB)" "<= 112 KiB" \
      "$(atmost "$size" $((112 * 1024)))"
  dlls=$(i686-w64-mingw32-objdump -p "$exe" |
    awk '/DLL Name:/ { dll = toupper($3) } /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { n[dll]++ }
         END { for (d in n) printf "%s (%d) ", d, n[d] }' | tr ' ' '\n' | paste -d' ' - - | sort |
    tr '\n' ' ')
  row "DLLs it imports (functions from each)" "$dlls" "Windows 98 SE's own" 1
fi

if want fuzz; then
  for target in "$BUILD_DIR"/host/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target"); name=${name#fuzz_}
    work=$BUILD_DIR/fuzz-bench/$name
    rm -rf "$work"; mkdir -p "$work/corpus"
    # Generated corpus goes to the build folder; the committed seeds stay as they are.
    nice -n 10 "$target" -runs="$FUZZ_RUNS" -print_final_stats=1 -artifact_prefix="$work/" \
      "$work/corpus" "tests/fuzz/corpus/$name" >"$work.log" 2>&1
    rc=$?
    runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$work.log" | grep -oE '[0-9]+$')
    crashes=$(find "$work" -maxdepth 1 -name 'crash-*' -o -maxdepth 1 -name 'leak-*' \
                -o -maxdepth 1 -name 'timeout-*' -o -maxdepth 1 -name 'oom-*' | wc -l)
    [ "$rc" != 0 ] && [ "$crashes" = 0 ] && crashes=1
    row "Fuzzing $name (libFuzzer, ASan, UBSan)" "${runs:-0} executions, $crashes crashes" \
        "$FUZZ_RUNS executions, no crash" \
        "$([ "$crashes" = 0 ] && [ "${runs:-0}" -ge "$FUZZ_RUNS" ] && echo 1 || echo 0)"
  done
fi

echo "Startlull benchmarks, $(date '+%Y-%m-%d %H:%M %Z')"
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(wine --version 2>/dev/null)"
echo "Repetitions: $REPS (medians)"
echo
{
  echo "Figure|Measured|Goal|Result"
  echo "------|--------|----|------"
  printf '%s\n' "${rows[@]}"
} | awk -F'|' '
  { for (i = 1; i <= NF; i++) { cell[NR, i] = $i; if (length($i) > w[i]) w[i] = length($i) } }
  END {
    for (r = 1; r <= NR; r++) {
      line = ""
      for (i = 1; i <= 4; i++) {
        text = cell[r, i]
        if (r == 2) { text = ""; for (k = 0; k < w[i]; k++) text = text "-" }
        line = line sprintf("%-" w[i] "s", text) (i < 4 ? " | " : "")
      }
      print line
    }
  }'
echo
echo "$fails not met"
[ "$fails" = 0 ]
