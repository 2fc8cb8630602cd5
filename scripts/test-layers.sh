#!/usr/bin/env bash
# The build's layers: the include check (scripts/check-layers.sh) first on
# small scratch trees, one include each, to show it tells a wrong-way include
# from an allowed one; then on this repository. Also that every source file
# under the program's and the tests' folders is named in CMakeLists.txt,
# which lists them one by one: a file left out would silently not be built.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
passed=0 failed=0
pass() { passed=$((passed + 1)); }
fail() { echo "FAILED: $*"; failed=$((failed + 1)); }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# from-file | include line | wrong (1) or allowed (0)
cases=(
  'engine/Find.cpp|#include "framework/Control.h"|1'
  'engine/Find.cpp|#include "app/MainWindow.h"|1'
  'engine/Find.cpp|#include "resources/resource.h"|1'
  'engine/Engine.h|#include "framework/Control.h"|1'
  'engine/Find.cpp|#include "../framework/Control.h"|1'
  'engine/Find.cpp|#include <framework/Control.h>|1'
  'engine/Find.cpp|  #  include "framework/Control.h"|1'
  'framework/Control.cpp|#include "engine/Engine.h"|1'
  'framework/Control.cpp|#include "app/MainWindow.h"|1'
  'util/Paths.cpp|#include "engine/Engine.h"|1'
  'util/pure/Record.cpp|#include "framework/Control.h"|1'
  'util/Paths.cpp|#include "app/MainWindow.h"|1'
  'util/Paths.cpp|#include "resources/resource.h"|1'
  'platform/Win32.cpp|#include "engine/Engine.h"|1'
  'platform/Win32.cpp|#include "framework/Control.h"|1'
  'platform/Win32.cpp|#include "app/MainWindow.h"|1'
  'platform/Win32.cpp|#include "resources/resource.h"|1'
  'platform/Win32.cpp|#include "util/StrBuf.h"|1'
  'app/MainWindow.cpp|#include "tests/support/Host.h"|1'
  'engine/Find.cpp|#include "engine/Engine.h"|0'
  'engine/Find.cpp|#include "Engine.h"|0'
  'engine/Find.cpp|#include "platform/Platform.h"|0'
  'engine/Find.cpp|#include "util/StrBuf.h"|0'
  'engine/Find.cpp|#include <windows.h>|0'
  'engine/Find.cpp|// #include "framework/Control.h" was here once|0'
  'framework/Control.cpp|#include "util/StrBuf.h"|0'
  'framework/Control.cpp|#include "platform/Platform.h"|0'
  'framework/Control.cpp|#include "resources/resource.h"|0'
  'util/TextFile.cpp|#include "platform/Platform.h"|0'
  'app/MainWindow.cpp|#include "engine/Engine.h"|0'
  'app/MainWindow.cpp|#include "framework/Control.h"|0'
  'app/MainWindow.cpp|#include "resources/resource.h"|0'
)
for case in "${cases[@]}"; do
  IFS='|' read -r from line expect_wrong <<<"$case"
  tree=$scratch/tree
  rm -rf "$tree"
  for dir in util/pure platform engine framework app resources tests/support; do mkdir -p "$tree/$dir"; done
  for header in engine/Engine.h platform/Platform.h util/StrBuf.h framework/Control.h \
                app/MainWindow.h resources/resource.h tests/support/Host.h; do
    : >"$tree/$header"
  done
  printf '// one include\n%s\n' "$line" >>"$tree/$from"
  out=$(scripts/check-layers.sh "$tree" 2>&1)
  rc=$?
  if [ "$expect_wrong" = 1 ]; then
    # Refused, naming the file and the line.
    if [ "$rc" = 1 ] && grep -q "^$from:2: " <<<"$out"; then pass; else
      fail "$from with '$line' was not refused as a wrong-way include (exit $rc): $out"; fi
  else
    if [ "$rc" = 0 ]; then pass; else fail "$from with '$line' was refused: $out"; fi
  fi
done

# This repository.
if out=$(scripts/check-layers.sh "$ROOT"); then
  echo "$out"; pass
else
  echo "$out"; fail "includes against the layering in this repository"
fi

# Every source file is built: named in CMakeLists.txt.
unlisted=$(find app framework engine util platform tests bench -name '*.cpp' -not -path 'tests/fuzz/corpus/*' |
           sort | while read -r source; do grep -qF "$source" CMakeLists.txt || echo "$source"; done)
if [ -z "$unlisted" ]; then
  pass
else
  fail "source files CMakeLists.txt does not name (they would not be built):" $unlisted
fi

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
