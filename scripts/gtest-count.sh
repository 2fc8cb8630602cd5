# Sourced by scripts/test.sh: runs GoogleTest executables and adds up what
# each one reports about itself in its XML, never what it prints: a run that
# ends early with exit code 0 prints no failure, but it writes no result
# file either, or one that lacks tests it listed.
#
#   run_gtest NAME native|wine COMMAND [ARGS...]
#
# COMMAND runs twice with arguments appended: --gtest_list_tests (what it
# holds under its filter), then the run itself. Both write XML under
# $BUILD_DIR/logs; "wine" gives COMMAND the file names as Windows paths.
# COMMAND may be a script that passes trailing --gtest_* arguments on to the
# executable (scripts/e2e.sh does).
#
# Adds to passed, failed and skipped, and the names that failed to failures.
passed=${passed:-0}
failed=${failed:-0}
skipped=${skipped:-0}
declare -p failures >/dev/null 2>&1 || failures=()

GTEST_COUNT_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

run_gtest() {
  local name=$1 kind=$2; shift 2
  local dir=$BUILD_DIR/logs base
  base=$(printf '%s' "$name" | tr -c 'A-Za-z0-9._-' '_')
  local log="$dir/$name.log" list="$dir/$base.list.xml" result="$dir/$base.xml"
  mkdir -p "$dir"
  rm -f "$list" "$result"
  local list_arg=$list result_arg=$result
  if [ "$kind" = wine ]; then
    list_arg="Z:${list//\//\\}" result_arg="Z:${result//\//\\}"
  fi
  # The file is named on the command line only. Tests that run a copy of
  # their own executable as a child pass it a command line of their own but
  # the whole environment, so an output variable there would let the child
  # overwrite the parent's file with its one test. GoogleTest's premature-exit
  # file is no help for the same reason: a child deletes it at its own end.
  local -a clean_env=(env -u GTEST_OUTPUT -u XML_OUTPUT_FILE -u TEST_PREMATURE_EXIT_FILE)
  "${clean_env[@]}" "$@" --gtest_list_tests "--gtest_output=xml:$list_arg" >"$dir/$base.list.log" 2>&1
  "${clean_env[@]}" "$@" "--gtest_output=xml:$result_arg" >"$log" 2>&1
  local rc=$?
  local counts ok bad skip
  counts=$(python3 "$GTEST_COUNT_DIR/gtest-result.py" "$list" "$result" "$rc")
  read -r ok bad skip <<<"$(head -1 <<<"$counts")"
  ok=${ok:-0} bad=${bad:-1} skip=${skip:-0}
  passed=$((passed + ok)) failed=$((failed + bad)) skipped=$((skipped + skip))
  printf '%-34s %4d passed, %d failed, %d skipped\n' "$name" "$ok" "$bad" "$skip"
  if [ "$bad" != 0 ]; then
    failures+=("$name")
    tail -n +2 <<<"$counts" | sed 's/^/    /'
    if [ ! -s "$list" ]; then
      # Why it could not even list: the script's or Wine's own last words.
      tail -5 "$dir/$base.list.log" 2>/dev/null | sed 's/^/    listing: /'
    fi
    grep -E '^\[  FAILED  \]|Failure|error' "$log" | head -20 | sed 's/^/    /'
  fi
  return 0
}
