#!/usr/bin/env bash
# Checks that every include in the program's sources goes down the layers:
#
#   app        anything but tests and bench
#   framework  framework, platform, util, resources   (never engine or app)
#   engine     engine, platform, util                 (never framework, app or resources)
#   util       util, platform                         (never engine or above)
#   platform   platform                               (never util: util reads and
#                                                      writes files through it)
#
# An include is read the way the compiler finds it: beside the including
# file first, then from the repository root, so "../framework/X.h" counts as
# framework too. Files outside the tree (<windows.h>) are not judged.
#
#   scripts/check-layers.sh [ROOT]     ROOT defaults to this repository
#
# Prints each wrong-way include with its file and line, then a summary;
# exits 1 when there is one.
set -uo pipefail
root=$(realpath "${1:-$(dirname "$0")/..}")

layers=(util platform engine framework app)
# Every folder an include can name; anything else (a system header) is not judged.
folders=" util platform engine framework app resources tests bench "

# The folders a layer may include from.
allowed() {
  case $1 in
    platform) echo "platform" ;;
    util) echo "util platform" ;;
    engine) echo "engine platform util" ;;
    framework) echo "framework platform util resources" ;;
    app) echo "app framework engine platform util resources" ;;
  esac
}

# The folder of the tree an include names, or nothing when it lies outside
# the tree. $1: the including file, $2: the include's text, $3: " or <.
target_folder() {
  local file=$1 name=$2 quote=$3 path
  path=$(realpath -m "$(dirname "$file")/$name")
  if [ "$quote" != '"' ] || [ ! -e "$path" ]; then
    path=$(realpath -m "$root/$name")
  fi
  case $path in
    "$root"/*) path=${path#"$root"/}; echo "${path%%/*}" ;;
  esac
}

# #include "name" or #include <name>: the quote, then the name.
include='^[[:space:]]*#[[:space:]]*include[[:space:]]*(["<])([^">]+)[">]'

wrong=0 checked=0 found=0
files=""
for layer in "${layers[@]}"; do
  [ -d "$root/$layer" ] || continue
  found=$((found + 1))
  may=" $(allowed "$layer") "
  # file:line:text of every include line, in every file of the layer.
  while IFS= read -r hit; do
    file=${hit%%:*} rest=${hit#*:}
    line=${rest%%:*} text=${rest#*:}
    [[ $text =~ $include ]] || continue
    quote=${BASH_REMATCH[1]} name=${BASH_REMATCH[2]}
    folder=$(target_folder "$file" "$name" "$quote")
    [[ -n $folder && $folders == *" $folder "* ]] || continue
    checked=$((checked + 1))
    if [[ $may != *" $folder "* ]]; then
      [ "$quote" = '"' ] && shown="\"$name\"" || shown="<$name>"
      echo "${file#"$root"/}:$line: #include $shown: $layer may not include $folder" \
           "($layer may include $(allowed "$layer" | sed 's/ /, /g'))"
      wrong=$((wrong + 1))
      [[ $files == *" $file "* ]] || files+=" $file "
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include' "$root/$layer" 2>/dev/null)
done

if [ "$found" = 0 ]; then
  echo "no layer folders (${layers[*]}) under $root"
  exit 1
fi
if [ "$wrong" -gt 0 ]; then
  echo "$wrong include(s) against the layering, in $(wc -w <<<"$files") file(s)"
  exit 1
fi
echo "every include goes down the layers ($checked includes of the tree's own files," \
     "in $found layers)"
