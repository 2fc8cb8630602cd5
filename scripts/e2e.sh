#!/usr/bin/env bash
# Runs the end-to-end tests: e2e_tests.exe drives startlull.exe the way a user
# would, once for each Windows the program supports, each in its own Wine
# prefix under the build folder, on Xvfb when there is no display.
#   scripts/e2e.sh [win98|win2k|winxp ...] [--gtest_* ...]
# Kinds default to all three; arguments starting with "--" go to the driver
# (so do those in E2E_ARGS, e.g. --gtest_filter=*Save*).
#
# E2E_ARCH picks the build:
#   x86_64 (default) program64/startlull.exe driven by tests/e2e_tests.exe in
#          64-bit prefixes (e2e-<kind>); needs the program64 and tests trees;
#   i686   program/startlull.exe, the file that ships, driven by
#          e2e32/e2e_tests.exe in 32-bit prefixes (e2e32-<kind>); needs the
#          program and e2e32 trees, and a machine that runs 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")/.."
export BUILD_DIR=${BUILD_DIR:-$PWD/build}
arch=${E2E_ARCH:-x86_64}

kinds=()
driver_args=()
for arg in "$@"; do
  case $arg in
    --*) driver_args+=("$arg") ;;
    *) kinds+=("$arg") ;;
  esac
done
[ ${#kinds[@]} -gt 0 ] || kinds=(win98 win2k winxp)
read -r -a extra <<<"${E2E_ARGS:-}"
driver_args=("${extra[@]}" "${driver_args[@]}")

# shellcheck source=wine-env.sh
source scripts/wine-env.sh
case $arch in
  x86_64)
    exe=$BUILD_DIR/program64/startlull.exe driver=$BUILD_DIR/tests/e2e_tests.exe
    trees="program64 and tests" prefixes=$BUILD_DIR/e2e ;;
  i686)
    exe=$BUILD_DIR/program/startlull.exe driver=$BUILD_DIR/e2e32/e2e_tests.exe
    trees="program and e2e32" prefixes=$BUILD_DIR/e2e32
    if ! can_run_32bit; then
      echo "cannot run the i686 build here: $CANNOT_RUN_32BIT_WHY" >&2
      exit 1
    fi
    wine_arch win32 ;;
  *) echo "E2E_ARCH must be x86_64 or i686" >&2; exit 2 ;;
esac
for f in "$exe" "$driver"; do
  [ -f "$f" ] || { echo "missing $f: build the $trees trees first" >&2; exit 1; }
done

display_up
finish() { wine_server_down; display_down; }
trap finish EXIT

# The prefix for one kind of Windows, with a wineserver kept running: Wine
# runs and deletes HKLM RunOnce values when a server starts, so the tests
# seed theirs only under this one.
prepare_prefix() {
  local kind=$1
  export WINEPREFIX=$prefixes-$kind
  wine_server_up
  wine_version "$kind"
  # A virtual desktop: its windows are no X top-levels, so hiding one does not
  # wait for a window manager that Xvfb does not have.
  wine_reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
  wine_reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f
  if [ "$kind" = win98 ]; then
    # Windows 98 keeps win.ini as a file; without this mapping Wine does too.
    local mapping='HKLM\Software\Microsoft\Windows NT\CurrentVersion\IniFileMapping\win.ini'
    if ! wine reg delete "$mapping" /f >/dev/null 2>&1 && wine reg query "$mapping" >/dev/null 2>&1; then
      echo "could not delete $mapping in $WINEPREFIX" >&2
      return 1
    fi
  fi
}

status=0
for kind in "${kinds[@]}"; do
  echo "== end-to-end tests, $arch, Wine reporting $kind"
  prepare_prefix "$kind"
  STARTLULL_EXE="Z:${exe//\//\\}" STARTLULL_KIND=$kind \
    timeout 900 wine "$driver" "${driver_args[@]}" || status=1
  wine_server_down
done
exit $status
