#!/usr/bin/env bash
# Runs every test: sets up what is missing, builds, then runs the native
# tests, the Windows tests under Wine (every supported system kind) and the
# end-to-end tests on a virtual display: with the x86_64 build in 64-bit
# prefixes, and, where this machine can run 32-bit programs, with the i686
# program that ships in 32-bit prefixes. Ends with "N passed, N failed,
# N skipped", counted from each GoogleTest executable's own XML results.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}

scripts/setup.sh || exit 1
# Each Wine prefix takes about 1.3 GB (a 64-bit one) or 0.6 GB (a 32-bit
# one): Wine copies its DLLs into every prefix. The run makes eight of them,
# so each one goes as soon as its tests are done, and what is left is said
# at the start and, when something failed, at the end: a full disk makes
# everything after it fail with empty logs.
free_space() { df -Pm "$BUILD_DIR" 2>/dev/null | awk 'NR == 2 { print $4 " MB free under '"$BUILD_DIR"'" }'; }
drop_prefix() { WINEPREFIX=$1 wine_server_down; rm -rf "$1"; }
mkdir -p "$BUILD_DIR"
echo "disk: $(free_space) (the largest Wine prefix needs about 1,300 MB)"
# A prefix of the test command's own: the probe runs below switch the
# Windows version Wine reports, and that must reach no other prefix (not the
# one scripts/run.sh starts the program in).
export WINEPREFIX=$BUILD_DIR/test-prefix
source scripts/wine-env.sh
trees="program program64 tests host"
if ! can_run_32bit; then
  run32=0 why32="this machine cannot execute 32-bit programs: $CANNOT_RUN_32BIT_WHY"
elif [ ! -x /usr/lib/wine/wine ] || ! command -v i686-w64-mingw32-g++-posix >/dev/null; then
  run32=0 why32="32-bit Wine or the i686 compiler could not be installed (scripts/setup.sh)"
else
  run32=1
  trees="$trees e2e32"
fi
TREES=$trees scripts/build.sh || exit 1

passed=0
failed=0
skipped=0
failures=()
source scripts/gtest-count.sh

run_gtest "native unit (asan+ubsan)" native "$BUILD_DIR/host/unit_tests"

# The display first: Wine's desktop process starts with the server and needs it.
trap 'display_down; wine_server_down' EXIT
display_up || exit 1
wine_server_up || exit 1
wine_version winxp || exit 1
for exe in unit engine framework app; do
  # run_gtest counts an executable that is not there as failed.
  run_gtest "$exe (wine, winxp)" wine wine "$BUILD_DIR/tests/${exe}_tests.exe"
done

# The system probe against each version Wine can report.
for pair in win95:0 win98:1 win2k:2 winxp:3 win2003:0 win7:0; do
  version=${pair%%:*}
  if ! wine_version "$version"; then
    echo "probe on $version: FAILED, Wine's version could not be set"
    failed=$((failed + 1)); failures+=("probe on $version")
    continue
  fi
  STARTLULL_EXPECT_KIND=${pair##*:} run_gtest "probe on $version" \
    wine wine "$BUILD_DIR/tests/engine_tests.exe" --gtest_filter='*OnTheRealVersion*'
done
drop_prefix "$WINEPREFIX"

# The real program, driven end to end, on each supported system: the x86_64
# build in 64-bit prefixes, then the i686 file that ships in 32-bit ones.
for version in win98 win2k winxp; do
  run_gtest "end to end ($version)" wine scripts/e2e.sh "$version"
  drop_prefix "$BUILD_DIR/e2e-$version"
done
if [ "$run32" = 1 ]; then
  for version in win98 win2k winxp; do
    E2E_ARCH=i686 run_gtest "end to end i686 ($version)" wine scripts/e2e.sh "$version"
    drop_prefix "$BUILD_DIR/e2e32-$version"
  done
else
  echo "end to end i686: NOT RUN, $why32"
fi

for script in scripts/test-*.sh; do
  [ -f "$script" ] || continue
  name=$(basename "$script" .sh)
  if bash "$script" >"$BUILD_DIR/logs/$name.log" 2>&1; then
    ok=$(grep -oE '^[0-9]+ passed, [0-9]+ failed' "$BUILD_DIR/logs/$name.log" | tail -1)
    echo "$name: ${ok:-passed}"
    p=$(echo "$ok" | grep -oE '^[0-9]+' || echo 1); passed=$((passed + ${p:-1}))
  else
    echo "$name: FAILED"
    if [ -s "$BUILD_DIR/logs/$name.log" ]; then
      tail -20 "$BUILD_DIR/logs/$name.log" | sed 's/^/    /'
    else
      echo "    (its log is empty)"
    fi
    failed=$((failed + 1)); failures+=("$name")
  fi
done

echo
if [ ${#failures[@]} -gt 0 ]; then
  echo "failing: ${failures[*]} (logs in $BUILD_DIR/logs)"
  echo "disk: $(free_space)"
fi
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" = 0 ]
