#!/usr/bin/env bash
# The release archive of scripts/package.sh: holds exactly startlull.exe,
# Startlull.txt and ReadMe.txt; is named for the version the exe in it
# carries; ships the program tree's exe and the guide as they are, texts with
# Windows line ends; and its exe passes scripts/test-imports.sh.
set -uo pipefail
cd "$(dirname "$0")/.."
export BUILD_DIR=${BUILD_DIR:-$PWD/build}
passed=0 failed=0

if ! out=$(scripts/package.sh 2>&1); then
  echo "$out"
  echo "scripts/package.sh failed"
  echo "0 passed, 1 failed"
  exit 1
fi
archive=$(tail -1 <<<"$out")
echo "archive: $archive"
passed=1

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
# One line per check: "ok <what>" or "FAILED <what>".
results=$(python3 - "$archive" "$unpacked" "$BUILD_DIR/program/startlull.exe" docs/Startlull.txt <<'EOF'
import os, re, sys, zipfile

archive_path, unpacked, built_exe, guide = sys.argv[1:]
expected = ["ReadMe.txt", "Startlull.txt", "startlull.exe"]


def check(ok, what):
    print(("ok " if ok else "FAILED ") + what)


with zipfile.ZipFile(archive_path) as archive:
    names = sorted(archive.namelist())
    check(names == expected, "holds exactly %s (it holds %s)" % (", ".join(expected), ", ".join(names)))
    check(archive.testzip() is None, "every member reads back with its checksum")
    archive.extractall(unpacked)


def read(name):
    path = os.path.join(unpacked, name)
    return open(path, "rb").read() if os.path.exists(path) else b""


exe = read("startlull.exe")
check(exe == open(built_exe, "rb").read(), "its startlull.exe is the program tree's i686 build")
# The version record's "FileVersion" value, a UTF-16 string after its key.
found = re.search(b"F\0i\0l\0e\0V\0e\0r\0s\0i\0o\0n\0\0\0(?:\0\0)?((?:[0-9.]\0)+)\0\0", exe)
version = found.group(1).decode("utf-16-le") if found else "?"
name = os.path.basename(archive_path)
check(name == "startlull-%s.zip" % version,
      "%s is named for the version startlull.exe carries (%s)" % (name, version))
for text in ("Startlull.txt", "ReadMe.txt"):
    data = read(text)
    check(data and b"\n" not in data.replace(b"\r\n", b""), text + " has Windows line ends only")
check(read("Startlull.txt").replace(b"\r\n", b"\n") == open(guide, "rb").read(),
      "its Startlull.txt is docs/Startlull.txt")
readme = read("ReadMe.txt").decode("latin-1")
for needle in ("Restore", "Startlull.ini", "Startup-Inactive", version):
    check(needle in readme, "ReadMe.txt names " + needle)
EOF
)
echo "$results"
passed=$((passed + $(grep -c '^ok ' <<<"$results")))
failed=$((failed + $(grep -c '^FAILED ' <<<"$results")))
[ -n "$results" ] || failed=$((failed + 1))

# The size and import check, on the exe in the archive.
if scripts/test-imports.sh "$unpacked/startlull.exe" | sed 's/^/startlull.exe in the archive: /'; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
