#!/usr/bin/env bash
# Installs what building and testing need, and only what is missing.
# Debian 12, as root (or with sudo).
#
# Where this machine can execute 32-bit programs (scripts/wine-env.sh,
# can_run_32bit), also 32-bit Wine and the i686 compiler for the end-to-end
# driver, so that the i686 startlull.exe, the file that ships, runs here too.
set -euo pipefail
cd "$(dirname "$0")/.."

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi

# i686 for the program that ships; x86_64 for what runs under 64-bit Wine.
# fonts-wine (only recommended by Wine) holds Marlett, the font Wine draws
# caption buttons with: without it a window's minimise, maximise and close
# boxes show "0 1 r" (scripts/wine-env.sh puts it into each prefix).
packages=(cmake make g++ g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-win32 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          wine wine64 fonts-wine xvfb xdotool imagemagick x11-utils
          googletest libgtest-dev clang libclang-rt-14-dev python3)
# 32-bit Wine, with the X libraries that 64-bit Wine finds on these
# machines (without them Wine draws and takes input differently).
packages32=(wine32:i386 libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386
            libxfixes3:i386 libxinerama1:i386 libxcomposite1:i386 libxxf86vm1:i386
            libgstreamer-plugins-base1.0-0:i386 g++-mingw-w64-i686-posix)

updated=0
# Never takes a package away (--no-remove): a set that cannot be installed
# beside what is there fails instead.
apt_install() {
  if [ "$updated" = 0 ]; then
    # An index that fails (a mirror in the middle of a sync) leaves the
    # others fetched: the installs below say whether they were enough.
    $SUDO apt-get update -qq || echo "setup: apt-get update could not fetch every index" >&2
    updated=1
  fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
    --no-remove "$@" >/dev/null
}
# Installs what is missing of the packages named. A mirror whose i386
# security index is out of step (seen while it syncs) offers no i386 twin
# of an amd64 library installed from that suite, and apt reports the pair
# as breaking each other: then once more with the amd64 library stepped
# back to the version its i386 twin has.
install() {
  local missing=() p twins
  for p in "$@"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  apt_install "${missing[@]}" && return 0
  # apt may name one pair at a time: a few rounds.
  local round found
  twins=()
  for round in 1 2 3; do
    found=$(apt-get install -s --no-install-recommends --no-remove --allow-downgrades "$@" \
              "${twins[@]}" 2>&1 |
            sed -nE 's/^ ([^ ]+):i386 : Breaks: \1 \(!= ([^ )]+)\).*/\1=\2/p')
    [ -n "$found" ] || break
    # shellcheck disable=SC2206
    twins+=($found)
  done
  [ ${#twins[@]} -gt 0 ] || return 1
  echo "Installing the versions both halves have: ${twins[*]}"
  apt_install --allow-downgrades "${missing[@]}" "${twins[@]}"
}

install "${packages[@]}"

# shellcheck source=wine-env.sh
source scripts/wine-env.sh
if can_run_32bit; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    updated=0
  fi
  # Without 32-bit Wine the rest stays usable: the i686 end-to-end runs
  # are then not run, and the test command says why.
  if ! install "${packages[@]}" "${packages32[@]}"; then
    echo "setup: 32-bit Wine could not be installed: the i686 end-to-end tests will not run" >&2
  fi
fi
