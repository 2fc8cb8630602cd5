#!/usr/bin/env bash
# The shipped i686 startlull.exe: imports only functions Windows 98 SE has,
# and stays small.
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-$PWD/build}
exe="$BUILD_DIR/program/startlull.exe"
limit=$((96 * 1024))
passed=0 failed=0

size=$(stat -c %s "$exe")
if [ "$size" -le "$limit" ]; then
  echo "size: $size bytes (limit $limit)"; passed=$((passed + 1))
else
  echo "size: $size bytes is over the limit of $limit"; failed=$((failed + 1))
fi

imports=$(i686-w64-mingw32-objdump -p "$exe" |
  awk '/DLL Name:/{dll=toupper($3)} /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/{print dll, $3}' | sort -u)
unknown=$(comm -23 <(echo "$imports") <(grep -v '^#' scripts/win98-imports.txt | sort -u))
if [ -z "$unknown" ]; then
  echo "imports: $(echo "$imports" | wc -l) functions from $(echo "$imports" | awk '{print $1}' | sort -u | tr '\n' ' ')"
  passed=$((passed + 1))
else
  echo "imports not known to exist on Windows 98 SE:"; echo "$unknown" | sed 's/^/  /'
  failed=$((failed + 1))
fi
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
