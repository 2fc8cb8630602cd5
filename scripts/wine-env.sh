# Sourced by the scripts: the project's own Wine prefix under the build
# folder, never ~/.wine.
#
# This kind of machine cannot execute 32-bit Linux code (the kernel's 32-bit
# emulation is off), so Debian's 32-bit Wine loader cannot start. Everything
# therefore runs in a 64-bit prefix with the 64-bit loader, and the programs
# run there are the x86_64 builds of the same sources. Wine's reported
# Windows version (win98, win2k, winxp) works the same way in it.
BUILD_DIR=${BUILD_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build}
export WINEPREFIX=${WINEPREFIX:-$BUILD_DIR/wineprefix}
export WINEARCH=win64
export WINELOADER=/usr/lib/wine/wine64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
# Debian's "wine" script prefers the 32-bit loader; put one first that does not.
mkdir -p "$BUILD_DIR/wine-bin"
if [ ! -x "$BUILD_DIR/wine-bin/wine" ]; then
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' > "$BUILD_DIR/wine-bin/wine"
  chmod +x "$BUILD_DIR/wine-bin/wine"
fi
case ":$PATH:" in *":$BUILD_DIR/wine-bin:"*) ;; *) export PATH="$BUILD_DIR/wine-bin:$PATH" ;; esac

# Makes the prefix once; later calls reuse it.
wine_prefix() {
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
