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
    # Wine's own messages stay in the prefix's folder, for when it fails.
    local log=$WINEPREFIX/wineboot.log rc=0
    wine wineboot -i >"$log" 2>&1 || rc=$?
    wineserver -w
    if [ "$rc" != 0 ] || [ ! -f "$WINEPREFIX/system.reg" ] || [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
      echo "wineboot could not make the Wine prefix $WINEPREFIX (exit code $rc); its output:" >&2
      tail -20 "$log" | sed 's/^/  /' >&2
      return 1
    fi
  fi
  # Wine draws caption buttons, menu arrows and check marks with Marlett.
  # Debian's Wine 8.0 looks for its own fonts in "<data dir>\../fonts",
  # which it cannot open, so fonts-wine's copy is put where it does look.
  local fonts=$WINEPREFIX/drive_c/windows/Fonts marlett=/usr/share/wine/fonts/marlett.ttf
  if [ -f "$marlett" ] && [ ! -f "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts" && cp "$marlett" "$fonts/marlett.ttf"
  fi
  # Without a window manager, Wine waits about 2 s whenever it hides or
  # destroys a window it manages; the tests need no window manager.
  wine_reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
}

# wine_quiet WHAT COMMAND...: runs a Wine command with its output kept
# aside; quiet when it works, and when it does not, says WHAT failed, shows
# the output and answers 1. The output goes to a file, never a pipe: the
# wineserver and Wine's services that a command may start keep its output
# open for as long as they run, so a pipe would never reach its end.
wine_quiet() {
  local what=$1 log rc=0; shift
  log=$(mktemp) || return 1
  "$@" >"$log" 2>&1 || rc=$?
  if [ "$rc" != 0 ]; then
    echo "$what in $WINEPREFIX (exit code $rc):" >&2
    tail -5 "$log" | sed 's/^/  /' >&2
  fi
  rm -f "$log"
  [ "$rc" = 0 ]
}

# wine_reg ARGS...: "wine reg ARGS", reporting a failure.
wine_reg() {
  wine_quiet "wine reg $* failed" wine reg "$@"
}

# Keeps one wineserver alive, so Wine's own start-up (which runs and deletes
# RunOnce values) happens once, before any test seeds entries.
# Answers 1, having said why, when the prefix cannot be made or Wine runs
# nothing in it.
wine_server_up() {
  wine_prefix || return 1
  local rc=0
  wineserver -p >/dev/null 2>&1 || rc=$?
  # Exit code 2: a server for this prefix runs already, which is as good.
  if [ "$rc" != 0 ] && [ "$rc" != 2 ]; then
    echo "wineserver did not start for $WINEPREFIX (exit code $rc)" >&2
    return 1
  fi
  wine_quiet "Wine does not run programs" wine cmd /c exit
}

wine_server_down() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# win98, win2k, winxp, win2003, win7 ... for this prefix only: every script
# that changes it works in a prefix of its own.
wine_version() {
  wine_reg add 'HKCU\Software\Wine' /v Version /d "$1" /f
}

# Starts Xvfb when there is no display. Xvfb picks the display number itself
# (-displayfd: the first one free, written once it accepts connections), so
# two runs side by side never pick the same one. Sets XVFB_PID for the
# caller to stop; answers 1, with Xvfb's own words, when no display comes up.
display_up() {
  XVFB_PID=""
  [ -z "${DISPLAY:-}" ] || return 0
  local dir number=""
  dir=$(mktemp -d) || return 1
  : >"$dir/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" >"$dir/log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 150); do
    # Only a whole line counts: the number may be written in pieces.
    if read -r number <"$dir/display" && [[ $number =~ ^[0-9]+$ ]]; then break; fi
    number=""
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$number" ]; then
    if kill -0 "$XVFB_PID" 2>/dev/null; then
      echo "Xvfb brought up no display within 15 s; its output:" >&2
      kill "$XVFB_PID" 2>/dev/null || true
    else
      echo "Xvfb ended without bringing up a display; its output:" >&2
    fi
    sed 's/^/  /' "$dir/log" >&2
    XVFB_PID=""
    rm -rf "$dir"
    return 1
  fi
  rm -rf "$dir"
  export DISPLAY=":$number"
}

display_down() {
  if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
