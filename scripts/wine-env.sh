# Sourced by the scripts: the project's own Wine prefixes under the build
# folder, never ~/.wine.
#
# Two kinds of prefix, never mixed: a 64-bit one (WINEARCH=win64, loader
# /usr/lib/wine/wine64) runs the x86_64 builds of the sources; a 32-bit one
# (WINEARCH=win32, loader /usr/lib/wine/wine) runs the i686 startlull.exe,
# the file that ships. Whether a machine can run the 32-bit one depends on
# the machine, not on the packages: where the kernel's 32-bit emulation is
# switched off no 32-bit Linux program starts, Wine's 32-bit loader
# included. can_run_32bit finds out, and every script asks it rather than
# deciding for itself. Wine's reported Windows version (win98, win2k, winxp)
# works the same in both kinds.
#
# Sourcing selects the 64-bit kind; wine_arch win32 selects the other.
BUILD_DIR=${BUILD_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}

# Answers 0 when this machine executes 32-bit x86 Linux programs; otherwise
# 1, with the reason in CANNOT_RUN_32BIT_WHY. Wine's 32-bit loader is asked
# when it is installed; before that, a tiny static 32-bit program made with
# the binutils that the compilers bring.
can_run_32bit() {
  CANNOT_RUN_32BIT_WHY=""
  local out
  if [ -x /usr/lib/wine/wine ]; then
    out=$(/usr/lib/wine/wine --version 2>&1) && return 0
    CANNOT_RUN_32BIT_WHY="Wine's 32-bit loader does not start: ${out##*: }"
    return 1
  fi
  if ! command -v as >/dev/null || ! command -v ld >/dev/null; then
    CANNOT_RUN_32BIT_WHY="no as and ld (binutils) to build a 32-bit probe program"
    return 1
  fi
  local dir=$BUILD_DIR/probe32
  mkdir -p "$dir"
  # exit(42) through the 32-bit system call gate.
  printf '.globl _start\n_start:\n movl $1, %%eax\n movl $42, %%ebx\n int $0x80\n' >"$dir/exit42.s"
  if ! as --32 -o "$dir/exit42.o" "$dir/exit42.s" 2>/dev/null ||
     ! ld -m elf_i386 -o "$dir/exit42" "$dir/exit42.o" 2>/dev/null; then
    CANNOT_RUN_32BIT_WHY="binutils could not build a 32-bit probe program"
    return 1
  fi
  local rc=0
  out=$("$dir/exit42" 2>&1) || rc=$?
  if [ "$rc" = 42 ]; then return 0; fi
  out=$(tail -1 <<<"$out")
  CANNOT_RUN_32BIT_WHY="a 32-bit probe program does not run (${out:+${out##*: }, }exit code $rc):"
  CANNOT_RUN_32BIT_WHY+=" the kernel's 32-bit emulation is off or missing"
  return 1
}

# wine_arch win64|win32: the loader that "wine" runs, Wine's prefix kind and,
# when the caller chose none, the default prefix ($BUILD_DIR/wineprefix or
# $BUILD_DIR/wineprefix32).
wine_arch() {
  local arch=$1 loader bin other
  case $arch in
    win64) loader=/usr/lib/wine/wine64 bin=$BUILD_DIR/wine-bin other=$BUILD_DIR/wine-bin32 ;;
    win32) loader=/usr/lib/wine/wine bin=$BUILD_DIR/wine-bin32 other=$BUILD_DIR/wine-bin ;;
    *) echo "wine_arch: win64 or win32, not $arch" >&2; return 1 ;;
  esac
  case ${WINEPREFIX:-} in
    ""|"$BUILD_DIR/wineprefix"|"$BUILD_DIR/wineprefix32")
      if [ "$arch" = win32 ]; then WINEPREFIX=$BUILD_DIR/wineprefix32; else WINEPREFIX=$BUILD_DIR/wineprefix; fi ;;
  esac
  export WINEPREFIX WINEARCH=$arch WINELOADER=$loader
  # Debian's "wine" script prefers the 32-bit loader whenever it is
  # installed; a script of our own, first on PATH, runs the chosen one.
  mkdir -p "$bin"
  if [ ! -x "$bin/wine" ] || ! grep -qF "$loader " "$bin/wine"; then
    printf '#!/bin/sh\nexec %s "$@"\n' "$loader" >"$bin/wine"
    chmod +x "$bin/wine"
  fi
  local path=":$PATH:"
  path=${path//":$other:"/:}
  path=${path//":$bin:"/:}
  path=${path#:}
  export PATH="$bin:${path%:}"
}
wine_arch win64

# Makes the prefix once; later calls reuse it. One made for the other kind
# (its system.reg says "#arch=win64" or "#arch=win32") cannot serve: Wine
# refuses it. Under the build folder it is made anew; elsewhere it is not ours.
wine_prefix() {
  if [ -f "$WINEPREFIX/system.reg" ] && ! grep -qx "#arch=$WINEARCH" "$WINEPREFIX/system.reg"; then
    case $WINEPREFIX in
      "$BUILD_DIR"/*)
        echo "$WINEPREFIX is not a $WINEARCH prefix: making it anew" >&2
        rm -rf "$WINEPREFIX" ;;
      *)
        echo "$WINEPREFIX is not a $WINEARCH prefix" >&2
        return 1 ;;
    esac
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ] || [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # Without a window manager, Wine waits about 2 s whenever it hides or
  # destroys a window it manages; the tests need no window manager.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}

# Keeps one wineserver alive, so Wine's own start-up (which runs and deletes
# RunOnce values) happens once, before any test seeds entries.
wine_server_up() {
  wine_prefix
  wineserver -p >/dev/null 2>&1 || true
  wine cmd /c exit >/dev/null 2>&1 || true
}

wine_server_down() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# win98, win2k, winxp, win2003, win7 ...
wine_version() {
  wine reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1
}

# Starts Xvfb when there is no display; sets XVFB_PID for the caller to stop.
display_up() {
  XVFB_PID=""
  if [ -z "${DISPLAY:-}" ]; then
    local n=$(( 90 + RANDOM % 400 ))
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
  fi
}

display_down() {
  if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
