#!/usr/bin/env bash
# Builds the three trees: program (startlull.exe), tests (Windows test
# executables) and host (native tests with sanitizers).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-$PWD/build}
JOBS=${JOBS:-$(nproc)}

configure() {
  local tree=$1; shift
  if [ ! -f "$BUILD_DIR/$tree/CMakeCache.txt" ]; then
    cmake -S . -B "$BUILD_DIR/$tree" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  fi
  if ! cmake --build "$BUILD_DIR/$tree" -j "$JOBS" >"$BUILD_DIR/$tree.log" 2>&1; then
    grep -vE '^\[ *[0-9]+%\]' "$BUILD_DIR/$tree.log" | tail -40 >&2
    echo "build of $tree failed (log: $BUILD_DIR/$tree.log)" >&2
    exit 1
  fi
}

trees=${TREES:-program tests host}
for tree in $trees; do
  case $tree in
    program) configure program -DSTARTLULL_BUILD=program \
               -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DSTARTLULL_THREADS=win32 ;;
    tests)   configure tests -DSTARTLULL_BUILD=tests \
               -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DSTARTLULL_THREADS=posix ;;
    host)    CC=clang CXX=clang++ configure host -DSTARTLULL_BUILD=host ;;
  esac
done
