#!/usr/bin/env bash
# Builds Startlull and runs it under Wine in the project's own prefix: the
# i686 startlull.exe that ships, in a 32-bit prefix, where this machine can
# run 32-bit programs (scripts/wine-env.sh, can_run_32bit); elsewhere the
# x86_64 build of the same sources in a 64-bit prefix.
#
#   scripts/run.sh            the program on a plain prefix
#   scripts/run.sh --demo     on a separate demo prefix with a few startup
#                             entries to find (also: STARTLULL_DEMO=1)
#
# STARTLULL_WINDOWS=win98|win2k|winxp (default winxp) sets the Windows that
# Wine reports. Without a display (DISPLAY unset) the program runs on Xvfb:
# the script presses Find (on the demo prefix it also disables one entry and
# selects another), saves a screenshot, prints its path and ends.
set -euo pipefail
cd "$(dirname "$0")/.."
export BUILD_DIR=${BUILD_DIR:-$PWD/build}
windows=${STARTLULL_WINDOWS:-winxp}
demo=${STARTLULL_DEMO:-0}
for arg in "$@"; do
  case $arg in
    --demo) demo=1 ;;
    *) echo "usage: scripts/run.sh [--demo]" >&2; exit 2 ;;
  esac
done
case $windows in
  win98|win2k|winxp) ;;
  *) echo "STARTLULL_WINDOWS must be win98, win2k or winxp" >&2; exit 2 ;;
esac

scripts/setup.sh
# shellcheck source=wine-env.sh
source scripts/wine-env.sh
# Prefixes of the two kinds have names of their own: neither can serve as the other.
if can_run_32bit && [ -x /usr/lib/wine/wine ]; then
  wine_arch win32
  TREES=program scripts/build.sh
  exe_dir=$BUILD_DIR/program
  if [ "$demo" = 1 ]; then export WINEPREFIX=$BUILD_DIR/demo-prefix32; fi
else
  echo "running the x86_64 build: no 32-bit Wine here (${CANNOT_RUN_32BIT_WHY:-not installed})"
  TREES="program program64" scripts/build.sh
  exe_dir=$BUILD_DIR/program64
  if [ "$demo" = 1 ]; then export WINEPREFIX=$BUILD_DIR/demo-prefix; fi
fi
# The About window links the guide that ships beside the executable.
cp docs/Startlull.txt "$BUILD_DIR/program/Startlull.txt"
cp docs/Startlull.txt "$exe_dir/Startlull.txt"

headless=0
[ -z "${DISPLAY:-}" ] && headless=1
display_up
finish() { wine_server_down; display_down; }
trap finish EXIT
wine_server_up
wine_version "$windows"

run_key='Software\Microsoft\Windows\CurrentVersion'
seed_demo() {
  # Harmless commands that point nowhere: nothing here can really start.
  wine reg add "HKLM\\$run_key\\Run" /v "Tray Helper" /d 'C:\Program Files\Demo\trayhelp.exe' /f
  wine reg add "HKLM\\$run_key\\RunOnce" /v "Finish Setup" \
    /d 'C:\Program Files\Demo\setup.exe /finish' /f
  wine reg add "HKCU\\$run_key\\Run" /v "Notes" /d 'C:\Program Files\Demo\notes.exe /min' /f
  # One program that is there, with a version resource for the status bar.
  wine reg add "HKCU\\$run_key\\Run" /v "Version Check" /d 'C:\windows\system32\winver.exe' /f
  # Added between two Finds below, to be marked new.
  wine reg delete "HKCU\\$run_key\\Run" /v "Weather Widget" /f || true
  wine reg add 'HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows' /v load \
    /d 'C:\Program Files\Demo\loader.exe' /f
  local startup
  startup=$(wine reg query "HKCU\\$run_key\\Explorer\\Shell Folders" /v Startup 2>/dev/null |
            tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
  if [ -n "$startup" ]; then
    local dir
    dir=$(wine winepath -u "$startup" 2>/dev/null | tr -d '\r')
    mkdir -p "$dir"
    printf 'Demo shortcut\r\n' > "$dir/Demo Clock.lnk"
    # What an earlier demo disabled starts enabled again.
    rm -rf "$(dirname "$dir")/Startup-Disabled"
  fi
} >/dev/null 2>&1
# Wine runs and deletes RunOnce values when its server starts, so the demo
# entries go in under the server that is already running.
if [ "$demo" = 1 ]; then seed_demo; fi

if [ "$headless" = 0 ]; then
  exec wine "$exe_dir/startlull.exe"
fi

shot=$BUILD_DIR/screenshot.png
# A Wine desktop of its own gives the window the frame and caption that
# Windows would draw, in one X window to take the picture of.
wine explorer /desktop=Startlull,760x520 "$exe_dir/startlull.exe" &
app=$!
desktop=""
for _ in $(seq 150); do
  desktop=$(xdotool search --name 'Startlull - Wine desktop' 2>/dev/null | head -1 || true)
  [ -n "$desktop" ] && break
  sleep 0.2
done
if [ -z "$desktop" ]; then
  echo "startlull.exe showed no window" >&2
  exit 1
fi
sleep 3
xdotool windowfocus --sync "$desktop" 2>/dev/null || true
xdotool key alt+f
sleep 2
if [ "$demo" = 1 ]; then
  # Something starts starting after the first Find: the second one marks it.
  wine reg add "HKCU\\$run_key\\Run" /v "Weather Widget" \
    /d 'C:\Program Files\Demo\weather.exe' /f >/dev/null 2>&1
  xdotool key alt+f
  sleep 2
  # Where the window comes up on the 760x520 desktop: list rows of 16
  # pixels from y=124; row 6 is the Startup folder's "Demo Clock.lnk". A
  # click there also keeps the arrow keys out of the menu mode that Alt
  # leaves behind under Wine's X11 input.
  xdotool mousemove --window "$desktop" 140 $((124 + 6 * 16 + 8)) click 1
  sleep 1
  # Space disables it; the selection follows it into the grey section at the
  # end. Up goes back over the other places' entries to "Weather Widget",
  # new since the first Find: on 2000 and XP, Winlogon's Shell and the two
  # services Wine starts by itself lie between.
  xdotool key space
  sleep 2
  ups=4
  [ "$windows" = win98 ] && ups=1
  for _ in $(seq $ups); do xdotool key Up; sleep 0.3; done
  sleep 1
fi
import -window "$desktop" "$shot"
xdotool key alt+x
wait "$app" || true
echo "screenshot: $shot"
