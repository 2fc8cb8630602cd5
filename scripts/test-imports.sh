#!/usr/bin/env bash
# The shipped i686 startlull.exe: imports only functions Windows 98 SE has,
# and stays small.
#   scripts/test-imports.sh [EXE]    EXE defaults to the program tree's
#                                    (scripts/test-package.sh gives the archive's)
set -uo pipefail
exe=$(realpath -m "${1:-${BUILD_DIR:-$(dirname "$0")/../build}/program/startlull.exe}")
cd "$(dirname "$0")/.."
limit=$((112 * 1024))
passed=0 failed=0

if [ ! -f "$exe" ]; then
  echo "no $exe to check"
  echo "0 passed, 1 failed"
  exit 1
fi
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
