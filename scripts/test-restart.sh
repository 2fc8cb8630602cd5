#!/usr/bin/env bash
# Restarts Windows for real, once per system kind, in a throwaway Wine prefix:
# a Remove whose user chooses "&Restart". Checks from the Linux side that
# every Windows process of that prefix that ran before the restart ends: the
# caller, a bystander program and Wine's services (its desktop process stays,
# like the wineserver; Wine's reboot then starts its services anew, and those
# new processes are expected). Then a new process restores what the Remove
# took away. Needs the tests tree (engine_tests.exe).
#   BUILD_DIR=... scripts/test-restart.sh
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-$PWD/build}
TESTS=$BUILD_DIR/tests/engine_tests.exe
[ -f "$TESTS" ] || { echo "no $TESTS: build the tests tree first" >&2; exit 1; }
export WINEPREFIX=$BUILD_DIR/restart-prefix
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
LOGS=$BUILD_DIR/restart-logs
PIDS=()

cleanup() {
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  wine_server_down
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# Windows processes of this prefix: Wine loaders whose environment names it.
prefix_processes() {
  local pid exe
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || continue
    case $exe in */wine/wine64*|*/wine/wine|*/wine/wine-preloader) ;; *) continue ;; esac
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)"
    fi
  done
}

# Waits up to $2 seconds for the process $1 to end.
ended_within() {
  local pid=$1 tenths=$(( $2 * 10 ))
  for _ in $(seq "$tenths"); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}

DISABLED=(--gtest_also_run_disabled_tests --gtest_filter=RestartTest.DISABLED_)

rm -rf "$WINEPREFIX" "$LOGS"
mkdir -p "$LOGS"
wine_server_up
failures=0
for version in winxp win2k win98; do
  wine_version "$version"
  # Started directly, so that $! is the Windows process itself.
  wine "$TESTS" "${DISABLED[0]}" "${DISABLED[1]}Bystander" >"$LOGS/$version-bystander.txt" 2>&1 &
  bystander=$!
  PIDS+=("$bystander")
  for _ in $(seq 300); do
    grep -q "bystander waiting" "$LOGS/$version-bystander.txt" && break
    sleep 0.1
  done
  # Wine's desktop process (explorer.exe /desktop) is Wine's own and stays
  # through a restart, as a wineserver does.
  before=$(prefix_processes | grep -v 'explorer.exe /desktop' | cut -d' ' -f1)
  if ! grep -q "bystander waiting" "$LOGS/$version-bystander.txt" ||
     ! grep -qx "$bystander" <<<"$before"; then
    echo "$version: the bystander is not seen running; cannot judge" >&2
    failures=$((failures + 1))
    continue
  fi

  wine "$TESTS" "${DISABLED[0]}" "${DISABLED[1]}RealRestart" >"$LOGS/$version-restart.txt" 2>&1 &
  caller=$!
  PIDS+=("$caller")
  ok=1
  ended_within "$caller" 15 || { echo "$version: the caller still runs" >&2; ok=0; }
  ended_within "$bystander" 5 || { echo "$version: the bystander still runs" >&2; ok=0; }
  grep -q "restart requested" "$LOGS/$version-restart.txt" ||
    { echo "$version: the caller never reached the restart" >&2; ok=0; }
  if grep -qE "STILL RUNNING|SURVIVED" "$LOGS/$version-"*.txt; then
    echo "$version: a process outlived the restart" >&2; ok=0
  fi
  sleep 1
  left=""
  for pid in $before; do
    # A zombie has ended; only its parent has not looked yet.
    state=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null) || continue
    [ "$state" = Z ] || left="$left $pid"
  done
  if [ -n "$left" ]; then
    echo "$version: processes from before the restart still run:" >&2
    for pid in $left; do
      echo "  $pid $(readlink "/proc/$pid/exe") $(tr '\0' ' ' <"/proc/$pid/cmdline")" >&2
    done
    ok=0
  fi
  if ! wine "$TESTS" "${DISABLED[0]}" "${DISABLED[1]}RestoreAfterRestart" \
       >"$LOGS/$version-restore.txt" 2>&1; then
    echo "$version: Restore after the restart did not give the entries back:" >&2
    grep -E 'Failure|Expected|Which is|actual' "$LOGS/$version-restore.txt" | head -10 >&2
    ok=0
  fi
  if [ "$ok" = 1 ]; then
    echo "$version: the restart ended all $(wc -w <<<"$before") processes of the prefix; Restore gave everything back"
  else
    failures=$((failures + 1))
  fi
done

if [ "$failures" -eq 0 ]; then
  echo "3 passed, 0 failed"
else
  echo "$((3 - failures)) passed, $failures failed"
  exit 1
fi
