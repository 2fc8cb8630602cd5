#!/usr/bin/env bash
# Builds the trees (TREES, default "program program64 tests host"):
#   program   - startlull.exe for i686, the file that ships (Windows 98 SE, 2000, XP)
#   program64 - the same program built for x86_64, for 64-bit Wine
#   tests     - the Windows test executables (x86_64, run under 64-bit Wine)
#   host      - native tests of the pure logic with sanitizers, and the fuzz targets
#   e2e32     - the end-to-end driver alone, for i686, to drive the program
#               that ships in a 32-bit Wine prefix (where the machine can run one)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-$PWD/build}
JOBS=${JOBS:-$(nproc)}

# configure TREE ARCH TARGETS CMAKE-ARGS...: TARGETS empty builds everything.
configure() {
  local tree=$1 arch=$2 targets=$3; shift 3
  local cache="$BUILD_DIR/$tree/CMakeCache.txt"
  # A tree made for another architecture, or from another copy of the
  # sources (a build folder shared by two clones), or one whose configure
  # never finished (no Makefile), is made anew.
  if [ -f "$cache" ] && { { [ -n "$arch" ] && ! grep -q "STARTLULL_ARCH:UNINITIALIZED=$arch" "$cache"; } ||
                          ! grep -qx "CMAKE_HOME_DIRECTORY:INTERNAL=$PWD" "$cache" ||
                          [ ! -f "$BUILD_DIR/$tree/Makefile" ]; }; then
    rm -rf "${BUILD_DIR:?}/$tree"
  fi
  if [ ! -f "$cache" ]; then
    cmake -S . -B "$BUILD_DIR/$tree" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  fi
  local -a target_args=()
  local t
  for t in $targets; do target_args+=(--target "$t"); done
  if ! cmake --build "$BUILD_DIR/$tree" -j "$JOBS" "${target_args[@]}" >"$BUILD_DIR/$tree.log" 2>&1; then
    grep -vE '^\[ *[0-9]+%\]' "$BUILD_DIR/$tree.log" | tail -40 >&2
    echo "build of $tree failed (log: $BUILD_DIR/$tree.log)" >&2
    # A layer's header included from a layer that may not see it shows as a
    # missing file: name the rule it breaks.
    local layers
    if ! layers=$(scripts/check-layers.sh); then echo "$layers" >&2; fi
    exit 1
  fi
}

windows() {
  local tree=$1 arch=$2 threads=$3 kind=$4 targets=${5:-}
  configure "$tree" "$arch" "$targets" -DSTARTLULL_BUILD="$kind" \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake -DSTARTLULL_ARCH="$arch" -DSTARTLULL_THREADS="$threads"
}

trees=${TREES:-program program64 tests host}
for tree in $trees; do
  case $tree in
    program)   windows program i686 win32 program ;;
    program64) windows program64 x86_64 win32 program ;;
    tests)     windows tests x86_64 posix tests ;;
    e2e32)     windows e2e32 i686 posix tests e2e_tests ;;
    host)      CC=clang CXX=clang++ configure host "" "" -DSTARTLULL_BUILD=host ;;
    *) echo "unknown tree $tree" >&2; exit 1 ;;
  esac
done
