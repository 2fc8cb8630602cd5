#!/usr/bin/env bash
# Builds the release archive $BUILD_DIR/startlull-<version>.zip: the i686
# startlull.exe that ships, its user guide Startlull.txt and ReadMe.txt for
# whoever unpacks it on Windows, both texts with Windows line ends (Notepad
# on Windows 98, 2000 and XP shows a file with bare line feeds as one line).
#
# The version is the one in resources/startlull.rc, the script the exe's own
# version record is compiled from; its FILEVERSION numbers and "FileVersion"
# text must agree, and the guide's title must name it.
#
#   scripts/package.sh        builds the program tree if needed, prints the archive's path
set -euo pipefail
cd "$(dirname "$0")/.."
export BUILD_DIR=${BUILD_DIR:-$PWD/build}

die() { echo "package: $*" >&2; exit 1; }

script=resources/startlull.rc
numbers=$(sed -nE 's/^[[:space:]]*FILEVERSION[[:space:]]+([0-9]+)[[:space:]]*,[[:space:]]*([0-9]+)[[:space:]]*,[[:space:]]*([0-9]+)[[:space:]]*,[[:space:]]*([0-9]+)[[:space:]]*$/\1 \2 \3 \4/p' "$script")
version=$(sed -nE 's/^[[:space:]]*VALUE[[:space:]]+"FileVersion",[[:space:]]*"([^"]*)"[[:space:]]*$/\1/p' "$script")
[ "$(wc -l <<<"$numbers")" = 1 ] && [ -n "$numbers" ] || die "$script: no single FILEVERSION a, b, c, d line"
[ "$(wc -l <<<"$version")" = 1 ] && [ -n "$version" ] || die "$script: no single \"FileVersion\" value"
[[ $version =~ ^[0-9]+(\.[0-9]+){0,3}$ ]] || die "$script: \"FileVersion\" \"$version\" is not a dotted number"
# "1.12" stands for 1, 12, 0, 0.
read -r -a parts <<<"${version//./ }"
while [ ${#parts[@]} -lt 4 ]; do parts+=(0); done
read -r -a fileversion <<<"$numbers"
for i in 0 1 2 3; do
  [ $((10#${parts[i]})) = $((10#${fileversion[i]})) ] ||
    die "$script disagrees with itself: FILEVERSION ${numbers// /, } but \"FileVersion\" \"$version\""
done
guide=docs/Startlull.txt
head -1 "$guide" | grep -qF "Startlull $version " ||
  die "$guide names another version in its title ($(head -1 "$guide")), not $version"

TREES=program scripts/build.sh
exe=$BUILD_DIR/program/startlull.exe

stage=$BUILD_DIR/package
rm -rf "$stage"
mkdir -p "$stage"
cp "$exe" "$stage/startlull.exe"
crlf() { sed 's/\r*$/\r/'; }
crlf <"$guide" >"$stage/Startlull.txt"
crlf >"$stage/ReadMe.txt" <<EOF
Startlull $version
$(printf '%*s' $((10 + ${#version})) '' | tr ' ' '=')

Startlull starts Windows "clean": it lists everything that starts
automatically with Windows, takes all of it out of the startup in one step,
and later puts every entry back exactly as it was. It runs on Windows 98 SE,
Windows 2000 and Windows XP, and needs nothing installed.

In this archive
  startlull.exe   the program
  Startlull.txt   the user guide (About opens it: keep it beside the program)
  ReadMe.txt      this file

Unpack the files into one folder and run startlull.exe. Find lists what
starts: win.ini's run and load lines, your Startup folder and the All Users
Startup folder, and the Run, RunOnce, RunOnceEx and RunServices registry
keys. Remove takes it all out of the startup; it changes your computer, so
close other programs first.

How to undo it
  Run Startlull again and press Restore (Alt+S). It puts every registry
  value, win.ini line and Startup item back as it was, and config.sys and
  autoexec.bat too if you had them taken out. If something cannot be put
  back, Startlull says so and keeps Restore available: press it again later.

Where it keeps its file
  Remove saves everything it takes out in Startlull.ini, in a folder named
  Startup-Inactive beside your Startup folder; the Startup items wait there
  too. Do not delete that folder before you have restored. If a Restore
  cannot finish, a copy of Startlull.ini also goes to the root of the
  Windows drive. Locations shows every path on your computer.
EOF

archive=$BUILD_DIR/startlull-$version.zip
# Written aside and then renamed: a failed run leaves no half archive.
python3 - "$archive.part" "$stage/startlull.exe" "$stage/Startlull.txt" "$stage/ReadMe.txt" <<'EOF'
import os, sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as archive:
    for path in sys.argv[2:]:
        archive.write(path, os.path.basename(path))
EOF
mv "$archive.part" "$archive"
echo "$archive"
